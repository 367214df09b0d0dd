// The initialisation object of the stand-in, with godot-cpp's level callbacks.
#include "state.h"

#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/godot.hpp>

#include <string>

namespace godot {

using stub::detail::state;

namespace {

struct InitData {
	GDExtensionBinding::Callback initializer = nullptr;
	GDExtensionBinding::Callback terminator = nullptr;
	ModuleInitializationLevel minimum_level = MODULE_INITIALIZATION_LEVEL_CORE;
};

InitData init_data;

void initialize_level(void *, GDExtensionInitializationLevel p_level) {
	ClassDB::current_level = p_level;
	if (init_data.initializer) {
		init_data.initializer(ModuleInitializationLevel(p_level));
	}
}

void deinitialize_level(void *, GDExtensionInitializationLevel p_level) {
	ClassDB::current_level = p_level;
	if (init_data.terminator) {
		init_data.terminator(ModuleInitializationLevel(p_level));
	}
	ClassDB::deinitialize(p_level);
}

} // namespace

void stub::detail::reset_init_object() {
	init_data = InitData();
	ClassDB::current_level = GDEXTENSION_INITIALIZATION_CORE;
}

GDExtensionBinding::InitObject::InitObject(GDExtensionInterfaceGetProcAddress p_get_proc_address,
		GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization) :
		get_proc_address(p_get_proc_address), library(p_library), initialization(r_initialization) {
	init_data = InitData();
	state().init_object_log.push_back("InitObject");
}

void GDExtensionBinding::InitObject::register_initializer(Callback p_init) const {
	init_data.initializer = p_init;
	state().init_object_log.push_back("register_initializer");
}

void GDExtensionBinding::InitObject::register_terminator(Callback p_init) const {
	init_data.terminator = p_init;
	state().init_object_log.push_back("register_terminator");
}

void GDExtensionBinding::InitObject::set_minimum_library_initialization_level(ModuleInitializationLevel p_level) const {
	init_data.minimum_level = p_level;
	state().init_object_log.push_back("set_minimum_library_initialization_level " + std::to_string(int(p_level)));
}

GDExtensionBool GDExtensionBinding::InitObject::init() const {
	state().init_object_log.push_back("init");
	if (!init_data.initializer) {
		stub::detail::record_error("At least one of initializer is required to initialize GDExtension.");
		return false;
	}
	if (!get_proc_address || !get_proc_address("get_godot_version")) {
		stub::detail::record_error("Unable to load GDExtension interface function get_godot_version()");
		return false;
	}
	(void)library;
	initialization->minimum_initialization_level = GDExtensionInitializationLevel(init_data.minimum_level);
	initialization->userdata = nullptr;
	initialization->initialize = initialize_level;
	initialization->deinitialize = deinitialize_level;
	return true;
}

} // namespace godot
