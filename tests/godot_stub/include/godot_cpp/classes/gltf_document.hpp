// Stand-in: GLTFDocument. Records the calls and writes nothing; the engine suite checks
// the files the engine's writer makes.
#pragma once

#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/classes/gltf_state.hpp>
#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/resource.hpp>

#include <cstdint>

namespace godot {

class GLTFDocument : public Resource {
	STUB_ENGINE_CLASS(GLTFDocument, Resource)

public:
	Error append_from_scene(Node *p_node, const Ref<GLTFState> &p_state, uint32_t p_flags = 0, const String &p_base_path = String());
	Error write_to_filesystem(const Ref<GLTFState> &p_state, const String &p_path);
};

} // namespace godot
