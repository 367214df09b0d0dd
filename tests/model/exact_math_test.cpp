// The generator's own math against correctly rounded references: a large random sample of
// all floats, the arguments that are hardest to reduce or to round, and millions of child
// lengths. tests/model/exact_math_sweep.cpp checks every float.
#include "exact_math_reference.h"
#include "model/math/exact_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace wendrel;
using wendrel::test::same_result;

namespace {

float from_bits(uint32_t bits) {
	float x;
	std::memcpy(&x, &bits, sizeof(x));
	return x;
}

// Arguments whose exact sine, cosine or arc cosine lies nearest to a rounding boundary,
// found by exact_math_sweep.
const uint32_t HARD_ARGUMENTS[] = {
#include "exact_math_hard_cases.inc"
};

// Floats nearest to multiples of π/2, where reduction cancels the most digits, with their
// neighbours, over the whole exponent range.
std::vector<float> near_multiples_of_half_pi() {
	std::vector<float> arguments;
	for (double k = 1.0; k < 0x1p127; k *= 1.0001 + (k > 1e6 ? 0.3 : 0.0)) {
		float x = float(std::floor(k) * 1.5707963267948966);
		uint32_t bits;
		std::memcpy(&bits, &x, sizeof(bits));
		for (uint32_t step = bits - 2; step <= bits + 2; step++)
			arguments.push_back(from_bits(step));
	}
	return arguments;
}

void expect_trig_correct(const std::vector<float> &arguments) {
	int wrong = 0;
	for (float x : arguments) {
		bool right = same_result(exact_sin(x), test::reference_sin(x)) && same_result(exact_cos(x), test::reference_cos(x));
		if (!right && ++wrong <= 5)
			ADD_FAILURE() << std::hexfloat << "sin or cos of " << x;
	}
	EXPECT_EQ(wrong, 0) << "of " << arguments.size();
}

TEST(ExactMath, SineAndCosineOfRandomFloatsAreCorrectlyRounded) {
	std::mt19937 rng(15);
	std::vector<float> arguments;
	for (int i = 0; i < 1 << 21; i++)
		arguments.push_back(from_bits(uint32_t(rng())));
	expect_trig_correct(arguments);
}

TEST(ExactMath, SineAndCosineOfHardArgumentsAreCorrectlyRounded) {
	std::vector<float> arguments = near_multiples_of_half_pi();
	for (uint32_t bits : HARD_ARGUMENTS)
		arguments.push_back(from_bits(bits));
	const float specials[] = { 0.0f, -0.0f, 0x1p-149f, -0x1p-149f, 0x1p-126f, 0x1.921fb4p-1f,
		0x1.921fb6p-1f, std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
		INFINITY, -INFINITY, NAN };
	arguments.insert(arguments.end(), std::begin(specials), std::end(specials));
	expect_trig_correct(arguments);
	EXPECT_TRUE(std::signbit(exact_sin(-0.0f)));
}

TEST(ExactMath, ArcCosineIsCorrectlyRounded) {
	std::mt19937 rng(15);
	std::vector<float> arguments = { -1.0f, 1.0f, 0.0f, -0.0f, 0.5f, -0.5f, 0x1.000002p-1f,
		0x1.fffffep-2f, -0x1.000002p-1f, 0x1.fffffep-1f, -0x1.fffffep-1f, 0x1p-149f,
		0x1.000002p+0f, -2.0f, INFINITY, NAN };
	for (uint32_t bits : HARD_ARGUMENTS)
		arguments.push_back(from_bits(bits));
	for (int i = 0; i < 1 << 20; i++)
		arguments.push_back(from_bits(uint32_t(rng()) % 0x3f800001u | (rng() & 0x80000000u)));
	int wrong = 0;
	for (float x : arguments) {
		if (!same_result(exact_acos(x), test::reference_acos(x)) && ++wrong <= 5)
			ADD_FAILURE() << std::hexfloat << "acos of " << x;
	}
	EXPECT_EQ(wrong, 0) << "of " << arguments.size();
}

// A float spread evenly over the orders of magnitude between low and high.
float log_uniform(std::mt19937 &rng, float low, float high) {
	std::uniform_real_distribution<double> unit(std::log(low), std::log(high));
	return float(std::exp(unit(rng)));
}

// Child lengths as branch growth forms them: lengths from a hundredth of the shortest the
// inspector offers to twice the longest, exponents and falloffs across the inspector ranges.
TEST(ExactMath, ChildLengthsAreCorrectlyRounded) {
	std::mt19937 rng(15);
	std::uniform_real_distribution<float> exponent(0.5f, 1.5f);
	std::uniform_real_distribution<float> falloff(0.0f, 2.0f);
	int wrong = 0;
	const int samples = 3000000;
	for (int i = 0; i < samples; i++) {
		float l = log_uniform(rng, 1e-4f, 20.0f);
		float e = exponent(rng);
		float f = falloff(rng);
		if (!same_result(exact_scaled_power(l, e, f), test::reference_scaled_power(l, e, f)) && ++wrong <= 5)
			ADD_FAILURE() << std::hexfloat << l << " ^ " << e << " × " << f;
	}
	EXPECT_EQ(wrong, 0) << "of " << samples;
}

// Exponents 1, 1/2 and 3/2 of perfect squares give exact products that can fall on the
// midpoint between two floats, where only the tie rule decides: 3 × (1 + 2^-23) is one.
TEST(ExactMath, ExactPowersRoundTiesToEven) {
	const float falloff = 0x1.000002p+0f;
	EXPECT_EQ(exact_scaled_power(3.0f, 1.0f, falloff), 0x1.800004p+1f);
	EXPECT_EQ(exact_scaled_power(9.0f, 0.5f, falloff), 0x1.800004p+1f);
	EXPECT_EQ(exact_scaled_power(2.25f, 1.5f, falloff), test::reference_scaled_power(2.25f, 1.5f, falloff));
	EXPECT_EQ(exact_scaled_power(0x1.8p-10f, 0.5f, 0.75f), test::reference_scaled_power(0x1.8p-10f, 0.5f, 0.75f));
}

// Where base or exponent is zero, one, infinite or NaN, or the base negative, the power
// follows the C library's pow; elsewhere it is the correctly rounded value with pow's sign.
TEST(ExactMath, SpecialPowersFollowTheCLibrary) {
	const float values[] = { 0.0f, -0.0f, 1.0f, -1.0f, 2.0f, -2.0f, 0.5f, -0.5f, 3.0f, -3.0f,
		2.5f, INFINITY, -INFINITY, NAN, 0x1p-149f, 1e30f, -1e30f };
	for (float base : values) {
		for (float exponent : values) {
			float expected = float(std::pow(double(base), double(exponent)) * 0.75);
			bool general = std::isfinite(base) && std::isfinite(exponent) && base != 0.0f &&
					exponent != 0.0f && std::fabs(base) != 1.0f && std::isfinite(expected) && expected != 0.0f;
			if (general)
				expected = std::copysign(test::reference_scaled_power(std::fabs(base), exponent, 0.75f), expected);
			EXPECT_TRUE(same_result(exact_scaled_power(base, exponent, 0.75f), expected))
					<< std::hexfloat << base << " ^ " << exponent;
		}
	}
}

} // namespace
