// The library's one exported entry point, which the engine calls when it loads the extension.
#include "extension_entry.h"

#include "Wendrel3D.h"

#include <gdextension_interface.h>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/godot.hpp>

using namespace godot;

void initialize_wendrel3d_module(ModuleInitializationLevel p_level) {
	if (p_level != MODULE_INITIALIZATION_LEVEL_SCENE) {
		return;
	}
	GDREGISTER_CLASS(Wendrel3DPreset);
	GDREGISTER_CLASS(Wendrel3D);
}

void uninitialize_wendrel3d_module(ModuleInitializationLevel p_level) {
	(void)p_level;
}

extern "C" {

GDExtensionBool GDE_EXPORT wendrel3d_library_init(GDExtensionInterfaceGetProcAddress p_get_proc_address,
		GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization) {
	GDExtensionBinding::InitObject init_obj(p_get_proc_address, p_library, r_initialization);
	init_obj.register_initializer(initialize_wendrel3d_module);
	init_obj.register_terminator(uninitialize_wendrel3d_module);
	init_obj.set_minimum_library_initialization_level(MODULE_INITIALIZATION_LEVEL_SCENE);
	return init_obj.init();
}
}
