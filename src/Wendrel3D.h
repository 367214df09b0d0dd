// The Wendrel3D scene node: grows a tree with wendrel::TreeModel and shows the bark and the
// twig cards through two internal MeshInstance3D children.
//
// Inside the scene tree every shape setter regrows the tree before it returns, unless the
// tree is large: that one grows on the engine's worker threads while the old one stays
// shown. Outside the scene tree the setters only store their value, and the tree grows once
// when the node enters it, so that loading a scene grows each tree once. The materials are
// kept on the node and applied to the children whenever they exist.
#pragma once

#include "background_growth.h"
#include "model/tree_model.h"
#include "surface_arrays.h"
#include "Wendrel3DPreset.h"

#include <godot_cpp/classes/array_mesh.hpp>
#include <godot_cpp/classes/material.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/packed_scene.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/static_body3d.hpp>
#include <godot_cpp/variant/callable.hpp>

#include <cstdint>
#include <memory>
#include <vector>

// The node's tree shape parameters, one line each, by inspector group: the TreeProperties
// field, which also names the accessors (set_<field>, get_<field>); the setter's argument as
// scripts see it ("" for none); and `const` for a const getter. The property's name, type,
// range and the surfaces a change rebuilds come from the generator's property table, so a
// new parameter on the node is its table row and one line here.
#define WENDREL3D_UNGROUPED_PARAMETERS(X) \
	X(seed, "", )
#define WENDREL3D_TRUNK_PARAMETERS(X)    \
	X(segments, "", )                    \
	X(branches_count, "count", )         \
	X(trunk_height, "height", )          \
	X(branch_length, "length", )         \
	X(branch_length_falloff, "length", ) \
	X(branch_factor, "value", )          \
	X(branch_clump_max, "max", )         \
	X(branch_clump_min, "min", )         \
	X(drop_amount, "amount", )           \
	X(grow_amount, "amount", )           \
	X(sweep_amount, "amount", )          \
	X(max_radius, "radius", )            \
	X(radius_falloff_rate, "radius", )   \
	X(climb_rate, "rate", )              \
	X(trunk_kink, "kink", )              \
	X(twist, "twist", )                  \
	X(trunk_length, "length", )          \
	X(uv_multiplier, "length", const)
#define WENDREL3D_TWIG_PARAMETERS(X)      \
	X(twig_scale, "scale", )              \
	X(twig_cards_per_tip, "cards", const) \
	X(twig_crossed, "crossed", const)     \
	X(twig_aspect, "aspect", const)       \
	X(twig_leaf_variants, "variants", const)
#define WENDREL3D_PARAMETERS(X)       \
	WENDREL3D_UNGROUPED_PARAMETERS(X) \
	WENDREL3D_TRUNK_PARAMETERS(X)     \
	WENDREL3D_TWIG_PARAMETERS(X)

class Wendrel3D : public godot::Node3D {
	GDCLASS(Wendrel3D, godot::Node3D);

	wendrel::TreeProperties properties;		   // what the setters stored
	std::unique_ptr<wendrel::TreeModel> model; // the tree shown
	godot::MeshInstance3D *bark_mesh_instance = nullptr;
	godot::MeshInstance3D *twig_mesh_instance = nullptr; // null while twigs are switched off
	bool twig_enable = true;
	// Data for games (Wendrel3D_game.cpp), all off by default.
	bool wind_data = false;
	bool collision_enable = false;
	float collision_min_radius = wendrel::COLLISION_MIN_RADIUS;
	godot::StaticBody3D *collision_body = nullptr; // internal child while collision_enable is on
	bool lod_enable = false;
	godot::Ref<godot::Material> material_trunk;
	godot::Ref<godot::Material> material_twig;
	bool stale = true;															// the shown tree is not the one of `properties`
	std::unique_ptr<wendrel::engine::BackgroundGrowth> growth;					// the tree to show next
	std::vector<std::unique_ptr<wendrel::engine::BackgroundGrowth>> superseded; // cancelled, not yet ended
	// Shared with the growths on worker threads.
	std::shared_ptr<wendrel::engine::SurfaceOrders> index_orders = std::make_shared<wendrel::engine::SurfaceOrders>();

	using Rebuilds = wendrel::Rebuilds; // which surfaces a change has to rebuild

	template <typename T>
	void set_parameter(const char *p_property, T &r_field, T p_value, Rebuilds p_rebuild);
	bool fits(const wendrel::TreeProperties &p_properties, const char *p_change) const;
	bool grow(Rebuilds p_rebuild, const char *p_change);
	void show_grown_tree();
	void cancel_growth();
	void end_superseded_growths();
	void update_processing();
	void rebuild(Rebuilds p_rebuild);
	void update_mesh(godot::MeshInstance3D *p_child, const godot::Ref<godot::ArrayMesh> &p_mesh,
			const godot::Ref<godot::Material> &p_material);
	void add_twig_child();
	// The model's wind records for a surface of p_vertex_count vertices when wind_data is on
	// and the model holds them for its arrays; else null.
	const wendrel::WindRecord *wind_records(const std::vector<wendrel::WindRecord> &p_records, int32_t p_vertex_count) const;
	// What the generator has to add for the properties set: wind records, collision segments.
	void ask_for_game_data(wendrel::TreeModel &r_model) const;
	void update_collision();
	// The tree of the stored properties, for baking: the one shown when it is that tree, else
	// one grown into r_fresh. Null, with a message, when memory ran out.
	const wendrel::TreeModel *baked_model(std::unique_ptr<wendrel::TreeModel> &r_fresh) const;
	godot::Ref<godot::ArrayMesh> baked_mesh(const wendrel::TreeModel &p_model) const;
	// Registered after the accessors above them, and after the other properties.
	static void bind_bake_methods();
	static void bind_game_methods();
	static void bind_game_properties();
	// The tools (Wendrel3D_editor.cpp): the preset picked in the inspector, and helpers.
	godot::Ref<Wendrel3DPreset> tool_preset;
	int32_t random_seed() const;
	godot::String path_beside_scene(const godot::String &p_extension) const;
	static void bind_tool_methods();

protected:
	static void _bind_methods();

public:
	// Trees with more bark vertices than this grow on a worker thread.
	static constexpr int64_t BACKGROUND_VERTEX_COUNT = 200000;

	Wendrel3D();
	~Wendrel3D();

	void _process(double p_delta) override;
	void _enter_tree() override;
	void _exit_tree() override;
	void _ready() override;

	// set_<field> and get_<field> for every shape parameter in the lists above.
#define WENDREL3D_DECLARE_ACCESSORS(m_field, m_argument, m_const)           \
	void set_##m_field(decltype(wendrel::TreeProperties::m_field) p_value); \
	decltype(wendrel::TreeProperties::m_field) get_##m_field() m_const;
	WENDREL3D_PARAMETERS(WENDREL3D_DECLARE_ACCESSORS)
#undef WENDREL3D_DECLARE_ACCESSORS
	void set_twig_enable(bool p_enable);
	bool get_twig_enable();
	void set_material_trunk(const godot::Ref<godot::Material> &p_material);
	godot::Ref<godot::Material> get_material_trunk();
	void set_material_twig(const godot::Ref<godot::Material> &p_material);
	godot::Ref<godot::Material> get_material_twig();
	void set_wind_data(bool p_enable);
	bool get_wind_data() const;
	void set_collision_enable(bool p_enable);
	bool get_collision_enable() const;
	void set_collision_min_radius(float p_radius);
	float get_collision_min_radius() const;
	void set_lod_enable(bool p_enable);
	bool get_lod_enable() const;

	// A new mesh of the tree as shown: the bark surface, then the twig surface when twigs are
	// on, each with its material, the wind colours when wind_data is on and the levels of
	// detail when lod_enable is on. It shares nothing with the node. (Wendrel3D_bake.cpp)
	godot::Ref<godot::ArrayMesh> bake_mesh();
	// A new scene of the tree as shown, for games that place many trees without the
	// extension: a Node3D "Tree" holding a MeshInstance3D "Mesh" with bake_mesh()'s mesh and,
	// when collision_enable is on, a StaticBody3D "Collision" with a CollisionShape3D per capsule.
	godot::Ref<godot::PackedScene> bake_scene();
	// Whether a tree is growing on a worker thread; the signal tree_grown follows.
	bool is_growing() const;

	// The tools, each also an inspector button (Wendrel3D_editor.cpp).
	godot::Error apply_preset(const godot::Ref<Wendrel3DPreset> &p_preset);
	godot::Ref<Wendrel3DPreset> make_preset() const;
	godot::Error save_preset(const godot::String &p_path);
	int32_t randomize_seed();
	godot::Error save_baked_mesh(const godot::String &p_path);
	godot::Error export_gltf(const godot::String &p_path);
	void set_tool_preset(const godot::Ref<Wendrel3DPreset> &p_preset);
	godot::Ref<Wendrel3DPreset> get_tool_preset() const;
	godot::Callable _get_tool_button(int64_t p_index) const;
	void _tool_apply_preset();
	void _tool_save_preset();
	void _tool_randomize_seed();
	void _tool_bake_mesh();
	void _tool_export_gltf();

	// C++ only, not bound: what the node shows, for tools and tests.
	const wendrel::TreeModel &get_model() const {
		return *model;
	}
	godot::MeshInstance3D *get_bark_mesh_instance() const {
		return bark_mesh_instance;
	}
	godot::MeshInstance3D *get_twig_mesh_instance() const {
		return twig_mesh_instance;
	}
	godot::StaticBody3D *get_collision_body() const {
		return collision_body;
	}
};
