#include "exact_math_reference.h"

#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace wendrel::test {

namespace {

thread_local bool last_was_hard = false;

// The float nearest to `approximation` when every value within `error` (relative) of it
// rounds to the same float; sets `decided` accordingly.
template <typename Real>
float round_if_clear(Real approximation, Real error, bool &decided) {
	Real margin = std::fabs(approximation) * error;
	float below = float(approximation - margin);
	float above = float(approximation + margin);
	decided = below == above;
	return below;
}

// Rounds a value held to high precision to float, subnormals included. The value must not
// be a midpoint only through its own rounding: at 256 bits that needs a coincidence far
// beyond any float argument.
float round_to_float(mpfr_t value) {
	mpfr_exp_t old_min = mpfr_get_emin();
	mpfr_exp_t old_max = mpfr_get_emax();
	mpfr_t rounded;
	mpfr_init2(rounded, 24);
	mpfr_set_emin(-148);
	mpfr_set_emax(128);
	int inexact = mpfr_set(rounded, value, MPFR_RNDN);
	inexact = mpfr_check_range(rounded, inexact, MPFR_RNDN);
	mpfr_subnormalize(rounded, inexact, MPFR_RNDN);
	float result = mpfr_get_flt(rounded, MPFR_RNDN);
	mpfr_set_emin(old_min);
	mpfr_set_emax(old_max);
	mpfr_clear(rounded);
	return result;
}

using Function = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

float precise(Function f, float x) {
	mpfr_t argument, value;
	mpfr_init2(argument, 24);
	mpfr_init2(value, 256);
	mpfr_set_flt(argument, x, MPFR_RNDN);
	f(value, argument, MPFR_RNDN);
	float result = round_to_float(value);
	mpfr_clears(argument, value, nullptr);
	return result;
}

// The C library's double functions err by less than one double step (2^-52), far inside
// the 2^-48 filter.
float filtered(double approximation, Function f, float x) {
	if (approximation != approximation) { // NaN, for a NaN or infinite argument
		last_was_hard = false;
		return NAN;
	}
	bool decided;
	float fast = round_if_clear(approximation, 0x1p-48, decided);
	last_was_hard = !decided;
	return decided ? fast : precise(f, x);
}

} // namespace

float reference_sin(float x) {
	return filtered(std::sin(double(x)), mpfr_sin, x);
}

float reference_cos(float x) {
	return filtered(std::cos(double(x)), mpfr_cos, x);
}

float reference_acos(float x) {
	if (!(x >= -1.0f && x <= 1.0f)) {
		last_was_hard = false;
		return NAN;
	}
	return filtered(std::acos(double(x)), mpfr_acos, x);
}

float reference_scaled_power(float base, float exponent, float factor) {
	long double fast = std::pow((long double)base, (long double)exponent) * factor;
	bool decided;
	float result = round_if_clear(fast, 0x1p-56L, decided);
	last_was_hard = !decided;
	if (decided)
		return result;
	mpfr_t b, e, value;
	mpfr_inits2(256, b, e, value, nullptr);
	mpfr_set_flt(b, base, MPFR_RNDN);
	mpfr_set_flt(e, exponent, MPFR_RNDN);
	mpfr_pow(value, b, e, MPFR_RNDN);
	mpfr_mul_d(value, value, double(factor), MPFR_RNDN);
	result = round_to_float(value);
	mpfr_clears(b, e, value, nullptr);
	return result;
}

bool reference_was_hard() {
	return last_was_hard;
}

bool same_result(float a, float b) {
	if (a != a || b != b)
		return a != a && b != b;
	uint32_t ab, bb;
	std::memcpy(&ab, &a, sizeof(ab));
	std::memcpy(&bb, &b, sizeof(bb));
	return ab == bb;
}

} // namespace wendrel::test
