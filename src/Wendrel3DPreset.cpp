#include "Wendrel3DPreset.h"

#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <algorithm>
#include <limits>

namespace {

const wendrel::PropertyRow *node_property_row(int64_t p_index) {
	const wendrel::PropertyTable &table = wendrel::property_table();
	if (p_index < 0 || p_index >= int64_t(table.size()) || !table[size_t(p_index)].on_node) {
		return nullptr;
	}
	return &table[size_t(p_index)];
}

} // namespace

godot::Variant Wendrel3DPreset::get_parameter(int64_t p_index) const {
	const wendrel::PropertyRow *row = node_property_row(p_index);
	ERR_FAIL_NULL_V_MSG(row, godot::Variant(), "Wendrel3DPreset: no parameter has this index.");
	if (row->type == wendrel::PropertyType::INTEGER) {
		return godot::Variant(int64_t(properties.*row->int_field));
	}
	return godot::Variant(double(properties.*row->float_field));
}

// An integer beyond 32 bits is clamped rather than wrapped, so that a huge value stays huge
// and the node refuses it as too large instead of growing another tree.
void Wendrel3DPreset::set_parameter(int64_t p_index, const godot::Variant &p_value) {
	const wendrel::PropertyRow *row = node_property_row(p_index);
	ERR_FAIL_NULL_MSG(row, "Wendrel3DPreset: no parameter has this index.");
	if (row->type == wendrel::PropertyType::INTEGER) {
		const int64_t value = p_value;
		properties.*row->int_field = int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
	} else {
		properties.*row->float_field = float(double(p_value));
	}
	emit_changed();
}

// One property per node parameter, under the node's name, type and inspector range, in the
// node's order; the group of the node's "trunk_" parameters is the same.
void Wendrel3DPreset::_bind_methods() {
	godot::ClassDB::bind_method(godot::D_METHOD("get_parameter", "index"), &Wendrel3DPreset::get_parameter);
	godot::ClassDB::bind_method(godot::D_METHOD("set_parameter", "index", "value"), &Wendrel3DPreset::set_parameter);
	const wendrel::PropertyTable &table = wendrel::property_table();
	for (size_t i = 0; i < table.size(); ++i) {
		const wendrel::PropertyRow &row = table[i];
		if (!row.on_node) {
			continue;
		}
		const godot::Variant::Type type = row.type == wendrel::PropertyType::INTEGER ? godot::Variant::INT : godot::Variant::FLOAT;
		godot::ClassDB::add_property(get_class_static(),
				godot::PropertyInfo(type, row.name, godot::PROPERTY_HINT_RANGE, row.range_hint().c_str(), godot::PROPERTY_USAGE_DEFAULT),
				"set_parameter", "get_parameter", int(i));
	}
}
