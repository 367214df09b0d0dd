// What every generation must satisfy, shared by the libFuzzer target and the random sweep:
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

uint64_t digest(const TreeModel &model);

} // namespace wendrel::fuzz
