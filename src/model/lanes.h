// Four floats side by side, and vectors of them, with the arithmetic of geometry.h written
// out in the same order, so that a template instantiated once for Vec3 and once for Vec3Lanes
// gives every lane exactly the bits the scalar code gives: SSE2's sums, products, quotients
// and square roots round as the scalar ones do, and nothing here fuses or reorders.
// WENDREL_HAS_LANES is defined only where the processor has SSE2.
#pragma once

#include "model/geometry.h"

#if defined(__SSE2__) || defined(_M_X64)
#define WENDREL_HAS_LANES 1
#include <emmintrin.h>

namespace wendrel {

struct Lanes {
	__m128 v;

	Lanes() = default;
	explicit Lanes(__m128 p_v) :
			v(p_v) {}
	explicit Lanes(float same) :
			v(_mm_set1_ps(same)) {}
};

inline Lanes operator+(Lanes a, Lanes b) {
	return Lanes(_mm_add_ps(a.v, b.v));
}
inline Lanes operator-(Lanes a, Lanes b) {
	return Lanes(_mm_sub_ps(a.v, b.v));
}
inline Lanes operator-(Lanes a) {
	return Lanes(_mm_xor_ps(a.v, _mm_set1_ps(-0.0f)));
}
inline Lanes operator*(Lanes a, Lanes b) {
	return Lanes(_mm_mul_ps(a.v, b.v));
}
inline Lanes operator/(Lanes a, Lanes b) {
	return Lanes(_mm_div_ps(a.v, b.v));
}

// Four Vec3, component by component: lane i of x, y and z is the i-th vector.
struct Vec3Lanes {
	Lanes x;
	Lanes y;
	Lanes z;

	Vec3Lanes() = default;
	Vec3Lanes(Lanes p_x, Lanes p_y, Lanes p_z) :
			x(p_x), y(p_y), z(p_z) {}
	// Gathers four vectors into the lanes.
	explicit Vec3Lanes(const Vec3 (&v)[4]) :
			x(_mm_setr_ps(v[0].x, v[1].x, v[2].x, v[3].x)),
			y(_mm_setr_ps(v[0].y, v[1].y, v[2].y, v[3].y)),
			z(_mm_setr_ps(v[0].z, v[1].z, v[2].z, v[3].z)) {}

	// Scatters the lanes back into four vectors.
	void store(Vec3 (&v)[4]) const {
		alignas(16) float px[4], py[4], pz[4];
		_mm_store_ps(px, x.v);
		_mm_store_ps(py, y.v);
		_mm_store_ps(pz, z.v);
		for (int i = 0; i < 4; i++)
			v[i] = Vec3(px[i], py[i], pz[i]);
	}
};

inline Vec3Lanes operator+(Vec3Lanes a, Vec3Lanes b) {
	return Vec3Lanes(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline Vec3Lanes operator-(Vec3Lanes a, Vec3Lanes b) {
	return Vec3Lanes(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline Vec3Lanes operator-(Vec3Lanes a) {
	return Vec3Lanes(-a.x, -a.y, -a.z);
}
inline Vec3Lanes operator*(Vec3Lanes v, Lanes s) {
	return Vec3Lanes(v.x * s, v.y * s, v.z * s);
}

inline Lanes dot(Vec3Lanes a, Vec3Lanes b) {
	return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Vec3Lanes cross(Vec3Lanes a, Vec3Lanes b) {
	return Vec3Lanes(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

inline Lanes length(Vec3Lanes v) {
	return Lanes(_mm_sqrt_ps((v.x * v.x + v.y * v.y + v.z * v.z).v));
}

// normalize() in every lane: a lane of zero length keeps its vector.
inline Vec3Lanes normalize(Vec3Lanes v) {
	Lanes l = length(v);
	Lanes s = Lanes(1.0f) / l;
	Vec3Lanes scaled = v * s;
	__m128 keep = _mm_cmpeq_ps(l.v, _mm_setzero_ps());
	auto pick = [keep](Lanes original, Lanes changed) {
		return Lanes(_mm_or_ps(_mm_and_ps(keep, original.v), _mm_andnot_ps(keep, changed.v)));
	};
	return Vec3Lanes(pick(v.x, scaled.x), pick(v.y, scaled.y), pick(v.z, scaled.z));
}

inline Vec3Lanes rotate_about_axis(Vec3Lanes v, Vec3Lanes k, Lanes cos_angle, Lanes sin_angle) {
	Vec3Lanes across = cross(k, v);
	Lanes along = dot(k, v);
	Lanes fold = Lanes(1.0f) - cos_angle;
	return v * cos_angle + across * sin_angle + k * along * fold;
}

} // namespace wendrel
#endif
