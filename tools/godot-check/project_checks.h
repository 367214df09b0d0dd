#pragma once
// Checks on the demo project's text files that the engine would otherwise make only when it
// loads them. Each check returns the problems it found, one readable line each; none means
// the file passed.

#include "godot_text.h"
#include "property_rule.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace godot_check {

using Problems = std::vector<std::string>;

// What a reference to another file can be checked against.
struct ExternalFile {
	std::string type; // resource class: the .tres header type, "PackedScene", "Shader"; may be empty
	std::string uid;  // the uid in the file's header; empty for files without one
};

// Looks up a "res://" path; std::nullopt when the file does not exist.
using FileLookup = std::function<std::optional<ExternalFile>(const std::string &res_path)>;

// Resolves "res://" paths inside the project folder `root`, reading text resources' headers.
FileLookup lookup_in_folder(const std::filesystem::path &root);

// The header, ids and references of a scene or resource file: format 3, a well-formed uid,
// load_steps that counts the resources, unique ids, every ExtResource and SubResource used
// declared (a sub-resource above its first use), every external file present with the
// type and uid that the reference claims.
Problems check_resources(const TextFile &file, const FileLookup &lookup);

// The node tree of a scene (one root, every parent declared above its children, no two
// siblings of one name) and every stored property of each Wendrel3D node against the
// node's registration: a known name, a value of the right type inside the hint range, a
// material of an accepted class, no material for twigs that are switched off.
Problems check_nodes(const TextFile &scene, const std::vector<PropertyRule> &registration);

// project.godot: Godot 4 configuration, the 4.3 feature, a main scene that exists, and every
// other res:// file that it names (the icon, for one) present.
Problems check_project_settings(const TextFile &settings, const FileLookup &lookup);

// The extension description file, whose relative paths start in `folder`: the entry symbol,
// the minimum engine version, a library file per platform, build and architecture that
// follows the build's naming, and an SVG icon for the node.
Problems check_gdextension(const TextFile &description, const std::filesystem::path &folder);

// True for a uid that Godot can have written: "uid://" and at most 13 of [a-y0-8].
bool is_well_formed_uid(const std::string &uid);

} // namespace godot_check
