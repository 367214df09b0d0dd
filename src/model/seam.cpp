// The seam split: bark vertices on the texture seam get a twin with u = 1.
//
// u runs from 0 to (n-1)/n around every ring, so a triangle that joins a u = 0 vertex to one
// above 0.5 would sweep backwards across nearly the whole texture. Such a vertex gets a twin at
// the same position, with the same normal and v, and u = 1.0; the triangles on the far side of
// the seam are rewired to the twin. Grows `vertices`, `normals` and `uvs` by the number of twins
// and raises `vertex_count` to match; `faces` keeps its length.
#include "model/storage.h"
#include "model/subtrees.h"
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

// Marks in the twin table: a vertex no triangle has met on the seam yet, and one met (whose
// twin's place is decided once every range is collected).
constexpr int32_t UNMET = -1;
constexpr int32_t MET = -2;

// The seam vertices of one range of triangles in the order they first meet them, and the
// triangles that cross the seam: only those can need rewiring, since a triangle's working u
// values change only after one of its edges crossed.
struct SeamList {
	std::vector<int32_t> vertices;
	std::vector<int32_t> crossing_faces;
	int32_t first_twin = 0; // where this range's twins go, counted from the first twin
};

// Collects triangles [begin, end). A vertex that an earlier range met is not listed again:
// `twin_of` marks it, which also means no vertex can enter the lists twice.
void collect_seam(const Face *faces, int64_t begin, int64_t end, const Vec2 *uvs, int32_t *twin_of, SeamList &seam) {
	for (int64_t i = begin; i < end; i++) {
		const int32_t *corner = faces[i].index;
		float u[3] = { uvs[corner[0]].u, uvs[corner[1]].u, uvs[corner[2]].u };
		// Only a corner exactly on u = 0 can be a seam end: most triangles have none.
		if (u[0] != 0.0f && u[1] != 0.0f && u[2] != 0.0f)
			continue;
		bool crosses = false;
		for (const int *edge : EDGES) {
			int end_corner = seam_end(u[edge[0]], u[edge[1]]);
			if (end_corner < 0)
				continue;
			crosses = true;
			int32_t v = corner[edge[end_corner]];
			if (twin_of[v] == UNMET) {
				twin_of[v] = MET;
				seam.vertices.push_back(v);
			}
		}
		if (crosses)
			seam.crossing_faces.push_back(int32_t(i));
	}
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

void TreeModel::split_uv_seam(const SubtreePlan &plan) {
	int32_t original = vertex_count;
	std::unique_ptr<int32_t[]> twin_of = new_scratch_array<int32_t>(size_t(original));
	plan.for_each_piece(original, [&](int64_t begin, int64_t end) { std::fill(twin_of.get() + begin, twin_of.get() + end, UNMET); });
	// The top's stretches first, in order, then the subtrees in parallel: a subtree's triangles
	// share vertices only with the top's, which come before them in `faces`.
	std::vector<SubtreePlan::FaceRange> ranges = plan.face_ranges(ring_segments(), face_count);
	std::vector<SeamList> lists(ranges.size());
	for (size_t r = 0; r < ranges.size(); r++) {
		if (!ranges[r].subtree)
			collect_seam(faces, ranges[r].begin, ranges[r].end, uvs, twin_of.get(), lists[r]);
	}
	std::vector<size_t> subtree_ranges;
	for (size_t r = 0; r < ranges.size(); r++) {
		if (ranges[r].subtree)
			subtree_ranges.push_back(r);
	}
	plan.for_each(subtree_ranges.size(), [&](size_t k) {
		const SubtreePlan::FaceRange &range = ranges[subtree_ranges[k]];
		collect_seam(faces, range.begin, range.end, uvs, twin_of.get(), lists[subtree_ranges[k]]);
	});
	// Twins in the order the triangles first meet their vertices.
	int32_t twins = 0;
	for (SeamList &list : lists) {
		list.first_twin = twins;
		for (int32_t v : list.vertices)
			twin_of[v] = twins++;
	}
	grow_array(vertices, capacity.vertices, original, original + twins);
	grow_array(normals, capacity.normals, original, original + twins);
	grow_array(uvs, capacity.uvs, original, original + twins);
	plan.for_each(lists.size(), [&](size_t r) {
		const SeamList &list = lists[r];
		for (size_t k = 0; k < list.vertices.size(); k++) {
			int32_t s = list.vertices[k];
			int32_t twin = original + list.first_twin + int32_t(k);
			vertices[twin] = vertices[s];
			normals[twin] = normals[s];
			uvs[twin] = Vec2(1.0f, uvs[s].v);
		}
		for (int32_t i : list.crossing_faces)
			rewire(faces[i], uvs, twin_of.get(), original);
	});
	vertex_count = original + twins;
}

} // namespace wendrel
