// Skeleton growth: the split of one branch into two children, repeated depth first.
#include "model/math/exact_math.h"
#include "model/skeleton.h"
#include "model/split_memo.h"
#include "model/subtrees.h"

#include <cmath>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace wendrel {

namespace {

Vec3 branch_start(const Branch *branch) {
	return branch->parent ? branch->parent->head : Vec3(0.0f, 0.0f, 0.0f);
}

// The push of one level: sideways along +x, drop and grow along +y.
// note: level² / branches_count² is formed on integers (64-bit, so that no product can
// overflow) and converted to float as a quotient, as the tree's look depends on.
Vec3 level_push(const TreeProperties &p, int32_t level, int32_t rlevel) {
	float sweep = float(rlevel) * p.sweep_amount;
	float drop = float(rlevel) * p.drop_amount;
	int64_t level_sq = int64_t(level) * level;
	int64_t count_sq = int64_t(p.branches_count) * p.branches_count;
	// With no branching levels the root is the only split, and the grow push is
	// full at the root's level: the 0/0 quotient reads as 1.
	float grow_scale = count_sq == 0 ? 1.0f : float(level_sq) / float(count_sq);
	float grow = grow_scale * p.grow_amount;
	return Vec3(sweep, grow + drop, 0.0f);
}

struct SplitFrame {
	Branch *branch;
	int32_t level;
	int32_t steps;
	int32_t count0;
	int32_t count1;
};

// Splits one branch, the fork numbered `fork`: draws its random number and places its two
// children. Returns the frames of the children that grow further, child0 first; none below
// level 1.
int split_one(const SplitFrame &f, TreeProperties &p, SplitMemo &memo, SkeletonStorage &storage, int64_t fork,
		SplitFrame out[2]) {
	Branch *b = f.branch;
	int32_t rlevel = int32_t(int64_t(p.branches_count) - f.level);
	if (!b->parent)
		b->is_trunk = 1;
	Vec3 dir = normalize(b->head - branch_start(b));
	Vec3 n = cross(dir, Vec3(dir.z, dir.x, dir.y));
	Vec3 t = cross(dir, n);

	float r = memo.draw(float(draw_argument(p, f.level, f.count0, f.count1)));

	Vec3 adj = n * r + t * (1.0f - r);
	if (r > 0.5f)
		adj = -adj;
	float clump = (p.branch_clump_max - p.branch_clump_min) * r + p.branch_clump_min;
	Vec3 d0 = normalize(adj * (1.0f - clump) + dir * clump);
	Vec3 d1 = mirror_branch(d0, dir, p.branch_factor);
	if (r > 0.5f)
		std::swap(d0, d1);
	if (f.steps > 0) {
		float angle = float(f.steps) / float(p.trunk_height) * 2.0f * PI * p.twist;
		d1 = normalize(Vec3(exact_sin(angle), r, exact_cos(angle)));
	}
	Vec3 push = level_push(p, f.level, rlevel);
	d0 = normalize(d0 + push);
	d1 = normalize(d1 + push);

	Vec3 h0 = b->head + d0 * b->length;
	Vec3 h1 = b->head + d1 * b->length;
	Branch *c0 = storage.place_branch(1 + 2 * fork, h0, b);
	Branch *c1 = storage.place_branch(2 + 2 * fork, h1, b);
	b->child0 = c0;
	b->child1 = c1;
	// note: the power times the falloff, rounded once to float.
	float child_length = memo.child_length(b->length, f.level);
	c0->length = child_length;
	c1->length = child_length;

	if (f.level <= 0)
		return 0;
	if (f.steps > 0) {
		float k = (r - 0.5f) * 2.0f * p.trunk_kink;
		c0->head = b->head + Vec3(k, p.climb_rate, k);
		c0->is_trunk = 1;
		c0->length = b->length * p.trunk_taper;
		out[0] = SplitFrame{ c0, f.level, f.steps - 1, f.count0 + 1, f.count1 };
	} else {
		out[0] = SplitFrame{ c0, f.level - 1, 0, f.count0 + 1, f.count1 };
	}
	out[1] = SplitFrame{ c1, f.level - 1, 0, f.count0, f.count1 + 1 };
	return 2;
}

// Counter draws of frames without trunk steps, remembered: a tree has few distinct ones.
struct CounterDraws {
	const TreeProperties &p;
	std::map<std::tuple<int32_t, int32_t, int32_t>, int64_t> known;

	int64_t of_side_frame(int32_t level, int32_t count0, int32_t count1) {
		auto key = std::make_tuple(level, count0, count1);
		auto found = known.find(key);
		if (found != known.end())
			return found->second;
		int64_t draws = draw_argument(p, level, count0, count1) == 0;
		if (level > 0)
			draws += of_side_frame(level - 1, count0 + 1, count1) + of_side_frame(level - 1, count0, count1 + 1);
		known.emplace(key, draws);
		return draws;
	}
};

} // namespace

int64_t draw_argument(const TreeProperties &p, int32_t level, int32_t count0, int32_t count1) {
	int32_t rlevel = int32_t(int64_t(p.branches_count) - level);
	return int64_t(rlevel) * 10 + int64_t(count0) * 5 + count1 + p.seed;
}

int64_t counter_draws(const TreeProperties &p, int32_t level, int32_t steps, int32_t count0, int32_t count1) {
	// Levels only fall and path counts only rise from 1, so every argument is at least
	// 6 + seed: above seed -6 no draw ever reads the counter.
	if (p.seed > -6)
		return 0;
	CounterDraws memo{ p, {} };
	int64_t draws = 0;
	// Along the trunk one step at a time, so that no recursion follows its height.
	for (; steps > 0 && level > 0; steps--, count0++) {
		draws += draw_argument(p, level, count0, count1) == 0;
		draws += memo.of_side_frame(level - 1, count0, count1 + 1);
	}
	return draws + memo.of_side_frame(level, count0, count1);
}

void split_branch(Branch *branch, int32_t level, int32_t steps, TreeProperties *properties,
		int32_t count0, int32_t count1, SkeletonStorage &storage, int64_t fork, const std::atomic<bool> *cancel) {
	// An explicit stack keeps the depth-first order (a branch, then child0's whole subtree,
	// then child1's) without recursing along a trunk of any height.
	std::vector<SplitFrame> pending;
	pending.push_back(SplitFrame{ branch, level, steps, count0, count1 });
	// Each call has its own memo over its own properties: subtrees grow on several threads.
	SplitMemo memo(*properties);
	while (!pending.empty() && !growth_cancelled(cancel, fork)) {
		SplitFrame frame = pending.back();
		pending.pop_back();
		SplitFrame children[2];
		if (split_one(frame, *properties, memo, storage, fork++, children) == 2) {
			pending.push_back(children[1]);
			pending.push_back(children[0]);
		}
	}
}

void grow_tree(Branch *root, int32_t level, int32_t steps, TreeProperties &p, SkeletonStorage &storage,
		SubtreePlan &plan, const std::atomic<bool> *cancel) {
	plan.subtrees.clear();
	std::vector<SplitFrame> pending;
	pending.push_back(SplitFrame{ root, level, steps, 1, 1 });
	TreeOrder order;
	SplitMemo memo(p); // the top's, used on this thread only
	while (!pending.empty()) {
		if (growth_cancelled(cancel, order.forks))
			return;
		SplitFrame frame = pending.back();
		pending.pop_back();
		TreeOrder span = subtree_span(frame.level, frame.steps);
		if (frame.branch != root && span.forks <= plan.cut_forks) {
			plan.subtrees.push_back(Subtree{ frame.branch, frame.level, frame.steps, frame.count0,
					frame.count1, p.random_state, order, span });
			order += span;
			uint64_t draws = uint64_t(counter_draws(p, frame.level, frame.steps, frame.count0, frame.count1));
			p.random_state = int32_t(uint32_t(p.random_state) + uint32_t(draws)); // wraps like random()
			continue;
		}
		SplitFrame children[2];
		int growing = split_one(frame, p, memo, storage, order.forks++, children);
		if (growing == 2) {
			pending.push_back(children[1]);
			pending.push_back(children[0]);
		} else {
			order.leaves += 2;
			order.leaf_parents += 1;
		}
	}
	plan.for_each_subtree([&](size_t i) {
		const Subtree &s = plan.subtrees[i];
		TreeProperties own = p;
		own.random_state = s.random_state;
		split_branch(s.root, s.level, s.steps, &own, s.count0, s.count1, storage, s.before.forks, cancel);
	});
}

} // namespace wendrel
