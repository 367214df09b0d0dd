// Stand-in: ImporterMesh keeps the surfaces it is given and makes no level of detail: its
// mesh holds exactly those surfaces.
#pragma once

#include <godot_cpp/classes/array_mesh.hpp>
#include <godot_cpp/classes/mesh.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/resource.hpp>
#include <godot_cpp/variant/array.hpp>

#include <vector>

namespace godot {

class ImporterMesh : public Resource {
	STUB_ENGINE_CLASS(ImporterMesh, Resource)

	std::vector<stub::SurfaceData> surfaces;

public:
	void add_surface(Mesh::PrimitiveType p_primitive, const Array &p_arrays);
	void generate_lods(float p_normal_merge_angle, float p_normal_split_angle, const Array &p_bone_transform_array);
	Ref<ArrayMesh> get_mesh(const Ref<ArrayMesh> &p_base_mesh = nullptr);
};

} // namespace godot
