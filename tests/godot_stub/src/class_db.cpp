// ClassDB of the stand-in: records registrations after godot-cpp's checks.
#include "state.h"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/object.hpp>

#include <algorithm>

namespace godot {

using stub::ClassRecord;
using stub::detail::find_mutable_class;
using stub::detail::record_error;

GDExtensionInitializationLevel ClassDB::current_level = GDEXTENSION_INITIALIZATION_CORE;

namespace {

ClassRecord *existing_class(const StringName &p_class) {
	ClassRecord *record = find_mutable_class(p_class.str());
	if (!record) {
		record_error("Class '" + p_class.str() + "' is not registered.");
	}
	return record;
}

const stub::MethodRecord *find_method(const ClassRecord &p_record, const std::string &p_name) {
	for (const stub::MethodRecord &method : p_record.methods) {
		if (method.name == p_name) {
			return &method;
		}
	}
	return nullptr;
}

bool is_virtual(const ClassRecord &p_record, const std::string &p_name) {
	return std::find(p_record.virtuals.begin(), p_record.virtuals.end(), p_name) != p_record.virtuals.end();
}

// The accessor checks of add_property: bound, and taking the expected number of arguments.
bool accessor_usable(const ClassRecord &p_record, const std::string &p_property, const std::string &p_name,
		size_t p_arguments, const char *p_role) {
	const stub::MethodRecord *method = find_method(p_record, p_name);
	if (!method) {
		record_error(std::string("Missing ") + p_role + " '" + p_name + "' for property '" + p_property + "'.");
		return false;
	}
	if (method->arg_types.size() != p_arguments) {
		record_error(std::string("Invalid ") + p_role + " '" + p_name + "' for property '" + p_property + "'.");
		return false;
	}
	return true;
}

} // namespace

bool ClassDB::begin_class(const StringName &p_name, const StringName &p_parent, std::function<Object *()> p_create) {
	if (find_mutable_class(p_name.str())) {
		record_error("Class '" + p_name.str() + "' already registered.");
		return false;
	}
	std::unique_ptr<ClassRecord> record(new ClassRecord());
	record->name = p_name.str();
	record->parent = p_parent.str();
	record->level = int(current_level);
	record->create = std::move(p_create);
	stub::detail::state().classes.push_back(std::move(record));
	return true;
}

MethodBind *ClassDB::add_method(const StringName &p_class, const MethodDefinition &p_definition,
		stub::MethodRecord p_record, size_t p_default_count) {
	static MethodBind token;
	ClassRecord *record = existing_class(p_class);
	if (!record) {
		return nullptr;
	}
	const std::string &name = p_definition.name.str();
	if (find_method(*record, name) || is_virtual(*record, name)) {
		record_error("Binding duplicate method: " + p_class.str() + "::" + name + "().");
		return nullptr;
	}
	if (p_definition.args.size() > p_record.arg_types.size()) {
		record_error("Method definition of " + name + " has more arguments than the method.");
		return nullptr;
	}
	if (p_default_count > 0) {
		record_error("Stand-in: default argument values are not recorded (" + name + ").");
	}
	p_record.name = name;
	for (const StringName &arg : p_definition.args) {
		p_record.arg_names.push_back(arg.str());
	}
	record->methods.push_back(std::move(p_record));
	record->sequence.push_back("method " + name);
	return &token;
}

void ClassDB::add_property_group(const StringName &p_class, const String &p_name, const String &p_prefix) {
	if (ClassRecord *record = existing_class(p_class)) {
		record->groups.push_back(stub::GroupRecord{ p_name.str(), p_prefix.str() });
		record->sequence.push_back("group " + p_name.str());
	}
}

void ClassDB::add_signal(const StringName &p_class, const MethodInfo &p_signal) {
	if (ClassRecord *record = existing_class(p_class)) {
		record->sequence.push_back("signal " + p_signal.name.str());
	}
}

void ClassDB::add_property_subgroup(const StringName &p_class, const String &p_name, const String &p_prefix) {
	(void)p_prefix;
	if (ClassRecord *record = existing_class(p_class)) {
		record->sequence.push_back("subgroup " + p_name.str());
	}
}

void ClassDB::add_property(const StringName &p_class, const PropertyInfo &p_pinfo, const StringName &p_setter,
		const StringName &p_getter, int p_index) {
	ClassRecord *record = existing_class(p_class);
	if (!record) {
		return;
	}
	const std::string &name = p_pinfo.name.str();
	for (const stub::PropertyRecord &property : record->properties) {
		if (property.name == name) {
			record_error("Property '" + name + "' already exists in class '" + p_class.str() + "'.");
			return;
		}
	}
	const size_t extra = p_index >= 0 ? 1 : 0;
	if (!p_setter.str().empty() && !accessor_usable(*record, name, p_setter.str(), 1 + extra, "setter")) {
		return;
	}
	if (p_getter.str().empty()) {
		record_error("Getter method must be specified for '" + name + "'.");
		return;
	}
	if (!accessor_usable(*record, name, p_getter.str(), extra, "getter")) {
		return;
	}
	record->properties.push_back(stub::PropertyRecord{ name, int(p_pinfo.type), int(p_pinfo.hint),
			p_pinfo.hint_string.str(), p_pinfo.usage, p_setter.str(), p_getter.str(), p_pinfo.class_name.str() });
	record->sequence.push_back("property " + name);
}

void ClassDB::bind_virtual_method(const StringName &p_class, const StringName &p_method) {
	ClassRecord *record = existing_class(p_class);
	if (!record) {
		return;
	}
	if (find_method(*record, p_method.str()) || is_virtual(*record, p_method.str())) {
		record_error("Virtual '" + p_method.str() + "' is already bound in '" + p_class.str() + "'.");
		return;
	}
	record->virtuals.push_back(p_method.str());
	record->sequence.push_back("virtual " + p_method.str());
}

void ClassDB::deinitialize(GDExtensionInitializationLevel p_level) {
	auto &classes = stub::detail::state().classes;
	for (size_t i = classes.size(); i-- > 0;) {
		if (classes[i]->level == int(p_level)) {
			classes.erase(classes.begin() + i);
		}
	}
}

} // namespace godot
