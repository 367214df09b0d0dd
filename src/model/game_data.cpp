// Wind records and collision segments, read from the skeleton after the faces pass.
//
// The bark's wind records follow the rings: every vertex of a fork's three rings gets the
// record of the branch whose head the fork sits on, the foot ring the root's, a tip its
// leaf's. The twig records follow the twig pass: eight per card, in the same depth-first
// order. The seam split's twins get the records of the vertices they copy.
#include "model/seeded_hash.h"
#include "model/tree_model.h"

#include <cmath>
#include <vector>

namespace wendrel {

namespace {

// A branch met by the walk, with what its children inherit.
struct WalkStep {
	const Branch *branch;
	float chain;		// distance from the trunk's foot to the branch's head, along the branches
	float parent_chain; // the same for the head it starts from (0 for the root)
	int32_t level;
};

// The phase of the branch that is `index`-th in depth-first order, in [0, 1).
float branch_phase(int32_t seed, uint32_t index) {
	return unit_float(seeded_bits(seed, index));
}

// A chain distance over the largest one, kept in [0, 1] whatever the sizes: a tree without
// height gives 0, and an infinite distance over an infinite largest one gives 1.
float chain_fraction(float chain, float longest) {
	if (!(longest > 0.0f))
		return 0.0f;
	float fraction = chain / longest;
	if (std::isnan(fraction))
		return 1.0f;
	return fminf(fmaxf(fraction, 0.0f), 1.0f);
}

// Calls visit(step, index) for every branch below the root, depth first, a branch before its
// children and child0's subtree before child1's (the order of the passes).
template <typename Visit>
void walk_with_chain(const Branch *root, Visit &&visit) {
	std::vector<WalkStep> pending;
	pending.push_back({ root, length(root->head), 0.0f, 0 });
	uint32_t index = 0;
	while (!pending.empty()) {
		WalkStep step = pending.back();
		pending.pop_back();
		visit(step, index++);
		const Branch *b = step.branch;
		if (b->is_leaf())
			continue;
		const Branch *children[2] = { b->child1, b->child0 };
		for (const Branch *child : children) {
			float chain = step.chain + length(child->head - b->head);
			pending.push_back({ child, chain, step.chain, child->is_trunk ? step.level : step.level + 1 });
		}
	}
}

float longest_chain(const Branch *root) {
	float longest = 0.0f;
	walk_with_chain(root, [&](const WalkStep &step, uint32_t) { longest = fmaxf(longest, step.chain); });
	return longest;
}

struct WindWriter {
	TreeModel &m;
	float longest;
	int32_t segments;
	int64_t cards; // twig cards per leaf

	void mark(const int32_t *ring, const WindRecord &record) {
		if (!ring)
			return;
		for (int32_t j = 0; j < segments; j++)
			m.wind[size_t(ring[j])] = record;
	}

	// The card's corners 0, 1 (and their copies 4, 5) are its outer end, 2 and 3 (6, 7) the
	// end nearest the branch: that end sits `length` back from the tip along the leaf, but
	// not behind the fork the leaf grows from.
	void card(const WalkStep &step, float phase) {
		const Branch *leaf = step.branch;
		float base = fmaxf(step.chain - leaf->length, step.parent_chain);
		WindRecord outer{ chain_fraction(step.chain, longest), phase, 1.0f, step.level };
		WindRecord inner{ chain_fraction(base, longest), phase, 0.0f, step.level };
		const WindRecord corners[8] = { outer, outer, inner, inner, outer, outer, inner, inner };
		// Every card of the tip grows from that end and flutters alike.
		for (int64_t k = 0; k < cards; k++)
			for (const WindRecord &corner : corners)
				m.twig_wind.push_back(corner);
	}

	void branch(const WalkStep &step, uint32_t index) {
		const Branch *b = step.branch;
		float phase = branch_phase(m.seed, index);
		WindRecord record{ chain_fraction(step.chain, longest), phase, 0.0f, step.level };
		if (b->root_ring)
			mark(b->root_ring, WindRecord{ 0.0f, phase, 0.0f, 0 });
		if (b->is_leaf()) {
			m.wind[size_t(b->end_index)] = record;
			card(step, phase);
			return;
		}
		mark(b->ring0, record);
		mark(b->ring1, record);
		mark(b->ring2, record);
	}
};

void collect_wind(TreeModel &m) {
	m.wind.assign(size_t(m.vertex_count), WindRecord{ 0.0f, 0.0f, 0.0f, 0 });
	m.twig_wind.clear();
	m.twig_wind.reserve(size_t(m.twig_vertex_count));
	WindWriter writer{ m, longest_chain(m.root), m.ring_segments(), twig_cards_per_leaf(m) };
	walk_with_chain(m.root, [&](const WalkStep &step, uint32_t index) { writer.branch(step, index); });
}

void collect_segments(TreeModel &m) {
	m.collision_segments.clear();
	walk_with_chain(m.root, [&](const WalkStep &step, uint32_t) {
		const Branch *b = step.branch;
		Vec3 start = b->parent ? b->parent->head : Vec3(0.0f, 0.0f, 0.0f);
		m.collision_segments.push_back(CollisionSegment{ start, b->head, b->radius, step.level });
	});
}

} // namespace

void TreeModel::collect_game_data() {
	if (with_wind) {
		collect_wind(*this);
		faces_before_seam.assign(faces, faces + face_count);
	} else {
		wind = {};
		twig_wind = {};
	}
	if (with_collision)
		collect_segments(*this);
	else
		collision_segments = {};
}

void TreeModel::finish_game_data() {
	if (!with_wind)
		return;
	// The seam split appends its twins after the original vertices and moves triangle corners
	// onto them; every twin is the corner of at least one moved triangle.
	int32_t original = int32_t(wind.size());
	wind.resize(size_t(vertex_count), WindRecord{ 0.0f, 0.0f, 0.0f, 0 });
	for (int32_t i = 0; i < face_count; i++) {
		for (int c = 0; c < 3; c++) {
			int32_t now = faces[i].index[c];
			if (now >= original)
				wind[size_t(now)] = wind[size_t(faces_before_seam[size_t(i)].index[c])];
		}
	}
	faces_before_seam = {};
}

std::vector<CollisionCapsule> collision_capsules(const std::vector<CollisionSegment> &segments, float min_radius) {
	std::vector<CollisionCapsule> capsules;
	for (const CollisionSegment &segment : segments) {
		const float span = length(segment.end - segment.start);
		if (!(span > 0.0f) || !std::isfinite(span) || !(segment.radius > 0.0f)) {
			continue;
		}
		if (segment.level != 0 && !(segment.radius > min_radius)) {
			continue;
		}
		const Vec3 axis = (segment.end - segment.start) * (1.0f / span);
		capsules.push_back({ (segment.start + segment.end) * 0.5f, axis, segment.radius, span + 2.0f * segment.radius });
	}
	return capsules;
}

} // namespace wendrel
