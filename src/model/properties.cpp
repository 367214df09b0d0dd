#include "model/properties.h"

#include <cstdio>

namespace wendrel {

TreeProperties::TreeProperties(float p_branch_clump_max, float p_branch_clump_min,
		float p_branch_length_falloff, float p_branch_length_exponent, float p_branch_factor,
		float p_radius_falloff_rate, float p_climb_rate, float p_trunk_kink, float p_max_radius,
		int32_t p_trunk_height, float p_trunk_taper, float p_twist, int32_t p_segments,
		int32_t p_branches_count, float p_sweep_amount, float p_branch_length,
		float p_trunk_length, float p_drop_amount, float p_grow_amount, float p_uv_multiplier,
		float p_twig_scale, int32_t p_seed) :
		branch_clump_max(p_branch_clump_max),
		branch_clump_min(p_branch_clump_min),
		branch_length_falloff(p_branch_length_falloff),
		branch_length_exponent(p_branch_length_exponent),
		branch_factor(p_branch_factor),
		radius_falloff_rate(p_radius_falloff_rate),
		climb_rate(p_climb_rate),
		trunk_kink(p_trunk_kink),
		max_radius(p_max_radius),
		trunk_height(p_trunk_height),
		trunk_taper(p_trunk_taper),
		twist(p_twist),
		segments(p_segments),
		branches_count(p_branches_count),
		sweep_amount(p_sweep_amount),
		branch_length(p_branch_length),
		trunk_length(p_trunk_length),
		drop_amount(p_drop_amount),
		grow_amount(p_grow_amount),
		uv_multiplier(p_uv_multiplier),
		twig_scale(p_twig_scale),
		seed(p_seed) {}

namespace {

using T = TreeProperties;

PropertyRow integer(const char *name, int32_t T::*field, double min, double max, double step, const char *description) {
	return PropertyRow{ name, PropertyType::INTEGER, field, nullptr, min, max, step, true, description };
}

PropertyRow real(const char *name, float T::*field, double min, double max, double step, const char *description) {
	return PropertyRow{ name, PropertyType::REAL, nullptr, field, min, max, step, true, description };
}

PropertyRow not_on_node(PropertyRow property) {
	property.on_node = false;
	return property;
}

std::vector<PropertyRow> make_table() {
	return {
		integer("seed", &T::seed, 0, 100000, 1, "added to every random draw"),
		integer("trunk_segments", &T::segments, 2, 10, 2, "vertices around each bark ring (rounded up to even)"),
		integer("trunk_branches_count", &T::branches_count, 1, 13, 1, "times the branches fork above the trunk; each level doubles the branch tips"),
		integer("trunk_height", &T::trunk_height, 0, 100, 1, "trunk steps, each putting out one side branch"),
		real("trunk_branch_length", &T::branch_length, 0.01, 10, 0.001, "length of the first branch"),
		real("trunk_branch_length_falloff", &T::branch_length_falloff, 0, 2, 0.001, "child length factor"),
		real("trunk_branch_factor", &T::branch_factor, 0.1, 20, 0.01, "how far a fork's second child swings away"),
		real("trunk_branch_clump_max", &T::branch_clump_max, 0, 20, 0.01, "upper end of the clump blend"),
		real("trunk_branch_clump_min", &T::branch_clump_min, 0, 20, 0.01, "lower end of the clump blend"),
		real("trunk_drop_amount", &T::drop_amount, -5, 5, 0.001, "vertical push growing with every level towards the tips: negative droops, positive lifts"),
		real("trunk_grow_amount", &T::grow_amount, -5, 5, 0.001, "upward push, strongest near the trunk"),
		real("trunk_sweep_amount", &T::sweep_amount, -5, 5, 0.01, "push along +x per level"),
		real("trunk_max_radius", &T::max_radius, 0.01, 0.6, 0.01, "trunk radius"),
		real("trunk_radius_falloff_rate", &T::radius_falloff_rate, 0.1, 1, 0.01, "radius factor from a branch to its children"),
		real("trunk_climb_rate", &T::climb_rate, 0, 50, 0.001, "height added by each trunk step"),
		real("trunk_kink", &T::trunk_kink, -1, 1, 0.001, "largest sideways offset of a trunk step"),
		real("trunk_twist", &T::twist, -5, 5, 0.01, "turns of the side branches around the trunk"),
		real("trunk_length", &T::trunk_length, 0, 100, 0.001, "height of the first fork"),
		real("trunk_uv_multiplier", &T::uv_multiplier, 0.001, 50, 0.001, "bark texture scale along the branches"),
		real("twig_scale", &T::twig_scale, 0, 5, 0.001, "half the side of a twig card"),
		integer("twig_cards_per_tip", &T::twig_cards_per_tip, 1, 8, 1, "cards at each branch tip, fanned around it, each turned and sized by seed"),
		integer("twig_crossed", &T::twig_crossed, 0, 1, 1, "1 pairs every card with a second at right angles, so a tip has volume from every side"),
		real("twig_aspect", &T::twig_aspect, 0.1, 8, 0.01, "card length over card width: 1 is square, above 1 gives long leaves and needles"),
		integer("twig_leaf_variants", &T::twig_leaf_variants, 1, 4, 1, "cells of the 2x2 leaf atlas the cards pick from by seed; 1 uses the whole texture"),
		// Rows for new parameters go here, above the two that only the tool sets.
		not_on_node(real("trunk_taper", &T::trunk_taper, 0.5, 1, 0.001, "length and radius factor from one trunk step to the next; not a node property")),
		not_on_node(real("branch_length_exponent", &T::branch_length_exponent, 0.5, 1.5, 0.001, "exponent of the parent length in a child's length; not a node property")),
	};
}

} // namespace

double PropertyRow::get(const TreeProperties &properties) const {
	// note: not a conditional expression, which would pass the integer through float.
	if (type == PropertyType::INTEGER) {
		return properties.*int_field;
	}
	return properties.*float_field;
}

std::string PropertyRow::range_hint() const {
	char text[96];
	std::snprintf(text, sizeof text, "%g,%g,%g", min, max, step);
	return text;
}

const std::vector<PropertyRow> &property_table() {
	static const std::vector<PropertyRow> table = make_table();
	return table;
}

const PropertyRow *find_property(const std::string &name) {
	for (const PropertyRow &property : property_table()) {
		if (name == property.name) {
			return &property;
		}
	}
	return nullptr;
}

} // namespace wendrel
