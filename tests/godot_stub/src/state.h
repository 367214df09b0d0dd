// The stand-in's shared state, private to its sources.
#pragma once

#include <stub/recorder.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace godot::stub::detail {

struct State {
	std::vector<std::unique_ptr<ClassRecord>> classes;
	std::vector<CallRecord> calls;
	std::vector<std::string> errors;
	std::vector<std::string> init_object_log;
	std::set<const Wrapped *> live;
};

State &state();
ClassRecord *find_mutable_class(const std::string &p_name);
void record_call(const void *p_object, const std::string &p_method, const std::string &p_args = "");
void record_error(const std::string &p_message);
void reset_init_object();

} // namespace godot::stub::detail
