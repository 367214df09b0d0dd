// Stand-in: Basis, built from its three column vectors as godot-cpp's constructor does.
#pragma once

#include <godot_cpp/variant/vector3.hpp>

namespace godot {

struct Basis {
	Vector3 rows[3] = { Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1) };

	Basis() = default;
	Basis(const Vector3 &p_x_axis, const Vector3 &p_y_axis, const Vector3 &p_z_axis) {
		rows[0] = Vector3(p_x_axis.x, p_y_axis.x, p_z_axis.x);
		rows[1] = Vector3(p_x_axis.y, p_y_axis.y, p_z_axis.y);
		rows[2] = Vector3(p_x_axis.z, p_y_axis.z, p_z_axis.z);
	}
};

} // namespace godot
