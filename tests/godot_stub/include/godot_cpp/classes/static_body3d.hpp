// Stand-in: StaticBody3D adds nothing the node uses.
#pragma once

#include <godot_cpp/classes/physics_body3d.hpp>

namespace godot {

class StaticBody3D : public PhysicsBody3D {
	STUB_ENGINE_CLASS(StaticBody3D, PhysicsBody3D)
};

} // namespace godot
