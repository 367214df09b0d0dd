// Stand-in: Node3D adds nothing the node uses.
#pragma once

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/core/class_db.hpp>

namespace godot {

class Node3D : public Node {
	STUB_ENGINE_CLASS(Node3D, Node)
};

} // namespace godot
