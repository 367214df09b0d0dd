// The extension's level callbacks, for the entry point and for tests.
#pragma once

#include <godot_cpp/godot.hpp>

// Registers Wendrel3D at the scene level; does nothing at the others.
void initialize_wendrel3d_module(godot::ModuleInitializationLevel p_level);
// Does nothing: godot-cpp unregisters the classes of a level itself.
void uninitialize_wendrel3d_module(godot::ModuleInitializationLevel p_level);
