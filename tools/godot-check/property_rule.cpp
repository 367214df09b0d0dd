#include "property_rule.h"

#include "godot_values.h"

#include <cstdlib>

namespace godot_check {

namespace {

PropertyKind kind_of(int variant_type) {
	switch (variant_type) {
		case VARIANT_BOOL:
			return PropertyKind::Bool;
		case VARIANT_INT:
			return PropertyKind::Int;
		case VARIANT_FLOAT:
			return PropertyKind::Float;
		case VARIANT_OBJECT:
			return PropertyKind::Object;
		default:
			return PropertyKind::Other;
	}
}

} // namespace

PropertyRule make_property_rule(const std::string &name, int variant_type, int hint,
		const std::string &hint_string) {
	PropertyRule rule;
	rule.name = name;
	rule.kind = kind_of(variant_type);
	const std::vector<std::string> pieces = split_top_level(hint_string);
	if (hint == HINT_RANGE && pieces.size() >= 2) {
		rule.has_range = true;
		rule.min = std::strtod(pieces[0].c_str(), nullptr);
		rule.max = std::strtod(pieces[1].c_str(), nullptr);
	} else if (hint == HINT_RESOURCE_TYPE) {
		rule.resource_types = pieces;
	}
	return rule;
}

} // namespace godot_check
