// The engine classes of the stand-in: the few behaviours the node relies on.
#include "state.h"

#include <godot_cpp/classes/importer_mesh.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/classes/node.hpp>
#include <godot_cpp/classes/packed_scene.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/classes/surface_tool.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/packed_array.hpp>

#include <algorithm>
#include <string>

namespace godot {

using stub::detail::record_call;
using stub::detail::record_error;

bool RefCounted::init_ref() {
	if (initial_reference_given) {
		return reference();
	}
	initial_reference_given = true;
	return true;
}

bool RefCounted::reference() {
	if (refcount <= 0) {
		return false;
	}
	++refcount;
	return true;
}

bool RefCounted::unreference() {
	--refcount;
	return refcount == 0;
}

void Object::emit_signal(const StringName &p_signal) {
	record_call(this, "Object.emit_signal", p_signal.str());
}

// --- Node ---

Node::~Node() {
	while (!children.empty()) {
		Node *child = children.back();
		children.pop_back();
		child->parent = nullptr;
		memdelete(child);
	}
	if (parent) {
		auto &siblings = parent->children;
		siblings.erase(std::find(siblings.begin(), siblings.end(), this));
	}
}

void Node::add_child(Node *p_node, bool p_force_readable_name, Node::InternalMode p_internal) {
	record_call(this, "Node.add_child", std::string(p_force_readable_name ? "true" : "false") + "," + std::to_string(int(p_internal)));
	if (p_node == nullptr || p_node == this) {
		record_error("Can't add child: null or the node itself.");
		return;
	}
	if (p_node->parent) {
		record_error("Can't add child, already has a parent.");
		return;
	}
	p_node->internal = p_internal != INTERNAL_MODE_DISABLED;
	if (p_internal == INTERNAL_MODE_FRONT) {
		auto first_ordinary = std::find_if(children.begin(), children.end(), [](Node *c) { return !c->internal; });
		children.insert(first_ordinary, p_node);
	} else {
		children.push_back(p_node);
	}
	p_node->parent = this;
	if (inside_tree) {
		stub::enter_tree(p_node);
	}
}

void Node::remove_child(Node *p_node) {
	record_call(this, "Node.remove_child");
	if (p_node == nullptr || p_node->parent != this) {
		record_error("Cannot remove child node: it is not a child of this node.");
		return;
	}
	if (inside_tree) {
		stub::exit_tree(p_node);
	}
	children.erase(std::find(children.begin(), children.end(), p_node));
	p_node->parent = nullptr;
}

std::vector<Node *> Node::listed_children(bool p_include_internal) const {
	std::vector<Node *> listed;
	for (Node *child : children) {
		if (p_include_internal || !child->internal) {
			listed.push_back(child);
		}
	}
	return listed;
}

int32_t Node::get_child_count(bool p_include_internal) const {
	return int32_t(listed_children(p_include_internal).size());
}

Node *Node::get_child(int32_t p_index, bool p_include_internal) const {
	const std::vector<Node *> listed = listed_children(p_include_internal);
	if (p_index < 0 || p_index >= int32_t(listed.size())) {
		record_error("Index p_index = " + std::to_string(p_index) + " is out of bounds.");
		return nullptr;
	}
	return listed[size_t(p_index)];
}

void Node::set_process(bool p_enable) {
	record_call(this, "Node.set_process", p_enable ? "true" : "false");
	processing = p_enable;
}

void Node::_process(double) {}
void Node::_physics_process(double) {}
void Node::_enter_tree() {}
void Node::_exit_tree() {}
void Node::_ready() {}

// --- MeshInstance3D ---

void MeshInstance3D::set_mesh(const Ref<Mesh> &p_mesh) {
	record_call(this, "MeshInstance3D.set_mesh", p_mesh.is_valid() ? "mesh" : "null");
	mesh = p_mesh;
	if (mesh.is_valid()) {
		surface_override_materials.resize(size_t(mesh->get_surface_count()));
	}
}

void MeshInstance3D::set_surface_override_material(int32_t p_surface, const Ref<Material> &p_material) {
	record_call(this, "MeshInstance3D.set_surface_override_material", std::to_string(p_surface));
	if (p_surface < 0 || p_surface >= int32_t(surface_override_materials.size())) {
		record_error("Index p_surface = " + std::to_string(p_surface) + " is out of bounds.");
		return;
	}
	surface_override_materials[size_t(p_surface)] = p_material;
}

Ref<Material> MeshInstance3D::get_surface_override_material(int32_t p_surface) const {
	if (p_surface < 0 || p_surface >= int32_t(surface_override_materials.size())) {
		record_error("Index p_surface = " + std::to_string(p_surface) + " is out of bounds.");
		return Ref<Material>();
	}
	return surface_override_materials[size_t(p_surface)];
}

// --- ArrayMesh ---

void ArrayMesh::surface_set_material(int32_t p_surface, const Ref<Material> &p_material) {
	if (p_surface < 0 || p_surface >= get_surface_count()) {
		record_error("Index p_surface = " + std::to_string(p_surface) + " is out of bounds.");
		return;
	}
	surfaces[size_t(p_surface)].material = p_material;
}

Ref<Material> ArrayMesh::surface_get_material(int32_t p_surface) const {
	if (p_surface < 0 || p_surface >= get_surface_count()) {
		record_error("Index p_surface = " + std::to_string(p_surface) + " is out of bounds.");
		return Ref<Material>();
	}
	return surfaces[size_t(p_surface)].material;
}

// --- SurfaceTool ---

void SurfaceTool::record(const char *p_method, const std::string &p_args) {
	record_call(this, std::string("SurfaceTool.") + p_method, p_args);
}

void SurfaceTool::clear() {
	record("clear");
	begun = false;
	last_uv = Vector2();
	last_normal = Vector3();
	last_color = Color();
	has_color = false;
	surface = stub::SurfaceData();
}

void SurfaceTool::begin(Mesh::PrimitiveType p_primitive) {
	record("begin", std::to_string(int(p_primitive)));
	surface = stub::SurfaceData();
	surface.primitive = int(p_primitive);
	begun = true;
}

void SurfaceTool::set_uv(const Vector2 &p_uv) {
	record("set_uv");
	last_uv = p_uv;
}

void SurfaceTool::set_normal(const Vector3 &p_normal) {
	record("set_normal");
	last_normal = p_normal;
}

void SurfaceTool::set_color(const Color &p_color) {
	record("set_color");
	last_color = p_color;
	has_color = true;
}

void SurfaceTool::add_vertex(const Vector3 &p_vertex) {
	record("add_vertex");
	if (!begun) {
		record_error("SurfaceTool: add_vertex before begin.");
		return;
	}
	surface.vertices.push_back(p_vertex);
	surface.normals.push_back(last_normal);
	surface.uvs.push_back(last_uv);
	if (has_color) {
		surface.colors.push_back(last_color);
	}
}

void SurfaceTool::add_index(int32_t p_index) {
	record("add_index");
	if (!begun || p_index < 0) {
		record_error("SurfaceTool: add_index before begin or negative.");
		return;
	}
	surface.indices.push_back(p_index);
}

namespace {

// The packed array in one slot of a surface's arrays, or null when the slot holds another type.
template <typename T>
const std::vector<T> *slot(const Array &p_arrays, Mesh::ArrayType p_slot) {
	const stub::PackedArray<T> *packed = p_arrays[p_slot].stub_get<stub::PackedArray<T>>();
	return packed ? &packed->values() : nullptr;
}

// The surface the engine's mesh arrays describe; false when they are not a surface: it needs
// positions and indices, and every other attribute array given must have one element per
// vertex.
bool read_arrays(const Array &p_arrays, stub::SurfaceData &r_surface) {
	const std::vector<Vector3> *vertices = slot<Vector3>(p_arrays, Mesh::ARRAY_VERTEX);
	const std::vector<Vector3> *normals = slot<Vector3>(p_arrays, Mesh::ARRAY_NORMAL);
	const std::vector<Vector2> *uvs = slot<Vector2>(p_arrays, Mesh::ARRAY_TEX_UV);
	const std::vector<Color> *colors = p_arrays.size() == Mesh::ARRAY_MAX ? slot<Color>(p_arrays, Mesh::ARRAY_COLOR) : nullptr;
	const std::vector<int32_t> *indices = slot<int32_t>(p_arrays, Mesh::ARRAY_INDEX);
	if (p_arrays.size() != Mesh::ARRAY_MAX || !vertices || !indices || (normals && normals->size() != vertices->size()) ||
			(uvs && uvs->size() != vertices->size()) || (colors && colors->size() != vertices->size())) {
		return false;
	}
	r_surface.vertices = *vertices;
	r_surface.normals = normals ? *normals : std::vector<Vector3>();
	r_surface.uvs = uvs ? *uvs : std::vector<Vector2>();
	r_surface.colors = colors ? *colors : std::vector<Color>();
	r_surface.indices = *indices;
	return true;
}

template <typename T>
stub::PackedArray<T> packed(const std::vector<T> &p_values) {
	stub::PackedArray<T> result;
	result.resize(int64_t(p_values.size()));
	std::copy(p_values.begin(), p_values.end(), result.ptrw());
	return result;
}

// Appends the surface the arrays describe, or reports (as p_caller) that they describe none.
void append_surface(std::vector<stub::SurfaceData> &r_surfaces, Mesh::PrimitiveType p_primitive, const Array &p_arrays,
		const char *p_caller) {
	stub::SurfaceData surface;
	surface.primitive = int(p_primitive);
	if (!read_arrays(p_arrays, surface)) {
		record_error(std::string(p_caller) + " needs vertices and indices, and attributes of matching sizes.");
		return;
	}
	r_surfaces.push_back(surface);
}

} // namespace

// As in the engine: the arrays replace whatever the tool held.
void SurfaceTool::create_from_arrays(const Array &p_arrays, Mesh::PrimitiveType p_primitive_type) {
	record("create_from_arrays", std::to_string(int(p_primitive_type)));
	surface = stub::SurfaceData();
	surface.primitive = int(p_primitive_type);
	begun = true;
	if (!read_arrays(p_arrays, surface)) {
		record_error("SurfaceTool: create_from_arrays needs vertices and indices, and attributes of matching sizes.");
	}
}

void SurfaceTool::optimize_indices_for_cache() {
	record("optimize_indices_for_cache");
}

// As in the engine, a tool without vertices commits no surface.
Ref<ArrayMesh> SurfaceTool::commit(const Ref<ArrayMesh> &p_existing, uint64_t p_flags) {
	record("commit", std::string(p_existing.is_valid() ? "mesh" : "null") + "," + std::to_string(p_flags));
	Ref<ArrayMesh> mesh = p_existing;
	if (mesh.is_null()) {
		mesh.instantiate();
	}
	if (!surface.vertices.empty()) {
		mesh->surfaces.push_back(surface);
	}
	return mesh;
}

Array SurfaceTool::commit_to_arrays() {
	record("commit_to_arrays");
	Array arrays;
	arrays.resize(Mesh::ARRAY_MAX);
	arrays[Mesh::ARRAY_VERTEX] = packed(surface.vertices);
	if (!surface.normals.empty()) {
		arrays[Mesh::ARRAY_NORMAL] = packed(surface.normals);
	}
	if (!surface.uvs.empty()) {
		arrays[Mesh::ARRAY_TEX_UV] = packed(surface.uvs);
	}
	if (!surface.colors.empty()) {
		arrays[Mesh::ARRAY_COLOR] = packed(surface.colors);
	}
	arrays[Mesh::ARRAY_INDEX] = packed(surface.indices);
	return arrays;
}

// --- ArrayMesh, from arrays ---

void ArrayMesh::add_surface_from_arrays(Mesh::PrimitiveType p_primitive, const Array &p_arrays) {
	record_call(this, "ArrayMesh.add_surface_from_arrays", std::to_string(int(p_primitive)));
	append_surface(surfaces, p_primitive, p_arrays, "ArrayMesh: add_surface_from_arrays");
}

// --- ImporterMesh ---

void ImporterMesh::add_surface(Mesh::PrimitiveType p_primitive, const Array &p_arrays) {
	record_call(this, "ImporterMesh.add_surface", std::to_string(int(p_primitive)));
	append_surface(surfaces, p_primitive, p_arrays, "ImporterMesh: add_surface");
}

void ImporterMesh::generate_lods(float, float, const Array &) {
	record_call(this, "ImporterMesh.generate_lods");
}

Ref<ArrayMesh> ImporterMesh::get_mesh(const Ref<ArrayMesh> &) {
	record_call(this, "ImporterMesh.get_mesh");
	Ref<ArrayMesh> mesh;
	mesh.instantiate();
	mesh->surfaces = surfaces;
	return mesh;
}

// --- PackedScene ---

Error PackedScene::pack(Node *p_path) {
	record_call(this, "PackedScene.pack");
	return p_path ? OK : FAILED;
}

} // namespace godot
