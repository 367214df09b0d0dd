// Stand-in: the engine's global functions that the node calls.
#pragma once

#include <godot_cpp/variant/string.hpp>

#include <cstdint>

namespace godot {

class UtilityFunctions {
public:
	// Recorded as a call "UtilityFunctions.print".
	static void print(const String &p_text);
	// Uniform in [p_from, p_to], from a fixed-seed generator.
	static int64_t randi_range(int64_t p_from, int64_t p_to);
};

} // namespace godot
