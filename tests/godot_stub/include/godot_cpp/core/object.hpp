// Stand-in: the registration macros that godot-cpp's static object header defines, and the
// description of a signal.
#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/property_info.hpp>

namespace godot {

struct MethodInfo {
	StringName name;
	MethodInfo() = default;
	explicit MethodInfo(StringName p_name) :
			name(p_name) {}
};

} // namespace godot

#define ADD_SIGNAL(m_signal) ::godot::ClassDB::add_signal(get_class_static(), m_signal)
#define ADD_GROUP(m_name, m_prefix) ::godot::ClassDB::add_property_group(get_class_static(), m_name, m_prefix)
#define ADD_SUBGROUP(m_name, m_prefix) ::godot::ClassDB::add_property_subgroup(get_class_static(), m_name, m_prefix)
#define ADD_PROPERTY(m_property, m_setter, m_getter) ::godot::ClassDB::add_property(get_class_static(), m_property, m_setter, m_getter)
