// Stand-in: PackedColorArray (see packed_array.hpp).
#pragma once

#include <godot_cpp/variant/packed_array.hpp>
