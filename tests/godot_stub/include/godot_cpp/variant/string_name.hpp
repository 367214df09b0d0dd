// Stand-in: StringName is an interned name; here it simply holds the text.
#pragma once

#include <godot_cpp/variant/string.hpp>

#include <string>

namespace godot {

class StringName {
	std::string text;

public:
	StringName() = default;
	StringName(const char *p_text) :
			text(p_text ? p_text : "") {}
	StringName(const String &p_text) :
			text(p_text.str()) {}

	// Stand-in only: the text, for the recorder and the tests.
	const std::string &str() const { return text; }

	operator String() const { return String(text); }

	bool operator==(const StringName &p_other) const { return text == p_other.text; }
	bool operator!=(const StringName &p_other) const { return text != p_other.text; }
};

} // namespace godot
