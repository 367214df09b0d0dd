#include "textures.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>

namespace wendrel {

namespace {

struct Rgb {
	float r, g, b;
};

// sRGB colours of the leaves and the bark, as the demo project's materials use them.
constexpr Rgb LEAF_BASE = { 0.20f, 0.42f, 0.11f };
constexpr Rgb LEAF_TIP = { 0.45f, 0.62f, 0.17f };
constexpr Rgb STEM = { 0.30f, 0.22f, 0.12f };
constexpr Rgb BARK_CRACK = { 0.13f, 0.09f, 0.06f };
constexpr Rgb BARK_MID = { 0.33f, 0.24f, 0.16f };
constexpr Rgb BARK_RIDGE = { 0.52f, 0.42f, 0.31f };

Rgb mix(Rgb a, Rgb b, float t) {
	return Rgb{ a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
}

float clamp01(float x) {
	return std::min(1.0f, std::max(0.0f, x));
}

uint8_t to_byte(float x) {
	return static_cast<uint8_t>(clamp01(x) * 255.0f + 0.5f);
}

// A lens-shaped leaf starting at (bx, by), pointing along the unit vector (dx, dy), `length`
// long and at most `width` wide. Returns where along the leaf (0 to 1) the point lies, or -1
// when the leaf does not cover it. The outline is a parabola: no trigonometry, so the bytes
// are the same with every maths library.
float leaf_at(float px, float py, float bx, float by, float dx, float dy, float length, float width) {
	float x = px - bx, y = py - by;
	float along = (x * dx + y * dy) / length;
	float across = std::fabs(x * -dy + y * dx);
	if (along < 0.0f || along > 1.0f) {
		return -1.0f;
	}
	return across <= 2.0f * width * along * (1.0f - along) ? along : -1.0f;
}

struct LeafSample {
	bool covered;
	Rgb colour;
};

// The twig at p = (across, up), up running from the branch end (0) to the tip (1).
LeafSample twig_at(float px, float py) {
	struct Leaf {
		float bx, by, dx, dy, length, width;
	};
	static const Leaf leaves[] = {
		{ 0.5f, 0.76f, 0.0f, 1.0f, 0.22f, 0.16f },
		{ 0.5f, 0.12f, 0.8f, 0.6f, 0.40f, 0.13f },
		{ 0.5f, 0.17f, -0.8f, 0.6f, 0.40f, 0.13f },
		{ 0.5f, 0.31f, 0.8f, 0.6f, 0.34f, 0.13f },
		{ 0.5f, 0.36f, -0.8f, 0.6f, 0.34f, 0.13f },
		{ 0.5f, 0.51f, 0.8f, 0.6f, 0.28f, 0.13f },
		{ 0.5f, 0.56f, -0.8f, 0.6f, 0.28f, 0.13f },
	};
	for (const Leaf &l : leaves) {
		float along = leaf_at(px, py, l.bx, l.by, l.dx, l.dy, l.length, l.width);
		if (along >= 0.0f) {
			// A midrib, and leaves lighter towards the top of the twig.
			float midrib = std::fabs((px - l.bx) * -l.dy + (py - l.by) * l.dx) < 0.006f ? 0.8f : 1.0f;
			Rgb c = mix(LEAF_BASE, LEAF_TIP, clamp01(py) * 0.7f + along * 0.3f);
			return { true, Rgb{ c.r * midrib, c.g * midrib, c.b * midrib } };
		}
	}
	bool stem = std::fabs(px - 0.5f) <= 0.015f && py <= 0.8f;
	return { stem, STEM };
}

// A leaf from (bx, by) along (dx, dy), shaded from LEAF_BASE to `tip` along its length, with a
// midrib; not covered when the leaf does not reach the point.
LeafSample shaded_leaf(float px, float py, float bx, float by, float dx, float dy, float length, float width, Rgb tip) {
	float along = leaf_at(px, py, bx, by, dx, dy, length, width);
	if (along < 0.0f) {
		return { false, STEM };
	}
	float midrib = std::fabs((px - bx) * -dy + (py - by) * dx) < 0.006f ? 0.8f : 1.0f;
	Rgb c = mix(LEAF_BASE, tip, along);
	return { true, Rgb{ c.r * midrib, c.g * midrib, c.b * midrib } };
}

// One broad leaf on a short stalk, filling the cell: cards with it read as single leaves.
LeafSample broad_leaf_at(float px, float py) {
	LeafSample leaf = shaded_leaf(px, py, 0.5f, 0.1f, 0.0f, 1.0f, 0.86f, 0.42f, LEAF_TIP);
	bool stalk = std::fabs(px - 0.5f) <= 0.015f && py <= 0.12f;
	return leaf.covered ? leaf : LeafSample{ stalk, STEM };
}

// A bunch of needles fanning out from the stem's end: long cards of it read as conifer shoots.
LeafSample needles_at(float px, float py) {
	static const float spread[] = { 0.0f, 0.12f, -0.12f, 0.24f, -0.24f, 0.36f, -0.36f };
	for (float dx : spread) {
		float dy = std::sqrt(1.0f - dx * dx);
		LeafSample needle = shaded_leaf(px, py, 0.5f, 0.04f, dx, dy, 0.9f - std::fabs(dx), 0.03f, LEAF_TIP);
		if (needle.covered) {
			return needle;
		}
	}
	bool stem = std::fabs(px - 0.5f) <= 0.015f && py <= 0.06f;
	return { stem, STEM };
}

// Three rounded leaflets on a stalk, a darker, warmer green.
LeafSample leaflets_at(float px, float py) {
	constexpr Rgb WARM_TIP = { 0.52f, 0.55f, 0.14f };
	static const float leaflets[][5] = {
		{ 0.5f, 0.42f, 0.0f, 1.0f, 0.54f },
		{ 0.5f, 0.3f, 0.6f, 0.8f, 0.5f },
		{ 0.5f, 0.3f, -0.6f, 0.8f, 0.5f },
	};
	for (const auto &l : leaflets) {
		LeafSample leaf = shaded_leaf(px, py, l[0], l[1], l[2], l[3], l[4], 0.3f, WARM_TIP);
		if (leaf.covered) {
			return leaf;
		}
	}
	bool stalk = std::fabs(px - 0.5f) <= 0.015f && py <= 0.45f;
	return { stalk, STEM };
}

// The four cells of the atlas: 0 and 1 along the top row of the texture, 2 and 3 below.
LeafSample atlas_at(float u, float v) {
	int cell = (u < 0.5f ? 0 : 1) + (v < 0.5f ? 0 : 2);
	float px = (u - 0.5f * (cell & 1)) * 2.0f;
	float py = 1.0f - (v - 0.5f * (cell >> 1)) * 2.0f;
	switch (cell) {
		case 0:
			return twig_at(px, py);
		case 1:
			return broad_leaf_at(px, py);
		case 2:
			return needles_at(px, py);
		default:
			return leaflets_at(px, py);
	}
}

// Integer hash of a lattice point, to [0, 1).
float hash(uint32_t x, uint32_t y, uint32_t seed) {
	uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
	h ^= h >> 15;
	h *= 0x2c1b3c6du;
	h ^= h >> 12;
	h *= 0x297a2d39u;
	h ^= h >> 15;
	return static_cast<float>(h >> 8) / 16777216.0f;
}

// Value noise on a lattice of cells_u x cells_v cells over the unit square, wrapping at its
// edges so that it tiles.
float tiling_noise(float u, float v, int cells_u, int cells_v, uint32_t seed) {
	float x = u * cells_u, y = v * cells_v;
	int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
	float fx = x - ix, fy = y - iy;
	fx = fx * fx * (3.0f - 2.0f * fx);
	fy = fy * fy * (3.0f - 2.0f * fy);
	auto at = [&](int i, int j) {
		return hash(static_cast<uint32_t>(((i % cells_u) + cells_u) % cells_u), static_cast<uint32_t>(((j % cells_v) + cells_v) % cells_v), seed);
	};
	float top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * fx;
	float bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * fx;
	return top + (bottom - top) * fy;
}

// Bark at (u, v): ridges between furrows that run along v, wandering sideways, with finer
// grain on top. Every term repeats over the unit square.
Rgb bark_at(float u, float v) {
	float wander = tiling_noise(u, v, 4, 3, 1) - 0.5f;
	float x = u * 9.0f + wander * 1.6f;
	float ridge = 1.0f - std::fabs(2.0f * (x - std::floor(x)) - 1.0f); // 0 in a furrow, 1 on a ridge
	float breaks = tiling_noise(u, v, 18, 6, 2);
	float grain = tiling_noise(u, v, 64, 16, 3);
	float height = clamp01(ridge * (0.55f + 0.6f * breaks) + 0.25f * (grain - 0.5f));
	return height < 0.5f ? mix(BARK_CRACK, BARK_MID, height * 2.0f) : mix(BARK_MID, BARK_RIDGE, height * 2.0f - 1.0f);
}

void append_bytes(void *context, void *data, int size) {
	static_cast<std::string *>(context)->append(static_cast<const char *>(data), static_cast<size_t>(size));
}

} // namespace

Texture leaf_texture(int size, bool atlas) {
	// 4 x 4 samples per texel give soft edges, so the cut-off follows the outline smoothly
	// when a viewer filters the texture. Uncovered texels take the leaf colour, so that
	// filtering blends no dark fringe into the edges.
	const int samples = 4;
	Texture texture{ size, std::vector<uint8_t>(static_cast<size_t>(size) * size * 4) };
	for (int row = 0; row < size; ++row) {
		for (int column = 0; column < size; ++column) {
			int covered = 0;
			Rgb sum{ 0.0f, 0.0f, 0.0f };
			for (int s = 0; s < samples * samples; ++s) {
				float u = (column + (s % samples + 0.5f) / samples) / size;
				float v = (row + (s / samples + 0.5f) / samples) / size;
				LeafSample sample = atlas ? atlas_at(u, v) : twig_at(u, 1.0f - v);
				if (sample.covered) {
					++covered;
					sum = Rgb{ sum.r + sample.colour.r, sum.g + sample.colour.g, sum.b + sample.colour.b };
				}
			}
			Rgb c = covered ? Rgb{ sum.r / covered, sum.g / covered, sum.b / covered } : LEAF_BASE;
			uint8_t *texel = &texture.rgba[(static_cast<size_t>(row) * size + column) * 4];
			texel[0] = to_byte(c.r);
			texel[1] = to_byte(c.g);
			texel[2] = to_byte(c.b);
			texel[3] = to_byte(static_cast<float>(covered) / (samples * samples));
		}
	}
	return texture;
}

Texture bark_texture(int size) {
	Texture texture{ size, std::vector<uint8_t>(static_cast<size_t>(size) * size * 4) };
	for (int row = 0; row < size; ++row) {
		for (int column = 0; column < size; ++column) {
			Rgb c = bark_at((column + 0.5f) / size, (row + 0.5f) / size);
			uint8_t *texel = &texture.rgba[(static_cast<size_t>(row) * size + column) * 4];
			texel[0] = to_byte(c.r);
			texel[1] = to_byte(c.g);
			texel[2] = to_byte(c.b);
			texel[3] = 255;
		}
	}
	return texture;
}

bool valid_texture_size(int size) {
	return size >= 16 && size <= 2048 && (size & (size - 1)) == 0;
}

std::string encode_png(const Texture &texture, bool with_alpha) {
	std::vector<uint8_t> pixels;
	const std::vector<uint8_t> *data = &texture.rgba;
	if (!with_alpha) {
		pixels.reserve(texture.rgba.size() / 4 * 3);
		for (size_t i = 0; i < texture.rgba.size(); i += 4) {
			pixels.insert(pixels.end(), { texture.rgba[i], texture.rgba[i + 1], texture.rgba[i + 2] });
		}
		data = &pixels;
	}
	int channels = with_alpha ? 4 : 3;
	std::string png;
	stbi_write_png_to_func(append_bytes, &png, texture.size, texture.size, channels, data->data(), texture.size * channels);
	return png;
}

} // namespace wendrel
