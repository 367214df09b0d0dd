// Stand-in: Vector3 with the real constructors and fields.
#pragma once

#include <godot_cpp/core/defs.hpp>

namespace godot {

struct Vector3 {
	real_t x = 0;
	real_t y = 0;
	real_t z = 0;

	Vector3() = default;
	Vector3(const real_t p_x, const real_t p_y, const real_t p_z) :
			x(p_x), y(p_y), z(p_z) {}
};

} // namespace godot
