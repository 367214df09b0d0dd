// The output formats, chosen by the output path's extension.
#pragma once

#include "model/tree_model.h"

#include <string>
#include <utility>
#include <vector>

namespace wendrel {

struct Textures; // export.h

enum class Format {
	UNKNOWN,
	GLB,
	GLTF,
	OBJ,
	JSON,
	PNG,
	SCENE,
	PRESET,
};

// By extension, ignoring case: .glb .gltf .obj .json .png .tscn .tres.
Format format_of(const std::string &path);

// Whether the format needs the generated arrays (a scene or a preset holds only the parameters).
bool needs_mesh(Format format);

struct PngSize {
	int width = 800;
	int height = 400;
};

// Reads a count of pixels: decimal digits only, at most nine (so no value overflows). Returns
// false for anything else.
bool parse_count(const std::string &text, int &value);

// Reads "WIDTHxHEIGHT", each 16 to 4096. Returns an error message, empty on success.
std::string parse_png_size(const std::string &text, PngSize &size);

// What the output options ask of every file.
struct ExportSettings {
	PngSize png;
	int texture_size = 256; // sides of both textures, in pixels; see valid_texture_size()
	bool twig_enable = true;
	bool wind = false; // glTF files carry the wind records (the model was generated with them)
	// glTF files carry the collision capsules (the model was generated with its segments).
	bool collision = false;
	float collision_min_radius = COLLISION_MIN_RADIUS;
};

// Whether the format shows the materials' textures.
bool needs_textures(Format format);

// What a file of an output path is: the file itself, or one it names beside it. The textures
// of a .gltf and an .obj of the same name are the same file, with the same bytes.
enum class OutputKind {
	OWN,
	BARK_TEXTURE,
	LEAF_TEXTURE,
	MATERIALS,
};

struct OutputFile {
	std::string path;
	OutputKind kind;
};

// Every file one output path writes, in the order encode() returns them: the file itself,
// then for .gltf and .obj the two textures (PATH without extension, then _bark.png and
// _leaf.png), then for .obj its .mtl.
std::vector<OutputFile> output_files(const std::string &path, Format format);

// The { path, bytes } pairs of one output path, as output_files() names them. `model` has been generated unless the format is SCENE or PRESET; `textures` are made
// with settings.texture_size when the format needs them.
std::vector<std::pair<std::string, std::string>> encode(const std::string &path, Format format,
		const TreeModel &model, const ExportSettings &settings, const Textures &textures);

} // namespace wendrel
