// The random function: golden values and the exactness of its argument.
#include "model/tree_model.h"

#include <gtest/gtest.h>

#include <cmath>

using wendrel::TreeProperties;

namespace {

// The golden figures carry 7 significant digits and were taken with a correctly rounded
// cosine; the C library's may differ in the last place. Allow half a unit of the 7th digit
// plus one float step.
float tolerance(float expected) {
	return 0.5e-7f + (nextafterf(expected, INFINITY) - expected);
}

TEST(Random, ZeroDrawsTheCounterAndAdvancesIt) {
	TreeProperties p;
	p.random_state = 5;
	EXPECT_NEAR(p.random(0.0f), 0.1542515f, tolerance(0.1542515f));
	EXPECT_EQ(p.random_state, 6);
}

TEST(Random, NonZeroArgumentLeavesTheCounterAlone) {
	TreeProperties p;
	p.random_state = 77;
	EXPECT_NEAR(p.random(268.0f), 0.2979856f, tolerance(0.2979856f));
	EXPECT_NEAR(p.random(279.0f), 0.4020187f, tolerance(0.4020187f));
	EXPECT_EQ(p.random_state, 77);
}

TEST(Random, CounterWrapsInsteadOfOverflowing) {
	TreeProperties p;
	p.random_state = INT32_MAX;
	p.random(0.0f);
	EXPECT_EQ(p.random_state, INT32_MIN);
}

// value + value² must be rounded once: from 4097 upward a float square rounds first.
TEST(Random, ArgumentIsRoundedOnce) {
	TreeProperties p;
	EXPECT_EQ(p.random(4097.0f), fabsf(cosf(16789506.0f)));
	EXPECT_NE(p.random(4097.0f), fabsf(cosf(16789504.0f)));
}

// Above 2^26 even double precision rounds the sum; the result must still be the exact
// integer value + value² rounded once to float.
TEST(Random, LargeArgumentsMatchAnExactReference) {
	TreeProperties p;
	int mismatches = 0;
	for (int64_t value = (int64_t(1) << 26) + 1; value < (int64_t(1) << 33); value += 1234567) {
		float v = float(value);
		__int128 exact = __int128(int64_t(v)) * int64_t(v) + int64_t(v);
		float reference = fabsf(cosf(float(exact)));
		mismatches += p.random(v) != reference;
	}
	EXPECT_EQ(mismatches, 0);
}

// Where the double sum lands exactly halfway between two floats, a second rounding would pick
// the even neighbour; the exact sum lies on one side.
TEST(Random, DoubleRoundingTiesAreResolvedExactly) {
	TreeProperties p;
	const float values[] = { 0x1.603p+55f, 0x1.3e7p+59f, 0x1.32dp+58f };
	const float exact[] = { 0x1.e4840ap+110f, 0x1.8c1a72p+118f, 0x1.6fb5eap+116f };
	for (int i = 0; i < 3; i++)
		EXPECT_EQ(p.random(values[i]), fabsf(cosf(exact[i]))) << i;
}

} // namespace
