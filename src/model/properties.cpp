#include "model/properties.h"

#include <cstdio>
#include <cstdlib>

namespace wendrel {

namespace {

using T = TreeProperties;
constexpr Rebuilds BOTH = Rebuilds::BOTH;
constexpr Rebuilds BARK = Rebuilds::BARK;
constexpr Rebuilds TWIGS = Rebuilds::TWIGS;

// The field's name and member pointer, from one spelling.
#define FIELD(m_name) #m_name, &T::m_name

constexpr PropertyRow integer(const char *name, const char *field, int32_t T::*member, double min, double max, double step, Rebuilds rebuilds, const char *description) {
	return PropertyRow{ name, field, PropertyType::INTEGER, member, nullptr, min, max, step, true, rebuilds, description };
}

constexpr PropertyRow real(const char *name, const char *field, float T::*member, double min, double max, double step, Rebuilds rebuilds, const char *description) {
	return PropertyRow{ name, field, PropertyType::REAL, nullptr, member, min, max, step, true, rebuilds, description };
}

constexpr PropertyRow not_on_node(PropertyRow property) {
	property.on_node = false;
	return property;
}

// Constant-initialised, so that it is complete before any other static is made.
constexpr PropertyRow TABLE[] = {
	integer("seed", FIELD(seed), 0, 100000, 1, BOTH, "added to every random draw"),
	integer("trunk_segments", FIELD(segments), 2, 10, 2, BARK, "vertices around each bark ring (rounded up to even)"),
	integer("trunk_branches_count", FIELD(branches_count), 1, 13, 1, BOTH, "times the branches fork above the trunk; each level doubles the branch tips"),
	integer("trunk_height", FIELD(trunk_height), 0, 100, 1, BOTH, "trunk steps, each putting out one side branch"),
	real("trunk_branch_length", FIELD(branch_length), 0.01, 10, 0.001, BOTH, "length of the first branch"),
	real("trunk_branch_length_falloff", FIELD(branch_length_falloff), 0, 2, 0.001, BOTH, "child length factor"),
	real("trunk_branch_factor", FIELD(branch_factor), 0.1, 20, 0.01, BOTH, "how far a fork's second child swings away"),
	real("trunk_branch_clump_max", FIELD(branch_clump_max), 0, 20, 0.01, BOTH, "upper end of the clump blend"),
	real("trunk_branch_clump_min", FIELD(branch_clump_min), 0, 20, 0.01, BOTH, "lower end of the clump blend"),
	real("trunk_drop_amount", FIELD(drop_amount), -5, 5, 0.001, BOTH, "vertical push growing with every level towards the tips: negative droops, positive lifts"),
	real("trunk_grow_amount", FIELD(grow_amount), -5, 5, 0.001, BOTH, "upward push, strongest near the trunk"),
	real("trunk_sweep_amount", FIELD(sweep_amount), -5, 5, 0.01, BOTH, "push along +x per level"),
	real("trunk_max_radius", FIELD(max_radius), 0.01, 0.6, 0.01, BARK, "trunk radius"),
	real("trunk_radius_falloff_rate", FIELD(radius_falloff_rate), 0.1, 1, 0.01, BARK, "radius factor from a branch to its children"),
	real("trunk_climb_rate", FIELD(climb_rate), 0, 50, 0.001, BOTH, "height added by each trunk step"),
	real("trunk_kink", FIELD(trunk_kink), -1, 1, 0.001, BOTH, "largest sideways offset of a trunk step"),
	real("trunk_twist", FIELD(twist), -5, 5, 0.01, BOTH, "turns of the side branches around the trunk"),
	real("trunk_length", FIELD(trunk_length), 0, 100, 0.001, BOTH, "height of the first fork"),
	real("trunk_uv_multiplier", FIELD(uv_multiplier), 0.001, 50, 0.001, BARK, "bark texture scale along the branches"),
	real("twig_scale", FIELD(twig_scale), 0, 5, 0.001, TWIGS, "half the side of a twig card"),
	integer("twig_cards_per_tip", FIELD(twig_cards_per_tip), 1, 8, 1, TWIGS, "cards at each branch tip, fanned around it, each turned and sized by seed"),
	integer("twig_crossed", FIELD(twig_crossed), 0, 1, 1, TWIGS, "1 pairs every card with a second at right angles, so a tip has volume from every side"),
	real("twig_aspect", FIELD(twig_aspect), 0.1, 8, 0.01, TWIGS, "card length over card width: 1 is square, above 1 gives long leaves and needles"),
	integer("twig_leaf_variants", FIELD(twig_leaf_variants), 1, 4, 1, TWIGS, "cells of the 2x2 leaf atlas the cards pick from by seed; 1 uses the whole texture"),
	// Rows for new parameters go here, above the two that only the tool sets.
	not_on_node(real("trunk_taper", FIELD(trunk_taper), 0.5, 1, 0.001, BOTH, "length and radius factor from one trunk step to the next; not a node property")),
	not_on_node(real("branch_length_exponent", FIELD(branch_length_exponent), 0.5, 1.5, 0.001, BOTH, "exponent of the parent length in a child's length; not a node property")),
};

#undef FIELD

template <typename Member>
const PropertyRow &row_of(Member member, Member PropertyRow::*column) {
	for (const PropertyRow &property : property_table()) {
		if (property.*column == member) {
			return property;
		}
	}
	// A field without a row is a fault of the table, which the tests check for every field.
	std::abort();
}

} // namespace

double PropertyRow::get(const TreeProperties &properties) const {
	// note: not a conditional expression, which would pass the integer through float.
	if (type == PropertyType::INTEGER) {
		return properties.*int_field;
	}
	return properties.*float_field;
}

void PropertyRow::set(TreeProperties &properties, double value) const {
	if (type == PropertyType::INTEGER) {
		properties.*int_field = static_cast<int32_t>(value);
	} else {
		properties.*float_field = static_cast<float>(value);
	}
}

bool PropertyRow::in_range(double value) const {
	if (type == PropertyType::REAL) {
		return value >= static_cast<float>(min) && value <= static_cast<float>(max);
	}
	return value >= min && value <= max;
}

std::string PropertyRow::range_hint() const {
	char text[96];
	std::snprintf(text, sizeof text, "%g,%g,%g", min, max, step);
	return text;
}

PropertyTable property_table() {
	return PropertyTable(TABLE, sizeof TABLE / sizeof TABLE[0]);
}

const PropertyRow *find_property(const std::string &name) {
	for (const PropertyRow &property : property_table()) {
		if (name == property.name) {
			return &property;
		}
	}
	return nullptr;
}

const PropertyRow &property_of(float TreeProperties::*field) {
	return row_of(field, &PropertyRow::float_field);
}

const PropertyRow &property_of(int32_t TreeProperties::*field) {
	return row_of(field, &PropertyRow::int_field);
}

} // namespace wendrel
