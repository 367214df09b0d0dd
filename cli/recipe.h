// How a tree was grown, and reading that back from a file the tool wrote: the "parameters"
// of a .json, or the extras of a .glb's or .gltf's root node.
#pragma once

#include "model/tree_model.h"

#include <iosfwd>
#include <string>

namespace wendrel {

// How to grow the tree again: the parameters, and whether the twigs are shown.
struct Recipe {
	TreeProperties properties;
	bool twig_enable = true;
};

// Parameters the file leaves out keep their defaults; values outside the inspector's range
// are used with a warning on `err`, as on the command line. Throws std::runtime_error naming
// the file and what is wrong with it.
Recipe read_recipe(const std::string &path, std::ostream &err);

} // namespace wendrel
