// The generator's own elementary functions, correctly rounded: each returns the float
// nearest to the exact mathematical value (ties to even) for every float argument. The C
// libraries of different platforms disagree in the last bit of sinf, cosf, acosf and pow,
// and a tree must not depend on where it grows. These use nothing but IEEE additions,
// multiplications, divisions and square roots, which every platform rounds alike.
#ifndef WENDREL_MODEL_EXACT_MATH_H
#define WENDREL_MODEL_EXACT_MATH_H

namespace wendrel {

// sin x and cos x, for every float x: the argument is reduced exactly, even near the float
// limit, with 2/π carried to enough bits that no float argument loses accuracy.
float exact_sin(float x);
float exact_cos(float x);

// arc cos x in [0, π] for x in [-1, 1]; NaN outside.
float exact_acos(float x);

// base^exponent × factor, rounded once to float: a child branch's length from its parent's.
// Correctly rounded except where the exact value lies within about 2^-100 (relative) of
// the midpoint between two floats; there the nearest float to a 106-bit approximation is
// returned, the same on every platform. The special cases (zero, infinite, negative or NaN
// base or exponent) follow the C pow, then multiply by factor.
float exact_scaled_power(float base, float exponent, float factor);

} // namespace wendrel

#endif // WENDREL_MODEL_EXACT_MATH_H
