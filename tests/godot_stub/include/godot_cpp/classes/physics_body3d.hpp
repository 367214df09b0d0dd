// Stand-in: PhysicsBody3D adds nothing the node uses.
#pragma once

#include <godot_cpp/classes/collision_object3d.hpp>

namespace godot {

class PhysicsBody3D : public CollisionObject3D {
	STUB_ENGINE_CLASS(PhysicsBody3D, CollisionObject3D)
};

} // namespace godot
