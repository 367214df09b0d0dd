// Stand-in: String holds UTF-8 text in a std::string.
#pragma once

#include <cstdint>
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

	bool is_empty() const { return text.empty(); }
	String operator+(const String &p_other) const { return String(text + p_other.text); }
	// The path without its extension.
	String get_basename() const;
	// The text with the characters that file names may not hold replaced by '_'.
	String validate_filename() const;
	static String num_int64(int64_t p_number) { return String(std::to_string(p_number)); }

	bool operator==(const String &p_other) const { return text == p_other.text; }
	bool operator!=(const String &p_other) const { return text != p_other.text; }
};

} // namespace godot
