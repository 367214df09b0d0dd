// Correctly rounded single-precision arc cosine.
//
// acos x = π/2 − asin x for |x| <= 1/2, and acos x = 2·asin √((1 − x)/2) (or π minus that
// for negative x) above, so that asin is only ever needed for arguments up to 1/2, where
// its Taylor series converges by a factor of 4 per term. (1 ∓ x)/2 is exact for a float x,
// and the square root is correctly rounded on every IEEE platform. The double evaluation
// is rounded when its error bound decides the nearest float; otherwise the same steps run
// in double-double.
#include "model/math/double_double.h"
#include "model/math/exact_math.h"

#include <cmath>
#include <limits>

namespace wendrel {

namespace {

constexpr DoubleDouble HALF_PI(0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54);
constexpr DoubleDouble PI(0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53);

// Errors of about 2^-50 relative: a few roundings in the square root, the series and the
// final subtraction, none amplified, since the result is at least |asin| and π/3 apart.
constexpr double FAST_ERROR = 0x1p-47;

// asin z = Σ (2n)! / (4^n (n!)² (2n + 1)) z^(2n+1), for |z| <= 1/2: terms up to z^61,
// after which they fall below 2^-62 of the sum.
double asin_series(double z) {
	double z2 = z * z;
	double power = z;
	double coefficient = 1.0;
	double sum = z;
	for (int n = 1; n <= 30; n++) {
		coefficient = coefficient * double(2 * n - 1) / double(2 * n);
		power *= z2;
		sum += coefficient * power / double(2 * n + 1);
	}
	return sum;
}

// The same series to 106 bits: terms up to z^111.
DoubleDouble asin_series(DoubleDouble z) {
	DoubleDouble z2 = z * z;
	DoubleDouble power = z;
	DoubleDouble coefficient(1.0);
	DoubleDouble sum = z;
	for (int n = 1; n <= 55; n++) {
		coefficient = coefficient * double(2 * n - 1) / DoubleDouble(double(2 * n));
		power = power * z2;
		sum = sum + coefficient * power / DoubleDouble(double(2 * n + 1));
	}
	return sum;
}

double fast_acos(double x) {
	if (x >= -0.5 && x <= 0.5)
		return (HALF_PI.hi - asin_series(x)) + HALF_PI.lo;
	double z = std::sqrt((1.0 - (x < 0.0 ? -x : x)) * 0.5);
	double twice = 2.0 * asin_series(z);
	return x > 0.0 ? twice : (PI.hi - twice) + PI.lo;
}

DoubleDouble precise_acos(double x) {
	if (x >= -0.5 && x <= 0.5)
		return HALF_PI - asin_series(DoubleDouble(x));
	DoubleDouble twice = asin_series(square_root((1.0 - (x < 0.0 ? -x : x)) * 0.5)) * 2.0;
	return x > 0.0 ? twice : PI - twice;
}

} // namespace

float exact_acos(float x) {
	if (x != x)
		return x;
	if (x < -1.0f || x > 1.0f)
		return std::numeric_limits<float>::quiet_NaN();
	double fast = fast_acos(double(x));
	if (rounds_unambiguously(fast, FAST_ERROR))
		return float(fast);
	return round_to_float(precise_acos(double(x)));
}

} // namespace wendrel
