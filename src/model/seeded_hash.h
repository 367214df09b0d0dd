// Seeded values that do not come from the random function's running counter: a hash of the
// seed and a place in the tree. The skeleton's draws stay exactly as they are, whatever else
// asks for a seeded value, and any thread can compute the value of any place on its own.
#pragma once

#include <cstdint>

namespace wendrel {

// An integer mix with good avalanche: every input bit changes about half the output bits.
inline uint32_t mix_bits(uint32_t x) {
	x ^= x >> 16;
	x *= 0x7feb352du;
	x ^= x >> 15;
	x *= 0x846ca68bu;
	x ^= x >> 16;
	return x;
}

// The hash of the seed and one index, as branch phases and twig cards use it.
inline uint32_t seeded_bits(int32_t seed, uint32_t index) {
	return mix_bits(mix_bits(uint32_t(seed) ^ 0x9e3779b9u) + index);
}

// 24 bits of a hash as a float in [0, 1), exact.
inline float unit_float(uint32_t bits) {
	return float(bits >> 8) * (1.0f / 16777216.0f);
}

} // namespace wendrel
