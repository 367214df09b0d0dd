// The two textures of the exported materials, drawn by code so that the repository holds no
// image files: a leafy twig for the twig cards, with transparency, and bark that tiles in
// both directions. Each is a pure function of its arguments: the same size gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wendrel {

// Square, 8-bit sRGB with straight alpha, rows from the top: row 0 is texture v = 0.
struct Texture {
	int size = 0;
	std::vector<uint8_t> rgba;
};

// Texels with alpha below this are cut away (glTF alphaMode MASK, alphaCutoff 0.5).
constexpr float LEAF_ALPHA_CUTOFF = 0.5f;

// A twig as the cards are mapped: u across the card, v from its tip (v = 0) to the end at
// the branch (v = 1), where a stem leaves the bottom edge at its middle. Leaves in pairs along
// the stem and one at the top; transparent elsewhere.
// As an atlas, for cards that pick one of four leaves: four cells of half the size, each drawn
// as the whole texture is, tip at its top and stem at its bottom middle: the twig (top left),
// one broad leaf (top right), a bunch of needles (bottom left), three leaflets (bottom right).
Texture leaf_texture(int size, bool atlas);

// Furrowed bark, darker in the cracks. It repeats seamlessly along u (around a branch) and
// along v (along it), and its furrows run along v.
Texture bark_texture(int size);

// Whether `size` is one of the sizes --texture-size accepts: a power of two, 16 to 2048.
bool valid_texture_size(int size);

// The PNG file of the texture, RGBA (leaves) or RGB (bark: no transparency).
std::string encode_png(const Texture &texture, bool with_alpha);

} // namespace wendrel
