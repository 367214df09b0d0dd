// The Wendrel3D node: its life in the scene tree, its growth (at once or on a worker
// thread), its two mesh children, its accessors and its registration with the engine. The
// shape parameters' accessors and bindings are made from the lists in Wendrel3D.h; the data
// for games (wind, collision, LOD) lives in Wendrel3D_game.cpp with its own accessors and
// bindings.
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

// A generator parameter as the inspector shows it: name, type and range from its row in the
// generator's property table.
godot::PropertyInfo parameter_property(const wendrel::PropertyRow &p_row) {
	const godot::Variant::Type type = p_row.type == wendrel::PropertyType::INTEGER ? godot::Variant::INT : godot::Variant::FLOAT;
	return godot::PropertyInfo(type, p_row.name, godot::PROPERTY_HINT_RANGE, p_row.range_hint().c_str(), godot::PROPERTY_USAGE_DEFAULT);
}

// set_<field> with its argument's name (none when empty), and get_<field>.
template <typename Setter, typename Getter>
void bind_accessors(const char *p_field, const char *p_argument, Setter p_setter, Getter p_getter) {
	const std::string setter = std::string("set_") + p_field;
	const std::string getter = std::string("get_") + p_field;
	godot::ClassDB::bind_method(*p_argument ? godot::D_METHOD(setter.c_str(), p_argument) : godot::D_METHOD(setter.c_str()), p_setter);
	godot::ClassDB::bind_method(godot::D_METHOD(getter.c_str()), p_getter);
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
	bark_mesh_instance = memnew(MeshInstance3D);
	add_child(bark_mesh_instance, false, INTERNAL_MODE_FRONT);
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
		grow(Rebuilds::BOTH, "parameters");
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
void Wendrel3D::set_parameter(const char *p_property, T &r_field, T p_value, Rebuilds p_rebuild) {
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

// The switches for games (Wendrel3D_game.cpp) store and regrow as the shape parameters do.
template void Wendrel3D::set_parameter<bool>(const char *, bool &, bool, Rebuilds);

// The one refusal of a tree that cannot be built, so that no allocation failure reaches the
// engine. p_change names what is being applied, for the message.
bool Wendrel3D::fits(const wendrel::TreeProperties &p_properties, const char *p_change) const {
	const wendrel::TreeSize size = wendrel::measure_tree(p_properties);
	if (size.fits) {
		return true;
	}
	const std::string why = size.fault ? std::string("that cannot be built (") + size.fault->name + " " + size.reason + ")"
									   : "too large to build (an array over 2 GiB)";
	print_error(std::string("the new ") + p_change + " would grow a tree " + why + "; it is not applied.");
	return false;
}

// Shows the tree of `properties`: at once for a small tree, from a worker thread for a large
// one. A growth under way is superseded either way. False when memory ran out.
bool Wendrel3D::grow(Rebuilds p_rebuild, const char *p_change) {
	if (growth) {
		cancel_growth();
		p_rebuild = Rebuilds::BOTH; // the tree shown is older than the last change
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
	update_mesh(bark_mesh_instance, grown->bark_mesh(), material_trunk);
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

void Wendrel3D::rebuild(Rebuilds p_rebuild) {
	if (p_rebuild != Rebuilds::TWIGS) {
		update_mesh(bark_mesh_instance,
				wendrel::engine::surface_mesh(wendrel::bark_surface(*model), wind_records(model->wind, model->vertex_count), lod_enable, index_orders->bark),
				material_trunk);
	}
	if (p_rebuild != Rebuilds::BARK && twig_mesh_instance) {
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

#define WENDREL3D_DEFINE_ACCESSORS(m_field, m_argument, m_const)                                   \
	void Wendrel3D::set_##m_field(decltype(wendrel::TreeProperties::m_field) p_value) {            \
		const wendrel::PropertyRow &row = wendrel::property_of(&wendrel::TreeProperties::m_field); \
		set_parameter(row.name, properties.m_field, p_value, row.rebuilds);                        \
	}                                                                                              \
	decltype(wendrel::TreeProperties::m_field) Wendrel3D::get_##m_field() m_const {                \
		return properties.m_field;                                                                 \
	}
WENDREL3D_PARAMETERS(WENDREL3D_DEFINE_ACCESSORS)
#undef WENDREL3D_DEFINE_ACCESSORS

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
	apply_material(bark_mesh_instance, p_material);
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

bool Wendrel3D::is_growing() const {
	return growth != nullptr;
}

// --- registration ---

void Wendrel3D::_bind_methods() {
	bind_tool_methods();
#define WENDREL3D_BIND_ACCESSORS(m_field, m_argument, m_const) \
	bind_accessors(#m_field, m_argument, &Wendrel3D::set_##m_field, &Wendrel3D::get_##m_field);
#define WENDREL3D_ADD_PARAMETER(m_field, m_argument, m_const) \
	ADD_PROPERTY(parameter_property(wendrel::property_of(&wendrel::TreeProperties::m_field)), "set_" #m_field, "get_" #m_field);

	WENDREL3D_UNGROUPED_PARAMETERS(WENDREL3D_BIND_ACCESSORS)
	WENDREL3D_TRUNK_PARAMETERS(WENDREL3D_BIND_ACCESSORS)
	godot::ClassDB::bind_method(godot::D_METHOD("set_twig_enable", "enable"), &Wendrel3D::set_twig_enable);
	godot::ClassDB::bind_method(godot::D_METHOD("get_twig_enable"), &Wendrel3D::get_twig_enable);
	WENDREL3D_TWIG_PARAMETERS(WENDREL3D_BIND_ACCESSORS)
	godot::ClassDB::bind_method(godot::D_METHOD("set_material_trunk", "material"), &Wendrel3D::set_material_trunk);
	godot::ClassDB::bind_method(godot::D_METHOD("get_material_trunk"), &Wendrel3D::get_material_trunk);
	godot::ClassDB::bind_method(godot::D_METHOD("set_material_twig", "material"), &Wendrel3D::set_material_twig);
	godot::ClassDB::bind_method(godot::D_METHOD("get_material_twig"), &Wendrel3D::get_material_twig);
	bind_game_methods();
	godot::ClassDB::bind_method(godot::D_METHOD("bake_mesh"), &Wendrel3D::bake_mesh);
	godot::ClassDB::bind_method(godot::D_METHOD("is_growing"), &Wendrel3D::is_growing);
	bind_bake_methods();

	ADD_SIGNAL(godot::MethodInfo("tree_grown"));

	WENDREL3D_UNGROUPED_PARAMETERS(WENDREL3D_ADD_PARAMETER)
	ADD_GROUP("Trunk", "trunk_");
	WENDREL3D_TRUNK_PARAMETERS(WENDREL3D_ADD_PARAMETER)
	ADD_GROUP("Twig", "twig_");
	ADD_PROPERTY(godot::PropertyInfo(godot::Variant::BOOL, "twig_enable", godot::PROPERTY_HINT_NONE, "", godot::PROPERTY_USAGE_DEFAULT), "set_twig_enable", "get_twig_enable");
	WENDREL3D_TWIG_PARAMETERS(WENDREL3D_ADD_PARAMETER)
	ADD_GROUP("Materials", "material_");
	ADD_PROPERTY(material_property("material_trunk"), "set_material_trunk", "get_material_trunk");
	ADD_PROPERTY(material_property("material_twig"), "set_material_twig", "get_material_twig");
	bind_game_properties();
#undef WENDREL3D_BIND_ACCESSORS
#undef WENDREL3D_ADD_PARAMETER
}
