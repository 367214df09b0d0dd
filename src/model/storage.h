// Storage of the generator's large arrays.
//
// A regeneration usually asks for arrays of the same size as the last one (a slider dragged in
// the inspector), and fresh pages cost a page fault each, more than the generator spends
// filling them. So an array's storage is kept for the next generation while the new count fits
// in it and uses at least half of it.
//
// Storage allocated afresh in every generation (the skeleton, the passes' scratch arrays) asks
// for huge pages: one fault per 2 MiB instead of one per 4 KiB. A freshly allocated output
// array has the part the generation will write mapped in one request rather than page by
// page, which saves a third of the first generation's page-fault time. It does not ask for
// huge pages: on the development VM a fresh huge page that must first be assembled costs more
// than the 512 small faults it saves (these arrays are allocated once and then reused, while
// the skeleton's huge pages come back from the previous generation).
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace wendrel {

// Asks the system to back the whole 2 MiB pages inside [data, data + bytes) with huge pages:
// one fault per 2 MiB instead of one per 4 KiB. Only a hint; where there is no such
// request (or for small arrays) it does nothing.
void advise_huge_pages(void *data, size_t bytes);

// Fresh memory about to be written whole, to be mapped before it is.
struct PageRange {
	void *data;
	size_t bytes;
};

// Maps the pages of [data, data + bytes) writable at once, where the system offers such a
// request; small ranges take few faults and are left to them.
void map_for_writing(void *data, size_t bytes);

template <typename T>
void release_array(T *&array, int32_t &capacity) {
	delete[] array;
	array = nullptr;
	capacity = 0;
}

// An uninitialised array of `count` elements for one generation's use.
template <typename T>
std::unique_ptr<T[]> new_scratch_array(size_t count) {
	std::unique_ptr<T[]> array(new T[count]);
	advise_huge_pages(array.get(), sizeof(T) * count);
	return array;
}

// Makes `array` hold at least `count` uninitialised elements, of which the first `used` are
// about to be written: when the storage is fresh, those are added to `fresh`.
template <typename T>
void provide_array(T *&array, int32_t &capacity, int32_t count, int32_t used, std::vector<PageRange> &fresh) {
	assert(count >= 0 && used >= 0 && used <= count);
	if (array && count <= capacity && capacity / 2 <= count)
		return;
	// Freed before the new allocation, so that the two never coexist.
	release_array(array, capacity);
	array = new T[size_t(count)];
	capacity = count;
	fresh.push_back(PageRange{ array, sizeof(T) * size_t(used) });
}

// Makes `array` hold `count` elements, keeping its first `used` ones.
template <typename T>
void grow_array(T *&array, int32_t &capacity, int32_t used, int32_t count) {
	if (array && count <= capacity)
		return;
	T *grown = new T[size_t(count)];
	if (used > 0)
		std::memcpy(grown, array, sizeof(T) * size_t(used));
	delete[] array;
	array = grown;
	capacity = count;
}

} // namespace wendrel
