// The file formats. Each writer returns the file's bytes and touches no file: the caller
// writes them into place (see output_file.h), and the tests read them back directly.
#pragma once

#include "colour.h"
#include "recipe.h"
#include "surface.h"
#include "textures.h"

#include <string>
#include <vector>

namespace wendrel {

// The materials' textures (see textures.h), as pixels and as PNG files.
struct Textures {
	Texture bark;
	Texture leaf;
	std::string bark_png;
	std::string leaf_png;
};
// The leaf texture is the four-leaf atlas when `leaf_atlas` is set (cards with leaf variants).
Textures make_textures(int size, bool leaf_atlas);

// Where a .gltf or an .mtl finds the textures: file names relative to itself.
struct TextureNames {
	std::string bark;
	std::string leaf;
};

// One scene "wendrel" with a root node "tree" holding two mesh nodes, "bark" and "twigs",
// with textured materials "bark" and "twig" (the twig's cut out by alpha). The root node's
// extras hold the recipe and the tool's version. A surface without faces is left out.
// `binary` selects .glb, which embeds the textures; a .gltf refers to them by file name.
// With `capsules`, a third child "collision" holds them as physics shapes (see add_collision()
// in gltf_export.cpp), even when there are none.
std::string write_gltf(const Mesh &bark, const Mesh &twigs, const Textures &textures, const TextureNames &names, const Recipe &recipe, bool binary,
		const std::vector<CollisionCapsule> *capsules = nullptr);

// Wavefront OBJ: objects "bark" and "twigs", using the materials of write_mtl() from the
// file named `mtl_name`. Texture v is flipped (v' = 1 - v): OBJ counts it from the bottom.
std::string write_obj(const Mesh &bark, const Mesh &twigs, const std::string &mtl_name);
// The materials, with their textures.
std::string write_mtl(const TextureNames &names);

// The parameters and the model's raw arrays and counts, exactly as generate() left them.
// Every float is printed so that it reads back bit for bit, and always with a '.' or an
// exponent so that no reader takes it for an integer; non-finite values are written as the
// strings "nan", "inf" and "-inf".
std::string write_json(const TreeProperties &properties, const Surface &bark, const Surface &twigs);

// A Godot 4 text scene with one Wendrel3D node named `node_name` that stores every node
// property, and twig_enable when the twigs are off. Throws std::invalid_argument when a parameter the node does not expose differs
// from its default, since the scene could not hold it.
std::string write_scene(const TreeProperties &properties, const std::string &node_name, bool twig_enable = true);

// A Godot 4 text resource of the extension's preset class holding every node property, as
// the add-on ships its presets. Throws std::invalid_argument as write_scene() does.
std::string write_preset(const TreeProperties &properties);

// A shaded preview, front view on the left and three-quarter view on the right, with the
// materials' textures; the twig cards are cut out where the leaf texture is transparent.
std::string write_png(const Mesh &bark, const Mesh &twigs, const Textures &textures, int width, int height);

} // namespace wendrel
