#include "model/skeleton.h"

#include <vector>

namespace wendrel {

void Branch::destroy() {
	std::vector<Branch *> pending;
	if (child0)
		pending.push_back(child0);
	if (child1)
		pending.push_back(child1);
	child0 = child1 = nullptr;
	delete[] root_ring;
	delete[] ring0;
	delete[] ring1;
	delete[] ring2;
	root_ring = ring0 = ring1 = ring2 = nullptr;
	while (!pending.empty()) {
		Branch *b = pending.back();
		pending.pop_back();
		if (b->child0)
			pending.push_back(b->child0);
		if (b->child1)
			pending.push_back(b->child1);
		b->child0 = b->child1 = nullptr;
		b->destroy();
		delete b;
	}
}

} // namespace wendrel
