// Per-vertex sums of unit triangle normals, which become the bark normals: the mean of the
// unit normals of a vertex's triangles. The faces pass adds each triangle as it writes it, so
// that the triangles are not read back; every vertex's sum still runs over its triangles in
// their order in `faces`.
#pragma once

#include "model/tree_model.h"

#include <cstdint>
#include <memory>

namespace wendrel {

class NormalSums {
public:
	// Zeroes the normals and the use counts of the model's `vertex_count` vertices.
	NormalSums(TreeModel &model, const SubtreePlan &plan);

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
			uses[corner[c]] += 1;
			normals[corner[c]] = normals[corner[c]] + n;
		}
	}

	// Turns every sum into its mean.
	void finish(const SubtreePlan &plan);

private:
	const Vec3 *vertices;
	Vec3 *normals;
	int32_t vertex_count;
	std::unique_ptr<int32_t[]> uses;
};

} // namespace wendrel
