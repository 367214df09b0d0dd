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

#include <godot_cpp/classes/array_mesh.hpp>
#include <godot_cpp/classes/material.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/static_body3d.hpp>

#include <cstdint>
#include <memory>
#include <vector>

class Wendrel3D : public godot::Node3D {
	GDCLASS(Wendrel3D, godot::Node3D);

	wendrel::TreeProperties properties;		   // what the setters stored
	std::unique_ptr<wendrel::TreeModel> model; // the tree shown
	godot::MeshInstance3D *trunk_mesh_instance = nullptr;
	godot::MeshInstance3D *twig_mesh_instance = nullptr; // null while twigs are switched off
	bool twig_enable = true;
	// Data for games (Wendrel3D_game.cpp), all off by default.
	bool wind_data = false;
	bool collision_enable = false;
	float collision_min_radius = 0.05f;
	godot::StaticBody3D *collision_body = nullptr; // internal child while collision_enable is on
	bool lod_enable = false;
	godot::Ref<godot::Material> material_trunk;
	godot::Ref<godot::Material> material_twig;
	bool stale = true;															// the shown tree is not the one of `properties`
	std::unique_ptr<wendrel::engine::BackgroundGrowth> growth;					// the tree to show next
	std::vector<std::unique_ptr<wendrel::engine::BackgroundGrowth>> superseded; // cancelled, not yet ended
	// Shared with the growths on worker threads.
	std::shared_ptr<wendrel::engine::SurfaceOrders> index_orders = std::make_shared<wendrel::engine::SurfaceOrders>();

	// Which surfaces a parameter change has to rebuild.
	enum class Rebuild {
		BOTH,
		TRUNK,
		TWIGS,
	};

	template <typename T>
	void set_parameter(const char *p_property, T &r_field, T p_value, Rebuild p_rebuild);
	bool fits(const wendrel::TreeProperties &p_properties, const char *p_change) const;
	bool grow(Rebuild p_rebuild, const char *p_change);
	void show_grown_tree();
	void cancel_growth();
	void end_superseded_growths();
	void update_processing();
	void rebuild(Rebuild p_rebuild);
	void update_mesh(godot::MeshInstance3D *p_child, const godot::Ref<godot::ArrayMesh> &p_mesh,
			const godot::Ref<godot::Material> &p_material);
	void add_twig_child();
	// The model's wind records for a surface of p_vertex_count vertices when wind_data is on
	// and the model holds them for its arrays; else null.
	const wendrel::WindRecord *wind_records(const std::vector<wendrel::WindRecord> &p_records, int32_t p_vertex_count) const;
	// What the generator has to add for the properties set: wind records, collision segments.
	void ask_for_game_data(wendrel::TreeModel &r_model) const;
	void update_collision();
	// Registered after the accessors above them, and after the other properties.
	static void bind_game_methods();
	static void bind_game_properties();

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

	void set_seed(int32_t p_seed);
	int32_t get_seed();
	void set_segments(int32_t p_segments);
	int32_t get_segments();
	void set_branches_count(int32_t p_count);
	int32_t get_branches_count();
	void set_trunk_height(int32_t p_height);
	int32_t get_trunk_height();
	void set_branch_length(float p_length);
	float get_branch_length();
	void set_branch_length_falloff(float p_length);
	float get_branch_length_falloff();
	void set_branch_factor(float p_value);
	float get_branch_factor();
	void set_branch_clump_max(float p_max);
	float get_branch_clump_max();
	void set_branch_clump_min(float p_min);
	float get_branch_clump_min();
	void set_drop_amount(float p_amount);
	float get_drop_amount();
	void set_grow_amount(float p_amount);
	float get_grow_amount();
	void set_sweep_amount(float p_amount);
	float get_sweep_amount();
	void set_max_radius(float p_radius);
	float get_max_radius();
	void set_radius_falloff_rate(float p_radius);
	float get_radius_falloff_rate();
	void set_climb_rate(float p_rate);
	float get_climb_rate();
	void set_trunk_kink(float p_kink);
	float get_trunk_kink();
	void set_twist(float p_twist);
	float get_twist();
	void set_trunk_length(float p_length);
	float get_trunk_length();
	void set_uv_multiplier(float p_length);
	float get_uv_multiplier() const;
	void set_twig_enable(bool p_enable);
	bool get_twig_enable();
	void set_twig_scale(float p_scale);
	float get_twig_scale();
	void set_twig_cards_per_tip(int32_t p_cards);
	int32_t get_twig_cards_per_tip() const;
	void set_twig_crossed(int32_t p_crossed);
	int32_t get_twig_crossed() const;
	void set_twig_aspect(float p_aspect);
	float get_twig_aspect() const;
	void set_twig_leaf_variants(int32_t p_variants);
	int32_t get_twig_leaf_variants() const;
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
	// on, each with its material. It shares nothing with the node.
	godot::Ref<godot::ArrayMesh> bake_mesh();
	// Whether a tree is growing on a worker thread; the signal tree_grown follows.
	bool is_growing() const;

	// C++ only, not bound: what the node shows, for tools and tests.
	const wendrel::TreeModel &get_model() const { return *model; }
	godot::MeshInstance3D *get_trunk_mesh_instance() const { return trunk_mesh_instance; }
	godot::MeshInstance3D *get_twig_mesh_instance() const { return twig_mesh_instance; }
	godot::StaticBody3D *get_collision_body() const { return collision_body; }
};
