// The branch skeleton: its record, the storage that holds it, the growth step that builds it,
// and the depth-first walk every pass shares.
#pragma once

#include "model/geometry.h"
#include "model/properties.h"

#include <atomic>
#include <cassert>
#include <cstdint>
#include <new>
#include <type_traits>
#include <vector>

namespace wendrel {

// One node of the skeleton. A branch runs from its parent's head (the origin for the root)
// to its own head. Children come in pairs: a fork has both, a leaf neither.
struct Branch {
	Branch *child0 = nullptr; // trunk continuation on a trunk step
	Branch *child1 = nullptr;
	Branch *parent = nullptr; // null only on the root
	Vec3 head = Vec3(0.0f, 0.0f, 0.0f);
	float length = 1.0f;
	int32_t is_trunk = 0;
	// Ring index lists, `segments` entries each, placed in the skeleton's pool by the rings pass.
	int32_t *ring0 = nullptr;	  // fork ring around the incoming branch
	int32_t *ring1 = nullptr;	  // fork ring towards child0
	int32_t *ring2 = nullptr;	  // fork ring towards child1
	int32_t *root_ring = nullptr; // foot ring, root only
	float radius = 0.0f;
	int32_t end_index = 0; // tip vertex of a leaf

	Branch() = default;
	Branch(float p_x, float p_y, float p_z, Branch *p_parent) :
			parent(p_parent), head(p_x, p_y, p_z) {}
	Branch(const Branch &) = delete;
	Branch &operator=(const Branch &) = delete;

	bool is_leaf() const { return child0 == nullptr; }
};

// Every branch record of one skeleton in one block and every ring index list in one pool, both
// sized in closed form before growth: nothing is allocated per branch or per fork, and the
// whole skeleton is freed in one step. Positions are fixed by the depth-first order, so that
// any subtree's records and rings have a known place before it grows:
// - the root is record 0, and the children of the k-th fork in depth-first order are
//   records 1 + 2k and 2 + 2k;
// - the root's foot ring takes the first `segments` pool entries, and the k-th fork's three
//   rings the 3·segments entries after segments·(1 + 3k).
class SkeletonStorage {
public:
	SkeletonStorage() = default;
	~SkeletonStorage() { release(); }
	SkeletonStorage(const SkeletonStorage &) = delete;
	SkeletonStorage &operator=(const SkeletonStorage &) = delete;

	// Drops what was held and makes room for the skeleton of `size`.
	void reserve(int64_t branches, int64_t forks, int64_t segments);
	void release();

	// Constructs record `index` in place.
	Branch *place_branch(int64_t index, Vec3 head, Branch *parent) {
		assert(index >= 0 && index < branch_capacity);
		return new (branches + index) Branch(head.x, head.y, head.z, parent);
	}
	const Branch *branch(int64_t index) const {
		assert(index >= 0 && index < branch_capacity);
		return branches + index;
	}
	// Growth filled every record reserved (it was not cancelled half way).
	void mark_grown() { grown = true; }
	// The forks of a finished growth, 1 + 2·forks records; 0 while growth is unfinished, as
	// some records are then never constructed.
	int64_t grown_forks() const { return grown ? (branch_capacity - 1) / 2 : 0; }
	int32_t *foot_ring() { return rings; }
	// The first of the k-th fork's three rings; the other two follow it.
	int32_t *fork_rings(int64_t fork) {
		assert(fork >= 0 && segments * (4 + 3 * fork) <= ring_capacity);
		return rings + segments * (1 + 3 * fork);
	}

private:
	Branch *branches = nullptr;
	int32_t *rings = nullptr;
	int64_t branch_capacity = 0;
	int64_t ring_capacity = 0;
	int64_t segments = 0;
	bool grown = false;
};

// Grows the whole subtree below `branch`: one random draw per split branch, two children per
// split, trunk steps along child0 while `steps` > 0. Visits branches depth first, a branch
// before its children and child0's subtree before child1's, without recursion. `fork` is the
// depth-first number of `branch` among the tree's forks; the children go where `storage` puts
// the children of that fork and its successors. Once `cancel` is raised the growth stops
// early, leaving the subtree unfinished.
void split_branch(Branch *branch, int32_t level, int32_t steps, TreeProperties *properties,
		int32_t count0, int32_t count1, SkeletonStorage &storage, int64_t fork,
		const std::atomic<bool> *cancel = nullptr);

// Whether a growth should stop: `cancel` raised. Looked at once every 4096 forks (about a
// millisecond of growth), so that the check costs nothing measurable.
inline bool growth_cancelled(const std::atomic<bool> *cancel, int64_t fork) {
	return (fork & 4095) == 0 && cancel && cancel->load(std::memory_order_relaxed);
}

// The argument of the random draw that splits a branch at `level` reached with path counts
// `count0` and `count1`. A zero argument draws the running counter.
int64_t draw_argument(const TreeProperties &properties, int32_t level, int32_t count0, int32_t count1);

// How many draws from the running counter growing the subtree of that frame makes.
int64_t counter_draws(const TreeProperties &properties, int32_t level, int32_t steps, int32_t count0,
		int32_t count1);

// Calls visit(branch) for every branch of the subtree below `start`: a branch before its
// children, and child0's whole subtree before child1's. This order fixes every vertex and
// triangle index. A visit that returns false skips the branch's children. An explicit stack
// instead of recursion keeps a trunk of any height off the call stack.
template <typename Visit>
void visit_preorder(Branch *start, Visit &&visit) {
	assert(start && "the passes walk a grown skeleton");
	std::vector<Branch *> pending;
	pending.push_back(start);
	while (!pending.empty()) {
		Branch *branch = pending.back();
		pending.pop_back();
		if constexpr (std::is_same_v<decltype(visit(branch)), bool>) {
			if (!visit(branch))
				continue;
		} else {
			visit(branch);
		}
		if (branch->child1)
			pending.push_back(branch->child1);
		if (branch->child0)
			pending.push_back(branch->child0);
	}
}

} // namespace wendrel
