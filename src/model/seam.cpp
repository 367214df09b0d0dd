// The seam split: bark vertices on the texture seam get a twin with u = 1.
//
// u runs from 0 to (n-1)/n around every ring, so a triangle that joins a u = 0 vertex to one
// above 0.5 would sweep backwards across nearly the whole texture. Such a vertex gets a twin at
// the same position, with the same normal and v, and u = 1.0; the triangles on the far side of
// the seam are rewired to the twin. Grows `vertices`, `normals` and `uvs` by the number of twins
// and raises `vertex_count` to match; `faces` keeps its length.
#include "model/storage.h"
#include "model/tree_model.h"

#include <algorithm>
#include <cmath>
#include <memory>
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

// The seam vertices in the order the triangles first meet them, and the triangles that cross
// the seam: only those can need rewiring, since a triangle's working u values change only
// after one of its edges crossed.
struct SeamList {
	// twin_of[v] is the position of v in `vertices`, or -1. It replaces a search of the
	// list, and no vertex can enter the list twice, so the list never outgrows the vertices.
	std::unique_ptr<int32_t[]> twin_of;
	std::vector<int32_t> vertices;
	std::vector<int32_t> crossing_faces;
};

SeamList collect_seam(const Face *faces, int32_t face_count, const Vec2 *uvs, int32_t vertex_count) {
	SeamList seam;
	seam.twin_of = new_scratch_array<int32_t>(size_t(vertex_count));
	std::fill_n(seam.twin_of.get(), vertex_count, -1);
	seam.vertices.reserve(size_t(vertex_count / 2));
	for (int32_t i = 0; i < face_count; i++) {
		const int32_t *corner = faces[i].index;
		float u[3] = { uvs[corner[0]].u, uvs[corner[1]].u, uvs[corner[2]].u };
		// Only a corner exactly on u = 0 can be a seam end: most triangles have none.
		if (u[0] != 0.0f && u[1] != 0.0f && u[2] != 0.0f)
			continue;
		bool crosses = false;
		for (const int *edge : EDGES) {
			int32_t ends[2] = { corner[edge[0]], corner[edge[1]] };
			int end = seam_end(u[edge[0]], u[edge[1]]);
			if (end < 0)
				continue;
			crosses = true;
			if (seam.twin_of[ends[end]] < 0) {
				seam.twin_of[ends[end]] = int32_t(seam.vertices.size());
				seam.vertices.push_back(ends[end]);
			}
		}
		if (crosses)
			seam.crossing_faces.push_back(i);
	}
	return seam;
}

// Moves the triangle's seam corners to their twins, edge by edge; a moved corner takes the
// twin's u of 1, which later edges of the same triangle compare against.
void rewire(Face &face, const Vec2 *uvs, const int32_t *twin_of, int32_t first_twin) {
	int32_t *corner = face.index;
	float u[3] = { uvs[corner[0]].u, uvs[corner[1]].u, uvs[corner[2]].u };
	for (const int *edge : EDGES) {
		int end = seam_end(u[edge[0]], u[edge[1]]);
		if (end < 0)
			continue;
		int c = edge[end];
		int32_t twin = twin_of[corner[c]];
		if (twin < 0)
			continue; // not reached: such a corner crossed on a collected edge too
		corner[c] = first_twin + twin;
		u[c] = 1.0f;
	}
}

} // namespace

void TreeModel::split_uv_seam() {
	int32_t original = vertex_count;
	SeamList seam = collect_seam(faces, face_count, uvs, original);
	int32_t twins = int32_t(seam.vertices.size());
	grow_array(vertices, capacity.vertices, original, original + twins);
	grow_array(normals, capacity.normals, original, original + twins);
	grow_array(uvs, capacity.uvs, original, original + twins);
	for (int32_t k = 0; k < twins; k++) {
		int32_t s = seam.vertices[size_t(k)];
		vertices[original + k] = vertices[s];
		normals[original + k] = normals[s];
		uvs[original + k] = Vec2(1.0f, uvs[s].v);
	}
	for (int32_t i : seam.crossing_faces)
		rewire(faces[i], uvs, seam.twin_of.get(), original);
	vertex_count = original + twins;
}

} // namespace wendrel
