// Stand-in: MeshInstance3D. As in the engine, the surface override materials are sized
// by the mesh's surface count when a mesh is set, so an override on surface 0 survives a
// new one-surface mesh, and an index outside them is an error.
#pragma once

#include <godot_cpp/classes/material.hpp>
#include <godot_cpp/classes/mesh.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/core/class_db.hpp>

#include <cstdint>
#include <vector>

namespace godot {

class MeshInstance3D : public Node3D {
	STUB_ENGINE_CLASS(MeshInstance3D, Node3D)

	Ref<Mesh> mesh;
	std::vector<Ref<Material>> surface_override_materials;

public:
	void set_mesh(const Ref<Mesh> &p_mesh);
	Ref<Mesh> get_mesh() const { return mesh; }
	void set_surface_override_material(int32_t p_surface, const Ref<Material> &p_material);
	Ref<Material> get_surface_override_material(int32_t p_surface) const;
};

} // namespace godot
