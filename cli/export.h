// The file formats. Each writer returns the file's bytes and touches no file: the caller
// writes them into place (see output_file.h), and the tests read them back directly.
#pragma once

#include "surface.h"

#include <string>

namespace wendrel {

// Linear-light colours of the placeholder materials, shared by every format that has colour.
struct Colour {
	float r, g, b;
};
constexpr Colour BARK_COLOUR = { 0.16f, 0.085f, 0.04f };
constexpr Colour TWIG_COLOUR = { 0.09f, 0.25f, 0.035f };

// One scene with a "tree" node holding two mesh nodes, "bark" and "twigs", each with its own
// placeholder material. A surface without faces is left out. `binary` selects .glb.
std::string write_gltf(const Mesh &bark, const Mesh &twigs, bool binary);

// Wavefront OBJ: objects "bark" and "twigs", using the materials of write_mtl() from the
// file named `mtl_name`. Texture v is flipped (v' = 1 - v): OBJ counts it from the bottom.
std::string write_obj(const Mesh &bark, const Mesh &twigs, const std::string &mtl_name);
std::string write_mtl();

// The parameters and the model's raw arrays and counts, exactly as generate() left them.
// Every float is printed so that it reads back bit for bit, and always with a '.' or an
// exponent so that no reader takes it for an integer; non-finite values are written as the
// strings "nan", "inf" and "-inf".
std::string write_json(const TreeProperties &properties, const Surface &bark, const Surface &twigs);

// A Godot 4 text scene with one Wendrel3D node named `node_name` that stores every node
// property. Throws std::invalid_argument when a parameter the node does not expose differs
// from its default, since the scene could not hold it.
std::string write_scene(const TreeProperties &properties, const std::string &node_name);

// A shaded preview, front view on the left and three-quarter view on the right.
std::string write_png(const Mesh &bark, const Mesh &twigs, int width, int height);

} // namespace wendrel
