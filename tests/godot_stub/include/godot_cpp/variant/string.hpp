// Stand-in: String holds UTF-8 text in a std::string.
#pragma once

#include <string>

namespace godot {

class String {
	std::string text;

public:
	String() = default;
	String(const char *p_text) :
			text(p_text ? p_text : "") {}
	String(const std::string &p_text) :
			text(p_text) {}

	// Stand-in only: the text, for the recorder and the tests.
	const std::string &str() const { return text; }

	bool operator==(const String &p_other) const { return text == p_other.text; }
	bool operator!=(const String &p_other) const { return text != p_other.text; }
};

} // namespace godot
