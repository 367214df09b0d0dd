// The normals pass: every bark vertex gets the mean of the unit normals of its triangles.
//
// Reads `vertices`, `faces` and the counts; writes normals[0 .. vertex_count-1]. The mean is
// not renormalised: where the triangles around a vertex bend, its normal is shorter than 1.
// generate() adds the triangles while the faces pass writes them (see normals.h).
#include "model/normals.h"

#include "model/storage.h"
#include "model/subtrees.h"

#include <algorithm>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace wendrel {

NormalSums::NormalSums(const Vec3 *p_vertices, Vec3 *p_normals, int32_t p_vertex_count, const SubtreePlan &plan, Uses uses_from) :
		vertices(p_vertices),
		normals(p_normals),
		vertex_count(p_vertex_count) {
	if (uses_from == Uses::COUNTED)
		uses = new_scratch_array<int32_t>(size_t(vertex_count));
	plan.for_each_piece(vertex_count, [&](int64_t begin, int64_t end) {
		std::fill(normals + begin, normals + end, Vec3(0.0f, 0.0f, 0.0f));
		if (uses)
			std::fill(uses.get() + begin, uses.get() + end, 0);
	});
}

void VectorBatch::normalize_first(size_t count) {
	size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
	const __m128 zero = _mm_setzero_ps();
	const __m128 one = _mm_set1_ps(1.0f);
	for (; i + 4 <= count; i += 4) {
		__m128 vx = _mm_loadu_ps(&x[i]);
		__m128 vy = _mm_loadu_ps(&y[i]);
		__m128 vz = _mm_loadu_ps(&z[i]);
		// As length() and normalize(): (x² + y²) + z², its root, the reciprocal, three products.
		__m128 square = _mm_add_ps(_mm_add_ps(_mm_mul_ps(vx, vx), _mm_mul_ps(vy, vy)), _mm_mul_ps(vz, vz));
		__m128 l = _mm_sqrt_ps(square);
		__m128 s = _mm_div_ps(one, l);
		// A zero length leaves the vector as it is.
		__m128 keep = _mm_cmpeq_ps(l, zero);
		auto scaled = [&](__m128 v) { return _mm_or_ps(_mm_and_ps(keep, v), _mm_andnot_ps(keep, _mm_mul_ps(v, s))); };
		_mm_storeu_ps(&x[i], scaled(vx));
		_mm_storeu_ps(&y[i], scaled(vy));
		_mm_storeu_ps(&z[i], scaled(vz));
	}
#endif
	for (; i < count; i++)
		set(i, normalize(get(i)));
}

void VectorBatch::length_first(size_t count) {
	size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
	for (; i + 4 <= count; i += 4) {
		__m128 vx = _mm_loadu_ps(&x[i]);
		__m128 vy = _mm_loadu_ps(&y[i]);
		__m128 vz = _mm_loadu_ps(&z[i]);
		__m128 square = _mm_add_ps(_mm_add_ps(_mm_mul_ps(vx, vx), _mm_mul_ps(vy, vy)), _mm_mul_ps(vz, vz));
		_mm_storeu_ps(&x[i], _mm_sqrt_ps(square));
	}
#endif
	for (; i < count; i++)
		x[i] = length(get(i));
}

void NormalSums::add_all(const Face *faces, int32_t count, VectorBatch &batch) {
	batch.reserve(size_t(count));
	for (int32_t k = 0; k < count; k++) {
		const int32_t *corner = faces[k].index;
		Vec3 p1 = vertices[corner[1]];
		batch.set(size_t(k), cross(p1 - vertices[corner[2]], p1 - vertices[corner[0]]));
	}
	batch.normalize_first(size_t(count));
	for (int32_t k = 0; k < count; k++) {
		const int32_t *corner = faces[k].index;
		Vec3 n = batch.get(size_t(k));
		for (int c = 0; c < 3; c++)
			normals[corner[c]] = normals[corner[c]] + n;
	}
}

void NormalSums::finish(const SubtreePlan &plan) {
	plan.for_each_piece(vertex_count, [&](int64_t begin, int64_t end) {
		for (int64_t k = begin; k < end; k++) {
			// A vertex no triangle uses keeps the zero normal rather than dividing by zero.
			if (uses[k] == 0)
				continue;
			float inverse = 1.0f / float(uses[k]);
			normals[k] = normals[k] * inverse;
		}
	});
}

} // namespace wendrel
