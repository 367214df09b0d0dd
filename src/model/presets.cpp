#include "model/presets.h"

namespace wendrel {

namespace {

// Many short steps, each putting out a near-level side branch (the negative grow cancels the
// twist direction's upward lean), shorter towards the top as the steps taper.
TreeProperties conifer() {
	TreeProperties p;
	p.seed = 1;
	p.trunk_height = 24;
	p.climb_rate = 0.32f;
	p.trunk_length = 1.3f; // the long needle cards of the lowest tier clear the ground
	p.branch_length = 1.5f;
	p.branches_count = 4;
	p.branch_length_falloff = 0.5f;
	p.branch_factor = 1.5f;
	p.branch_clump_min = 0.3f;
	p.branch_clump_max = 0.4f;
	p.drop_amount = -0.07f;
	p.grow_amount = -0.35f;
	p.sweep_amount = 0.0f;
	p.twist = 4.3f;
	p.trunk_kink = 0.01f;
	p.max_radius = 0.14f;
	// Clusters of narrow cards: needled shoots.
	p.twig_scale = 0.12f;
	p.twig_cards_per_tip = 4;
	p.twig_aspect = 3.0f;
	return p;
}

// No trunk steps and a low first fork: seven levels of wide forks pushed upwards.
TreeProperties bush() {
	TreeProperties p;
	p.seed = 11;
	p.trunk_height = 0;
	p.trunk_length = 0.22f;
	p.branch_length = 0.5f;
	p.branches_count = 7;
	p.branch_length_falloff = 0.8f;
	p.branch_factor = 2.6f;
	p.branch_clump_min = 0.15f;
	p.branch_clump_max = 0.3f;
	p.grow_amount = 1.2f;
	p.drop_amount = -0.04f;
	p.max_radius = 0.04f;
	p.radius_falloff_rate = 0.8f;
	// Dense clusters of crossed cards, each of the four leaves of the atlas.
	p.twig_scale = 0.12f;
	p.twig_cards_per_tip = 3;
	p.twig_crossed = 1;
	p.twig_leaf_variants = 4;
	return p;
}

// A strong upward push near the trunk and a drop that grows with depth: the branches arch
// up and out, and their tips hang.
TreeProperties weeping() {
	TreeProperties p;
	p.trunk_height = 3;
	p.climb_rate = 0.4f;
	p.trunk_length = 2.4f;
	p.branch_length = 1.0f;
	p.branches_count = 7;
	p.branch_length_falloff = 0.84f;
	p.branch_factor = 3.0f;
	p.branch_clump_min = 0.3f;
	p.branch_clump_max = 0.45f;
	p.grow_amount = 0.9f;
	p.drop_amount = -0.3f;
	p.max_radius = 0.17f;
	p.radius_falloff_rate = 0.7f;
	// Long leaves hanging from the tips, twigs and broad leaves mixed.
	p.twig_scale = 0.14f;
	p.twig_cards_per_tip = 3;
	p.twig_aspect = 2.5f;
	p.twig_leaf_variants = 2;
	return p;
}

// Bare, open branching with buds for twigs.
TreeProperties winter() {
	TreeProperties p;
	p.seed = 33;
	p.trunk_height = 2;
	p.climb_rate = 0.5f;
	p.trunk_length = 2.2f;
	p.branch_length = 1.1f;
	p.branches_count = 6;
	p.branch_length_falloff = 0.82f;
	p.branch_factor = 2.8f;
	p.branch_clump_min = 0.3f;
	p.branch_clump_max = 0.42f;
	p.grow_amount = 0.5f;
	p.drop_amount = -0.06f;
	p.max_radius = 0.16f;
	p.radius_falloff_rate = 0.72f;
	// Sparse buds, crossed so that they show from every side.
	p.twig_scale = 0.04f;
	p.twig_crossed = 1;
	return p;
}

std::vector<Preset> make_presets() {
	return {
		{ "default", "the generator's defaults: a round broadleaf tree", TreeProperties() },
		{ "conifer", "tall and narrow, tiers of level branches that shorten towards the top", conifer() },
		{ "bush", "low and wide, forking just above the ground", bush() },
		{ "weeping", "branches that arch out and hang", weeping() },
		{ "winter", "bare, open branching with buds", winter() },
	};
}

} // namespace

const std::vector<Preset> &presets() {
	static const std::vector<Preset> table = make_presets();
	return table;
}

const Preset *find_preset(const std::string &name) {
	for (const Preset &preset : presets()) {
		if (name == preset.name) {
			return &preset;
		}
	}
	return nullptr;
}

} // namespace wendrel
