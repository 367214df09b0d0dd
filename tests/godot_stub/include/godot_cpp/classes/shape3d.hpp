// Stand-in: Shape3D, the base of the collision shapes.
#pragma once

#include <godot_cpp/classes/resource.hpp>

namespace godot {

class Shape3D : public Resource {
	STUB_ENGINE_CLASS(Shape3D, Resource)
};

} // namespace godot
