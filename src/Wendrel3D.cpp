#include "Wendrel3D.h"

#include <godot_cpp/classes/array_mesh.hpp>
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/classes/mesh.hpp>
#include <godot_cpp/classes/surface_tool.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cmath>
#include <new>
#include <string>
#include <type_traits>

namespace godot {

namespace {

// note: the engine takes clockwise triangles as front faces, while every model triangle winds
// counter-clockwise seen from the side its normals point to (out of the bark, out of each
// side of a twig card). So each triangle is handed over with its second and third corners
// swapped, and the normals as they are: the bark faces outwards, lit from outside. Handing
// over the model's order with negated normals would turn the bark inside out, culled from
// outside; the double-sided twig cards look the same either way.
void add_surface(SurfaceTool &p_tool, const wendrel::Surface &p_surface) {
	for (int32_t i = 0; i < p_surface.vertex_count; i++) {
		const wendrel::Vec2 &uv = p_surface.uvs[i];
		const wendrel::Vec3 &normal = p_surface.normals[i];
		const wendrel::Vec3 &vertex = p_surface.vertices[i];
		p_tool.set_uv(Vector2(uv.u, uv.v));
		p_tool.set_normal(Vector3(normal.x, normal.y, normal.z));
		p_tool.add_vertex(Vector3(vertex.x, vertex.y, vertex.z));
	}
	for (int32_t i = 0; i < p_surface.face_count; i++) {
		const wendrel::Face &face = p_surface.faces[i];
		p_tool.add_index(face.index[0]);
		p_tool.add_index(face.index[2]);
		p_tool.add_index(face.index[1]);
	}
}

// Commits the tool's surface to a new mesh and gives it to p_target, also when the commit
// came back empty. All handles taken here are released on return; the child keeps the mesh.
void hand_over(SurfaceTool &p_tool, MeshInstance3D *p_target) {
	p_tool.optimize_indices_for_cache();
	Ref<ArrayMesh> array_mesh = p_tool.commit(Ref<ArrayMesh>(), 0);
	Ref<Mesh> mesh;
	if (array_mesh.is_valid()) {
		mesh = array_mesh;
	}
	p_target->set_mesh(mesh);
}

PropertyInfo range_property(Variant::Type p_type, const char *p_name, const char *p_range) {
	return PropertyInfo(p_type, p_name, PROPERTY_HINT_RANGE, p_range, PROPERTY_USAGE_DEFAULT);
}

PropertyInfo material_property(const char *p_name) {
	return PropertyInfo(Variant::OBJECT, p_name, PROPERTY_HINT_RESOURCE_TYPE,
			"StandardMaterial3D,ORMMaterial3D,ShaderMaterial", PROPERTY_USAGE_DEFAULT);
}

} // namespace

// note: the children are internal. The engine's duplicate(), the scene dock and
// get_children() then leave them out, as parts of this node: a duplicate gets its own two
// from its constructor, not two copies more that would keep showing the old tree.
Wendrel3D::Wendrel3D() {
	trunk_mesh_instance = memnew(MeshInstance3D);
	twig_mesh_instance = memnew(MeshInstance3D);
	add_child(trunk_mesh_instance, false, Node::INTERNAL_MODE_FRONT);
	add_child(twig_mesh_instance, false, Node::INTERNAL_MODE_FRONT);
	if (regenerate("default parameters")) {
		rebuild(Rebuild::BOTH);
	}
}

// The children are not freed here: they are this node's (internal) children, and the engine
// frees them together with it.
Wendrel3D::~Wendrel3D() {}

void Wendrel3D::_process(double p_delta) {
	(void)p_delta;
}

// note: the children stay attached while the node is outside the scene tree. They are this
// node's own children, so they leave and re-enter the tree with it, keep their meshes and
// materials, and are freed with it. Detaching them here would lose the materials (which live
// on the children) and leave every later setter without a bark child.
void Wendrel3D::_exit_tree() {}

// Stores p_value, regenerates and rebuilds. A value that is not a finite number, or a tree
// that cannot be built, keeps the previous value, the previous arrays and the previous meshes.
template <typename T>
void Wendrel3D::set_parameter(const char *p_property, T &r_field, T p_value, Rebuild p_rebuild) {
	if constexpr (std::is_floating_point_v<T>) {
		if (!std::isfinite(p_value)) {
			const std::string message = std::string("Wendrel3D: ") + p_property + " must be a finite number, not " +
					std::to_string(p_value) + "; it is not applied.";
			ERR_PRINT(message.c_str());
			return;
		}
	}
	const T previous = r_field;
	r_field = p_value;
	if (!regenerate(p_property)) {
		r_field = previous;
		return;
	}
	rebuild(p_rebuild);
}

// Runs the generator unless the tree would be too large, so that no allocation failure
// reaches the engine; true when the model now holds the tree of its parameters. p_change
// names what is being applied, for the message.
bool Wendrel3D::regenerate(const char *p_change) {
	const wendrel::TreeSize size = wendrel::measure_tree(model);
	if (!size.fits) {
		const std::string why = size.fault ? std::string("that cannot be built (") + size.fault + " " + size.reason + ")" : "too large to build (an array over 2 GiB)";
		const std::string message = std::string("Wendrel3D: the new ") + p_change + " would grow a tree " + why + "; it is not applied.";
		ERR_PRINT(message.c_str());
		return false;
	}
#if defined(__cpp_exceptions) || defined(_CPPUNWIND)
	try {
		model.generate();
	} catch (const std::bad_alloc &) {
		model.reset(); // leave consistent, empty arrays rather than a half-built tree
		const std::string message = std::string("Wendrel3D: out of memory while applying the new ") + p_change + ".";
		ERR_PRINT(message.c_str());
		return false;
	}
#else
	model.generate();
#endif
	return true;
}

void Wendrel3D::rebuild(Rebuild p_rebuild) {
	if (p_rebuild != Rebuild::TWIGS) {
		update_trunk_mesh();
	}
	if (p_rebuild != Rebuild::TRUNK && twig_mesh_instance) {
		update_twig_mesh();
	}
}

void Wendrel3D::update_trunk_mesh() {
	if (!trunk_mesh_instance) {
		return;
	}
	Ref<SurfaceTool> tool = memnew(SurfaceTool);
	tool->clear();
	tool->begin(Mesh::PRIMITIVE_TRIANGLES);
	add_surface(*tool.ptr(), wendrel::bark_surface(model));
	hand_over(*tool.ptr(), trunk_mesh_instance);
	tool->clear();
}

// Unlike the bark, the twig tool is neither cleared before begin nor after the hand-over.
void Wendrel3D::update_twig_mesh() {
	if (!twig_mesh_instance) {
		return;
	}
	Ref<SurfaceTool> tool = memnew(SurfaceTool);
	tool->begin(Mesh::PRIMITIVE_TRIANGLES);
	add_surface(*tool.ptr(), wendrel::twig_surface(model));
	hand_over(*tool.ptr(), twig_mesh_instance);
}

// --- parameters ---

void Wendrel3D::set_seed(int32_t p_seed) {
	set_parameter("seed", model.seed, p_seed, Rebuild::BOTH);
}
int32_t Wendrel3D::get_seed() {
	return model.seed;
}

void Wendrel3D::set_segments(int32_t p_segments) {
	set_parameter("trunk_segments", model.segments, p_segments, Rebuild::TRUNK);
}
int32_t Wendrel3D::get_segments() {
	return model.segments;
}

void Wendrel3D::set_branches_count(int32_t p_count) {
	set_parameter("trunk_branches_count", model.branches_count, p_count, Rebuild::BOTH);
}
int32_t Wendrel3D::get_branches_count() {
	return model.branches_count;
}

void Wendrel3D::set_trunk_height(int32_t p_height) {
	set_parameter("trunk_height", model.trunk_height, p_height, Rebuild::BOTH);
}
int32_t Wendrel3D::get_trunk_height() {
	return model.trunk_height;
}

void Wendrel3D::set_branch_length(float p_length) {
	set_parameter("trunk_branch_length", model.branch_length, p_length, Rebuild::BOTH);
}
float Wendrel3D::get_branch_length() {
	return model.branch_length;
}

void Wendrel3D::set_branch_length_falloff(float p_length) {
	set_parameter("trunk_branch_length_falloff", model.branch_length_falloff, p_length, Rebuild::BOTH);
}
float Wendrel3D::get_branch_length_falloff() {
	return model.branch_length_falloff;
}

void Wendrel3D::set_branch_factor(float p_value) {
	set_parameter("trunk_branch_factor", model.branch_factor, p_value, Rebuild::BOTH);
}
float Wendrel3D::get_branch_factor() {
	return model.branch_factor;
}

void Wendrel3D::set_branch_clump_max(float p_max) {
	set_parameter("trunk_branch_clump_max", model.branch_clump_max, p_max, Rebuild::BOTH);
}
float Wendrel3D::get_branch_clump_max() {
	return model.branch_clump_max;
}

void Wendrel3D::set_branch_clump_min(float p_min) {
	set_parameter("trunk_branch_clump_min", model.branch_clump_min, p_min, Rebuild::BOTH);
}
float Wendrel3D::get_branch_clump_min() {
	return model.branch_clump_min;
}

void Wendrel3D::set_drop_amount(float p_amount) {
	set_parameter("trunk_drop_amount", model.drop_amount, p_amount, Rebuild::BOTH);
}
float Wendrel3D::get_drop_amount() {
	return model.drop_amount;
}

void Wendrel3D::set_grow_amount(float p_amount) {
	set_parameter("trunk_grow_amount", model.grow_amount, p_amount, Rebuild::BOTH);
}
float Wendrel3D::get_grow_amount() {
	return model.grow_amount;
}

void Wendrel3D::set_sweep_amount(float p_amount) {
	set_parameter("trunk_sweep_amount", model.sweep_amount, p_amount, Rebuild::BOTH);
}
float Wendrel3D::get_sweep_amount() {
	return model.sweep_amount;
}

void Wendrel3D::set_max_radius(float p_radius) {
	set_parameter("trunk_max_radius", model.max_radius, p_radius, Rebuild::TRUNK);
}
float Wendrel3D::get_max_radius() {
	return model.max_radius;
}

void Wendrel3D::set_radius_falloff_rate(float p_radius) {
	set_parameter("trunk_radius_falloff_rate", model.radius_falloff_rate, p_radius, Rebuild::TRUNK);
}
float Wendrel3D::get_radius_falloff_rate() {
	return model.radius_falloff_rate;
}

void Wendrel3D::set_climb_rate(float p_rate) {
	set_parameter("trunk_climb_rate", model.climb_rate, p_rate, Rebuild::BOTH);
}
float Wendrel3D::get_climb_rate() {
	return model.climb_rate;
}

void Wendrel3D::set_trunk_kink(float p_kink) {
	set_parameter("trunk_kink", model.trunk_kink, p_kink, Rebuild::BOTH);
}
float Wendrel3D::get_trunk_kink() {
	return model.trunk_kink;
}

void Wendrel3D::set_twist(float p_twist) {
	set_parameter("trunk_twist", model.twist, p_twist, Rebuild::BOTH);
}
float Wendrel3D::get_twist() {
	return model.twist;
}

void Wendrel3D::set_trunk_length(float p_length) {
	set_parameter("trunk_length", model.trunk_length, p_length, Rebuild::BOTH);
}
float Wendrel3D::get_trunk_length() {
	return model.trunk_length;
}

void Wendrel3D::set_uv_multiplier(float p_length) {
	set_parameter("trunk_uv_multiplier", model.uv_multiplier, p_length, Rebuild::TRUNK);
}
float Wendrel3D::get_uv_multiplier() const {
	return model.uv_multiplier;
}

void Wendrel3D::set_twig_scale(float p_scale) {
	set_parameter("twig_scale", model.twig_scale, p_scale, Rebuild::TWIGS);
}
float Wendrel3D::get_twig_scale() {
	return model.twig_scale;
}

// Switching on creates a fresh twig child, without material; switching off frees the one
// there is. A call that changes nothing only stores the flag, so there is never more than
// one twig child and never a detached one left behind.
void Wendrel3D::set_twig_enable(bool p_enable) {
	if (p_enable && !twig_mesh_instance) {
		twig_mesh_instance = memnew(MeshInstance3D);
		add_child(twig_mesh_instance, false, Node::INTERNAL_MODE_FRONT);
		// A refused regeneration leaves arrays that still match the parameters.
		regenerate("twig_enable");
		update_twig_mesh();
	} else if (!p_enable && twig_mesh_instance) {
		MeshInstance3D *detached = twig_mesh_instance;
		twig_mesh_instance = nullptr;
		remove_child(detached);
		memdelete(detached);
	}
	twig_enable = p_enable;
}
bool Wendrel3D::get_twig_enable() {
	return twig_enable;
}

// --- materials ---

void Wendrel3D::set_material_trunk(const Ref<Material> &p_material) {
	if (trunk_mesh_instance) {
		trunk_mesh_instance->set_surface_override_material(0, p_material);
	}
}

Ref<Material> Wendrel3D::get_material_trunk() {
	return trunk_mesh_instance ? trunk_mesh_instance->get_surface_override_material(0) : Ref<Material>();
}

// Without a twig child the material is dropped.
void Wendrel3D::set_material_twig(const Ref<Material> &p_material) {
	if (twig_mesh_instance) {
		twig_mesh_instance->set_surface_override_material(0, p_material);
	}
}

Ref<Material> Wendrel3D::get_material_twig() {
	return twig_mesh_instance ? twig_mesh_instance->get_surface_override_material(0) : Ref<Material>();
}

// --- registration ---

void Wendrel3D::_bind_methods() {
	ClassDB::bind_method(D_METHOD("set_seed"), &Wendrel3D::set_seed);
	ClassDB::bind_method(D_METHOD("get_seed"), &Wendrel3D::get_seed);
	ClassDB::bind_method(D_METHOD("set_segments"), &Wendrel3D::set_segments);
	ClassDB::bind_method(D_METHOD("get_segments"), &Wendrel3D::get_segments);
	ClassDB::bind_method(D_METHOD("set_branches_count", "count"), &Wendrel3D::set_branches_count);
	ClassDB::bind_method(D_METHOD("get_branches_count"), &Wendrel3D::get_branches_count);
	ClassDB::bind_method(D_METHOD("set_trunk_height", "height"), &Wendrel3D::set_trunk_height);
	ClassDB::bind_method(D_METHOD("get_trunk_height"), &Wendrel3D::get_trunk_height);
	ClassDB::bind_method(D_METHOD("set_branch_length", "length"), &Wendrel3D::set_branch_length);
	ClassDB::bind_method(D_METHOD("get_branch_length"), &Wendrel3D::get_branch_length);
	ClassDB::bind_method(D_METHOD("set_branch_length_falloff", "length"), &Wendrel3D::set_branch_length_falloff);
	ClassDB::bind_method(D_METHOD("get_branch_length_falloff"), &Wendrel3D::get_branch_length_falloff);
	ClassDB::bind_method(D_METHOD("set_branch_factor", "value"), &Wendrel3D::set_branch_factor);
	ClassDB::bind_method(D_METHOD("get_branch_factor"), &Wendrel3D::get_branch_factor);
	ClassDB::bind_method(D_METHOD("set_branch_clump_max", "max"), &Wendrel3D::set_branch_clump_max);
	ClassDB::bind_method(D_METHOD("get_branch_clump_max"), &Wendrel3D::get_branch_clump_max);
	ClassDB::bind_method(D_METHOD("set_branch_clump_min", "min"), &Wendrel3D::set_branch_clump_min);
	ClassDB::bind_method(D_METHOD("get_branch_clump_min"), &Wendrel3D::get_branch_clump_min);
	ClassDB::bind_method(D_METHOD("set_drop_amount", "amount"), &Wendrel3D::set_drop_amount);
	ClassDB::bind_method(D_METHOD("get_drop_amount"), &Wendrel3D::get_drop_amount);
	ClassDB::bind_method(D_METHOD("set_grow_amount", "amount"), &Wendrel3D::set_grow_amount);
	ClassDB::bind_method(D_METHOD("get_grow_amount"), &Wendrel3D::get_grow_amount);
	ClassDB::bind_method(D_METHOD("set_sweep_amount", "amount"), &Wendrel3D::set_sweep_amount);
	ClassDB::bind_method(D_METHOD("get_sweep_amount"), &Wendrel3D::get_sweep_amount);
	ClassDB::bind_method(D_METHOD("set_max_radius", "radius"), &Wendrel3D::set_max_radius);
	ClassDB::bind_method(D_METHOD("get_max_radius"), &Wendrel3D::get_max_radius);
	ClassDB::bind_method(D_METHOD("set_radius_falloff_rate", "radius"), &Wendrel3D::set_radius_falloff_rate);
	ClassDB::bind_method(D_METHOD("get_radius_falloff_rate"), &Wendrel3D::get_radius_falloff_rate);
	ClassDB::bind_method(D_METHOD("set_climb_rate", "rate"), &Wendrel3D::set_climb_rate);
	ClassDB::bind_method(D_METHOD("get_climb_rate"), &Wendrel3D::get_climb_rate);
	ClassDB::bind_method(D_METHOD("set_trunk_kink", "kink"), &Wendrel3D::set_trunk_kink);
	ClassDB::bind_method(D_METHOD("get_trunk_kink"), &Wendrel3D::get_trunk_kink);
	ClassDB::bind_method(D_METHOD("set_twist", "twist"), &Wendrel3D::set_twist);
	ClassDB::bind_method(D_METHOD("get_twist"), &Wendrel3D::get_twist);
	ClassDB::bind_method(D_METHOD("set_trunk_length", "length"), &Wendrel3D::set_trunk_length);
	ClassDB::bind_method(D_METHOD("get_trunk_length"), &Wendrel3D::get_trunk_length);
	ClassDB::bind_method(D_METHOD("set_uv_multiplier", "length"), &Wendrel3D::set_uv_multiplier);
	ClassDB::bind_method(D_METHOD("get_uv_multiplier"), &Wendrel3D::get_uv_multiplier);
	ClassDB::bind_method(D_METHOD("set_twig_enable", "enable"), &Wendrel3D::set_twig_enable);
	ClassDB::bind_method(D_METHOD("get_twig_enable"), &Wendrel3D::get_twig_enable);
	ClassDB::bind_method(D_METHOD("set_twig_scale", "scale"), &Wendrel3D::set_twig_scale);
	ClassDB::bind_method(D_METHOD("get_twig_scale"), &Wendrel3D::get_twig_scale);
	ClassDB::bind_method(D_METHOD("set_material_trunk", "material"), &Wendrel3D::set_material_trunk);
	ClassDB::bind_method(D_METHOD("get_material_trunk"), &Wendrel3D::get_material_trunk);
	ClassDB::bind_method(D_METHOD("set_material_twig", "material"), &Wendrel3D::set_material_twig);
	ClassDB::bind_method(D_METHOD("get_material_twig"), &Wendrel3D::get_material_twig);

	ADD_PROPERTY(range_property(Variant::INT, "seed", "0,100000,1"), "set_seed", "get_seed");

	ADD_GROUP("Trunk", "trunk_");
	ADD_PROPERTY(range_property(Variant::INT, "trunk_segments", "2,10,2"), "set_segments", "get_segments");
	ADD_PROPERTY(range_property(Variant::INT, "trunk_branches_count", "1,13,1"), "set_branches_count", "get_branches_count");
	ADD_PROPERTY(range_property(Variant::INT, "trunk_height", "0,100,1"), "set_trunk_height", "get_trunk_height");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_branch_length", "0.01,10,0.001"), "set_branch_length", "get_branch_length");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_branch_length_falloff", "0.0,2,0.001"), "set_branch_length_falloff", "get_branch_length_falloff");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_branch_factor", "0.1,20,0.01"), "set_branch_factor", "get_branch_factor");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_branch_clump_max", "0,20,0.01"), "set_branch_clump_max", "get_branch_clump_max");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_branch_clump_min", "0,20,0.01"), "set_branch_clump_min", "get_branch_clump_min");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_drop_amount", "-5,5,0.001"), "set_drop_amount", "get_drop_amount");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_grow_amount", "-5,5,0.001"), "set_grow_amount", "get_grow_amount");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_sweep_amount", "-5,5,0.01"), "set_sweep_amount", "get_sweep_amount");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_max_radius", "0.01,0.6,0.01"), "set_max_radius", "get_max_radius");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_radius_falloff_rate", "0.1,1,0.01"), "set_radius_falloff_rate", "get_radius_falloff_rate");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_climb_rate", "0,50,0.001"), "set_climb_rate", "get_climb_rate");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_kink", "-1,1,0.001"), "set_trunk_kink", "get_trunk_kink");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_twist", "-5,5,0.01"), "set_twist", "get_twist");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_length", "0,100,0.001"), "set_trunk_length", "get_trunk_length");
	ADD_PROPERTY(range_property(Variant::FLOAT, "trunk_uv_multiplier", "0.001,50,0.001"), "set_uv_multiplier", "get_uv_multiplier");

	ADD_GROUP("Twig", "twig_");
	ADD_PROPERTY(PropertyInfo(Variant::BOOL, "twig_enable", PROPERTY_HINT_NONE, "", PROPERTY_USAGE_DEFAULT), "set_twig_enable", "get_twig_enable");
	ADD_PROPERTY(range_property(Variant::FLOAT, "twig_scale", "0,5,0.001"), "set_twig_scale", "get_twig_scale");

	ADD_GROUP("Materials", "material_");
	ADD_PROPERTY(material_property("material_trunk"), "set_material_trunk", "get_material_trunk");
	ADD_PROPERTY(material_property("material_twig"), "set_material_twig", "get_material_twig");
}

} // namespace godot
