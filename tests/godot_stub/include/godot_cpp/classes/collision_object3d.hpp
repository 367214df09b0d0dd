// Stand-in: CollisionObject3D keeps its shape owners, each with a transform and its shapes,
// so that tests can read what the physics engine would collide with.
#pragma once

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/shape3d.hpp>
#include <godot_cpp/variant/transform3d.hpp>

#include <cstdint>
#include <vector>

namespace godot {

class CollisionObject3D : public Node3D {
	STUB_ENGINE_CLASS(CollisionObject3D, Node3D)

public:
	struct ShapeOwner { // stand-in only
		Transform3D transform;
		std::vector<Ref<Shape3D>> shapes;
	};
	std::vector<ShapeOwner> shape_owners; // stand-in only

	uint32_t create_shape_owner(Object *p_owner) {
		(void)p_owner;
		shape_owners.emplace_back();
		return uint32_t(shape_owners.size() - 1);
	}
	void shape_owner_set_transform(uint32_t p_owner_id, const Transform3D &p_transform) {
		shape_owners.at(p_owner_id).transform = p_transform;
	}
	void shape_owner_add_shape(uint32_t p_owner_id, const Ref<Shape3D> &p_shape) {
		shape_owners.at(p_owner_id).shapes.push_back(p_shape);
	}
};

} // namespace godot
