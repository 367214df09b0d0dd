// base^exponent × factor, rounded once to float.
//
// For a positive finite base, base^e = exp(e·ln base): ln base = k·ln 2 + ln m with
// base = m·2^k, m in [√½, √2], and ln m = 2·atanh((m − 1)/(m + 1)) by its series; then
// exp t = 2^n·exp(t − n·ln 2) with |t − n·ln 2| <= ln 2 / 2, and exp by its Taylor series.
// The double evaluation is rounded when its error bound decides the nearest float; else
// the same steps run in double-double.
#include "model/double_double.h"
#include "model/exact_math.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace wendrel {

namespace {

constexpr DoubleDouble LN2(0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56);
constexpr double INVERSE_LN2 = 0x1.71547652b82fep+0;
// ln 2 cut after 33 significant digits, so that n·LN2_HIGH is exact for |n| < 2^20, and
// the rest.
constexpr double LN2_HIGH = 0x1.62e42fefp-1;
constexpr double LN2_LOW = (LN2.hi - LN2_HIGH) + LN2.lo;

// Beyond |t| = 200 (2^288), base^e × factor is out of the float range for every finite
// non-zero float factor: above, it overflows; below, it is under half the smallest float.
constexpr double T_LIMIT = 200.0;

struct Mantissa {
	double m; // in [√½, √2]
	int k;	  // base = m·2^k
};

Mantissa decompose(float base) {
	int k = 0;
	if (base < 0x1p-126f) { // subnormal: scale into the normal range first
		base *= 0x1p24f;
		k = -24;
	}
	uint32_t bits;
	std::memcpy(&bits, &base, sizeof(bits));
	k += int(bits >> 23) - 127;
	bits = (bits & 0x7fffffu) | 0x3f800000u; // the same digits in [1, 2)
	float m;
	std::memcpy(&m, &bits, sizeof(m));
	Mantissa result{ double(m), k };
	if (result.m > 0x1.6a09e6p+0) { // above √2: halve, exactly
		result.m *= 0.5;
		result.k += 1;
	}
	return result;
}

// ln base, in double: the series of atanh s, |s| <= 0.172, to s^25 (omitted terms below
// 2^-62 of the sum).
double log_of(Mantissa a) {
	constexpr double inverse_odd[13] = { 1.0, 1.0 / 3, 1.0 / 5, 1.0 / 7, 1.0 / 9, 1.0 / 11,
		1.0 / 13, 1.0 / 15, 1.0 / 17, 1.0 / 19, 1.0 / 21, 1.0 / 23, 1.0 / 25 };
	double s = (a.m - 1.0) / (a.m + 1.0);
	double s2 = s * s;
	double sum = inverse_odd[12];
	for (int n = 11; n >= 0; n--)
		sum = inverse_odd[n] + s2 * sum;
	double log_m = 2.0 * s * sum;
	return double(a.k) * LN2.hi + (log_m + double(a.k) * LN2.lo);
}

DoubleDouble log_of_precisely(Mantissa a) {
	DoubleDouble s = DoubleDouble(a.m - 1.0) / DoubleDouble(a.m + 1.0); // both exact
	DoubleDouble s2 = s * s;
	DoubleDouble sum = DoubleDouble(1.0) / DoubleDouble(49.0);
	for (int n = 23; n >= 0; n--)
		sum = DoubleDouble(1.0) / DoubleDouble(double(2 * n + 1)) + s2 * sum;
	return LN2 * double(a.k) + s * sum * 2.0;
}

int nearest_integer(double v) {
	return int(v >= 0.0 ? v + 0.5 : v - 0.5);
}

// exp r for |r| <= 0.35, Taylor series to r^14 (the next term is below 2^-62).
constexpr double inverse_factorial(int n) {
	double f = 1.0;
	for (int i = 2; i <= n; i++)
		f *= i; // exact up to 22!
	return 1.0 / f;
}

double exp_series(double r) {
	constexpr double c[15] = { 1.0, 1.0, inverse_factorial(2), inverse_factorial(3),
		inverse_factorial(4), inverse_factorial(5), inverse_factorial(6), inverse_factorial(7),
		inverse_factorial(8), inverse_factorial(9), inverse_factorial(10),
		inverse_factorial(11), inverse_factorial(12), inverse_factorial(13),
		inverse_factorial(14) };
	double sum = c[14];
	for (int n = 13; n >= 0; n--)
		sum = c[n] + r * sum;
	return sum;
}

DoubleDouble exp_series(DoubleDouble r) {
	DoubleDouble sum(1.0);
	for (int n = 27; n >= 1; n--)
		sum = DoubleDouble(1.0) + r * sum / DoubleDouble(double(n));
	return sum;
}

bool is_integer(float v) {
	return v >= 0x1p23f || v <= -0x1p23f || v == float(int32_t(v));
}

bool is_odd_integer(float v) {
	if (v >= 0x1p24f || v <= -0x1p24f || !is_integer(v))
		return false; // from 2^24 up every float is even
	return (int32_t(v) & 1) != 0;
}

// The C pow's value where base or exponent is zero, one, infinite, NaN or negative with a
// fractional exponent; sets `special` when it applies.
double special_power(float base, float exponent, bool &special) {
	const double inf = std::numeric_limits<double>::infinity();
	special = true;
	if (exponent == 0.0f || base == 1.0f)
		return 1.0;
	if (base != base || exponent != exponent)
		return std::numeric_limits<double>::quiet_NaN();
	bool odd = is_odd_integer(exponent);
	bool negative = base < 0.0f || (base == 0.0f && std::signbit(base));
	if (exponent - exponent != 0.0f) { // ±inf
		float magnitude = negative ? -base : base;
		if (magnitude == 1.0f)
			return 1.0;
		return (magnitude > 1.0f) == (exponent > 0.0f) ? inf : 0.0;
	}
	if (base == 0.0f || base - base != 0.0f) { // zero or infinite base
		bool large = (base != 0.0f) == (exponent > 0.0f);
		double magnitude = large ? inf : 0.0;
		return negative && odd ? -magnitude : magnitude;
	}
	if (base < 0.0f && !is_integer(exponent))
		return std::numeric_limits<double>::quiet_NaN();
	special = false;
	return 0.0;
}

// base^(1/2) or base^(3/2) to 106 bits, exactly when base is a perfect square: a float has
// 24 significant digits, its root at most 12 and base^(3/2) at most 36.
DoubleDouble root_power(float base, float exponent) {
	DoubleDouble root = square_root(double(base));
	return exponent == 0.5f ? root : root * double(base);
}

} // namespace

float exact_scaled_power(float base, float exponent, float factor) {
	bool special;
	double value = special_power(base, exponent, special);
	if (special)
		return float(value * double(factor));
	double sign = base < 0.0f && is_odd_integer(exponent) ? -1.0 : 1.0;
	float magnitude = base < 0.0f ? -base : base;
	if (factor == 0.0f || factor - factor != 0.0f) // a finite positive power times 0, ±inf or NaN
		return float(sign * double(factor));
	if (exponent == 1.0f) // a product of two floats is exact in double
		return float(sign * double(magnitude) * double(factor));
	if (exponent == 0.5f || exponent == 1.5f) // exact for perfect squares, whose products can tie
		return round_to_float(root_power(magnitude, exponent) * double(factor));

	Mantissa a = decompose(magnitude);
	double t = double(exponent) * log_of(a);
	if (t > T_LIMIT || t < -T_LIMIT)
		return float(sign * (t > 0.0 ? std::numeric_limits<double>::infinity() : 0.0) * double(factor));
	int n = nearest_integer(t * INVERSE_LN2);
	double r = (t - double(n) * LN2_HIGH) - double(n) * LN2_LOW;
	double scale = sign * power_of_two(n);
	double fast = exp_series(r) * double(factor) * scale;
	// The logarithm errs by a few 2^-53 of itself, so t by a few 2^-53·|t| (plus |e| times
	// the error of ln m); exp turns absolute error in t into relative error in the result.
	double error = 0x1p-47 * (1.0 + (t < 0.0 ? -t : t) + (exponent < 0.0f ? -exponent : exponent));
	if (rounds_unambiguously(fast, error))
		return float(fast);

	DoubleDouble precise_t = log_of_precisely(a) * double(exponent);
	n = nearest_integer(precise_t.hi * INVERSE_LN2);
	DoubleDouble precise_r = precise_t - LN2 * double(n);
	DoubleDouble precise = exp_series(precise_r) * double(factor);
	scale = sign * power_of_two(n);
	return round_to_float(DoubleDouble(precise.hi * scale, precise.lo * scale));
}

} // namespace wendrel
