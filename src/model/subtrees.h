// The tree cut into subtrees that grow and fill on their own threads.
//
// Every fork adds the same number of vertices, triangles and ring entries, and every leaf the
// same twig cards, so where any pass writes for a branch follows from how many forks, leaves and
// forks with leaf children come before it in depth-first order; and the size of the subtree a
// growth frame spawns follows from its level and trunk steps alone. So the top of the tree is
// grown and filled first, on the calling thread, skipping each cut subtree by its closed-form
// size, and the subtrees are then grown and filled in parallel into their own ranges. Nothing
// that two subtrees write overlaps, and what a subtree shares with the top (its root's rings,
// which its parent's triangles use) is written by the top first, as in one depth-first walk.
#pragma once

#include "model/skeleton.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace wendrel {

// Branches counted in depth-first order: forks, leaves and forks whose children are leaves.
struct TreeOrder {
	int64_t forks = 0;
	int64_t leaves = 0;
	int64_t leaf_parents = 0;

	TreeOrder &operator+=(const TreeOrder &other) {
		forks += other.forks;
		leaves += other.leaves;
		leaf_parents += other.leaf_parents;
		return *this;
	}
};

// What the subtree grown from a frame at `level` with `steps` trunk steps holds.
TreeOrder subtree_span(int32_t level, int32_t steps);

// The elements the bark passes write for `span` branches: vertices and triangles (without the
// root's foot ring and tube). The twig pass counts its cards by the leaves.
struct PassCounts {
	int64_t vertices = 0;
	int64_t faces = 0;
};
PassCounts pass_counts(const TreeOrder &span, int64_t segments);

// Where the passes write for the branch that `before` precedes: `pass_counts` plus the foot
// ring and the root's tube, which come first.
PassCounts pass_starts(const TreeOrder &before, int64_t segments);

// One cut subtree: its growth frame, the counter's value when its first draw is due, and its
// place in depth-first order.
struct Subtree {
	Branch *root = nullptr; // grown by the top; a fork
	int32_t level = 0;
	int32_t steps = 0;
	int32_t count0 = 0;
	int32_t count1 = 0;
	int32_t random_state = 0;
	TreeOrder before;
	TreeOrder span;
};

// How one generation spreads over threads. With no subtrees the top is the whole tree.
struct SubtreePlan {
	int32_t threads = 1;
	// Frames spawning at most this many forks are cut off the top; 0 cuts nothing.
	int64_t cut_forks = 0;
	std::vector<Subtree> subtrees; // in depth-first order, filled by growth

	// A plan for `threads` threads over a tree of `forks` forks: the subtrees are small enough to
	// balance the threads, and a small tree is not cut at all.
	static SubtreePlan for_tree(int32_t threads, int64_t forks);

	// Runs work(i) for every i below `count`, spread over the plan's threads (the calling one
	// among them), and returns when all have finished. The first exception is passed on.
	void for_each(size_t count, const std::function<void(size_t)> &work) const;
	void for_each_subtree(const std::function<void(size_t)> &work) const { for_each(subtrees.size(), work); }

	// Calls work(begin, end) for pieces of [0, count), spread over the threads.
	template <typename Work>
	void for_each_piece(int64_t count, Work &&work) const {
		int64_t pieces = std::min<int64_t>(int64_t(threads) * 4, std::max<int64_t>(count / 65536, 1));
		for_each(size_t(pieces), [&](size_t piece) {
			work(count * int64_t(piece) / pieces, count * int64_t(piece + 1) / pieces);
		});
	}

	// The triangles [begin, end) of each subtree and of each stretch of the top between them,
	// in their order in `faces` (which ends at `face_count`).
	struct FaceRange {
		int64_t begin;
		int64_t end;
		bool subtree;
	};
	std::vector<FaceRange> face_ranges(int64_t segments, int64_t face_count) const;
};

// Calls visit(branch) for the top of the tree below `start` in depth-first order, and
// skip(subtree) in place of each cut subtree's root and everything below it.
template <typename Visit, typename Skip>
void visit_top(Branch *start, const SubtreePlan &plan, Visit &&visit, Skip &&skip) {
	size_t next = 0;
	visit_preorder(start, [&](Branch *branch) {
		if (next < plan.subtrees.size() && branch == plan.subtrees[next].root) {
			skip(plan.subtrees[next++]);
			return false;
		}
		visit(branch);
		return true;
	});
}

// Grows the tree below `root` (record 0, from the frame at `level` with `steps` trunk steps):
// the top on the calling thread, recording the cut subtrees in `plan`, then those in parallel.
// Leaves the running counter of `properties` where one depth-first growth would, unless
// `cancel` is raised, which stops the growth early with the tree unfinished.
void grow_tree(Branch *root, int32_t level, int32_t steps, TreeProperties &properties,
		SkeletonStorage &storage, SubtreePlan &plan, const std::atomic<bool> *cancel = nullptr);

} // namespace wendrel
