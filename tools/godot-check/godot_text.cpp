#include "godot_text.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace godot_check {

namespace {

class Scanner {
public:
	explicit Scanner(const std::string &p_text) :
			text(p_text) {}

	TextFile parse() {
		TextFile file;
		file.sections.emplace_back(); // holds "config_version=5" and the like
		while (skip_blank(), !at_end()) {
			if (peek() == '[') {
				file.sections.push_back(read_heading());
			} else {
				file.sections.back().properties.push_back(read_property());
			}
		}
		if (file.sections.front().properties.empty()) {
			file.sections.erase(file.sections.begin());
		}
		return file;
	}

private:
	const std::string &text;
	size_t pos = 0;
	int line = 1;

	bool at_end() const { return pos >= text.size(); }
	char peek() const { return text[pos]; }

	char advance() {
		char c = text[pos++];
		if (c == '\n') {
			line++;
		}
		return c;
	}

	[[noreturn]] void fail(const std::string &what) const { fail_at(line, what); }

	[[noreturn]] static void fail_at(int p_line, const std::string &what) {
		throw ParseError("line " + std::to_string(p_line) + ": " + what);
	}

	// Skips white space, empty lines and ';' comments, which run to the end of the line.
	void skip_blank() {
		while (!at_end()) {
			if (peek() == ';') {
				while (!at_end() && peek() != '\n') {
					advance();
				}
			} else if (std::isspace(static_cast<unsigned char>(peek()))) {
				advance();
			} else {
				return;
			}
		}
	}

	void skip_spaces() {
		while (!at_end() && (peek() == ' ' || peek() == '\t' || peek() == '\r')) {
			advance();
		}
	}

	void skip_string() {
		const int start_line = line;
		advance(); // the opening quote
		while (!at_end() && peek() != '"') {
			if (advance() == '\\' && !at_end()) {
				advance();
			}
		}
		if (at_end()) {
			fail_at(start_line, "unterminated string");
		}
		advance();
	}

	// Reads one value up to, not including, the first character of `stops` found outside
	// strings and brackets. Values may span lines inside brackets or strings.
	std::string read_value(const std::string &stops) {
		const size_t start = pos;
		const int start_line = line;
		std::string open;
		while (!at_end()) {
			char c = peek();
			if (open.empty() && stops.find(c) != std::string::npos) {
				break;
			}
			if (c == '"') {
				skip_string();
				continue;
			}
			if (c == '(' || c == '[' || c == '{') {
				open.push_back(c);
			} else if (c == ')' || c == ']' || c == '}') {
				const char expected = c == ')' ? '(' : (c == ']' ? '[' : '{');
				if (open.empty() || open.back() != expected) {
					fail(std::string("unbalanced '") + c + "'");
				}
				open.pop_back();
			}
			advance();
		}
		if (!open.empty()) {
			fail_at(start_line, std::string("unclosed '") + open.back() + "'");
		}
		std::string value = text.substr(start, pos - start);
		value.erase(value.find_last_not_of(" \t\r") + 1);
		return value;
	}

	std::string read_name(const std::string &stops) {
		size_t start = pos;
		while (!at_end() && stops.find(peek()) == std::string::npos && peek() != '\n') {
			advance();
		}
		std::string name = text.substr(start, pos - start);
		name.erase(name.find_last_not_of(" \t\r") + 1);
		return name;
	}

	Section read_heading() {
		Section section;
		section.line = line;
		advance(); // '['
		section.tag = read_name(" \t]");
		while (skip_spaces(), !at_end() && peek() != ']' && peek() != '\n') {
			std::string name = read_name("=] \t");
			if (at_end() || peek() != '=') {
				fail("attribute '" + name + "' without a value");
			}
			advance();
			section.attributes.emplace_back(name, unquote(read_value(" \t\n]")));
		}
		if (at_end() || peek() != ']') {
			fail("unterminated heading [" + section.tag);
		}
		advance();
		return section;
	}

	std::pair<std::string, std::string> read_property() {
		std::string key;
		if (peek() == '"') {
			size_t start = pos;
			skip_string();
			key = unquote(text.substr(start, pos - start));
		} else {
			key = read_name("=");
		}
		skip_spaces();
		if (at_end() || peek() != '=') {
			fail("expected '=' after '" + key + "'");
		}
		advance();
		skip_spaces();
		std::string value = read_value("\n;");
		if (value.empty()) {
			fail("no value for '" + key + "'");
		}
		return { key, value };
	}
};

} // namespace

std::string Section::attribute(const std::string &name) const {
	for (const auto &[key, value] : attributes) {
		if (key == name) {
			return value;
		}
	}
	return {};
}

bool Section::has_attribute(const std::string &name) const {
	for (const auto &attribute : attributes) {
		if (attribute.first == name) {
			return true;
		}
	}
	return false;
}

const std::string *Section::property(const std::string &key) const {
	const std::string *found = nullptr;
	for (const auto &property : properties) {
		if (property.first == key) {
			found = &property.second;
		}
	}
	return found;
}

std::vector<const Section *> TextFile::all(const std::string &tag) const {
	std::vector<const Section *> found;
	for (const Section &section : sections) {
		if (section.tag == tag) {
			found.push_back(&section);
		}
	}
	return found;
}

const Section *TextFile::first(const std::string &tag) const {
	for (const Section &section : sections) {
		if (section.tag == tag) {
			return &section;
		}
	}
	return nullptr;
}

TextFile parse_text(const std::string &text) {
	return Scanner(text).parse();
}

TextFile parse_text_file(const std::string &path) {
	std::ifstream in(path, std::ios::binary);
	if (!in) {
		throw ParseError("cannot read " + path);
	}
	std::ostringstream buffer;
	buffer << in.rdbuf();
	try {
		return parse_text(buffer.str());
	} catch (const ParseError &e) {
		throw ParseError(path + ": " + e.what());
	}
}

std::string unquote(const std::string &raw) {
	if (raw.size() < 2 || raw.front() != '"') {
		return raw;
	}
	std::string out;
	for (size_t i = 1; i < raw.size(); i++) {
		char c = raw[i];
		if (c == '"') {
			// Text after the closing quote ("a" + "b") is not one string: keep it raw.
			return i + 1 == raw.size() ? out : raw;
		}
		if (c == '\\' && i + 1 < raw.size()) {
			c = raw[++i];
			c = c == 'n' ? '\n' : (c == 't' ? '\t' : c);
		}
		out.push_back(c);
	}
	return raw;
}

} // namespace godot_check
