// The tree's parameters and its seeded random function, and the one list of the parameters:
// a table with, per parameter, its property name, field, type, inspector range, the surfaces
// a change rebuilds and a one-line description. The node registers its properties from it,
// the bounds check every float through it, the tool makes its options, help and files from
// it, and the tests draw random trees and check the README with it. A new parameter is a new
// field of TreeProperties and one row of the table (and, on the node, one accessor line).
#pragma once

#include <cstddef>
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

	// A pseudo-random value in [0, 1]: |cos(value + value²)|, the argument formed exactly and
	// rounded once, the cosine correctly rounded. A value of exactly 0 draws the running
	// counter instead and advances it.
	float random(float value);
};

enum class PropertyType {
	INTEGER,
	REAL,
};

// Which of the two surfaces a change of the parameter reshapes, and so has to be rebuilt.
enum class Rebuilds {
	BOTH,
	BARK,
	TWIGS,
};

struct PropertyRow {
	const char *name;  // the node's property name, or the field's name when the node has none
	const char *field; // the TreeProperties field's name, for C++ callers
	PropertyType type;
	int32_t TreeProperties::*int_field; // set when type is INTEGER
	float TreeProperties::*float_field; // set when type is REAL
	// The inspector's range and step. Scripts and the tool may set values outside it.
	double min;
	double max;
	double step;
	bool on_node; // whether the node has it as a property (and so a scene can store it)
	Rebuilds rebuilds;
	const char *description;

	double get(const TreeProperties &properties) const;
	// The value must be representable in the field's type.
	void set(TreeProperties &properties, double value) const;
	// Inside the inspector's range. A float field holds the ends rounded to float: 0.01 is
	// stored just below 0.01 and still counts as inside.
	bool in_range(double value) const;
	// The default is the record's own: TreeProperties() holds it.
	double default_value() const { return get(TreeProperties()); }
	// The inspector's hint, "min,max,step".
	std::string range_hint() const;
};

// The rows of the table, in static storage: reading them never allocates, so that
// measure_tree() does not either.
class PropertyTable {
public:
	PropertyTable(const PropertyRow *p_rows, size_t p_count) :
			rows(p_rows), count(p_count) {}
	const PropertyRow *begin() const { return rows; }
	const PropertyRow *end() const { return rows + count; }
	size_t size() const { return count; }
	const PropertyRow &operator[](size_t i) const { return rows[i]; }

private:
	const PropertyRow *rows;
	size_t count;
};

// Every parameter: the seed first, then the node's properties in inspector order, then the
// parameters that the node keeps at their defaults.
PropertyTable property_table();

// The row of a parameter by name; null when there is none.
const PropertyRow *find_property(const std::string &name);

// The row of a field; every field has one.
const PropertyRow &property_of(float TreeProperties::*field);
const PropertyRow &property_of(int32_t TreeProperties::*field);

} // namespace wendrel
