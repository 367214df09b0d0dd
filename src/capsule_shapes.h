// The engine's form of the generator's collision capsules, shared by the node's live body
// and its baked scenes (defined in Wendrel3D_game.cpp).
#pragma once

#include "model/game_records.h"

#include <godot_cpp/classes/capsule_shape3d.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/variant/transform3d.hpp>

namespace wendrel::engine {

// The capsule's place: at its centre, its local y axis along its axis.
godot::Transform3D capsule_transform(const CollisionCapsule &p_capsule);

// A new shape of the capsule's radius and height.
godot::Ref<godot::CapsuleShape3D> capsule_shape(const CollisionCapsule &p_capsule);

} // namespace wendrel::engine
