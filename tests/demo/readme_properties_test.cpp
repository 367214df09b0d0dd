// The README's property table documents every property that the node registers, with its
// type, inspector range and the default that a new node really has.
#include "godot_values.h"
#include "registration.h"

#include "model/properties.h"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/memory.hpp>
#include <stub/recorder.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>

namespace wendrel::test {

using namespace godot_check;
namespace {

struct Row {
	std::string name, type, range, default_value;
};

std::string trim(const std::string &text) {
	const size_t first = text.find_first_not_of(" `");
	return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" `") - first + 1);
}

// The rows of the table under `heading` ("| `name` | type | range | default | what |" under
// "### Properties", "| `--option` | type | default | range |" under "### Options").
std::vector<Row> readme_rows(const std::string &heading = "### Properties") {
	std::ifstream in(WENDREL_README);
	std::vector<Row> rows;
	bool in_section = false;
	for (std::string line; std::getline(in, line);) {
		if (line.rfind("#", 0) == 0) {
			in_section = line == heading;
		} else if (in_section && line.rfind("| `", 0) == 0) {
			std::vector<std::string> cells;
			for (size_t start = 1, bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1) {
				cells.push_back(trim(line.substr(start, bar - start)));
			}
			cells.resize(4);
			rows.push_back({ cells[0], cells[1], cells[2], cells[3] });
		}
	}
	return rows;
}

std::string type_name(PropertyKind kind) {
	switch (kind) {
		case PropertyKind::Bool:
			return "bool";
		case PropertyKind::Int:
			return "int";
		case PropertyKind::Float:
			return "float";
		case PropertyKind::Object:
			return "Material";
		default:
			return "?";
	}
}

std::string range_of(const PropertyRule &rule, const Row &row) {
	if (rule.kind == PropertyKind::Object) {
		std::string types;
		for (const std::string &type : rule.resource_types) {
			types += (types.empty() ? "" : ", ") + type;
		}
		return types;
	}
	// The README writes "min to max", with ", step s" where the step is not one.
	static const std::regex range("(-?[0-9.]+) to (-?[0-9.]+)(, step [0-9.]+)?");
	std::smatch match;
	if (rule.has_range && std::regex_match(row.range, match, range) &&
			std::stod(match[1]) == rule.min && std::stod(match[2]) == rule.max) {
		return row.range;
	}
	return rule.has_range ? "a range of " + std::to_string(rule.min) + " to " + std::to_string(rule.max) : "";
}

// What a new node's getter returns, written as the README writes it.
bool default_matches(godot::Object *node, const PropertyRule &rule, const std::string &text) {
	if (rule.kind == PropertyKind::Object) {
		return text == "none";
	}
	const std::any value = godot::stub::call_method(node, "Wendrel3D", rule.getter);
	switch (rule.kind) {
		case PropertyKind::Bool:
			return text == (std::any_cast<bool>(value) ? "true" : "false");
		case PropertyKind::Int:
			return text == std::to_string(std::any_cast<int32_t>(value));
		case PropertyKind::Float:
			return read_value(text).kind != ValueKind::Unknown && float(std::stod(text)) == std::any_cast<float>(value);
		default:
			return false;
	}
}

TEST(ReadmeProperties, TheTableListsEveryRegisteredPropertyAsTheNodeHasIt) {
	const std::vector<PropertyRule> rules = wendrel3d_properties();
	const std::vector<Row> rows = readme_rows();
	ASSERT_EQ(rows.size(), rules.size());
	godot::Object *node = godot::stub::instantiate("Wendrel3D");
	ASSERT_NE(node, nullptr);
	for (size_t i = 0; i < rules.size(); i++) {
		const PropertyRule &rule = rules[i];
		SCOPED_TRACE(rule.name);
		EXPECT_EQ(rows[i].name, rule.name);
		EXPECT_EQ(rows[i].type, type_name(rule.kind));
		EXPECT_EQ(rows[i].range, range_of(rule, rows[i]));
		EXPECT_TRUE(default_matches(node, rule, rows[i].default_value)) << "default " << rows[i].default_value;
	}
	godot::memdelete(node);
}

// The tool's table of parameter options: one row per row of the generator's property table,
// in its order, as "| `--option` | type | default | min to max[ (suggested): ...] |".
TEST(ReadmeProperties, TheOptionsTableIsThePropertyTable) {
	std::vector<Row> rows;
	for (const Row &row : readme_rows("### Options")) {
		if (row.type == "int" || row.type == "float") {
			rows.push_back(row);
		}
	}
	const wendrel::PropertyTable table = wendrel::property_table();
	ASSERT_EQ(rows.size(), table.size());
	for (size_t i = 0; i < table.size(); i++) {
		const wendrel::PropertyRow &property = table[i];
		SCOPED_TRACE(property.name);
		std::string option = std::string("--") + property.name;
		std::replace(option.begin(), option.end(), '_', '-');
		EXPECT_EQ(rows[i].name, option);
		const bool integer = property.type == wendrel::PropertyType::INTEGER;
		EXPECT_EQ(rows[i].type, integer ? "int" : "float");
		// Cells: name, type, default, range.
		const std::string &default_text = rows[i].range;
		if (integer) {
			EXPECT_EQ(default_text, std::to_string(int32_t(property.default_value())));
		} else {
			EXPECT_EQ(float(std::stod(default_text)), float(property.default_value())) << default_text;
		}
		std::smatch range;
		const std::string &range_text = rows[i].default_value;
		ASSERT_TRUE(std::regex_search(range_text, range, std::regex("^(-?[0-9.]+) to (-?[0-9.]+)"))) << range_text;
		EXPECT_EQ(std::stod(range[1]), property.min);
		EXPECT_EQ(std::stod(range[2]), property.max);
	}
}

} // namespace
} // namespace wendrel::test
