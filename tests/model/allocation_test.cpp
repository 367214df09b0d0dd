// What outlives generate(): exactly the eight output arrays, nothing of the skeleton.
#include "model/tree_model.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> live_allocations{ 0 };
}

void *operator new(size_t size) {
	void *p = std::malloc(size ? size : 1);
	if (!p)
		throw std::bad_alloc();
	live_allocations++;
	return p;
}
void *operator new[](size_t size) {
	return operator new(size);
}

static void release(void *p) {
	if (p)
		live_allocations--;
	std::free(p);
}
void operator delete(void *p) noexcept {
	release(p);
}
void operator delete[](void *p) noexcept {
	release(p);
}
void operator delete(void *p, size_t) noexcept {
	release(p);
}
void operator delete[](void *p, size_t) noexcept {
	release(p);
}

namespace {

TEST(Allocations, OnlyTheEightArraysOutliveGenerate) {
	wendrel::TreeModel m;
	long before = live_allocations;
	m.generate();
	EXPECT_EQ(live_allocations - before, 8);
	m.trunk_height = 40;
	m.generate();
	EXPECT_EQ(live_allocations - before, 8) << "the previous result was not released";
	m.reset();
	EXPECT_EQ(live_allocations - before, 0);
}

TEST(Allocations, RefusedTreeAllocatesNothing) {
	wendrel::TreeModel m;
	m.generate();
	long before = live_allocations;
	m.segments = 1000000;
	EXPECT_THROW(m.generate(), std::bad_alloc);
	// The exception object lives outside operator new, so the count is untouched.
	EXPECT_EQ(live_allocations - before, 0);
}

} // namespace
