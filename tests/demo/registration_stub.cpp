// The node's property registration, taken from the godot-cpp stand-in after loading the
// extension the way the engine does: through its entry symbol, up to the scene level.
#include "property_spec.h"

#include <gdextension_interface.h>
#include <stub/recorder.h>

// What the engine looks up by name in the library; the .gdextension file names it.
extern "C" GDExtensionBool wendrel3d_library_init(GDExtensionInterfaceGetProcAddress p_get_proc_address,
		GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization);

namespace wendrel_demo {

std::vector<PropertySpec> wendrel3d_properties() {
	if (!godot::stub::find_class("Wendrel3D")) {
		GDExtensionInitialization initialization{};
		if (!wendrel3d_library_init(godot::stub::fake_get_proc_address, nullptr, &initialization)) {
			return {};
		}
		// The engine brings the levels up from the minimum the library asks for.
		for (int level = initialization.minimum_initialization_level; level <= GDEXTENSION_INITIALIZATION_SCENE; level++) {
			initialization.initialize(initialization.userdata, static_cast<GDExtensionInitializationLevel>(level));
		}
	}
	std::vector<PropertySpec> specs;
	for (const godot::stub::PropertyRecord &record : godot::stub::registered_properties("Wendrel3D")) {
		specs.push_back(make_property_spec(record.name, record.type, record.hint, record.hint_string));
		specs.back().getter = record.getter;
	}
	return specs;
}

} // namespace wendrel_demo
