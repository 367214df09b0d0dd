// The tree's parameters and its seeded random function, and one table of the parameters:
// name, field, type, inspector range, default and a one-line description. The node
// registers its properties from the table, the tool makes its options and help from it, and
// the tests check the README against it. A new parameter is a new field of TreeProperties
// and one row of the table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wendrel {

// The tree's parameters, the seed and the running state of the random function.
// The fields are plain data: the node and the command-line tool assign them directly, and
// a TreeModel takes them as one record through set_properties(). Any value may be stored;
// measure_tree() says which trees can be built (NaN and infinities never can), and
// generate() refuses the others before touching its arrays.
struct TreeProperties {
	float branch_clump_max = 0.454f;
	float branch_clump_min = 0.404f;
	float branch_length_falloff = 0.85f;
	float branch_length_exponent = 0.99f;
	float branch_factor = 2.45f;
	float radius_falloff_rate = 0.73f;
	float climb_rate = 0.371f;
	float trunk_kink = 0.093f;
	float max_radius = 0.139f;
	int32_t trunk_height = 5;
	float trunk_taper = 0.947f;
	float twist = 3.02f;
	int32_t segments = 6;
	int32_t branches_count = 5;
	float sweep_amount = 0.01f;
	float branch_length = 0.49f;
	float trunk_length = 2.4f;
	float drop_amount = -0.1f;
	float grow_amount = 0.235f;
	float uv_multiplier = 0.36f;
	float twig_scale = 0.39f;
	// The twig cards' shape: their defaults give one flat square card per tip.
	int32_t twig_cards_per_tip = 1;
	int32_t twig_crossed = 0; // any value but 0 pairs each card with a second at right angles
	float twig_aspect = 1.0f;
	int32_t twig_leaf_variants = 1;
	int32_t seed = 262;
	int32_t random_state = 0; // set from seed by generate() before the first draw

	TreeProperties() = default;
	TreeProperties(float p_branch_clump_max, float p_branch_clump_min, float p_branch_length_falloff,
			float p_branch_length_exponent, float p_branch_factor, float p_radius_falloff_rate,
			float p_climb_rate, float p_trunk_kink, float p_max_radius, int32_t p_trunk_height,
			float p_trunk_taper, float p_twist, int32_t p_segments, int32_t p_branches_count,
			float p_sweep_amount, float p_branch_length, float p_trunk_length, float p_drop_amount,
			float p_grow_amount, float p_uv_multiplier, float p_twig_scale, int32_t p_seed);

	// A pseudo-random value in [0, 1]: |cos(value + value²)|, the argument formed exactly and
	// rounded once, the cosine correctly rounded. A value of exactly 0 draws the running
	// counter instead and advances it.
	float random(float value);
};

enum class PropertyType {
	INTEGER,
	REAL,
};

struct PropertyRow {
	const char *name; // the node's property name, or the field's name when the node has none
	PropertyType type;
	int32_t TreeProperties::*int_field; // set when type is INTEGER
	float TreeProperties::*float_field; // set when type is REAL
	// The inspector's range and step. Scripts and the tool may set values outside it.
	double min;
	double max;
	double step;
	bool on_node; // whether the node has it as a property (and so a scene can store it)
	const char *description;

	double get(const TreeProperties &properties) const;
	// The default is the record's own: TreeProperties() holds it.
	double default_value() const { return get(TreeProperties()); }
	// The inspector's hint, "min,max,step".
	std::string range_hint() const;
};

// Every parameter: the seed first, then the node's properties in inspector order, then the
// parameters that the node keeps at their defaults.
const std::vector<PropertyRow> &property_table();

// The row of a parameter by name; null when there is none.
const PropertyRow *find_property(const std::string &name);

} // namespace wendrel
