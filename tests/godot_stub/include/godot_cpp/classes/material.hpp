// Stand-in: Material. Concrete here, so that tests can create one.
#pragma once

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/resource.hpp>
#include <godot_cpp/core/class_db.hpp>

namespace godot {

class Material : public Resource {
	STUB_ENGINE_CLASS(Material, Resource)
};

} // namespace godot
