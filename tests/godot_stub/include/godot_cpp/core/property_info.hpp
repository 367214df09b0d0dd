// Stand-in: the six-field property description, with godot-cpp's constructor.
#pragma once

#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>

namespace godot {

struct PropertyInfo {
	Variant::Type type = Variant::NIL;
	StringName name;
	StringName class_name;
	uint32_t hint = PROPERTY_HINT_NONE;
	String hint_string;
	uint32_t usage = PROPERTY_USAGE_DEFAULT;

	PropertyInfo() = default;
	// As in godot-cpp, a resource-type hint copies the hint string into class_name.
	PropertyInfo(Variant::Type p_type, const StringName &p_name, PropertyHint p_hint = PROPERTY_HINT_NONE,
			const String &p_hint_string = "", uint32_t p_usage = PROPERTY_USAGE_DEFAULT,
			const StringName &p_class_name = "") :
			type(p_type), name(p_name), hint(p_hint), hint_string(p_hint_string), usage(p_usage) {
		class_name = p_hint == PROPERTY_HINT_RESOURCE_TYPE ? StringName(p_hint_string) : p_class_name;
	}
};

} // namespace godot
