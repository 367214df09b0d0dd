// The branch skeleton: its record, the growth step that builds it, and the depth-first walk
// every pass shares.
#pragma once

#include "model/geometry.h"
#include "model/properties.h"

#include <cassert>
#include <vector>

namespace wendrel {

// One node of the skeleton. A branch runs from its parent's head (the origin for the root)
// to its own head. Children come in pairs: a fork has both, a leaf neither.
struct Branch {
	Branch *child0 = nullptr; // owned; trunk continuation on a trunk step
	Branch *child1 = nullptr; // owned
	Branch *parent = nullptr; // not owned; null only on the root
	Vec3 head = Vec3(0.0f, 0.0f, 0.0f);
	float length = 1.0f;
	int32_t is_trunk = 0;
	// Ring index arrays, `segments` entries each, filled by the rings pass.
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

	// Frees both subtrees and this branch's ring arrays; never touches the parent.
	// Iterative, so that a trunk of a hundred thousand steps cannot exhaust the stack.
	void destroy();
};

// Grows the whole subtree below `branch`: one random draw per split branch, two children per
// split, trunk steps along child0 while `steps` > 0. Visits branches depth first, a branch
// before its children and child0's subtree before child1's, without recursion.
void split_branch(Branch *branch, int32_t level, int32_t steps, TreeProperties *properties,
		int32_t count0, int32_t count1);

// Calls visit(branch) for every branch of the subtree below `start`: a branch before its
// children, and child0's whole subtree before child1's. This order fixes every vertex and
// triangle index. An explicit stack instead of recursion keeps a trunk of any height off the
// call stack.
template <typename Visit>
void visit_preorder(Branch *start, Visit &&visit) {
	assert(start && "the passes walk a grown skeleton");
	std::vector<Branch *> pending;
	pending.push_back(start);
	while (!pending.empty()) {
		Branch *branch = pending.back();
		pending.pop_back();
		visit(branch);
		if (branch->child1)
			pending.push_back(branch->child1);
		if (branch->child0)
			pending.push_back(branch->child0);
	}
}

} // namespace wendrel
