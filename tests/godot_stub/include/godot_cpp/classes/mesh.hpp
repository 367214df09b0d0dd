// Stand-in: Mesh with its primitive types.
#pragma once

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/resource.hpp>
#include <godot_cpp/core/class_db.hpp>

#include <cstdint>

namespace godot {

class Mesh : public Resource {
	STUB_ENGINE_CLASS(Mesh, Resource)

public:
	enum PrimitiveType {
		PRIMITIVE_POINTS = 0,
		PRIMITIVE_LINES = 1,
		PRIMITIVE_LINE_STRIP = 2,
		PRIMITIVE_TRIANGLES = 3,
		PRIMITIVE_TRIANGLE_STRIP = 4,
	};

	virtual int32_t get_surface_count() const { return 0; }
};

} // namespace godot
