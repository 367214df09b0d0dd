// A small software rasteriser for the PNG previews: orthographic views, a z-buffer, flat
// two-sided diffuse shading, and supersampling against jagged twig edges.
#pragma once

#include "export.h"

#include <cstdint>
#include <vector>

namespace wendrel {

// 8-bit sRGB, rows from the top, three bytes per pixel.
struct Image {
	int width = 0;
	int height = 0;
	std::vector<uint8_t> rgb;
};

// One camera: the tree turned by `yaw` about +y, then tilted by `pitch` about the view's x
// axis (positive looks down on it), drawn into the columns [left, left + width).
struct View {
	float yaw;
	float pitch;
	int left;
	int width;
};

// A mesh in one colour, or textured: then the texture's colour (when `tint`) multiplies the
// colour, and where its alpha lies below LEAF_ALPHA_CUTOFF nothing is drawn. `repeat` wraps
// texture coordinates outside [0, 1]; otherwise they are clamped to the edge.
struct ColouredMesh {
	const Mesh *mesh;
	Colour colour;
	const Texture *texture = nullptr;
	bool tint = true;
	bool repeat = true;
};

// The samples per pixel on each axis: fewer for big images keep the buffers bounded.
inline int samples_per_side(int width, int height) {
	int64_t pixels = static_cast<int64_t>(width) * height;
	return pixels <= 1000000 ? 3 : (pixels <= 4000000 ? 2 : 1);
}

// Draws the meshes into each view at one common scale, each view centred on the tree, y up.
Image render(const std::vector<ColouredMesh> &meshes, const std::vector<View> &views, int width, int height);

} // namespace wendrel
