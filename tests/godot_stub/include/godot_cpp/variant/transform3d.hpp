// Stand-in: Transform3D with the real constructor and fields.
#pragma once

#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/vector3.hpp>

namespace godot {

struct Transform3D {
	Basis basis;
	Vector3 origin;

	Transform3D() = default;
	Transform3D(const Basis &p_basis, const Vector3 &p_origin = Vector3()) :
			basis(p_basis), origin(p_origin) {}
};

} // namespace godot
