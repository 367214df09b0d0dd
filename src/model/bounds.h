// Closed-form bounds on the geometry a parameter set grows, computed without growing it:
// whether every length, radius and position stays far enough inside the float range that
// the passes (which square and cross positions) keep every output finite.
#pragma once

#include "model/properties.h"

#include <cstdint>

namespace wendrel {

// The parameter that makes a tree unrepresentable, and what its value does.
struct Fault {
	const PropertyRow *property = nullptr; // null when representable
	const char *reason = nullptr;
};

// `generations` is the number of child lengths below the trunk down to the leaves; `steps`
// the number of trunk steps the skeleton takes.
Fault find_unrepresentable(const TreeProperties &p, int64_t generations, int64_t steps);

} // namespace wendrel
