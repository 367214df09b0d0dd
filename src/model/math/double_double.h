// Double-double arithmetic: a value held as the unevaluated sum hi + lo of two doubles,
// about 106 bits of precision, built from plain IEEE double operations only (no fused
// multiply-add, which not every target has and which the build forbids the compiler to
// form), so that every platform computes the same bits. Used by the correctly rounded
// functions where the double evaluation lies too close to a rounding boundary, and to
// round a precise value to float exactly once.
#ifndef WENDREL_MODEL_DOUBLE_DOUBLE_H
#define WENDREL_MODEL_DOUBLE_DOUBLE_H

#include <cstdint>
#include <cstring>

namespace wendrel {

struct DoubleDouble {
	double hi = 0.0;
	double lo = 0.0;

	constexpr DoubleDouble() = default;
	constexpr DoubleDouble(double p_hi, double p_lo = 0.0) :
			hi(p_hi), lo(p_lo) {}
};

// a + b exactly, as a rounded sum and its error, when |a| >= |b| (or a is 0).
inline DoubleDouble quick_two_sum(double a, double b) {
	double s = a + b;
	return DoubleDouble(s, b - (s - a));
}

// a + b exactly, as a rounded sum and its error, for any order of magnitude.
inline DoubleDouble two_sum(double a, double b) {
	double s = a + b;
	double b_part = s - a;
	double a_part = s - b_part;
	return DoubleDouble(s, (a - a_part) + (b - b_part));
}

// Veltkamp's split of a into two halves of at most 26 significant bits each, so that the
// products of halves are exact. Safe for |a| below about 2^995.
inline void split(double a, double &high, double &low) {
	double c = 134217729.0 * a; // 2^27 + 1
	high = c - (c - a);
	low = a - high;
}

// a × b exactly, as a rounded product and its error (Dekker's algorithm).
inline DoubleDouble two_product(double a, double b) {
	double p = a * b;
	double ah, al, bh, bl;
	split(a, ah, al);
	split(b, bh, bl);
	double error = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
	return DoubleDouble(p, error);
}

inline DoubleDouble operator+(DoubleDouble a, DoubleDouble b) {
	DoubleDouble s = two_sum(a.hi, b.hi);
	DoubleDouble t = two_sum(a.lo, b.lo);
	s.lo += t.hi;
	s = quick_two_sum(s.hi, s.lo);
	s.lo += t.lo;
	return quick_two_sum(s.hi, s.lo);
}

inline DoubleDouble operator-(DoubleDouble a) {
	return DoubleDouble(-a.hi, -a.lo);
}

inline DoubleDouble operator-(DoubleDouble a, DoubleDouble b) {
	return a + (-b);
}

inline DoubleDouble operator*(DoubleDouble a, DoubleDouble b) {
	DoubleDouble p = two_product(a.hi, b.hi);
	p.lo += a.hi * b.lo + a.lo * b.hi;
	return quick_two_sum(p.hi, p.lo);
}

inline DoubleDouble operator*(DoubleDouble a, double b) {
	DoubleDouble p = two_product(a.hi, b);
	p.lo += a.lo * b;
	return quick_two_sum(p.hi, p.lo);
}

// Long division: three quotient digits, each taken from the remainder of the last.
inline DoubleDouble operator/(DoubleDouble a, DoubleDouble b) {
	double q1 = a.hi / b.hi;
	DoubleDouble r = a - b * q1;
	double q2 = r.hi / b.hi;
	r = r - b * q2;
	double q3 = r.hi / b.hi;
	DoubleDouble q = quick_two_sum(q1, q2);
	return q + DoubleDouble(q3);
}

// 2^exponent as a double, for exponents of normal doubles (-1022 .. 1023).
inline double power_of_two(int exponent) {
	uint64_t bits = uint64_t(exponent + 1023) << 52;
	double value;
	std::memcpy(&value, &bits, sizeof(value));
	return value;
}

// √a to 106 bits: the double root corrected by one Newton step on the exact residual. Exact
// when a is the square of a double of at most 26 significant bits.
DoubleDouble square_root(double a);

// The float nearest to hi + lo (ties to even), rounded once. A plain float(hi) could
// round twice: when hi lies exactly halfway between two floats, lo decides.
float round_to_float(DoubleDouble value);

// Whether every value within relative distance `error` of `value` rounds to the same float,
// so that the float nearest to `value` is also the float nearest to the exact result.
bool rounds_unambiguously(DoubleDouble value, double error);

inline bool rounds_unambiguously(double value, double error) {
	double margin = (value < 0.0 ? -value : value) * error;
	return float(value - margin) == float(value + margin);
}

} // namespace wendrel

#endif // WENDREL_MODEL_DOUBLE_DOUBLE_H
