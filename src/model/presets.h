// Named parameter sets, chosen by looking at their previews (docs/presets/<name>.png).
// Each one is also a scene of the demo project and a preset resource of the add-on, written
// from this table by `wendrel --preset NAME -o demo/presets/NAME.tscn` and
// `-o demo/addons/wendrel3d/presets/NAME.tres`. The tool and the node's library build it.
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
