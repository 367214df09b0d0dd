// base^exponent × factor, rounded once to float.
//
// For a positive finite base, base^e = exp(e·ln base) = exp t. The fast evaluation, in
// double: ln base = k·ln 2 − ln r_i + ln(1 + z), with base = m·2^k, r_i ≈ 1/m from a table
// of 128 and z = m·r_i − 1 exact and below 2^-8; exp t = 2^q·2^(j/64)·exp s, with
// t = (64q + j)·ln 2/64 + s, |s| <= ln 2/128, from a table of 64. Short series cover
// ln(1 + z) and exp s. It is rounded when its error bound decides the nearest float; else
// the slow evaluation runs in double-double without tables: ln m = 2·atanh((m − 1)/(m + 1))
// for m in [√½, √2] and exp s for |s| <= ln 2/2, both by their full series. The tables are
// computed once, on first use, with that slow evaluation.
#include "model/math/double_double.h"
#include "model/math/exact_math.h"

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

// A positive finite float as m·2^k with m in [1, 2), exactly; `bits` are those of the float
// whose digits m holds (a subnormal scaled into the normal range).
struct FloatParts {
	float m;
	int k;
	uint32_t bits;
};

FloatParts split_float(float base) {
	FloatParts parts{ 0.0f, 0, 0u };
	if (base < 0x1p-126f) { // subnormal: scale into the normal range first
		base *= 0x1p24f;
		parts.k = -24;
	}
	std::memcpy(&parts.bits, &base, sizeof(parts.bits));
	parts.k += int(parts.bits >> 23) - 127;
	uint32_t mantissa_bits = (parts.bits & 0x7fffffu) | 0x3f800000u; // the same digits in [1, 2)
	std::memcpy(&parts.m, &mantissa_bits, sizeof(parts.m));
	return parts;
}

Mantissa decompose(float base) {
	FloatParts parts = split_float(base);
	Mantissa result{ double(parts.m), parts.k };
	if (result.m > 0x1.6a09e6p+0) { // above √2: halve, exactly
		result.m *= 0.5;
		result.k += 1;
	}
	return result;
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
DoubleDouble exp_series(DoubleDouble r) {
	DoubleDouble sum(1.0);
	for (int n = 27; n >= 1; n--)
		sum = DoubleDouble(1.0) + r * sum / DoubleDouble(double(n));
	return sum;
}

// The slow evaluation's logarithm of a double in [1/2, 1], for the tables.
DoubleDouble log_of_precisely(double v) {
	return v < 0x1.6a09e6p-1 ? log_of_precisely(Mantissa{ 2.0 * v, -1 }) : log_of_precisely(Mantissa{ v, 0 });
}

struct PowerTables {
	// r_i ≈ 1 / (1 + (i + 1/2)/128) with 28 significant digits, so that m·r_i is exact for
	// the 24 digits of a float's m; and −ln r_i in two parts.
	double inverse[128];
	double minus_log_high[128];
	double minus_log_low[128];
	// 2^(j/64).
	double exp2[64];

	PowerTables() {
		for (int i = 0; i < 128; i++) {
			double centre = 1.0 + (double(i) + 0.5) / 128.0;
			inverse[i] = double(nearest_integer(0x1p27 / centre)) * 0x1p-27;
			DoubleDouble minus_log = -log_of_precisely(inverse[i]);
			minus_log_high[i] = minus_log.hi;
			minus_log_low[i] = minus_log.lo;
		}
		for (int j = 0; j < 64; j++)
			exp2[j] = exp_series(LN2 * (double(j) / 64.0)).hi;
	}
};

const PowerTables &power_tables() {
	static const PowerTables tables;
	return tables;
}

// ln base for a positive finite float, in double.
double fast_log(float base) {
	FloatParts parts = split_float(base);
	int k = parts.k;
	int i = int((parts.bits >> 16) & 127u);
	const PowerTables &tables = power_tables();
	double z = double(parts.m) * tables.inverse[i] - 1.0;
	// ln(1 + z) to z^7; z^8/8 is below 2^-66.
	double z2 = z * z;
	double series = (-0.5 + z * (1.0 / 3)) + z2 * (-0.25 + z * 0.2) + (z2 * z2) * (-1.0 / 6 + z * (1.0 / 7));
	double log1p = z + z2 * series;
	double small = log1p + (double(k) * LN2.lo + tables.minus_log_low[i]);
	return (double(k) * LN2.hi + tables.minus_log_high[i]) + small;
}

// exp t × scale for |t| <= T_LIMIT, in double. Adding 1.5·2^52 rounds t·64/ln 2 to the
// nearest integer n, which the sum then holds in its low digits: no conversion to and from
// an integer on the way to s.
double fast_exp(double t, double scale) {
	constexpr double STEP_HIGH = LN2_HIGH / 64.0; // exact scalings
	constexpr double STEP_LOW = LN2_LOW / 64.0;
	constexpr double SHIFTER = 0x1.8p52;
	double shifted = t * (64.0 * INVERSE_LN2) + SHIFTER;
	double n = shifted - SHIFTER;
	uint64_t bits;
	std::memcpy(&bits, &shifted, sizeof(bits));
	int n_int = int(int32_t(uint32_t(bits))); // |n| < 2^15
	int j = n_int & 63;
	int q = (n_int - j) / 64;
	double s = (t - n * STEP_HIGH) - n * STEP_LOW;
	// exp s to s^6; s^7/7! is below 2^-65.
	double s2 = s * s;
	double series = (0.5 + s * (1.0 / 6)) + s2 * ((1.0 / 24 + s * (1.0 / 120)) + s2 * (1.0 / 720));
	double table_scale = power_tables().exp2[j] * power_of_two(q) * scale;
	return table_scale * ((1.0 + s) + s2 * series);
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

// magnitude^exponent × factor × sign for a positive finite magnitude, a finite non-zero
// exponent and a finite non-zero factor.
float positive_scaled_power(float magnitude, float exponent, float factor, double sign) {
	if (exponent == 1.0f) // a product of two floats is exact in double
		return float(sign * double(magnitude) * double(factor));
	if (exponent == 0.5f || exponent == 1.5f) // exact for perfect squares, whose products can tie
		return round_to_float(root_power(magnitude, exponent) * double(factor));

	double t = double(exponent) * fast_log(magnitude);
	if (t > T_LIMIT || t < -T_LIMIT)
		return float(sign * (t > 0.0 ? std::numeric_limits<double>::infinity() : 0.0) * double(factor));
	double fast = fast_exp(t, double(factor) * sign);
	// The logarithm errs by a few 2^-53 of its larger part (k·ln 2 or the table's), so t by
	// a few 2^-53·(|t| + |e|); exp turns that absolute error into a relative one, and adds a
	// few 2^-53 of its own.
	double error = 0x1p-47 * (1.0 + (t < 0.0 ? -t : t) + (exponent < 0.0f ? -exponent : exponent));
	if (rounds_unambiguously(fast, error))
		return float(fast);

	DoubleDouble precise_t = log_of_precisely(decompose(magnitude)) * double(exponent);
	int n = nearest_integer(precise_t.hi * INVERSE_LN2);
	DoubleDouble precise_r = precise_t - LN2 * double(n);
	DoubleDouble precise = exp_series(precise_r) * double(factor);
	double scale = sign * power_of_two(n);
	return round_to_float(DoubleDouble(precise.hi * scale, precise.lo * scale));
}

// The C pow's cases (see special_power), and negative bases with integer exponents, whose
// power is the magnitude's with the exponent's parity as sign.
float unusual_scaled_power(float base, float exponent, float factor) {
	bool special;
	double value = special_power(base, exponent, special);
	if (special)
		return float(value * double(factor));
	double sign = is_odd_integer(exponent) ? -1.0 : 1.0;
	if (factor == 0.0f || factor - factor != 0.0f)
		return float(sign * double(factor));
	return positive_scaled_power(-base, exponent, factor, sign);
}

} // namespace

float exact_scaled_power(float base, float exponent, float factor) {
	// The usual case, a positive finite base and a finite non-zero exponent, is settled by
	// comparisons alone (each fails for NaN).
	bool usual = base > 0.0f && base < INFINITY && exponent - exponent == 0.0f && exponent != 0.0f;
	if (!usual || base == 1.0f)
		return unusual_scaled_power(base, exponent, factor);
	if (factor == 0.0f || factor - factor != 0.0f) // a finite positive power times 0, ±inf or NaN
		return factor;
	return positive_scaled_power(base, exponent, factor, 1.0);
}

} // namespace wendrel
