// A set of the tree's shape parameters as a resource: kept in a .tres file, picked in the
// inspector and applied to any Wendrel3D. Its properties are the node's parameter
// properties, registered from the generator's property table, so that a parameter added
// there is a preset property too. The add-on ships the tool's presets as such files.
#pragma once

#include "model/properties.h"

#include <godot_cpp/classes/resource.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>

class Wendrel3DPreset : public godot::Resource {
	GDCLASS(Wendrel3DPreset, godot::Resource);

	wendrel::TreeProperties properties; // only the fields the node has as properties are used

protected:
	static void _bind_methods();

public:
	// The value of row p_index of the generator's property table; the properties reach
	// these through their index. Null for an index that is not a node property.
	godot::Variant get_parameter(int64_t p_index) const;
	void set_parameter(int64_t p_index, const godot::Variant &p_value);

	// C++ only, not bound.
	const wendrel::TreeProperties &get_properties() const { return properties; }
	void set_properties(const wendrel::TreeProperties &p_properties) { properties = p_properties; }
};
