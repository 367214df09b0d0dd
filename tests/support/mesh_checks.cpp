#include "mesh_checks.h"

namespace wendrel::test {

::testing::AssertionResult validate_mesh(const TreeModel &m) {
	const std::string finding = fuzz::mesh_finding(m);
	if (!finding.empty())
		return ::testing::AssertionFailure() << finding;
	return ::testing::AssertionSuccess();
}

void generate_with(TreeModel &model, const TreeProperties &properties) {
	model.set_properties(properties);
	model.generate();
}

TreeProperties random_properties(std::mt19937 &rng) {
	auto real = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
	auto whole = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
	TreeProperties p;
	p.seed = whole(0, 100000);
	p.segments = 2 * whole(1, 5);
	p.branches_count = whole(1, 6);
	p.trunk_height = whole(0, 30);
	p.branch_length = real(0.01f, 10.0f);
	p.branch_length_falloff = real(0.0f, 2.0f);
	p.branch_factor = real(0.1f, 20.0f);
	p.branch_clump_max = real(0.0f, 20.0f);
	p.branch_clump_min = real(0.0f, 20.0f);
	p.drop_amount = real(-5.0f, 5.0f);
	p.grow_amount = real(-5.0f, 5.0f);
	p.sweep_amount = real(-5.0f, 5.0f);
	p.max_radius = real(0.01f, 0.6f);
	p.radius_falloff_rate = real(0.1f, 1.0f);
	p.climb_rate = real(0.0f, 50.0f);
	p.trunk_kink = real(-1.0f, 1.0f);
	p.twist = real(-5.0f, 5.0f);
	p.trunk_length = real(0.0f, 100.0f);
	p.uv_multiplier = real(0.001f, 50.0f);
	p.twig_scale = real(0.0f, 5.0f);
	return p;
}

void randomize_twig_cards(std::mt19937 &rng, TreeProperties &p) {
	p.twig_cards_per_tip = std::uniform_int_distribution<int>(1, 8)(rng);
	p.twig_crossed = std::uniform_int_distribution<int>(0, 1)(rng);
	p.twig_aspect = std::uniform_real_distribution<float>(0.1f, 8.0f)(rng);
	p.twig_leaf_variants = std::uniform_int_distribution<int>(1, 4)(rng);
}

} // namespace wendrel::test
