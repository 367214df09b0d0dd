// The twig pass: double-sided cards at the tip of every leaf.
//
// Reads the skeleton, `twig_scale`, `twig_cards_per_tip`, `twig_crossed`, `twig_aspect` and
// `twig_leaf_variants`. Writes twig_cards_per_leaf() cards per leaf, each 8 `twig_vertices`,
// `twig_normals` and `twig_uvs` and 4 `twig_faces`, in the depth-first order of the leaves and,
// within a leaf, card by card (a crossed card right after the card it crosses). Advances
// `twig_vertex_count` and `twig_face_count` from 0 to 8 and 4 times the card count.
//
// A leaf's first card lies in the plane of the leaf and its sibling, from the fork the leaf
// grows from to beyond its tip. Its further cards grow from the same point, turned about the
// leaf's direction, leaning out and sized by seeded values; these come from a hash of the
// seed, the leaf's depth-first number and the card's, never from the skeleton's running
// counter, so the first card and the skeleton are the same whatever the twig parameters.
#include "model/math/exact_math.h"
#include "model/seeded_hash.h"
#include "model/subtrees.h"
#include "model/tree_model.h"

namespace wendrel {

namespace {

// Corner order of one side of the card, then the same four corners again for the other side.
const Vec2 CARD_UVS[4] = { Vec2(0.0f, 0.0f), Vec2(1.0f, 0.0f), Vec2(1.0f, 1.0f), Vec2(0.0f, 1.0f) };
// The first two triangles face one way, the last two (on the copies) the other way.
const int32_t CARD_FACES[4][3] = { { 0, 1, 2 }, { 3, 0, 2 }, { 6, 5, 4 }, { 6, 4, 7 } };

constexpr float PI = 3.14159265f;
// How far the further cards of a tip lean out from its direction, in radians.
constexpr float LEAN_MIN = 0.25f;
constexpr float LEAN_RANGE = 0.45f;
// The size jitter of the further cards: their half width is twig_scale times [0.8, 1.2).
constexpr float SIZE_MIN = 0.8f;
constexpr float SIZE_RANGE = 0.4f;
// The seeded values each card draws: its turn, its lean, its size and its atlas cell.
constexpr uint32_t DRAWS_PER_CARD = 4;

// Where the next card's vertices and triangles go.
struct CardCursor {
	int32_t vertex;
	int32_t face;
	int64_t leaf; // the depth-first number of the next leaf
	// The across direction of the last fork whose card was placed: its other leaf shares it.
	const Branch *across_fork = nullptr;
	Vec3 across{ 0.0f, 0.0f, 0.0f };
};

// One card: `width` either side of `origin` across, from `back` behind it to `front` beyond
// it along.
struct CardShape {
	Vec3 origin;
	Vec3 across;
	Vec3 along;
	float width;
	float back;
	float front;
	Vec2 uv_offset; // the atlas cell's corner
	float uv_scale; // 1 for the whole texture, 0.5 for one cell
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

void write_card(TreeModel &m, CardCursor &at, const CardShape &c) {
	int32_t n = at.vertex;
	Vec3 *v = m.twig_vertices + n;
	v[0] = c.origin + c.across * c.width + c.along * c.front;
	v[1] = c.origin - c.across * c.width + c.along * c.front;
	v[2] = c.origin - c.across * c.width - c.along * c.back;
	v[3] = c.origin + c.across * c.width - c.along * c.back;
	for (int k = 0; k < 4; k++)
		v[4 + k] = v[k];

	// The copies face the other way: their triangles run v6, v5, v4, the front's v0, v1, v2.
	Vec3 front, back;
	card_normals(v[0] - v[2], v[1] - v[2], front, back);
	for (int k = 0; k < 4; k++) {
		// note: the whole texture keeps the corners' values as they are, unscaled.
		Vec2 uv = c.uv_scale == 1.0f ? CARD_UVS[k] : Vec2(c.uv_offset.u + CARD_UVS[k].u * c.uv_scale, c.uv_offset.v + CARD_UVS[k].v * c.uv_scale);
		m.twig_normals[n + k] = front;
		m.twig_normals[n + 4 + k] = back;
		m.twig_uvs[n + k] = uv;
		m.twig_uvs[n + 4 + k] = uv;
	}
	for (int t = 0; t < 4; t++) {
		Face &face = m.twig_faces[at.face + t];
		for (int c = 0; c < 3; c++)
			face.index[c] = n + CARD_FACES[t][c];
	}
	at.vertex += 8;
	at.face += 4;
}

// The seeded value `draw` of card `card` of leaf `leaf`, in [0, 1).
float card_value(const TreeModel &m, int64_t leaf, int64_t card, uint32_t draw) {
	uint64_t cards = m.twig_cards_per_tip < 1 ? 1u : uint64_t(m.twig_cards_per_tip);
	uint64_t index = (uint64_t(leaf) * cards + uint64_t(card)) * DRAWS_PER_CARD + draw;
	return unit_float(seeded_bits(m.seed, uint32_t(index ^ (index >> 32))));
}

// The atlas cell of a card: one of the first `twig_leaf_variants` cells of the 2x2 atlas,
// left to right, then top to bottom.
void pick_cell(const TreeModel &m, int64_t leaf, int64_t card, CardShape &c) {
	int32_t variants = m.twig_leaf_variants > 4 ? 4 : m.twig_leaf_variants;
	if (variants <= 1)
		return;
	int32_t cell = int32_t(card_value(m, leaf, card, 3) * float(variants));
	cell = cell < variants ? cell : variants - 1;
	c.uv_scale = 0.5f;
	c.uv_offset = Vec2(0.5f * float(cell & 1), 0.5f * float(cell >> 1));
}

// Card `card` (above 0) of a tip: the first card's frame turned about its direction by a share
// of half a turn and a seeded part of that share, leaning out towards its own face by a seeded
// angle, its half width jittered; it starts where the first card starts.
CardShape further_card(const TreeModel &m, const CardShape &first, int64_t leaf, int64_t card) {
	float share = PI / float(m.twig_cards_per_tip);
	float turn = share * (float(card) + card_value(m, leaf, card, 0) - 0.5f);
	Vec3 across = rotate_about_axis(first.across, first.along, exact_cos(turn), exact_sin(turn));
	Vec3 face = cross(across, first.along);
	// Every other card leans the other way, so the cards open on all sides of the tip.
	float lean = LEAN_MIN + LEAN_RANGE * card_value(m, leaf, card, 1);
	lean = (card & 1) ? lean : -lean;
	CardShape c = first;
	c.origin = first.origin - first.along * first.back;
	c.along = normalize(first.along * exact_cos(lean) + face * exact_sin(lean));
	c.across = normalize(cross(c.along, face));
	c.width = m.twig_scale * (SIZE_MIN + SIZE_RANGE * card_value(m, leaf, card, 2));
	c.back = 0.0f;
	c.front = 2.0f * c.width * m.twig_aspect;
	return c;
}

// The card at right angles to `c`, about the same direction.
CardShape crossing_card(const CardShape &c) {
	CardShape crossing = c;
	crossing.across = normalize(cross(c.along, c.across));
	return crossing;
}

void place_cards(TreeModel &m, CardCursor &at, const Branch *leaf) {
	const Branch *p = leaf->parent;
	// The card lies in the plane of the leaf and its sibling as they leave the fork, so both
	// cards of one fork share the same across direction.
	if (at.across_fork != p) {
		at.across = normalize(cross(p->child0->head - p->head, p->child1->head - p->head));
		at.across_fork = p;
	}
	float s = m.twig_scale;
	float e = leaf->length;
	// note: 2 s a − e is 2 s − e exactly at aspect 1, the square card.
	CardShape first{ leaf->head, at.across, normalize(leaf->head - p->head), s, e, 2.0f * s * m.twig_aspect - e,
		Vec2(0.0f, 0.0f), 1.0f };
	int64_t cards = m.twig_cards_per_tip < 1 ? 1 : m.twig_cards_per_tip;
	for (int64_t k = 0; k < cards; k++) {
		CardShape c = k == 0 ? first : further_card(m, first, at.leaf, k);
		pick_cell(m, at.leaf, k, c);
		write_card(m, at, c);
		if (m.twig_crossed != 0)
			write_card(m, at, crossing_card(c));
	}
	at.leaf++;
}

} // namespace

void TreeModel::fill_twigs(Branch *start, const SubtreePlan &plan) {
	auto place_leaf = [this](CardCursor &at, Branch *b) {
		if (b->is_leaf())
			place_cards(*this, at, b);
	};
	int64_t per_leaf = twig_cards_per_leaf(*this);
	CardCursor top{ twig_vertex_count, twig_face_count, twig_vertex_count / (8 * per_leaf) };
	visit_top(
			start, plan, [&](Branch *b) { place_leaf(top, b); }, [&](const Subtree &s) {
		top.vertex += int32_t(8 * per_leaf * s.span.leaves);
		top.face += int32_t(4 * per_leaf * s.span.leaves);
		top.leaf += s.span.leaves; });
	twig_vertex_count = top.vertex;
	twig_face_count = top.face;
	plan.for_each_subtree([&](size_t i) {
		const Subtree &s = plan.subtrees[i];
		CardCursor own{ int32_t(8 * per_leaf * s.before.leaves), int32_t(4 * per_leaf * s.before.leaves), s.before.leaves };
		visit_preorder(s.root, [&](Branch *b) { place_leaf(own, b); });
	});
}

} // namespace wendrel
