// Depth-first walk over the skeleton, shared by the generator's passes.
#pragma once

#include "model/branch.h"

#include <cassert>
#include <vector>

namespace wendrel {

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
