// The node's stored properties, taken from the godot-cpp stand-in after loading the
// extension the way the engine does: through its entry symbol, up to the scene level.
#include "registration.h"

#include <gdextension_interface.h>
#include <godot_cpp/classes/global_constants.hpp>
#include <stub/recorder.h>

// What the engine looks up by name in the library; the .gdextension file names it.
extern "C" GDExtensionBool wendrel3d_library_init(GDExtensionInterfaceGetProcAddress p_get_proc_address,
		GDExtensionClassLibraryPtr p_library, GDExtensionInitialization *r_initialization);

namespace wendrel::test {

using namespace godot_check;

std::vector<PropertyRule> wendrel3d_properties() {
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
	std::vector<PropertyRule> rules;
	for (const godot::stub::PropertyRecord &record : godot::stub::registered_properties("Wendrel3D")) {
		if (!(record.usage & godot::PROPERTY_USAGE_STORAGE)) {
			continue; // the editor's tools, which no scene holds
		}
		rules.push_back(make_property_rule(record.name, record.type, record.hint, record.hint_string));
		rules.back().getter = record.getter;
	}
	return rules;
}

} // namespace wendrel::test
