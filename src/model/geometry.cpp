#include "model/geometry.h"

#include "model/math/exact_math.h"

#include <cmath>

namespace wendrel {

Vec3 rotate_about_axis(Vec3 v, Vec3 k, float angle) {
	return rotate_about_axis(v, k, exact_cos(angle), exact_sin(angle));
}

} // namespace wendrel
