#pragma once
// The Wendrel3D node's property registration, as the engine receives it.

#include "property_rule.h"

#include <vector>

namespace wendrel::test {

// The properties that the node registers, in registration order, taken from the stand-in of
// godot-cpp after loading the extension through its entry symbol.
std::vector<godot_check::PropertyRule> wendrel3d_properties();

} // namespace wendrel::test
