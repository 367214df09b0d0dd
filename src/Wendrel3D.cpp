#include "Wendrel3D.h"

#include "model/properties.h"
#include "surface_arrays.h"

#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/classes/mesh.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cmath>
#include <new>
#include <string>
#include <type_traits>

using godot::ArrayMesh;
using godot::Material;
using godot::MeshInstance3D;
using godot::Ref;

namespace {

// A generator parameter as the inspector shows it: type and range come from the generator's
// property table. A name missing there registers an empty property, which the tests catch.
godot::PropertyInfo parameter_property(const char *p_name) {
	const wendrel::PropertyRow *row = wendrel::find_property(p_name);
	if (!row) {
		ERR_PRINT("a node property has no row in the generator's property table");
		return godot::PropertyInfo();
	}
	const godot::Variant::Type type = row->type == wendrel::PropertyType::INTEGER ? godot::Variant::INT : godot::Variant::FLOAT;
	return godot::PropertyInfo(type, p_name, godot::PROPERTY_HINT_RANGE, row->range_hint().c_str(), godot::PROPERTY_USAGE_DEFAULT);
}

godot::PropertyInfo material_property(const char *p_name) {
	return godot::PropertyInfo(godot::Variant::OBJECT, p_name, godot::PROPERTY_HINT_RESOURCE_TYPE,
			"StandardMaterial3D,ORMMaterial3D,ShaderMaterial", godot::PROPERTY_USAGE_DEFAULT);
}

void print_error(const std::string &p_message) {
	ERR_PRINT(("Wendrel3D: " + p_message).c_str());
}

// The engine keeps one override material per surface of the mesh shown, so a child without
// a surface has nowhere to put one; the node applies it again with every new mesh.
void apply_material(MeshInstance3D *p_child, const Ref<Material> &p_material) {
	Ref<godot::Mesh> mesh = p_child ? p_child->get_mesh() : Ref<godot::Mesh>();
	if (mesh.is_valid() && mesh->get_surface_count() > 0) {
		p_child->set_surface_override_material(0, p_material);
	}
}

// Runs the generator on parameters known to fit; false, with the model reset and a message,
// when memory runs out.
bool generate(wendrel::TreeModel &r_model, const char *p_change) {
#if defined(__cpp_exceptions) || defined(_CPPUNWIND)
	try {
		r_model.generate();
	} catch (const std::bad_alloc &) {
		r_model.reset(); // consistent, empty arrays rather than a half-built tree
		print_error(std::string("out of memory while applying the new ") + p_change + ".");
		return false;
	}
#else
	(void)p_change;
	r_model.generate();
#endif
	return true;
}

} // namespace

// note: the children are internal. The engine's duplicate(), the scene dock and
// get_children() then leave them out, as parts of this node: a duplicate gets its own two
// from its constructor, not two copies more that would keep showing the old tree.
// The tree itself grows when the node enters the scene tree, after a scene being loaded has
// set the stored properties.
Wendrel3D::Wendrel3D() :
		model(new wendrel::TreeModel()) {
	trunk_mesh_instance = memnew(MeshInstance3D);
	add_child(trunk_mesh_instance, false, INTERNAL_MODE_FRONT);
	add_twig_child();
}

// The children are this node's (internal) children, and the engine frees them with it. A
// growth still running is cancelled and waited for, so that no worker writes into freed memory.
Wendrel3D::~Wendrel3D() {
	growth.reset();
	superseded.clear();
}

// Processing is on only while a tree grows on a worker thread: it looks once a frame
// whether the tree is ready.
void Wendrel3D::_process(double p_delta) {
	(void)p_delta;
	end_superseded_growths();
	if (growth && growth->is_done()) {
		show_grown_tree();
	}
	update_processing();
}

void Wendrel3D::_enter_tree() {
	if (stale) {
		grow(Rebuild::BOTH, "parameters");
	}
}

// The engine switches processing on when the node is ready, since the class has _process.
void Wendrel3D::_ready() {
	update_processing();
}

// note: the children stay attached while the node is outside the scene tree: they leave and
// re-enter the tree with it and keep their meshes. A tree still growing is dropped; the node
// grows it again when it re-enters.
void Wendrel3D::_exit_tree() {
	if (growth) {
		cancel_growth();
		stale = true;
	}
	superseded.clear();
	update_processing();
}

// Stores p_value after checking it. Inside the scene tree the tree then regrows; outside, it
// grows when the node enters the tree. A value that is not a finite number, or a tree that
// cannot be built, keeps the previous value and the tree shown.
template <typename T>
void Wendrel3D::set_parameter(const char *p_property, T &r_field, T p_value, Rebuild p_rebuild) {
	if constexpr (std::is_floating_point_v<T>) {
		if (!std::isfinite(p_value)) {
			print_error(std::string(p_property) + " must be a finite number, not " + std::to_string(p_value) +
					"; it is not applied.");
			return;
		}
	}
	const T previous = r_field;
	r_field = p_value;
	if (!fits(properties, p_property)) {
		r_field = previous;
	} else if (!is_inside_tree()) {
		stale = true;
	} else if (!grow(p_rebuild, p_property)) {
		r_field = previous;
	}
}

// The one refusal of a tree that cannot be built, so that no allocation failure reaches the
// engine. p_change names what is being applied, for the message.
bool Wendrel3D::fits(const wendrel::TreeProperties &p_properties, const char *p_change) const {
	const wendrel::TreeSize size = wendrel::measure_tree(p_properties);
	if (size.fits) {
		return true;
	}
	const std::string why = size.fault ? std::string("that cannot be built (") + size.fault + " " + size.reason + ")"
									   : "too large to build (an array over 2 GiB)";
	print_error(std::string("the new ") + p_change + " would grow a tree " + why + "; it is not applied.");
	return false;
}

// Shows the tree of `properties`: at once for a small tree, from a worker thread for a large
// one. A growth under way is superseded either way. False when memory ran out.
bool Wendrel3D::grow(Rebuild p_rebuild, const char *p_change) {
	if (growth) {
		cancel_growth();
		p_rebuild = Rebuild::BOTH; // the tree shown is older than the last change
	}
	stale = false;
	if (wendrel::measure_tree(properties).vertex_count > BACKGROUND_VERTEX_COUNT) {
		growth.reset(new wendrel::engine::BackgroundGrowth(properties, wind_data, collision_enable, lod_enable, index_orders));
		update_processing();
		return true;
	}
	model->set_properties(properties);
	ask_for_game_data(*model);
	if (!generate(*model, p_change)) {
		return false;
	}
	rebuild(p_rebuild);
	update_collision();
	emit_signal("tree_grown");
	return true;
}

void Wendrel3D::show_grown_tree() {
	std::unique_ptr<wendrel::engine::BackgroundGrowth> grown = std::move(growth);
	std::unique_ptr<wendrel::TreeModel> grown_model = grown->take_model();
	if (!grown_model) {
		print_error("out of memory while growing the tree; the previous tree stays.");
		return;
	}
	model = std::move(grown_model);
	update_mesh(trunk_mesh_instance, grown->bark_mesh(), material_trunk);
	if (twig_mesh_instance) {
		update_mesh(twig_mesh_instance, grown->twig_mesh(), material_twig);
	}
	update_collision(); // a node: built here, on the main thread
	emit_signal("tree_grown");
}

// The growth goes on until the generator's next step; _process ends it then.
void Wendrel3D::cancel_growth() {
	if (growth) {
		growth->cancel();
		superseded.push_back(std::move(growth));
	}
}

void Wendrel3D::end_superseded_growths() {
	for (size_t i = superseded.size(); i-- > 0;) {
		if (superseded[i]->is_done()) {
			superseded.erase(superseded.begin() + std::ptrdiff_t(i));
		}
	}
}

void Wendrel3D::update_processing() {
	set_process(growth != nullptr || !superseded.empty());
}

void Wendrel3D::rebuild(Rebuild p_rebuild) {
	if (p_rebuild != Rebuild::TWIGS) {
		update_mesh(trunk_mesh_instance,
				wendrel::engine::surface_mesh(wendrel::bark_surface(*model), wind_records(model->wind, model->vertex_count), lod_enable, index_orders->bark),
				material_trunk);
	}
	if (p_rebuild != Rebuild::TRUNK && twig_mesh_instance) {
		update_mesh(twig_mesh_instance,
				wendrel::engine::surface_mesh(wendrel::twig_surface(*model), wind_records(model->twig_wind, model->twig_vertex_count), lod_enable, index_orders->twigs),
				material_twig);
	}
}

void Wendrel3D::update_mesh(MeshInstance3D *p_child, const Ref<ArrayMesh> &p_mesh, const Ref<Material> &p_material) {
	p_child->set_mesh(p_mesh);
	apply_material(p_child, p_material);
}

void Wendrel3D::add_twig_child() {
	twig_mesh_instance = memnew(MeshInstance3D);
	add_child(twig_mesh_instance, false, INTERNAL_MODE_FRONT);
}

// --- parameters ---

void Wendrel3D::set_seed(int32_t p_seed) {
	set_parameter("seed", properties.seed, p_seed, Rebuild::BOTH);
}
int32_t Wendrel3D::get_seed() {
	return properties.seed;
}
void Wendrel3D::set_segments(int32_t p_segments) {
	set_parameter("trunk_segments", properties.segments, p_segments, Rebuild::TRUNK);
}
int32_t Wendrel3D::get_segments() {
	return properties.segments;
}
void Wendrel3D::set_branches_count(int32_t p_count) {
	set_parameter("trunk_branches_count", properties.branches_count, p_count, Rebuild::BOTH);
}
int32_t Wendrel3D::get_branches_count() {
	return properties.branches_count;
}
void Wendrel3D::set_trunk_height(int32_t p_height) {
	set_parameter("trunk_height", properties.trunk_height, p_height, Rebuild::BOTH);
}
int32_t Wendrel3D::get_trunk_height() {
	return properties.trunk_height;
}
void Wendrel3D::set_branch_length(float p_length) {
	set_parameter("trunk_branch_length", properties.branch_length, p_length, Rebuild::BOTH);
}
float Wendrel3D::get_branch_length() {
	return properties.branch_length;
}
void Wendrel3D::set_branch_length_falloff(float p_length) {
	set_parameter("trunk_branch_length_falloff", properties.branch_length_falloff, p_length, Rebuild::BOTH);
}
float Wendrel3D::get_branch_length_falloff() {
	return properties.branch_length_falloff;
}
void Wendrel3D::set_branch_factor(float p_value) {
	set_parameter("trunk_branch_factor", properties.branch_factor, p_value, Rebuild::BOTH);
}
float Wendrel3D::get_branch_factor() {
	return properties.branch_factor;
}
void Wendrel3D::set_branch_clump_max(float p_max) {
	set_parameter("trunk_branch_clump_max", properties.branch_clump_max, p_max, Rebuild::BOTH);
}
float Wendrel3D::get_branch_clump_max() {
	return properties.branch_clump_max;
}
void Wendrel3D::set_branch_clump_min(float p_min) {
	set_parameter("trunk_branch_clump_min", properties.branch_clump_min, p_min, Rebuild::BOTH);
}
float Wendrel3D::get_branch_clump_min() {
	return properties.branch_clump_min;
}
void Wendrel3D::set_drop_amount(float p_amount) {
	set_parameter("trunk_drop_amount", properties.drop_amount, p_amount, Rebuild::BOTH);
}
float Wendrel3D::get_drop_amount() {
	return properties.drop_amount;
}
void Wendrel3D::set_grow_amount(float p_amount) {
	set_parameter("trunk_grow_amount", properties.grow_amount, p_amount, Rebuild::BOTH);
}
float Wendrel3D::get_grow_amount() {
	return properties.grow_amount;
}
void Wendrel3D::set_sweep_amount(float p_amount) {
	set_parameter("trunk_sweep_amount", properties.sweep_amount, p_amount, Rebuild::BOTH);
}
float Wendrel3D::get_sweep_amount() {
	return properties.sweep_amount;
}
void Wendrel3D::set_max_radius(float p_radius) {
	set_parameter("trunk_max_radius", properties.max_radius, p_radius, Rebuild::TRUNK);
}
float Wendrel3D::get_max_radius() {
	return properties.max_radius;
}
void Wendrel3D::set_radius_falloff_rate(float p_radius) {
	set_parameter("trunk_radius_falloff_rate", properties.radius_falloff_rate, p_radius, Rebuild::TRUNK);
}
float Wendrel3D::get_radius_falloff_rate() {
	return properties.radius_falloff_rate;
}
void Wendrel3D::set_climb_rate(float p_rate) {
	set_parameter("trunk_climb_rate", properties.climb_rate, p_rate, Rebuild::BOTH);
}
float Wendrel3D::get_climb_rate() {
	return properties.climb_rate;
}
void Wendrel3D::set_trunk_kink(float p_kink) {
	set_parameter("trunk_kink", properties.trunk_kink, p_kink, Rebuild::BOTH);
}
float Wendrel3D::get_trunk_kink() {
	return properties.trunk_kink;
}
void Wendrel3D::set_twist(float p_twist) {
	set_parameter("trunk_twist", properties.twist, p_twist, Rebuild::BOTH);
}
float Wendrel3D::get_twist() {
	return properties.twist;
}
void Wendrel3D::set_trunk_length(float p_length) {
	set_parameter("trunk_length", properties.trunk_length, p_length, Rebuild::BOTH);
}
float Wendrel3D::get_trunk_length() {
	return properties.trunk_length;
}
void Wendrel3D::set_uv_multiplier(float p_length) {
	set_parameter("trunk_uv_multiplier", properties.uv_multiplier, p_length, Rebuild::TRUNK);
}
float Wendrel3D::get_uv_multiplier() const {
	return properties.uv_multiplier;
}
void Wendrel3D::set_twig_scale(float p_scale) {
	set_parameter("twig_scale", properties.twig_scale, p_scale, Rebuild::TWIGS);
}
float Wendrel3D::get_twig_scale() {
	return properties.twig_scale;
}
void Wendrel3D::set_twig_cards_per_tip(int32_t p_cards) {
	set_parameter("twig_cards_per_tip", properties.twig_cards_per_tip, p_cards, Rebuild::TWIGS);
}
int32_t Wendrel3D::get_twig_cards_per_tip() const {
	return properties.twig_cards_per_tip;
}
void Wendrel3D::set_twig_crossed(int32_t p_crossed) {
	set_parameter("twig_crossed", properties.twig_crossed, p_crossed, Rebuild::TWIGS);
}
int32_t Wendrel3D::get_twig_crossed() const {
	return properties.twig_crossed;
}
void Wendrel3D::set_twig_aspect(float p_aspect) {
	set_parameter("twig_aspect", properties.twig_aspect, p_aspect, Rebuild::TWIGS);
}
float Wendrel3D::get_twig_aspect() const {
	return properties.twig_aspect;
}
void Wendrel3D::set_twig_leaf_variants(int32_t p_variants) {
	set_parameter("twig_leaf_variants", properties.twig_leaf_variants, p_variants, Rebuild::TWIGS);
}
int32_t Wendrel3D::get_twig_leaf_variants() const {
	return properties.twig_leaf_variants;
}

// Switching on creates a fresh twig child, showing the twigs of the tree shown, with the twig
// material; switching off frees the one there is. A call that changes nothing only stores
// the flag, so there is never more than one twig child and never a detached one left behind.
void Wendrel3D::set_twig_enable(bool p_enable) {
	if (p_enable && !twig_mesh_instance) {
		add_twig_child();
		if (!stale) {
			update_mesh(twig_mesh_instance,
					wendrel::engine::surface_mesh(wendrel::twig_surface(*model), wind_records(model->twig_wind, model->twig_vertex_count), lod_enable, index_orders->twigs),
					material_twig);
		}
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
	material_trunk = p_material;
	apply_material(trunk_mesh_instance, p_material);
}
Ref<Material> Wendrel3D::get_material_trunk() {
	return material_trunk;
}

void Wendrel3D::set_material_twig(const Ref<Material> &p_material) {
	material_twig = p_material;
	apply_material(twig_mesh_instance, p_material);
}
Ref<Material> Wendrel3D::get_material_twig() {
	return material_twig;
}

void Wendrel3D::set_wind_data(bool p_enable) {
	set_parameter("wind_data", wind_data, p_enable, Rebuild::BOTH);
}
bool Wendrel3D::get_wind_data() const {
	return wind_data;
}

void Wendrel3D::set_collision_enable(bool p_enable) {
	set_parameter("collision_enable", collision_enable, p_enable, Rebuild::BOTH);
}
bool Wendrel3D::get_collision_enable() const {
	return collision_enable;
}

void Wendrel3D::set_lod_enable(bool p_enable) {
	set_parameter("lod_enable", lod_enable, p_enable, Rebuild::BOTH);
}
bool Wendrel3D::get_lod_enable() const {
	return lod_enable;
}

// --- baking ---

// Grows the tree of the stored properties when the one shown is not it (outside the scene
// tree, or while a tree grows), without touching the children.
Ref<ArrayMesh> Wendrel3D::bake_mesh() {
	const wendrel::TreeModel *source = model.get();
	std::unique_ptr<wendrel::TreeModel> fresh;
	if (stale || growth) {
		fresh.reset(new wendrel::TreeModel());
		fresh->set_properties(properties);
		ask_for_game_data(*fresh);
		if (!generate(*fresh, "bake")) {
			return Ref<ArrayMesh>();
		}
		source = fresh.get();
	}
	Ref<ArrayMesh> mesh;
	mesh.instantiate();
	wendrel::engine::add_surface(mesh, wendrel::bark_surface(*source), wind_records(source->wind, source->vertex_count), index_orders->bark);
	if (mesh->get_surface_count() == 1) {
		mesh->surface_set_material(0, material_trunk);
	}
	if (twig_enable) {
		const int32_t twig_index = mesh->get_surface_count();
		wendrel::engine::add_surface(mesh, wendrel::twig_surface(*source), wind_records(source->twig_wind, source->twig_vertex_count), index_orders->twigs);
		if (mesh->get_surface_count() > twig_index) {
			mesh->surface_set_material(twig_index, material_twig);
		}
	}
	return mesh;
}

bool Wendrel3D::is_growing() const {
	return growth != nullptr;
}

// --- registration ---

void Wendrel3D::_bind_methods() {
	godot::ClassDB::bind_method(godot::D_METHOD("set_seed"), &Wendrel3D::set_seed);
	godot::ClassDB::bind_method(godot::D_METHOD("get_seed"), &Wendrel3D::get_seed);
	godot::ClassDB::bind_method(godot::D_METHOD("set_segments"), &Wendrel3D::set_segments);
	godot::ClassDB::bind_method(godot::D_METHOD("get_segments"), &Wendrel3D::get_segments);
	godot::ClassDB::bind_method(godot::D_METHOD("set_branches_count", "count"), &Wendrel3D::set_branches_count);
	godot::ClassDB::bind_method(godot::D_METHOD("get_branches_count"), &Wendrel3D::get_branches_count);
	godot::ClassDB::bind_method(godot::D_METHOD("set_trunk_height", "height"), &Wendrel3D::set_trunk_height);
	godot::ClassDB::bind_method(godot::D_METHOD("get_trunk_height"), &Wendrel3D::get_trunk_height);
	godot::ClassDB::bind_method(godot::D_METHOD("set_branch_length", "length"), &Wendrel3D::set_branch_length);
	godot::ClassDB::bind_method(godot::D_METHOD("get_branch_length"), &Wendrel3D::get_branch_length);
	godot::ClassDB::bind_method(godot::D_METHOD("set_branch_length_falloff", "length"), &Wendrel3D::set_branch_length_falloff);
	godot::ClassDB::bind_method(godot::D_METHOD("get_branch_length_falloff"), &Wendrel3D::get_branch_length_falloff);
	godot::ClassDB::bind_method(godot::D_METHOD("set_branch_factor", "value"), &Wendrel3D::set_branch_factor);
	godot::ClassDB::bind_method(godot::D_METHOD("get_branch_factor"), &Wendrel3D::get_branch_factor);
	godot::ClassDB::bind_method(godot::D_METHOD("set_branch_clump_max", "max"), &Wendrel3D::set_branch_clump_max);
	godot::ClassDB::bind_method(godot::D_METHOD("get_branch_clump_max"), &Wendrel3D::get_branch_clump_max);
	godot::ClassDB::bind_method(godot::D_METHOD("set_branch_clump_min", "min"), &Wendrel3D::set_branch_clump_min);
	godot::ClassDB::bind_method(godot::D_METHOD("get_branch_clump_min"), &Wendrel3D::get_branch_clump_min);
	godot::ClassDB::bind_method(godot::D_METHOD("set_drop_amount", "amount"), &Wendrel3D::set_drop_amount);
	godot::ClassDB::bind_method(godot::D_METHOD("get_drop_amount"), &Wendrel3D::get_drop_amount);
	godot::ClassDB::bind_method(godot::D_METHOD("set_grow_amount", "amount"), &Wendrel3D::set_grow_amount);
	godot::ClassDB::bind_method(godot::D_METHOD("get_grow_amount"), &Wendrel3D::get_grow_amount);
	godot::ClassDB::bind_method(godot::D_METHOD("set_sweep_amount", "amount"), &Wendrel3D::set_sweep_amount);
	godot::ClassDB::bind_method(godot::D_METHOD("get_sweep_amount"), &Wendrel3D::get_sweep_amount);
	godot::ClassDB::bind_method(godot::D_METHOD("set_max_radius", "radius"), &Wendrel3D::set_max_radius);
	godot::ClassDB::bind_method(godot::D_METHOD("get_max_radius"), &Wendrel3D::get_max_radius);
	godot::ClassDB::bind_method(godot::D_METHOD("set_radius_falloff_rate", "radius"), &Wendrel3D::set_radius_falloff_rate);
	godot::ClassDB::bind_method(godot::D_METHOD("get_radius_falloff_rate"), &Wendrel3D::get_radius_falloff_rate);
	godot::ClassDB::bind_method(godot::D_METHOD("set_climb_rate", "rate"), &Wendrel3D::set_climb_rate);
	godot::ClassDB::bind_method(godot::D_METHOD("get_climb_rate"), &Wendrel3D::get_climb_rate);
	godot::ClassDB::bind_method(godot::D_METHOD("set_trunk_kink", "kink"), &Wendrel3D::set_trunk_kink);
	godot::ClassDB::bind_method(godot::D_METHOD("get_trunk_kink"), &Wendrel3D::get_trunk_kink);
	godot::ClassDB::bind_method(godot::D_METHOD("set_twist", "twist"), &Wendrel3D::set_twist);
	godot::ClassDB::bind_method(godot::D_METHOD("get_twist"), &Wendrel3D::get_twist);
	godot::ClassDB::bind_method(godot::D_METHOD("set_trunk_length", "length"), &Wendrel3D::set_trunk_length);
	godot::ClassDB::bind_method(godot::D_METHOD("get_trunk_length"), &Wendrel3D::get_trunk_length);
	godot::ClassDB::bind_method(godot::D_METHOD("set_uv_multiplier", "length"), &Wendrel3D::set_uv_multiplier);
	godot::ClassDB::bind_method(godot::D_METHOD("get_uv_multiplier"), &Wendrel3D::get_uv_multiplier);
	godot::ClassDB::bind_method(godot::D_METHOD("set_twig_enable", "enable"), &Wendrel3D::set_twig_enable);
	godot::ClassDB::bind_method(godot::D_METHOD("get_twig_enable"), &Wendrel3D::get_twig_enable);
	godot::ClassDB::bind_method(godot::D_METHOD("set_twig_scale", "scale"), &Wendrel3D::set_twig_scale);
	godot::ClassDB::bind_method(godot::D_METHOD("get_twig_scale"), &Wendrel3D::get_twig_scale);
	godot::ClassDB::bind_method(godot::D_METHOD("set_twig_cards_per_tip", "cards"), &Wendrel3D::set_twig_cards_per_tip);
	godot::ClassDB::bind_method(godot::D_METHOD("get_twig_cards_per_tip"), &Wendrel3D::get_twig_cards_per_tip);
	godot::ClassDB::bind_method(godot::D_METHOD("set_twig_crossed", "crossed"), &Wendrel3D::set_twig_crossed);
	godot::ClassDB::bind_method(godot::D_METHOD("get_twig_crossed"), &Wendrel3D::get_twig_crossed);
	godot::ClassDB::bind_method(godot::D_METHOD("set_twig_aspect", "aspect"), &Wendrel3D::set_twig_aspect);
	godot::ClassDB::bind_method(godot::D_METHOD("get_twig_aspect"), &Wendrel3D::get_twig_aspect);
	godot::ClassDB::bind_method(godot::D_METHOD("set_twig_leaf_variants", "variants"), &Wendrel3D::set_twig_leaf_variants);
	godot::ClassDB::bind_method(godot::D_METHOD("get_twig_leaf_variants"), &Wendrel3D::get_twig_leaf_variants);
	godot::ClassDB::bind_method(godot::D_METHOD("set_material_trunk", "material"), &Wendrel3D::set_material_trunk);
	godot::ClassDB::bind_method(godot::D_METHOD("get_material_trunk"), &Wendrel3D::get_material_trunk);
	godot::ClassDB::bind_method(godot::D_METHOD("set_material_twig", "material"), &Wendrel3D::set_material_twig);
	godot::ClassDB::bind_method(godot::D_METHOD("get_material_twig"), &Wendrel3D::get_material_twig);
	bind_game_methods();
	godot::ClassDB::bind_method(godot::D_METHOD("bake_mesh"), &Wendrel3D::bake_mesh);
	godot::ClassDB::bind_method(godot::D_METHOD("is_growing"), &Wendrel3D::is_growing);

	ADD_SIGNAL(godot::MethodInfo("tree_grown"));

	ADD_PROPERTY(parameter_property("seed"), "set_seed", "get_seed");

	ADD_GROUP("Trunk", "trunk_");
	ADD_PROPERTY(parameter_property("trunk_segments"), "set_segments", "get_segments");
	ADD_PROPERTY(parameter_property("trunk_branches_count"), "set_branches_count", "get_branches_count");
	ADD_PROPERTY(parameter_property("trunk_height"), "set_trunk_height", "get_trunk_height");
	ADD_PROPERTY(parameter_property("trunk_branch_length"), "set_branch_length", "get_branch_length");
	ADD_PROPERTY(parameter_property("trunk_branch_length_falloff"), "set_branch_length_falloff", "get_branch_length_falloff");
	ADD_PROPERTY(parameter_property("trunk_branch_factor"), "set_branch_factor", "get_branch_factor");
	ADD_PROPERTY(parameter_property("trunk_branch_clump_max"), "set_branch_clump_max", "get_branch_clump_max");
	ADD_PROPERTY(parameter_property("trunk_branch_clump_min"), "set_branch_clump_min", "get_branch_clump_min");
	ADD_PROPERTY(parameter_property("trunk_drop_amount"), "set_drop_amount", "get_drop_amount");
	ADD_PROPERTY(parameter_property("trunk_grow_amount"), "set_grow_amount", "get_grow_amount");
	ADD_PROPERTY(parameter_property("trunk_sweep_amount"), "set_sweep_amount", "get_sweep_amount");
	ADD_PROPERTY(parameter_property("trunk_max_radius"), "set_max_radius", "get_max_radius");
	ADD_PROPERTY(parameter_property("trunk_radius_falloff_rate"), "set_radius_falloff_rate", "get_radius_falloff_rate");
	ADD_PROPERTY(parameter_property("trunk_climb_rate"), "set_climb_rate", "get_climb_rate");
	ADD_PROPERTY(parameter_property("trunk_kink"), "set_trunk_kink", "get_trunk_kink");
	ADD_PROPERTY(parameter_property("trunk_twist"), "set_twist", "get_twist");
	ADD_PROPERTY(parameter_property("trunk_length"), "set_trunk_length", "get_trunk_length");
	ADD_PROPERTY(parameter_property("trunk_uv_multiplier"), "set_uv_multiplier", "get_uv_multiplier");

	ADD_GROUP("Twig", "twig_");
	ADD_PROPERTY(godot::PropertyInfo(godot::Variant::BOOL, "twig_enable", godot::PROPERTY_HINT_NONE, "", godot::PROPERTY_USAGE_DEFAULT), "set_twig_enable", "get_twig_enable");
	ADD_PROPERTY(parameter_property("twig_scale"), "set_twig_scale", "get_twig_scale");
	ADD_PROPERTY(parameter_property("twig_cards_per_tip"), "set_twig_cards_per_tip", "get_twig_cards_per_tip");
	ADD_PROPERTY(parameter_property("twig_crossed"), "set_twig_crossed", "get_twig_crossed");
	ADD_PROPERTY(parameter_property("twig_aspect"), "set_twig_aspect", "get_twig_aspect");
	ADD_PROPERTY(parameter_property("twig_leaf_variants"), "set_twig_leaf_variants", "get_twig_leaf_variants");

	ADD_GROUP("Materials", "material_");
	ADD_PROPERTY(material_property("material_trunk"), "set_material_trunk", "get_material_trunk");
	ADD_PROPERTY(material_property("material_twig"), "set_material_twig", "get_material_twig");
	bind_game_properties();
}
