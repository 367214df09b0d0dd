// Invariant checks and parameter fixtures for tests that generate trees.
#pragma once

#include "fuzz_checks.h"
#include "model/tree_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

namespace wendrel::test {

// Everything a generated model must satisfy whatever its parameters: no skeleton left, counts
// equal to the closed-form sizes, every face index below its vertex count, every position,
// normal and texture coordinate finite.
::testing::AssertionResult validate_mesh(const TreeModel &model);

// Sets the model's parameters and generates it.
void generate_with(TreeModel &model, const TreeProperties &properties);

// Whether two floats are the same bits: tells -0 from 0 and compares NaNs by their payload.
inline uint32_t bits(float value) {
	uint32_t result;
	std::memcpy(&result, &value, sizeof(result));
	return result;
}

inline bool same_bits(float a, float b) {
	return bits(a) == bits(b);
}

// A 64-bit FNV-1a digest of every counter and every byte of the eight arrays: equal digests
// mean bit-identical output.
using fuzz::digest;

// Random parameters inside the inspector's ranges, with the tree's size kept small enough
// (up to 6 levels, 30 trunk steps) that hundreds of them run in seconds. Every row the
// property table puts on the node is drawn, so a new row changes the random sets' golden digest.
TreeProperties random_properties(std::mt19937 &rng);

} // namespace wendrel::test
