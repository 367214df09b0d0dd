// Stand-in: CapsuleShape3D, along its local y axis. As in the engine, the height is the full
// height, hemispheres included, and never less than twice the radius.
#pragma once

#include <godot_cpp/classes/shape3d.hpp>

namespace godot {

class CapsuleShape3D : public Shape3D {
	STUB_ENGINE_CLASS(CapsuleShape3D, Shape3D)

	float radius = 0.5f;
	float height = 2.0f;

public:
	void set_radius(float p_radius) {
		radius = p_radius;
		if (height < radius * 2.0f) {
			height = radius * 2.0f;
		}
	}
	float get_radius() const { return radius; }
	void set_height(float p_height) {
		height = p_height;
		if (radius > height * 0.5f) {
			radius = height * 0.5f;
		}
	}
	float get_height() const { return height; }
};

} // namespace godot
