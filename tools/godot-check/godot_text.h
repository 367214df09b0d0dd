#pragma once
// A reader for Godot's text formats: scenes (.tscn), resources (.tres) and configuration
// files (project.godot, .gdextension). All of them are a list of "[heading attr=value ...]"
// lines, each followed by "key = value" lines, where values use Godot's variant syntax and
// may run over several lines. The reader keeps values as raw text; godot_values.h reads them.

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace godot_check {

struct ParseError : std::runtime_error {
	using std::runtime_error::runtime_error;
};

struct Section {
	std::string tag;											 // "gd_scene", "node", "application"...; empty for lines before any heading
	std::vector<std::pair<std::string, std::string>> attributes; // string values unquoted
	std::vector<std::pair<std::string, std::string>> properties; // raw value text, in file order
	int line = 0;												 // of the heading, 1-based

	// The attribute's value, or an empty string when it is absent.
	std::string attribute(const std::string &name) const;
	bool has_attribute(const std::string &name) const;
	// The raw value of the last property with this key (as Godot keeps the last), or nullptr.
	const std::string *property(const std::string &key) const;
};

struct TextFile {
	std::vector<Section> sections;

	// Every section with this tag, in file order.
	std::vector<const Section *> all(const std::string &tag) const;
	// The first section with this tag, or nullptr.
	const Section *first(const std::string &tag) const;
};

// Throws ParseError, with the line number, on an unterminated string or heading, unbalanced
// brackets, or a property line without "=".
TextFile parse_text(const std::string &text);
TextFile parse_text_file(const std::string &path);

// The text of a quoted string value with its escapes resolved; other text comes back unchanged.
std::string unquote(const std::string &raw);

} // namespace godot_check
