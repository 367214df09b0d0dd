// Stand-in: Vector2 with the real constructors and fields.
#pragma once

#include <godot_cpp/core/defs.hpp>

namespace godot {

struct Vector2 {
	real_t x = 0;
	real_t y = 0;

	Vector2() = default;
	Vector2(const real_t p_x, const real_t p_y) :
			x(p_x), y(p_y) {}
};

} // namespace godot
