// Points, directions, texture coordinates and triangles, and the vector helpers every pass
// shares.
//
// All arithmetic is in 32-bit floats. The helpers are written out component by component,
// left to right, because the generator's output must be bit-for-bit reproducible: a
// reordered sum or a fused multiply-add changes the last bit of a vertex.
#pragma once

#include <cmath>
#include <cstdint>

namespace wendrel {

constexpr float PI = 3.14159265358979323846f;

// A position, direction or normal; y points up.
struct Vec3 {
	// No default member values: the generator's arrays are allocated uninitialised and
	// filled once, as a zeroing pass would double the memory traffic of large trees.
	float x;
	float y;
	float z;

	Vec3() = default;
	Vec3(float p_x, float p_y, float p_z) :
			x(p_x), y(p_y), z(p_z) {}
};

// One texture coordinate.
struct Vec2 {
	float u; // uninitialised by default, like Vec3
	float v;

	Vec2() = default;
	Vec2(float p_u, float p_v) :
			u(p_u), v(p_v) {}
};

// One triangle: three vertex indices in winding order.
struct Face {
	int32_t index[3];
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
	return Vec3(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
	return Vec3(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline Vec3 operator-(Vec3 a) {
	return Vec3(-a.x, -a.y, -a.z);
}
inline Vec3 operator*(Vec3 v, float s) {
	return Vec3(v.x * s, v.y * s, v.z * s);
}

inline float dot(Vec3 a, Vec3 b) {
	return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Vec3 cross(Vec3 a, Vec3 b) {
	return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

// Euclidean length, in single precision.
inline float length(Vec3 v) {
	return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// Unit vector along v; a zero-length v is returned unchanged instead of divided by zero.
// note: multiplies by the rounded reciprocal rather than dividing each component.
inline Vec3 normalize(Vec3 v) {
	float l = length(v);
	if (l == 0.0f)
		return v;
	float s = 1.0f / l;
	return v * s;
}

// Reflects v away from axis by branch_factor: gives a fork's second child its direction.
inline Vec3 mirror_branch(Vec3 v, Vec3 axis, float branch_factor) {
	Vec3 p = cross(axis, cross(v, axis));
	float s = dot(v, p) * branch_factor;
	return v - p * s;
}

// Rotation of v about the unit axis k, counter-clockwise seen from the tip of k, given the
// cosine and sine of the angle (so that callers can reuse one table of them).
inline Vec3 rotate_about_axis(Vec3 v, Vec3 k, float cos_angle, float sin_angle) {
	Vec3 across = cross(k, v);
	float along = dot(k, v);
	float fold = 1.0f - cos_angle;
	return v * cos_angle + across * sin_angle + k * along * fold;
}

// The same rotation by an angle in radians, with the generator's own correctly rounded sine and cosine.
Vec3 rotate_about_axis(Vec3 v, Vec3 k, float angle);

// Multiplies the component of v along the unit vector n by s.
inline Vec3 scale_along_axis(Vec3 v, Vec3 n, float s) {
	float d = dot(v, n);
	return v + n * (d * s - d);
}

} // namespace wendrel
