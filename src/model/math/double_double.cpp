#include "model/math/double_double.h"

#include <cmath>

namespace wendrel {

namespace {

// The float next to f in the direction of target (f != target, both finite).
float float_step_toward(float f, double target) {
	uint32_t bits;
	std::memcpy(&bits, &f, sizeof(bits));
	bool away_from_zero = (double(f) < target) == (f >= 0.0f);
	if (f == 0.0f)
		bits = target > 0.0 ? 1u : 0x80000001u;
	else
		bits = away_from_zero ? bits + 1 : bits - 1;
	float next;
	std::memcpy(&next, &bits, sizeof(next));
	return next;
}

} // namespace

DoubleDouble square_root(double a) {
	double root = std::sqrt(a);
	if (root == 0.0)
		return DoubleDouble(0.0);
	DoubleDouble square = two_product(root, root);
	double residual = (a - square.hi) - square.lo;
	return quick_two_sum(root, residual / (2.0 * root));
}

float round_to_float(DoubleDouble value) {
	float nearest = float(value.hi);
	if (value.lo == 0.0 || double(nearest) == value.hi || !(nearest - nearest == 0.0f))
		return nearest;
	// hi lies strictly between two floats; lo can only matter if hi is their midpoint,
	// as |lo| is below half a double step of hi.
	float other = float_step_toward(nearest, value.hi);
	double midpoint = (double(nearest) + double(other)) * 0.5;
	if (value.hi != midpoint)
		return nearest;
	bool exact_above = value.lo > 0.0;
	bool nearest_above = double(nearest) > value.hi;
	return exact_above == nearest_above ? nearest : other;
}

bool rounds_unambiguously(DoubleDouble value, double error) {
	double margin = (value.hi < 0.0 ? -value.hi : value.hi) * error;
	float below = round_to_float(quick_two_sum(value.hi, value.lo - margin));
	float above = round_to_float(quick_two_sum(value.hi, value.lo + margin));
	return below == above;
}

} // namespace wendrel
