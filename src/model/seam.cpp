// The seam split: bark vertices on the texture seam get a twin with u = 1.
//
// u runs from 0 to (n-1)/n around every ring, so a triangle that joins a u = 0 vertex to one
// above 0.5 would sweep backwards across nearly the whole texture. Such a vertex gets a twin at
// the same position, with the same normal and v, and u = 1.0; the triangles on the far side of
// the seam are rewired to the twin. Grows `vertices`, `normals` and `uvs` by the number of twins
// and raises `vertex_count` to match; `faces` keeps its length.
#include "model/storage.h"
#include "model/tree_model.h"

#include <cmath>
#include <vector>

namespace wendrel {

namespace {

// The three edges of a triangle, always visited in this order.
const int EDGES[3][2] = { { 0, 1 }, { 0, 2 }, { 1, 2 } };

// An edge crosses the seam when one end sits exactly on u = 0 and the other more than half
// the texture away. Returns the corner on the seam (0 or 1), or -1.
int seam_end(float u0, float u1) {
	if (!(fabsf(u0 - u1) > 0.5f))
		return -1;
	if (u0 == 0.0f)
		return 0;
	return u1 == 0.0f ? 1 : -1;
}

} // namespace

void TreeModel::split_uv_seam() {
	int32_t original = vertex_count;
	// twin_of[v] is the position of v in the seam list, or -1. It replaces a search of the
	// list, and no vertex can enter the list twice, so the list never outgrows the vertices.
	std::vector<int32_t> twin_of(size_t(original), -1);
	std::vector<int32_t> seam;
	seam.reserve(size_t(original / 2));
	for (int32_t i = 0; i < face_count; i++) {
		const int32_t *corner = faces[i].index;
		for (const int *edge : EDGES) {
			int32_t ends[2] = { corner[edge[0]], corner[edge[1]] };
			int end = seam_end(uvs[ends[0]].u, uvs[ends[1]].u);
			if (end < 0 || twin_of[size_t(ends[end])] >= 0)
				continue;
			twin_of[size_t(ends[end])] = int32_t(seam.size());
			seam.push_back(ends[end]);
		}
	}

	int32_t twins = int32_t(seam.size());
	grow_array(vertices, capacity.vertices, original, original + twins);
	grow_array(normals, capacity.normals, original, original + twins);
	grow_array(uvs, capacity.uvs, original, original + twins);
	for (int32_t k = 0; k < twins; k++) {
		int32_t s = seam[size_t(k)];
		vertices[original + k] = vertices[s];
		normals[original + k] = normals[s];
		uvs[original + k] = Vec2(1.0f, uvs[s].v);
	}

	for (int32_t i = 0; i < face_count; i++) {
		int32_t *corner = faces[i].index;
		float u[3] = { uvs[corner[0]].u, uvs[corner[1]].u, uvs[corner[2]].u };
		for (const int *edge : EDGES) {
			int end = seam_end(u[edge[0]], u[edge[1]]);
			if (end < 0)
				continue;
			int c = edge[end];
			int32_t twin = twin_of[size_t(corner[c])];
			if (twin < 0)
				continue; // not reached: such a corner crossed on a collected edge too
			corner[c] = original + twin;
			// Later edges of this triangle compare against the twin's u.
			u[c] = 1.0f;
		}
	}
	vertex_count = original + twins;
}

} // namespace wendrel
