// Stand-in: Node3D keeps its transform and adds nothing else the node uses.
#pragma once

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/transform3d.hpp>

namespace godot {

class Node3D : public Node {
	STUB_ENGINE_CLASS(Node3D, Node)

	Transform3D transform;

public:
	void set_transform(const Transform3D &p_transform) { transform = p_transform; }
	Transform3D get_transform() const { return transform; }
};

} // namespace godot
