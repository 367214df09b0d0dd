#include "model/properties.h"

namespace wendrel {

TreeProperties::TreeProperties(float p_branch_clump_max, float p_branch_clump_min,
		float p_branch_length_falloff, float p_branch_length_exponent, float p_branch_factor,
		float p_radius_falloff_rate, float p_climb_rate, float p_trunk_kink, float p_max_radius,
		int32_t p_trunk_height, float p_trunk_taper, float p_twist, int32_t p_segments,
		int32_t p_branches_count, float p_sweep_amount, float p_branch_length,
		float p_trunk_length, float p_drop_amount, float p_grow_amount, float p_uv_multiplier,
		float p_twig_scale, int32_t p_seed) :
		branch_clump_max(p_branch_clump_max),
		branch_clump_min(p_branch_clump_min),
		branch_length_falloff(p_branch_length_falloff),
		branch_length_exponent(p_branch_length_exponent),
		branch_factor(p_branch_factor),
		radius_falloff_rate(p_radius_falloff_rate),
		climb_rate(p_climb_rate),
		trunk_kink(p_trunk_kink),
		max_radius(p_max_radius),
		trunk_height(p_trunk_height),
		trunk_taper(p_trunk_taper),
		twist(p_twist),
		segments(p_segments),
		branches_count(p_branches_count),
		sweep_amount(p_sweep_amount),
		branch_length(p_branch_length),
		trunk_length(p_trunk_length),
		drop_amount(p_drop_amount),
		grow_amount(p_grow_amount),
		uv_multiplier(p_uv_multiplier),
		twig_scale(p_twig_scale),
		seed(p_seed) {}

} // namespace wendrel
