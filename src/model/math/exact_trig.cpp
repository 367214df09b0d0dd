// Correctly rounded single-precision sine and cosine.
//
// x is reduced to x = (q + f)·π/2 with an integer quadrant q and |f| <= 1/2, exactly enough
// for every float: x is an integer times a power of two, so q mod 4 and f follow from a few
// hundred bits of 2/π by integer multiplication (Payne and Hanek's method), whatever the
// size of x (below 2^24 the double evaluation takes the quicker way of subtracting q·π/2 in
// three parts). sin or cos of r = f·π/2 then comes from its Taylor series in double, and is
// rounded to float when the error bound leaves no doubt about the nearest float; otherwise
// (for about one argument in four million) the same steps run again in double-double.
#include "model/math/double_double.h"
#include "model/math/exact_math.h"

#include <cstdint>
#include <cstring>

namespace wendrel {

namespace {

// The binary digits of 2/π, 32 at a time, from the first digit after the point.
constexpr uint32_t TWO_OVER_PI[12] = { 0xa2f9836e, 0x4e441529, 0xfc2757d1, 0xf534ddc0,
	0xdb629599, 0x3c439041, 0xfe5163ab, 0xdebbc561, 0xb7246e3a, 0x424dd2e0, 0x06492eea,
	0x09d1921c };

// π/2 as a double-double.
constexpr DoubleDouble HALF_PI(0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54);

// π/2 in three parts, the first two of 29 significant digits, so that their products with
// an integer below 2^24 are exact, for the quick reduction of moderate arguments.
constexpr double HALF_PI_1 = 0x1.921fb54p+0;
constexpr double HALF_PI_2 = 0x1.10b4611p-30;
constexpr double HALF_PI_3 = 0x1.4c4c6628b80dcp-59;
constexpr double TWO_OVER_PI_DOUBLE = 0x1.45f306dc9c883p-1;

// Below 2^24 the quick reduction's quotient stays below 2^24.
constexpr float QUICK_LIMIT = 0x1p24f;

// The largest float below π/4: below it no reduction is needed.
constexpr float QUARTER_PI_BELOW = 0x1.921fb4p-1f;

// Relative error bound of the double evaluation (see sin_with_offset), with a margin of
// four times the worst case.
constexpr double FAST_ERROR = 0x1p-47;

// x·2/π = quadrant + fraction, with the fraction in [-1/2, 1/2] held as a sign and a
// 128-bit magnitude in units of 2^-128.
struct ReducedArgument {
	int quadrant = 0;
	bool negative = false;
	uint64_t high = 0;
	uint64_t low = 0;
};

// Reduces a finite x >= π/4. x = m·2^k with a 24-bit integer m, k >= -24. Digits of 2/π
// whose products with m·2^k are multiples of 4 cannot change q mod 4 and are skipped; the
// next 192 digits give q and at least 159 digits of f, since m has only 24 bits. m is
// shifted so that the binary point of the product falls between two 32-bit words.
ReducedArgument reduce(float x) {
	uint32_t bits;
	std::memcpy(&bits, &x, sizeof(bits));
	uint32_t m = (bits & 0x7fffffu) | 0x800000u;
	int k = int(bits >> 23) - 150;
	int first_word = k >= 2 ? (k - 2) / 32 : 0;
	int point = 32 * (first_word + 6) - k; // digits after the point in m·(192 digits)
	int shift = (32 - point % 32) % 32;
	uint64_t shifted = uint64_t(m) << shift;
	uint32_t factor[2] = { uint32_t(shifted), uint32_t(shifted >> 32) };
	uint32_t digits[6];
	for (int i = 0; i < 6; i++)
		digits[i] = TWO_OVER_PI[first_word + 5 - i]; // least significant word first
	uint32_t product[8] = {};
	for (int i = 0; i < 2; i++) {
		uint64_t carry = 0;
		for (int j = 0; j < 6; j++) {
			uint64_t sum = uint64_t(factor[i]) * digits[j] + product[i + j] + carry;
			product[i + j] = uint32_t(sum);
			carry = sum >> 32;
		}
		product[i + 6] = uint32_t(carry);
	}
	int p = (point + shift) / 32; // first word of the integer part: 5 to 7
	ReducedArgument reduced;
	reduced.quadrant = int(product[p] & 3u);
	reduced.high = (uint64_t(product[p - 1]) << 32) | product[p - 2];
	reduced.low = (uint64_t(product[p - 3]) << 32) | product[p - 4];
	if (reduced.high >> 63) { // f >= 1/2: take f - 1 and the next quadrant
		reduced.negative = true;
		reduced.low = ~reduced.low + 1;
		reduced.high = ~reduced.high + (reduced.low == 0 ? 1 : 0);
		reduced.quadrant = (reduced.quadrant + 1) & 3;
	}
	return reduced;
}

int leading_zeros(uint64_t v) {
	int count = 0;
	for (int step = 32; step > 0; step /= 2) {
		if ((v >> (64 - step)) == 0) {
			count += step;
			v <<= step;
		}
	}
	return count;
}

// Cody and Waite's reduction for π/4 < x < 2^24: r = x − q·π/2 with q the integer nearest
// to x·2/π. x − q·P1 is exact (both exact and within a factor of 2 of each other), as is
// q·P2, so r carries the rounding of two subtractions and of q·P3, plus the 2^-110 of π/2
// that the parts omit times q: under 2^-52 of r, as no float below 2^24 comes nearer than
// 2^-30 to a multiple of π/2.
double quick_reduce(float x, int &quadrant) {
	double v = double(x);
	double q = double(int64_t(v * TWO_OVER_PI_DOUBLE + 0.5));
	quadrant = int(int64_t(q) & 3);
	return ((v - q * HALF_PI_1) - q * HALF_PI_2) - q * HALF_PI_3;
}

double fraction_as_double(const ReducedArgument &a) {
	// Signed conversions: |f| < 1/2, so the top bit of `high` is clear.
	double f = double(int64_t(a.high)) * 0x1p-64 + double(int64_t(a.low >> 1)) * 0x1p-127;
	return a.negative ? -f : f;
}

// The fraction to 106 bits: shifted so that its leading digit is the top bit, then cut
// into two pieces of 53 digits, each exact in a double.
DoubleDouble fraction_as_double_double(const ReducedArgument &a) {
	if (a.high == 0 && a.low == 0)
		return DoubleDouble(0.0);
	int zeros = a.high ? leading_zeros(a.high) : 64 + leading_zeros(a.low);
	uint64_t high = a.high;
	uint64_t low = a.low;
	if (zeros >= 64) {
		high = low << (zeros - 64);
		low = 0;
	} else if (zeros > 0) {
		high = (high << zeros) | (low >> (64 - zeros));
		low <<= zeros;
	}
	double first = double(high >> 11) * power_of_two(-53 - zeros);
	double second = double(((high & 0x7ffu) << 42) | (low >> 22)) * power_of_two(-106 - zeros);
	DoubleDouble f = quick_two_sum(first, second);
	return a.negative ? -f : f;
}

constexpr double inverse_factorial(int n) {
	double f = 1.0;
	for (int i = 2; i <= n; i++)
		f *= i; // exact up to 22!
	return 1.0 / f;
}

// sin r and cos r for |r| <= π/4 by their Taylor series, the first omitted terms (r^17/17!
// and r^18/18!) below 2^-53 of the result. Estrin's scheme: pairs of terms in parallel.
double sin_series(double r) {
	constexpr double s3 = -inverse_factorial(3), s5 = inverse_factorial(5);
	constexpr double s7 = -inverse_factorial(7), s9 = inverse_factorial(9);
	constexpr double s11 = -inverse_factorial(11), s13 = inverse_factorial(13);
	constexpr double s15 = -inverse_factorial(15);
	double z = r * r;
	double z2 = z * z;
	double z4 = z2 * z2;
	double low = (s3 + s5 * z) + z2 * (s7 + s9 * z);
	double high = (s11 + s13 * z) + z2 * s15;
	return r + (r * z) * (low + z4 * high);
}

double cos_series(double r) {
	constexpr double c2 = -inverse_factorial(2), c4 = inverse_factorial(4);
	constexpr double c6 = -inverse_factorial(6), c8 = inverse_factorial(8);
	constexpr double c10 = -inverse_factorial(10), c12 = inverse_factorial(12);
	constexpr double c14 = -inverse_factorial(14), c16 = inverse_factorial(16);
	double z = r * r;
	double z2 = z * z;
	double z4 = z2 * z2;
	double low = (c2 + c4 * z) + z2 * (c6 + c8 * z);
	double high = (c10 + c12 * z) + z2 * (c14 + c16 * z);
	return 1.0 + z * (low + z4 * high);
}

// The same series in double-double, term by term, up to r^33/33!.
DoubleDouble sin_series(DoubleDouble r) {
	DoubleDouble r2 = r * r;
	DoubleDouble term = r;
	DoubleDouble sum = r;
	for (int n = 3; n <= 33; n += 2) {
		term = -(term * r2) / DoubleDouble(double((n - 1) * n));
		sum = sum + term;
	}
	return sum;
}

DoubleDouble cos_series(DoubleDouble r) {
	DoubleDouble r2 = r * r;
	DoubleDouble term(1.0);
	DoubleDouble sum(1.0);
	for (int n = 2; n <= 32; n += 2) {
		term = -(term * r2) / DoubleDouble(double((n - 1) * n));
		sum = sum + term;
	}
	return sum;
}

// sin(quadrant·π/2 + r).
template <typename Real>
Real sin_of_quadrant(int quadrant, Real r) {
	switch (quadrant & 3) {
		case 0:
			return sin_series(r);
		case 1:
			return cos_series(r);
		case 2:
			return -sin_series(r);
		default:
			return -cos_series(r);
	}
}

// sin(x + offset·π/2), for finite x: the sine with offset 0, the cosine with offset 1.
// The fast evaluation errs by at most about 2^-49 relative: the fraction carries 2^-52,
// its product with π/2 another 2^-52, the series and its rounding a few 2^-53. The
// precise one errs by about 2^-98: 128 digits of a fraction that no float brings below
// 2^-30, and series in 106-bit arithmetic.
float sin_with_offset(float x, int offset) {
	float magnitude = x < 0.0f ? -x : x;
	bool odd_sign = x < 0.0f && offset == 0; // sin(-x) = -sin(x), cos(-x) = cos(x)
	ReducedArgument reduced;
	double r;
	int quadrant = 0;
	if (magnitude <= QUARTER_PI_BELOW) {
		r = double(magnitude);
	} else if (magnitude < QUICK_LIMIT) {
		r = quick_reduce(magnitude, quadrant);
	} else {
		reduced = reduce(magnitude);
		quadrant = reduced.quadrant;
		r = fraction_as_double(reduced) * HALF_PI.hi;
	}
	double fast = sin_of_quadrant(quadrant + offset, r);
	if (odd_sign)
		fast = -fast;
	if (rounds_unambiguously(fast, FAST_ERROR))
		return float(fast);

	if (magnitude > QUARTER_PI_BELOW)
		reduced = reduce(magnitude);
	DoubleDouble precise_r = magnitude <= QUARTER_PI_BELOW ? DoubleDouble(double(magnitude))
														   : fraction_as_double_double(reduced) * HALF_PI;
	DoubleDouble precise = sin_of_quadrant(reduced.quadrant + offset, precise_r);
	if (odd_sign)
		precise = -precise;
	// No float argument lies within the precise error of a rounding boundary (the sweep
	// over all of them shows it), so this is the correctly rounded value.
	return round_to_float(precise);
}

} // namespace

float exact_sin(float x) {
	if (!(x - x == 0.0f))
		return x - x; // NaN for infinities and NaN
	if (x == 0.0f)
		return x; // keeps the sign of zero
	return sin_with_offset(x, 0);
}

float exact_cos(float x) {
	if (!(x - x == 0.0f))
		return x - x;
	return sin_with_offset(x, 1);
}

} // namespace wendrel
