// Memos of the two pure functions that branch growth calls at every split: the child length
// (parent^exponent × falloff, rounded once) and the random draw of a non-zero argument
// (|cos(a + a²)|). Both are correctly rounded, so a remembered value is the value; and a
// tree repeats them a lot (the default tree's 223 draws use 69 distinct arguments, its 223
// splits a handful of lengths per level), so most splits cost a comparison instead of a
// power and a cosine.
#ifndef WENDREL_MODEL_SPLIT_MEMO_H
#define WENDREL_MODEL_SPLIT_MEMO_H

#include "model/math/exact_math.h"
#include "model/properties.h"

#include <cstdint>
#include <cstring>

namespace wendrel {

class SplitMemo {
public:
	explicit SplitMemo(TreeProperties &p_properties) :
			properties(p_properties) {}

	// The children's length of a branch of this length at this level: the branches of one
	// level share their few lengths, so each level remembers its last.
	float child_length(float parent_length, int32_t level) {
		Entry &entry = lengths[uint32_t(level) % LENGTH_SLOTS];
		uint32_t key = bits(parent_length);
		if (!entry.used || entry.key != key) {
			float length = exact_scaled_power(parent_length, properties.branch_length_exponent,
					properties.branch_length_falloff);
			entry = Entry{ key, length, true };
		}
		return entry.value;
	}

	// random(argument); a zero argument draws the running counter, which is never memoised.
	float draw(float argument) {
		if (argument == 0.0f)
			return properties.random(argument);
		uint32_t key = bits(argument);
		Entry &entry = draws[(key * 2654435761u) >> (32 - DRAW_SLOT_BITS)];
		if (!entry.used || entry.key != key)
			entry = Entry{ key, properties.random(argument), true };
		return entry.value;
	}

private:
	static constexpr uint32_t LENGTH_SLOTS = 16;
	static constexpr uint32_t DRAW_SLOT_BITS = 7;
	struct Entry {
		uint32_t key = 0; // the argument's bits
		float value = 0.0f;
		bool used = false;
	};

	static uint32_t bits(float v) {
		uint32_t b;
		std::memcpy(&b, &v, sizeof(b));
		return b;
	}

	TreeProperties &properties;
	Entry lengths[LENGTH_SLOTS];
	Entry draws[1u << DRAW_SLOT_BITS];
};

} // namespace wendrel

#endif // WENDREL_MODEL_SPLIT_MEMO_H
