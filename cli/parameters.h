// The tree's parameters as the tool knows them: the rows of the generator's property table
// (model/properties.h), under the node's property names, with the inspector's ranges. Option
// parsing, --help, the JSON header, the glTF extras and the scene writer all read the rows.
#pragma once

#include "model/properties.h"

#include <string>
#include <vector>

namespace wendrel {

// The tool's words for the table's rows.
using Parameter = PropertyRow;
using ParameterType = PropertyType;

inline PropertyTable parameters() {
	return property_table();
}

inline const PropertyRow *find_parameter(const std::string &property) {
	return find_property(property);
}

// "--trunk-segments" for "trunk_segments".
std::string option_name(const PropertyRow &parameter);

// Reads one option value: a whole decimal int32 for INTEGER, a finite float for REAL, rounded
// once from the text (as a float literal would be). Returns an error message, empty on success.
std::string parse_value(const Parameter &parameter, const std::string &text, double &value);

// The shortest text that reads back as exactly this value: "0.454" rather than "0.453999996".
// Integers print without a decimal point, reals always with one.
std::string format_value(const Parameter &parameter, double value);

} // namespace wendrel
