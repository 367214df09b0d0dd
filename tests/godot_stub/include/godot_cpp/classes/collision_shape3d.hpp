// Stand-in: CollisionShape3D keeps its shape; its place is the Node3D's transform.
#pragma once

#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/shape3d.hpp>

namespace godot {

class CollisionShape3D : public Node3D {
	STUB_ENGINE_CLASS(CollisionShape3D, Node3D)

	Ref<Shape3D> shape;

public:
	void set_shape(const Ref<Shape3D> &p_shape) { shape = p_shape; }
	Ref<Shape3D> get_shape() const { return shape; }
};

} // namespace godot
