// Named parameter sets, chosen by looking at their previews (docs/presets/<name>.png).
// Each one is also a scene of the demo project, written from this table by
// `wendrel --preset NAME -o demo/presets/NAME.tscn`.
#pragma once

#include "model/tree_model.h"

#include <string>
#include <vector>

namespace wendrel {

struct Preset {
	const char *name;
	const char *description;
	TreeProperties properties;
};

// "default" first, holding the generator's own defaults.
const std::vector<Preset> &presets();

// Null when no preset has that name.
const Preset *find_preset(const std::string &name);

} // namespace wendrel
