// Per-vertex sums of unit triangle normals, which become the bark normals: the mean of the
// unit normals of a vertex's triangles. The faces pass adds each triangle as it writes it, so
// that the triangles are not read back; every vertex's sum still runs over its triangles in
// their order in `faces`.
#pragma once

#include "model/geometry.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace wendrel {

struct SubtreePlan;

// Vectors held component by component, so that many can be normalised at once.
struct VectorBatch {
	std::vector<float> x, y, z;

	// Makes room for at least `count` vectors.
	void reserve(size_t count) {
		if (x.size() >= count)
			return;
		x.resize(count);
		y.resize(count);
		z.resize(count);
	}
	void set(size_t i, Vec3 v) {
		x[i] = v.x;
		y[i] = v.y;
		z[i] = v.z;
	}
	Vec3 get(size_t i) const { return Vec3(x[i], y[i], z[i]); }
	// normalize() on the first `count` vectors, bit for bit: four at a time where the processor
	// has four-wide float arithmetic, whose square root and division round as the scalar
	// ones do.
	void normalize_first(size_t count);
	// length() of the first `count` vectors into x, in the same way.
	void length_first(size_t count);
};

class NormalSums {
public:
	// How a vertex's number of triangles is known when its sum becomes a mean.
	enum class Uses {
		COUNTED,	// counted as the triangles are added, for finish()
		FROM_RINGS, // given by the ring layout, for finish_fork() and finish_vertex()
	};

	// Reads `vertices` through add() and writes `normals`, both `vertex_count` long; zeroes the
	// normals (and the use counts) now.
	NormalSums(const Vec3 *p_vertices, Vec3 *p_normals, int32_t p_vertex_count, const SubtreePlan &plan, Uses uses_from);

	// Adds the unit normal of `face` to its corners. Faces sharing a vertex must be added in
	// their order, and never on two threads at once.
	void add(const Face &face) {
		const int32_t *corner = face.index;
		Vec3 p0 = vertices[corner[0]];
		Vec3 p1 = vertices[corner[1]];
		Vec3 p2 = vertices[corner[2]];
		// Points to the side from which p0, p1, p2 appear counter-clockwise.
		Vec3 n = normalize(cross(p1 - p2, p1 - p0));
		for (int c = 0; c < 3; c++) {
			if (uses)
				uses[corner[c]] += 1;
			normals[corner[c]] = normals[corner[c]] + n;
		}
	}

	// add() for each of `count` faces in order; `batch` is the caller's scratch room.
	void add_all(const Face *faces, int32_t count, VectorBatch &batch);

	// Turns every counted sum into its mean.
	void finish(const SubtreePlan &plan);

	// Turns the sums of one fork's own vertices into their means, once the fork's triangles
	// (and its parent's) are all added. The fork's n + n/2 - 1 vertices start at `first`, in
	// the order the rings pass places them: a pivot, the second child's sweep, the other
	// pivot, the first child's sweep, the crotch sweep. Every ring position is a corner of 3
	// triangles of a tube or 2 of a cone; ring0 always closes a tube, ring1 and ring2 close
	// tubes when `children_are_forks`, cones otherwise.
	void finish_fork(int32_t first, int32_t n, bool children_are_forks) {
		int32_t h = n / 2;
		int32_t child_side = children_are_forks ? 3 : 2;
		finish_vertex(first, 3 + 2 * child_side); // in ring0, ring1 and ring2
		for (int32_t k = 1; k < n; k++)
			finish_vertex(first + k, k == h ? 3 + 2 * child_side : 3 + child_side);
		for (int32_t k = n; k < n + h - 1; k++)
			finish_vertex(first + k, 2 * child_side); // the crotch: ring1 and ring2
	}

	// Turns one vertex's sum of `count` triangles into their mean.
	void finish_vertex(int32_t vertex, int32_t count) {
		float inverse = 1.0f / float(count);
		normals[vertex] = normals[vertex] * inverse;
	}

private:
	const Vec3 *vertices;
	Vec3 *normals;
	int32_t vertex_count;
	std::unique_ptr<int32_t[]> uses; // only when COUNTED
};

} // namespace wendrel
