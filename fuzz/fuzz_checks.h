// What every generation must satisfy, shared by the libFuzzer target, the random sweep and
// the test suites:
// a tree that measure_tree() accepts is built with every face index in range, its counts
// equal to the closed form and (for finite parameters) every value finite; a tree it refuses
// throws and leaves the model's previous result bit for bit.
#pragma once

#include "model/tree_model.h"

#include <cstdint>
#include <string>

namespace wendrel::fuzz {

// Trees with more bark vertices than this are measured but not grown, so that one set stays
// well under a second.
constexpr int64_t VERTEX_BUDGET = 400000;

enum class Outcome {
	BUILT,
	REFUSED,
	SKIPPED, // accepted, but above the budget
};

struct Verdict {
	Outcome outcome = Outcome::SKIPPED;
	std::string finding; // empty when every check passed
};

// Applies `properties` to `model` (which holds the previous result) and checks the outcome.
Verdict generate_and_check(TreeModel &model, const TreeProperties &properties);

// The parameters as one line of `--option value` text, for the tool or a bug report.
std::string describe(const TreeProperties &properties);

// What is wrong with a generated model, or empty when nothing is: the skeleton left over,
// counts unlike the closed form, a face index outside its vertices, a value not finite.
std::string mesh_finding(const TreeModel &model);

// A 64-bit FNV-1a digest of every counter and every byte of the eight arrays: equal digests
// mean bit-identical output.
uint64_t digest(const TreeModel &model);

} // namespace wendrel::fuzz
