// The tree's parameters as the tool names them: the generator's property table (one entry
// per field of TreeProperties, under the node's property name, with the inspector's range).
// Option parsing, --help, the JSON header and the scene writer all read it.
#pragma once

#include "model/properties.h"
#include "model/tree_model.h"

#include <string>
#include <vector>

namespace wendrel {

using ParameterType = PropertyType;

struct Parameter {
	const char *property; // node property name, or the field name when the node has none
	ParameterType type;
	int32_t TreeProperties::*int_field; // set when type is INTEGER
	float TreeProperties::*float_field; // set when type is REAL
	double min;							// inspector range; values outside it are allowed but warned about
	double max;
	bool exposed; // whether the node has it as a property, and so a scene can store it
	const char *description;

	// "--trunk-segments" for "trunk_segments".
	std::string option_name() const;
	double get(const TreeProperties &properties) const;
	// The value must be representable in the field's type; see parse_value().
	void set(TreeProperties &properties, double value) const;
	bool in_range(double value) const;
};

// Every parameter, seed first, in the node's inspector order, then the two the node keeps at
// their defaults.
const std::vector<Parameter> &parameters();

// Finds a parameter by property name; null when there is none.
const Parameter *find_parameter(const std::string &property);

// Reads one option value: a whole decimal int32 for INTEGER, a finite float for REAL, rounded
// once from the text (as a float literal would be). Returns an error message, empty on success.
std::string parse_value(const Parameter &parameter, const std::string &text, double &value);

// The shortest text that reads back as exactly this value: "0.454" rather than "0.453999996".
// Integers print without a decimal point, reals always with one.
std::string format_value(const Parameter &parameter, double value);

} // namespace wendrel
