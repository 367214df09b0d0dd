// Stand-in: SurfaceTool records every call and commits exactly what it was given. Attributes
// set before add_vertex belong to that vertex, as in the engine. optimize_indices_for_cache
// keeps the order here: any reordering is the engine's business.
#pragma once

#include <godot_cpp/classes/array_mesh.hpp>
#include <godot_cpp/classes/mesh.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/color.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>

namespace godot {

class SurfaceTool : public RefCounted {
	STUB_ENGINE_CLASS(SurfaceTool, RefCounted)

	bool begun = false;
	Vector2 last_uv;
	Vector3 last_normal;
	Color last_color;
	bool has_color = false;
	stub::SurfaceData surface;

	void record(const char *p_method, const std::string &p_args = "");

public:
	void clear();
	void begin(Mesh::PrimitiveType p_primitive);
	void set_uv(const Vector2 &p_uv);
	void set_normal(const Vector3 &p_normal);
	void set_color(const Color &p_color);
	void add_vertex(const Vector3 &p_vertex);
	void add_index(int32_t p_index);
	void create_from_arrays(const Array &p_arrays, Mesh::PrimitiveType p_primitive_type = Mesh::PRIMITIVE_TRIANGLES);
	void optimize_indices_for_cache();
	Array commit_to_arrays();
	Ref<ArrayMesh> commit(const Ref<ArrayMesh> &p_existing = nullptr, uint64_t p_flags = 0);
};

} // namespace godot
