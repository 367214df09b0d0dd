#pragma once
// Reads the raw value text that godot_text.h keeps: literals, constructor calls such as
// Transform3D(...) or ExtResource("1_bark"), arrays and dictionaries, one level deep.

#include <string>
#include <vector>

namespace godot_check {

enum class ValueKind {
	Null,
	Bool,
	Integer, // 8, -3
	Real,	 // 0.5, 1e-05, inf, inf_neg, nan: Godot writes every float with one of these forms
	String,
	Call,		// Name(arguments)
	Array,		// [items]
	Dictionary, // {...}, not looked into
	Unknown,
};

struct Value {
	ValueKind kind = ValueKind::Unknown;
	std::string text;				// trimmed raw text
	std::string callee;				// Call only
	std::vector<std::string> items; // Call arguments or Array items, raw and trimmed
	double number = 0.0;			// Integer and Real
	bool boolean = false;			// Bool
	std::string string;				// String, unquoted
};

Value read_value(const std::string &raw);

// Splits at the commas that stand outside strings and brackets, trimming each piece.
std::vector<std::string> split_top_level(const std::string &text);

struct ResourceRef {
	bool external = false; // ExtResource rather than SubResource
	std::string id;
};

// Every ExtResource(...) and SubResource(...) anywhere in a raw value, nested ones included.
std::vector<ResourceRef> resource_refs(const std::string &raw);

} // namespace godot_check
