// Variants: one tree per seed of a range, each written under its own name.
#pragma once

#include <cstdint>
#include <string>

namespace wendrel {

struct SeedRange {
	int32_t first = 0;
	int32_t last = 0;

	int64_t count() const { return int64_t(last) - int64_t(first) + 1; }
};

// The most trees one run writes: a typing slip such as 1-10000000 should not fill the disk.
constexpr int64_t SEED_RANGE_MAX = 10000;

// Reads "A-B" (A at most B, each a 32-bit integer, A or B negative with a leading '-') or a
// single seed "A". Returns an error message, empty on success.
std::string parse_seed_range(const std::string &text, SeedRange &range);

// The marker an output path holds where the seed goes.
constexpr const char *SEED_MARKER = "{seed}";

// `path` with every {seed} replaced by the seed.
std::string with_seed(const std::string &path, int32_t seed);

} // namespace wendrel
