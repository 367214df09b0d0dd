// The normals pass: every bark vertex gets the mean of the unit normals of its triangles.
//
// Reads `vertices`, `faces` and the counts; writes normals[0 .. vertex_count-1]. The mean is
// not renormalised: where the triangles around a vertex bend, its normal is shorter than 1.
// A vertex's sum runs over its triangles in their order in `faces`, whatever the threads.
#include "model/storage.h"
#include "model/subtrees.h"
#include "model/tree_model.h"

#include <algorithm>

namespace wendrel {

namespace {

// Adds the unit normals of triangles [begin, end) to their corners and counts the uses.
void add_face_normals(const TreeModel &m, int32_t *uses, int64_t begin, int64_t end) {
	// Local copies: the stores below would otherwise make the compiler reload every pointer.
	const Face *faces = m.faces;
	const Vec3 *vertices = m.vertices;
	Vec3 *normals = m.normals;
	for (int64_t i = begin; i < end; i++) {
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
}

// Calls work(begin, end) for pieces of [0, count) spread over the plan's threads.
template <typename Work>
void for_each_piece(const SubtreePlan &plan, int64_t count, Work work) {
	int64_t pieces = std::min<int64_t>(int64_t(plan.threads) * 4, std::max<int64_t>(count / 65536, 1));
	plan.for_each(size_t(pieces), [&](size_t piece) {
		work(count * int64_t(piece) / pieces, count * int64_t(piece + 1) / pieces);
	});
}

} // namespace

void TreeModel::compute_normals() {
	fill_normals(SubtreePlan());
}

void TreeModel::fill_normals(const SubtreePlan &plan) {
	std::unique_ptr<int32_t[]> uses = new_scratch_array<int32_t>(size_t(vertex_count));
	for_each_piece(plan, vertex_count, [&](int64_t begin, int64_t end) {
		std::fill(normals + begin, normals + end, Vec3(0.0f, 0.0f, 0.0f));
		std::fill(uses.get() + begin, uses.get() + end, 0);
	});
	// The top's triangles first, in order: they are the first to touch a subtree root's ring,
	// which its parent's tube shares with the subtree's own triangles.
	int32_t n = ring_segments();
	int64_t top_begin = 0;
	for (const Subtree &s : plan.subtrees) {
		int64_t start = pass_starts(s.before, n).faces;
		add_face_normals(*this, uses.get(), top_begin, start);
		top_begin = start + pass_counts(s.span, n).faces;
	}
	add_face_normals(*this, uses.get(), top_begin, face_count);
	plan.for_each_subtree([&](size_t i) {
		const Subtree &s = plan.subtrees[i];
		int64_t start = pass_starts(s.before, n).faces;
		add_face_normals(*this, uses.get(), start, start + pass_counts(s.span, n).faces);
	});
	for_each_piece(plan, vertex_count, [&](int64_t begin, int64_t end) {
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
