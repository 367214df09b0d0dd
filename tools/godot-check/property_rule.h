#pragma once
// What a scene may store for one registered property of a node: the kind of value and,
// from the inspector hint, its range or the resource classes it accepts.

#include <string>
#include <vector>

namespace godot_check {

enum class PropertyKind {
	Bool,
	Int,
	Float,
	Object,
	Other,
};

struct PropertyRule {
	std::string name;
	PropertyKind kind = PropertyKind::Other;
	bool has_range = false;
	double min = 0.0;
	double max = 0.0;
	std::vector<std::string> resource_types; // Object with a resource-type hint
	std::string getter;						 // the bound method that reads it
};

// Engine numbers used in a property description.
constexpr int VARIANT_BOOL = 1;
constexpr int VARIANT_INT = 2;
constexpr int VARIANT_FLOAT = 3;
constexpr int VARIANT_OBJECT = 24;
constexpr int HINT_RANGE = 1;
constexpr int HINT_RESOURCE_TYPE = 17;

// Builds the rule from a property description as the engine receives it. A range hint
// string is "min,max[,step[,flags]]"; a resource-type hint string lists classes by comma.
PropertyRule make_property_rule(const std::string &name, int variant_type, int hint,
		const std::string &hint_string);

} // namespace godot_check
