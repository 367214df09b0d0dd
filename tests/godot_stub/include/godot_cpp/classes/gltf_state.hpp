// Stand-in: GLTFState, what GLTFDocument gathers from a scene.
#pragma once

#include <godot_cpp/classes/resource.hpp>

namespace godot {

class GLTFState : public Resource {
	STUB_ENGINE_CLASS(GLTFState, Resource)
};

} // namespace godot
