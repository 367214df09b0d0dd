// What the godot-cpp stand-in recorded: the test-side view of the fake engine.
//
// The stand-in replaces godot-cpp and the engine for the tests. Every engine call the node
// makes is appended to calls(), every error message the binding or the "engine" would print
// to errors(), and every class registration (methods, groups, properties, virtuals) to a
// ClassRecord. reset() forgets all of it between tests.
//
// To run the registration the way the engine does, link `wendrel_node_stub` and either
//   - call godot::ClassDB::register_class<Wendrel3D>() (from "Wendrel3D.h"), or
//   - call initialize_wendrel3d_module(godot::MODULE_INITIALIZATION_LEVEL_SCENE) (from
//     "extension_entry.h"), or
//   - call wendrel3d_library_init(stub::fake_get_proc_address, nullptr, &init) and then
//     init.initialize(init.userdata, GDEXTENSION_INITIALIZATION_SCENE), as the engine does.
// Then registered_properties("Wendrel3D") lists the properties in registration order.
// Registering a class that is already registered records an error and changes nothing, so
// call reset() first when a test needs a fresh registration.
#pragma once

#include <gdextension_interface.h>

#include <any>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace godot {
class Wrapped;
class Object;
class Node;
} // namespace godot

namespace godot::stub {

// One engine call, in the order the node made it. `object` is the receiver.
struct CallRecord {
	const void *object = nullptr;
	std::string method; // "Class.method", e.g. "SurfaceTool.add_vertex"
	std::string args;	// the discrete arguments ("3", "null,0"); empty for per-vertex data
};

// One bound method. `call` invokes it on an object with std::any arguments of the exact
// (decayed) parameter types and returns the result (empty for void).
struct MethodRecord {
	std::string name;
	std::vector<std::string> arg_names;
	std::vector<std::string> arg_types; // C++ spelling: "int32_t", "const Ref<Material> &"
	std::string return_type;
	bool is_const = false;
	std::function<std::any(Object *, const std::vector<std::any> &)> call;
};

// One registered property, as ClassDB::add_property received it.
struct PropertyRecord {
	std::string name;
	int type = 0; // Variant::Type
	int hint = 0; // PropertyHint
	std::string hint_string;
	uint32_t usage = 0;
	std::string setter, getter;
	std::string class_name;
};

struct GroupRecord {
	std::string name;
	std::string prefix;
};

struct ClassRecord {
	std::string name;
	std::string parent;
	int level = -1; // the initialisation level current at registration
	std::vector<MethodRecord> methods;
	std::vector<GroupRecord> groups;
	std::vector<PropertyRecord> properties;
	std::vector<std::string> virtuals; // overridden engine virtuals, in registration order
	// Every registration call in order: "method set_seed", "group Trunk", "property seed",
	// "virtual _process".
	std::vector<std::string> sequence;
	std::function<Object *()> create;
};

// Registration.
const std::vector<PropertyRecord> &registered_properties(const std::string &class_name);
const ClassRecord *find_class(const std::string &class_name); // null when not registered
std::vector<std::string> registered_class_names();			  // in registration order
Object *instantiate(const std::string &class_name);			  // null when not registered
// Calls a bound method by name; returns an empty std::any for void methods.
std::any call_method(Object *p_object, const std::string &class_name, const std::string &method,
		const std::vector<std::any> &args = {});

// The entry point's view of the engine: an interface lookup that finds every function.
GDExtensionInterfaceFunctionPtr fake_get_proc_address(const char *p_function_name);
// What the initialisation object was told, in order ("register_initializer", ...).
const std::vector<std::string> &init_object_log();

// Engine calls and errors.
const std::vector<CallRecord> &calls();
void clear_calls();
const std::vector<std::string> &errors();
void clear_errors();

// Objects alive right now (created and not yet destroyed).
size_t live_object_count();
bool is_live(const Object *p_object);
std::vector<const Wrapped *> live_objects();

// The scene tree: a node entering or leaving it, with the engine's virtual calls
// (_enter_tree parent first; _exit_tree children first, then the node).
void enter_tree(Node *p_node);
void exit_tree(Node *p_node);

// Forgets classes, calls, errors and the initialisation object. Live objects stay.
void reset();

} // namespace godot::stub
