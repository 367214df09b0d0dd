#include "presets.h"

namespace wendrel {

namespace {

// Placeholder shapes until the previews can be looked at.
TreeProperties conifer() {
	TreeProperties p;
	p.trunk_height = 12;
	return p;
}

TreeProperties bush() {
	TreeProperties p;
	p.trunk_length = 0.5f;
	return p;
}

TreeProperties willow() {
	TreeProperties p;
	p.drop_amount = -0.5f;
	return p;
}

TreeProperties winter() {
	TreeProperties p;
	p.twig_scale = 0.1f;
	return p;
}

std::vector<Preset> make_presets() {
	return {
		{ "default", "the generator's defaults: a round broadleaf tree", TreeProperties() },
		{ "conifer", "tall and narrow, many short tiers of branches", conifer() },
		{ "bush", "low and wide, forking close to the ground", bush() },
		{ "willow", "drooping branches", willow() },
		{ "winter", "sparse and bare, small twigs", winter() },
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
