// The C library's functions in place of the generator's own, for math_bench: this file and
// the generator's other sources are compiled a second time into the namespace
// wendrel_platform (the macro `wendrel` renames it), so that one program can time both.
#include "model/math/exact_math.h"

#include <cmath>

namespace wendrel {

float exact_sin(float x) {
	return std::sin(x);
}

float exact_cos(float x) {
	return std::cos(x);
}

float exact_acos(float x) {
	return std::acos(x);
}

float exact_scaled_power(float base, float exponent, float factor) {
	return float(std::pow(double(base), double(exponent)) * double(factor));
}

} // namespace wendrel
