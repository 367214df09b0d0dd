// Stand-in: the global enums that property registration and the node's tools use, with the
// engine's values.
#pragma once

#include <cstdint>

namespace godot {

enum PropertyHint {
	PROPERTY_HINT_NONE = 0,
	PROPERTY_HINT_RANGE = 1,
	PROPERTY_HINT_ENUM = 2,
	PROPERTY_HINT_FLAGS = 6,
	PROPERTY_HINT_RESOURCE_TYPE = 17,
	PROPERTY_HINT_TOOL_BUTTON = 39,
};

enum PropertyUsageFlags : uint64_t {
	PROPERTY_USAGE_NONE = 0,
	PROPERTY_USAGE_STORAGE = 2,
	PROPERTY_USAGE_EDITOR = 4,
	PROPERTY_USAGE_DEFAULT = 6,
};

enum Error {
	OK = 0,
	FAILED = 1,
	ERR_OUT_OF_MEMORY = 6,
	ERR_CANT_CREATE = 20,
	ERR_INVALID_DATA = 30,
	ERR_INVALID_PARAMETER = 31,
};

enum MethodFlags : uint64_t {
	METHOD_FLAG_NORMAL = 1,
	METHOD_FLAG_CONST = 4,
	METHOD_FLAGS_DEFAULT = 1,
};

} // namespace godot
