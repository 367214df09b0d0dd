// The normals pass: every bark vertex gets the mean of the unit normals of its triangles.
//
// Reads `vertices`, `faces` and the counts; writes normals[0 .. vertex_count-1]. The mean is
// not renormalised: where the triangles around a vertex bend, its normal is shorter than 1.
#include "model/storage.h"
#include "model/tree_model.h"

namespace wendrel {

void TreeModel::compute_normals() {
	std::unique_ptr<int32_t[]> uses = new_scratch_array<int32_t>(size_t(vertex_count));
	for (int32_t k = 0; k < vertex_count; k++) {
		normals[k] = Vec3(0.0f, 0.0f, 0.0f);
		uses[k] = 0;
	}
	for (int32_t i = 0; i < face_count; i++) {
		const int32_t *corner = faces[i].index;
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
	for (int32_t k = 0; k < vertex_count; k++) {
		// A vertex no triangle uses keeps the zero normal rather than dividing by zero.
		if (uses[k] == 0)
			continue;
		float inverse = 1.0f / float(uses[k]);
		normals[k] = normals[k] * inverse;
	}
}

} // namespace wendrel
