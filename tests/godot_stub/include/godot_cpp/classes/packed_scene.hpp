// Stand-in: PackedScene records what it packs and keeps nothing of it: the engine copies the
// nodes it packs, so the caller still owns and frees them.
#pragma once

#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/resource.hpp>

namespace godot {

class PackedScene : public Resource {
	STUB_ENGINE_CLASS(PackedScene, Resource)

public:
	Error pack(Node *p_path);
};

} // namespace godot
