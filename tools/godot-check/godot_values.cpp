#include "godot_values.h"

#include "godot_text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <regex>

namespace godot_check {

namespace {

std::string trim(const std::string &text) {
	const size_t first = text.find_first_not_of(" \t\r\n");
	if (first == std::string::npos) {
		return {};
	}
	return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The index just past the string that starts at `pos` (which holds the opening quote).
size_t skip_string(const std::string &text, size_t pos) {
	for (pos++; pos < text.size() && text[pos] != '"'; pos++) {
		if (text[pos] == '\\') {
			pos++;
		}
	}
	return pos + 1;
}

bool is_identifier_char(char c) {
	return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool read_number(Value &value) {
	static const std::regex integer("-?[0-9]+");
	static const std::regex real("-?([0-9]+\\.[0-9]*|\\.[0-9]+|[0-9]+)([eE][-+]?[0-9]+)?");
	const std::string &t = value.text;
	if (t.size() > 64) {
		return false; // no number is this long, and std::regex recurses per character
	} else if (std::regex_match(t, integer)) {
		value.kind = ValueKind::Integer;
	} else if (std::regex_match(t, real)) {
		value.kind = ValueKind::Real;
	} else if (t == "inf" || t == "inf_neg" || t == "nan") {
		value.kind = ValueKind::Real;
		value.number = t == "nan" ? std::numeric_limits<double>::quiet_NaN()
								  : (t == "inf" ? HUGE_VAL : -HUGE_VAL);
		return true;
	} else {
		return false;
	}
	value.number = std::strtod(t.c_str(), nullptr);
	return true;
}

// Name(arguments), where the parenthesis after the name closes at the very end.
bool read_call(Value &value) {
	const std::string &t = value.text;
	size_t open = 0;
	while (open < t.size() && is_identifier_char(t[open])) {
		open++;
	}
	if (open == 0 || open >= t.size() || t[open] != '(' || t.back() != ')') {
		return false;
	}
	int depth = 0;
	for (size_t i = open; i < t.size(); i++) {
		if (t[i] == '"') {
			i = skip_string(t, i) - 1;
		} else if (t[i] == '(' || t[i] == '[' || t[i] == '{') {
			depth++;
		} else if ((t[i] == ')' || t[i] == ']' || t[i] == '}') && --depth == 0 && i + 1 != t.size()) {
			return false;
		}
	}
	value.kind = ValueKind::Call;
	value.callee = t.substr(0, open);
	value.items = split_top_level(t.substr(open + 1, t.size() - open - 2));
	return true;
}

} // namespace

std::vector<std::string> split_top_level(const std::string &text) {
	std::vector<std::string> pieces;
	if (trim(text).empty()) {
		return pieces;
	}
	int depth = 0;
	size_t start = 0;
	for (size_t i = 0; i < text.size(); i++) {
		const char c = text[i];
		if (c == '"') {
			i = skip_string(text, i) - 1;
		} else if (c == '(' || c == '[' || c == '{') {
			depth++;
		} else if (c == ')' || c == ']' || c == '}') {
			depth--;
		} else if (c == ',' && depth == 0) {
			pieces.push_back(trim(text.substr(start, i - start)));
			start = i + 1;
		}
	}
	pieces.push_back(trim(text.substr(start)));
	return pieces;
}

Value read_value(const std::string &raw) {
	Value value;
	value.text = trim(raw);
	const std::string &t = value.text;
	if (t == "null") {
		value.kind = ValueKind::Null;
	} else if (t == "true" || t == "false") {
		value.kind = ValueKind::Bool;
		value.boolean = t == "true";
	} else if (read_number(value) || read_call(value)) {
		// kind set by the reader
	} else if (t.size() >= 2 && t.front() == '"' && unquote(t) != t) {
		value.kind = ValueKind::String;
		value.string = unquote(t);
	} else if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
		value.kind = ValueKind::Array;
		value.items = split_top_level(t.substr(1, t.size() - 2));
	} else if (t.size() >= 2 && t.front() == '{' && t.back() == '}') {
		value.kind = ValueKind::Dictionary;
	}
	return value;
}

std::vector<ResourceRef> resource_refs(const std::string &raw) {
	std::vector<ResourceRef> refs;
	for (size_t i = 0; i < raw.size(); i++) {
		if (raw[i] == '"') {
			i = skip_string(raw, i) - 1;
			continue;
		}
		if (i > 0 && is_identifier_char(raw[i - 1])) {
			continue;
		}
		for (const char *name : { "ExtResource(", "SubResource(" }) {
			const std::string prefix = name;
			if (raw.compare(i, prefix.size(), prefix) != 0) {
				continue;
			}
			const size_t close = raw.find(')', i);
			const std::string argument = trim(raw.substr(i + prefix.size(), close - i - prefix.size()));
			refs.push_back({ prefix[0] == 'E', unquote(argument) });
		}
	}
	return refs;
}

} // namespace godot_check
