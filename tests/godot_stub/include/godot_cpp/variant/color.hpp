// Stand-in: Color with the real constructors and fields.
#pragma once

namespace godot {

struct Color {
	float r = 0;
	float g = 0;
	float b = 0;
	float a = 1;

	Color() = default;
	Color(float p_r, float p_g, float p_b, float p_a) :
			r(p_r), g(p_g), b(p_b), a(p_a) {}
};

} // namespace godot
