// Where the outputs of a run go, checked before anything is grown: every folder exists, no
// two outputs write one file (however their paths spell it), and every file an .obj names
// can be written into its lines.
#pragma once

#include <string>
#include <vector>

namespace wendrel {

// The usage error of the output paths (each of a known format), or "" when they can all be
// written. Two paths are one file when they name the same entry of the same folder (by the
// folder's device and inode, so "./a", "sub/../a" and a symlinked folder all count); two
// hard links of one file are two names, each replaced on its own. A .gltf and an .obj of the same name share their
// textures, and one output given twice writes the same bytes twice: neither is a clash.
std::string check_destinations(const std::vector<std::string> &outputs);

// The file a path names, as check_destinations() compares them: "" when its folder is missing.
std::string destination_identity(const std::string &path);

} // namespace wendrel
