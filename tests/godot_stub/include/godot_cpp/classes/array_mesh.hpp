// Stand-in: ArrayMesh keeps the surfaces it was given (add_surface_from_arrays or
// SurfaceTool::commit), with their materials, so that tests can read exactly what the engine
// would draw.
#pragma once

#include <godot_cpp/classes/material.hpp>
#include <godot_cpp/classes/mesh.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/color.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cstdint>
#include <vector>

namespace godot {

namespace stub {
struct SurfaceData {
	int primitive = -1;
	std::vector<Vector3> vertices;
	std::vector<Vector3> normals;
	std::vector<Vector2> uvs;
	std::vector<Color> colors; // one per vertex when the surface has colours
	std::vector<int32_t> indices;
	Ref<Material> material;
};
} // namespace stub

class ArrayMesh : public Mesh {
	STUB_ENGINE_CLASS(ArrayMesh, Mesh)

public:
	std::vector<stub::SurfaceData> surfaces; // stand-in only

	void add_surface_from_arrays(Mesh::PrimitiveType p_primitive, const Array &p_arrays);
	int32_t get_surface_count() const override { return int32_t(surfaces.size()); }
	void surface_set_material(int32_t p_surface, const Ref<Material> &p_material);
	Ref<Material> surface_get_material(int32_t p_surface) const;
};

} // namespace godot
