// Correctly rounded reference values for the generator's own math, from MPFR: the float
// nearest to the exact value, with the float format's subnormals. A fast filter answers
// first where the C library's long double or double result lies clear of every rounding
// boundary; MPFR settles the rest.
#ifndef WENDREL_TESTS_EXACT_MATH_REFERENCE_H
#define WENDREL_TESTS_EXACT_MATH_REFERENCE_H

namespace wendrel::test {

float reference_sin(float x);
float reference_cos(float x);
float reference_acos(float x);
// base^exponent × factor, for a positive finite base and finite exponent and factor.
float reference_scaled_power(float base, float exponent, float factor);

// Whether the last reference call needed MPFR: its value lies within 2^-48 (relative) of the
// midpoint between two floats, a hard case for rounding.
bool reference_was_hard();

// Equal as results: the same bits, or both NaN.
bool same_result(float a, float b);

} // namespace wendrel::test

#endif // WENDREL_TESTS_EXACT_MATH_REFERENCE_H
