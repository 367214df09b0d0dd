// The twig pass: one flat, double-sided square card at the tip of every leaf.
//
// Reads the skeleton and `twig_scale`. Writes 8 `twig_vertices`, `twig_normals` and
// `twig_uvs` and 4 `twig_faces` per leaf, in the depth-first order of the leaves, and advances
// `twig_vertex_count` and `twig_face_count` from 0 to 8 and 4 times the leaf count.
#include "model/subtrees.h"
#include "model/tree_model.h"

namespace wendrel {

namespace {

// Corner order of one side of the card, then the same four corners again for the other side.
const Vec2 CARD_UVS[4] = { Vec2(0.0f, 0.0f), Vec2(1.0f, 0.0f), Vec2(1.0f, 1.0f), Vec2(0.0f, 1.0f) };
// The first two triangles face one way, the last two (on the copies) the other way.
const int32_t CARD_FACES[4][3] = { { 0, 1, 2 }, { 3, 0, 2 }, { 6, 5, 4 }, { 6, 4, 7 } };

// Where the next card's vertices and triangles go.
struct CardCursor {
	int32_t vertex;
	int32_t face;
	// The across direction of the last fork whose card was placed: its other leaf shares it.
	const Branch *across_fork = nullptr;
	Vec3 across{ 0.0f, 0.0f, 0.0f };
};

// The unit normals of both sides of a card with edges a and b from one corner: cross(a, b)
// and cross(b, a) have the same length (their components differ only in sign), so one
// length serves both, as normalize() would compute it for each.
void card_normals(Vec3 a, Vec3 b, Vec3 &front, Vec3 &back) {
	front = cross(a, b);
	back = cross(b, a);
	float l = length(front);
	if (l == 0.0f)
		return;
	float s = 1.0f / l;
	front = front * s;
	back = back * s;
}

void place_card(TreeModel &m, CardCursor &at, const Branch *leaf) {
	const Branch *p = leaf->parent;
	// The card lies in the plane of the leaf and its sibling as they leave the fork, so both
	// cards of one fork share the same across direction.
	if (at.across_fork != p) {
		at.across = normalize(cross(p->child0->head - p->head, p->child1->head - p->head));
		at.across_fork = p;
	}
	Vec3 across = at.across;
	Vec3 along = normalize(leaf->head - p->head);
	float s = m.twig_scale;
	float e = leaf->length;
	float f = 2.0f * s - e;

	int32_t n = at.vertex;
	Vec3 *v = m.twig_vertices + n;
	v[0] = leaf->head + across * s + along * f;
	v[1] = leaf->head - across * s + along * f;
	v[2] = leaf->head - across * s - along * e;
	v[3] = leaf->head + across * s - along * e;
	for (int k = 0; k < 4; k++)
		v[4 + k] = v[k];

	// The copies face the other way: their triangles run v6, v5, v4, the front's v0, v1, v2.
	Vec3 front, back;
	card_normals(v[0] - v[2], v[1] - v[2], front, back);
	for (int k = 0; k < 4; k++) {
		m.twig_normals[n + k] = front;
		m.twig_normals[n + 4 + k] = back;
		m.twig_uvs[n + k] = CARD_UVS[k];
		m.twig_uvs[n + 4 + k] = CARD_UVS[k];
	}
	for (int t = 0; t < 4; t++) {
		Face &face = m.twig_faces[at.face + t];
		for (int c = 0; c < 3; c++)
			face.index[c] = n + CARD_FACES[t][c];
	}
	at.vertex += 8;
	at.face += 4;
}

} // namespace

void TreeModel::fill_twigs(Branch *start, const SubtreePlan &plan) {
	auto place_leaf = [this](CardCursor &at, Branch *b) {
		if (b->is_leaf())
			place_card(*this, at, b);
	};
	CardCursor top{ twig_vertex_count, twig_face_count, nullptr, Vec3(0.0f, 0.0f, 0.0f) };
	visit_top(
			start, plan, [&](Branch *b) { place_leaf(top, b); }, [&](const Subtree &s) {
		PassCounts skipped = pass_counts(s.span, ring_segments());
		top.vertex += int32_t(skipped.twig_vertices);
		top.face += int32_t(skipped.twig_faces); });
	twig_vertex_count = top.vertex;
	twig_face_count = top.face;
	plan.for_each_subtree([&](size_t i) {
		const Subtree &s = plan.subtrees[i];
		PassCounts starts = pass_starts(s.before, ring_segments());
		CardCursor own{ int32_t(starts.twig_vertices), int32_t(starts.twig_faces), nullptr, Vec3(0.0f, 0.0f, 0.0f) };
		visit_preorder(s.root, [&](Branch *b) { place_leaf(own, b); });
	});
}

} // namespace wendrel
