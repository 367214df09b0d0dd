// The recorder, the error output and the live-object registry of the stand-in.
#include "state.h"

#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/wrapped.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <algorithm>

namespace godot {

namespace stub::detail {

State &state() {
	static State instance;
	return instance;
}

ClassRecord *find_mutable_class(const std::string &p_name) {
	for (const std::unique_ptr<ClassRecord> &record : state().classes) {
		if (record->name == p_name) {
			return record.get();
		}
	}
	return nullptr;
}

void record_call(const void *p_object, const std::string &p_method, const std::string &p_args) {
	state().calls.push_back(CallRecord{ p_object, p_method, p_args });
}

void record_error(const std::string &p_message) {
	state().errors.push_back(p_message);
}

} // namespace stub::detail

namespace stub {

const std::vector<PropertyRecord> &registered_properties(const std::string &class_name) {
	static const std::vector<PropertyRecord> none;
	const ClassRecord *record = find_class(class_name);
	return record ? record->properties : none;
}

const ClassRecord *find_class(const std::string &class_name) {
	return detail::find_mutable_class(class_name);
}

std::vector<std::string> registered_class_names() {
	std::vector<std::string> names;
	for (const std::unique_ptr<ClassRecord> &record : detail::state().classes) {
		names.push_back(record->name);
	}
	return names;
}

Object *instantiate(const std::string &class_name) {
	const ClassRecord *record = find_class(class_name);
	return record ? record->create() : nullptr;
}

std::any call_method(Object *p_object, const std::string &class_name, const std::string &method,
		const std::vector<std::any> &args) {
	const ClassRecord *record = find_class(class_name);
	if (record) {
		for (const MethodRecord &bound : record->methods) {
			if (bound.name == method) {
				return bound.call(p_object, args);
			}
		}
	}
	detail::record_error("Method '" + method + "' is not bound on '" + class_name + "'.");
	return std::any();
}

GDExtensionInterfaceFunctionPtr fake_get_proc_address(const char *) {
	// Any non-null function pointer: the stand-in never calls it.
	return reinterpret_cast<GDExtensionInterfaceFunctionPtr>(&fake_get_proc_address);
}

const std::vector<std::string> &init_object_log() {
	return detail::state().init_object_log;
}

const std::vector<CallRecord> &calls() {
	return detail::state().calls;
}
void clear_calls() {
	detail::state().calls.clear();
}
const std::vector<std::string> &errors() {
	return detail::state().errors;
}
void clear_errors() {
	detail::state().errors.clear();
}

size_t live_object_count() {
	return detail::state().live.size();
}
std::vector<const Wrapped *> live_objects() {
	const std::set<const Wrapped *> &live = detail::state().live;
	return std::vector<const Wrapped *>(live.begin(), live.end());
}

bool is_live(const Object *p_object) {
	const Wrapped *wrapped = p_object;
	return detail::state().live.count(wrapped) != 0;
}

void enter_tree(Node *p_node) {
	p_node->inside_tree = true;
	p_node->_enter_tree();
	for (Node *child : p_node->children) {
		enter_tree(child);
	}
}

void exit_tree(Node *p_node) {
	std::vector<Node *> children = p_node->children;
	for (auto it = children.rbegin(); it != children.rend(); ++it) {
		exit_tree(*it);
	}
	p_node->_exit_tree();
	p_node->inside_tree = false;
}

void reset() {
	detail::State &s = detail::state();
	s.classes.clear();
	s.calls.clear();
	s.errors.clear();
	s.init_object_log.clear();
	detail::reset_init_object();
}

} // namespace stub

Wrapped::Wrapped() {
	stub::detail::state().live.insert(this);
}

Wrapped::~Wrapped() {
	stub::detail::state().live.erase(this);
}

void _err_print_error(const char *p_function, const char *, int, const char *p_error, bool, bool p_is_warning) {
	stub::detail::record_error(std::string(p_is_warning ? "WARNING: " : "ERROR: ") + p_function + ": " + p_error);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error,
		bool p_editor_notify, bool p_is_warning) {
	_err_print_error(p_function, p_file, p_line, p_error.str().c_str(), p_editor_notify, p_is_warning);
}

} // namespace godot
