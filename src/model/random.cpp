// The seeded random function of the skeleton's growth.
#include "model/properties.h"

#include "model/math/exact_math.h"

#include <cmath>

namespace wendrel {

namespace {

// value + value², rounded once to float. The square of a float is exact in double, and a
// two-sum recovers what the double addition rounds away, so that a double rounding can be
// corrected where the double sum lands exactly halfway between two floats.
float square_plus(float value) {
	double v = value;
	double square = v * v;
	double sum = square + v;
	double sum_part = sum - square;
	double error = (square - (sum - sum_part)) + (v - sum_part);
	float rounded = float(sum);
	if (error == 0.0 || double(rounded) == sum || !std::isfinite(rounded))
		return rounded;
	float other = nextafterf(rounded, double(rounded) < sum ? INFINITY : -INFINITY);
	if ((double(rounded) + double(other)) * 0.5 != sum)
		return rounded;
	// A tie in double is no tie in the exact sum: the error says which side it lies on.
	bool exact_above = error > 0.0;
	bool rounded_above = double(rounded) > sum;
	return exact_above == rounded_above ? rounded : other;
}

} // namespace

float TreeProperties::random(float value) {
	if (value == 0.0f) {
		value = float(random_state);
		random_state = int32_t(uint32_t(random_state) + 1u); // wraps instead of overflowing
	}
	return fabsf(exact_cos(square_plus(value)));
}

} // namespace wendrel
