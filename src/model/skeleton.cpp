#include "model/skeleton.h"

#include "model/storage.h"

namespace wendrel {

void SkeletonStorage::reserve(int64_t p_branches, int64_t forks, int64_t p_segments) {
	release();
	// Raw storage: every record is constructed once, by growth, rather than twice.
	size_t record_bytes = sizeof(Branch) * size_t(p_branches);
	branches = static_cast<Branch *>(::operator new[](record_bytes));
	advise_huge_pages(branches, record_bytes);
	branch_capacity = p_branches;
	size_t ring_entries = size_t(p_segments) * size_t(1 + 3 * forks);
	try {
		rings = new int32_t[ring_entries];
	} catch (...) {
		release();
		throw;
	}
	advise_huge_pages(rings, sizeof(int32_t) * ring_entries);
	ring_capacity = int64_t(ring_entries);
	segments = p_segments;
}

void SkeletonStorage::release() {
	// Records hold only plain values and pointers into this storage: nothing to destroy.
	::operator delete[](branches);
	delete[] rings;
	branches = nullptr;
	rings = nullptr;
	branch_capacity = ring_capacity = segments = 0;
	grown = false;
}

} // namespace wendrel
