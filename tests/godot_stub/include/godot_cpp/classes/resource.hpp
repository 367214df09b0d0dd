// Stand-in: Resource, the base of meshes, materials and presets.
#pragma once

#include <godot_cpp/classes/ref_counted.hpp>

namespace godot {

class Resource : public RefCounted {
	STUB_ENGINE_CLASS(Resource, RefCounted)

public:
	// Recorded as a call "Resource.emit_changed".
	void emit_changed();
};

} // namespace godot
