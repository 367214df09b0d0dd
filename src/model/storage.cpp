#include "model/storage.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace wendrel {

void advise_huge_pages(void *data, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
	const uintptr_t huge = uintptr_t(2) << 20;
	uintptr_t start = (uintptr_t(data) + huge - 1) & ~(huge - 1);
	uintptr_t end = (uintptr_t(data) + bytes) & ~(huge - 1);
	// A refusal (an old kernel, huge pages switched off) leaves ordinary pages: nothing to do.
	if (end > start)
		madvise(reinterpret_cast<void *>(start), end - start, MADV_HUGEPAGE);
#else
	(void)data;
	(void)bytes;
#endif
}

void map_for_writing(void *data, size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
	// Small ranges take few faults: not worth a system call.
	const size_t smallest = size_t(1) << 20;
	if (bytes < smallest)
		return;
	const uintptr_t page = 4096;
	uintptr_t start = (uintptr_t(data) + page - 1) & ~(page - 1);
	uintptr_t end = (uintptr_t(data) + bytes) & ~(page - 1);
	// A kernel without the request (before Linux 5.14) refuses it: the pages then fault in
	// one by one as they are written.
	madvise(reinterpret_cast<void *>(start), end - start, MADV_POPULATE_WRITE);
#else
	(void)data;
	(void)bytes;
#endif
}

} // namespace wendrel
