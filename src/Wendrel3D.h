// The Wendrel3D scene node: grows a tree with wendrel::TreeModel and shows the bark and the
// twig cards through two MeshInstance3D children.
//
// Every numeric setter stores its value in the model, regenerates the whole tree and rebuilds
// the surfaces that the value affects. The two materials live on the children, as their
// surface override material 0; the node keeps no copy.
#pragma once

#include "model/tree_model.h"

#include <godot_cpp/classes/material.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/classes/node3d.hpp>
#include <godot_cpp/classes/ref.hpp>

#include <cstdint>

namespace godot {

class Wendrel3D : public Node3D {
	GDCLASS(Wendrel3D, Node3D);

	wendrel::TreeModel model;
	MeshInstance3D *trunk_mesh_instance = nullptr;
	MeshInstance3D *twig_mesh_instance = nullptr; // null while twigs are switched off
	bool twig_enable = true;

	// Which surfaces a parameter change has to rebuild.
	enum class Rebuild {
		BOTH,
		TRUNK,
		TWIGS,
	};

	template <typename T>
	void set_parameter(const char *p_property, T &r_field, T p_value, Rebuild p_rebuild);
	bool regenerate(const char *p_change);
	void rebuild(Rebuild p_rebuild);
	void update_trunk_mesh();
	void update_twig_mesh();

protected:
	static void _bind_methods();

public:
	Wendrel3D();
	~Wendrel3D();

	void _process(double p_delta) override;
	void _exit_tree() override;

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
	void set_material_trunk(const Ref<Material> &p_material);
	Ref<Material> get_material_trunk();
	void set_material_twig(const Ref<Material> &p_material);
	Ref<Material> get_material_twig();

	// C++ only, not bound: what the node shows, for tools and tests.
	const wendrel::TreeModel &get_model() const { return model; }
	MeshInstance3D *get_trunk_mesh_instance() const { return trunk_mesh_instance; }
	MeshInstance3D *get_twig_mesh_instance() const { return twig_mesh_instance; }
};

} // namespace godot
