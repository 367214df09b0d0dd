// The tree's sizes twice: in closed form from the parameters (measure_tree, which refuses a
// tree before anything is allocated) and by the counting walks over the grown skeleton that
// size the arrays. The two must agree; the tests compare them.
#include "model/sizes.h"

#include "model/bounds.h"
#include "model/geometry.h"
#include "model/skeleton.h"

namespace wendrel {

namespace {

// Saturating arithmetic for the closed-form sizes: anything at or above the cap is too large.
constexpr int64_t SIZE_CAP = int64_t(1) << 62;

int64_t add_sat(int64_t a, int64_t b) {
	return a >= SIZE_CAP - b ? SIZE_CAP : a + b;
}

int64_t mul_sat(int64_t a, int64_t b) {
	if (a == 0 || b == 0)
		return 0;
	return a >= SIZE_CAP / b ? SIZE_CAP : a * b;
}

int64_t skeleton_branches(int32_t branches_count, int32_t trunk_height) {
	// Below one level the root splits once into two leaves, whatever the trunk height.
	if (branches_count <= 0)
		return 3;
	if (branches_count > 60)
		return SIZE_CAP;
	int64_t steps = trunk_height > 0 ? trunk_height : 0;
	int64_t side = int64_t(1) << (branches_count + 1);
	return add_sat(2 * side - 1, mul_sat(steps, side));
}

bool fits_elements(int64_t count, int64_t element_size) {
	return count <= MAX_ARRAY_BYTES / element_size;
}

} // namespace

int64_t effective_segments(int32_t segments) {
	int64_t count = segments < 2 ? 2 : segments;
	return count + (count & 1);
}

int64_t twig_cards_per_leaf(const TreeProperties &p) {
	int64_t cards = p.twig_cards_per_tip < 1 ? 1 : p.twig_cards_per_tip;
	return p.twig_crossed != 0 ? 2 * cards : cards;
}

TreeSize measure_tree(const TreeProperties &p) {
	TreeSize size;
	size.branches = skeleton_branches(p.branches_count, p.trunk_height);
	size.forks = (size.branches - 1) / 2;
	size.leaves = size.forks + 1;
	size.segments = effective_segments(p.segments);
	int64_t s = size.segments;
	int64_t per_fork = 3 * (s / 2) - 1;
	size.vertex_count = add_sat(s, add_sat(mul_sat(size.forks, per_fork), size.leaves));
	// Every bark vertex but the tips (whose u is never 0) may get one seam twin.
	size.max_vertex_count = add_sat(size.vertex_count, size.vertex_count - size.leaves);
	int64_t cards = mul_sat(size.leaves, twig_cards_per_leaf(p));
	size.twig_vertex_count = mul_sat(8, cards);
	size.twig_face_count = mul_sat(4, cards);
	int64_t leaf_parents = size.leaves / 2;
	int64_t fork_parents = size.forks - leaf_parents;
	size.face_count = add_sat(mul_sat(2, s),
			add_sat(mul_sat(mul_sat(4, s), fork_parents), mul_sat(mul_sat(2, s), leaf_parents)));
	size.fits = fits_elements(size.max_vertex_count, sizeof(Vec3)) &&
			fits_elements(size.twig_vertex_count, sizeof(Vec3)) &&
			fits_elements(size.face_count, sizeof(Face)) &&
			fits_elements(size.twig_face_count, sizeof(Face));
	if (size.fits) {
		// Only now are the levels few enough to walk: the child lengths below the trunk down
		// to the tips, and the trunk steps.
		int64_t generations = (p.branches_count > 0 ? p.branches_count : 0) + 1;
		int64_t steps = p.branches_count > 0 && p.trunk_height > 0 ? p.trunk_height : 0;
		Fault fault = find_unrepresentable(p, generations, steps);
		size.fits = fault.property == nullptr;
		size.fault = fault.property;
		size.reason = fault.reason;
	}
	return size;
}

VertexCounts count_vertices(Branch *start, int64_t segments, int64_t cards_per_leaf) {
	VertexCounts counts;
	visit_preorder(start, [&](Branch *b) {
		if (!b->parent)
			counts.vertices += segments; // foot ring
		if (b->is_leaf()) {
			counts.vertices += 1; // tip
			counts.twig_vertices += 8 * cards_per_leaf;
			counts.twig_faces += 4 * cards_per_leaf;
		} else {
			counts.vertices += 3 * (segments / 2) - 1; // the fork's three shared rings
		}
	});
	return counts;
}

int64_t count_faces(Branch *start, int64_t segments) {
	int64_t faces = 0;
	visit_preorder(start, [&](Branch *b) {
		if (b->is_leaf())
			return;
		if (!b->parent)
			faces += 2 * segments; // foot ring to the root's fork
		// The rings pass gives rings exactly to forks: a fork's children are tubes to two
		// further forks, or cones to two tips.
		faces += b->child0->ring0 ? 4 * segments : 2 * segments;
	});
	return faces;
}

} // namespace wendrel
