// Stand-in: Resource, the base of meshes and materials.
#pragma once

#include <godot_cpp/classes/ref_counted.hpp>

namespace godot {

class Resource : public RefCounted {
	STUB_ENGINE_CLASS(Resource, RefCounted)
};

} // namespace godot
