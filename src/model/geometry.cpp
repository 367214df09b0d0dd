#include "model/geometry.h"

#include <cmath>

namespace wendrel {

Vec3 rotate_about_axis(Vec3 v, Vec3 k, float angle) {
	return rotate_about_axis(v, k, cosf(angle), sinf(angle));
}

} // namespace wendrel
