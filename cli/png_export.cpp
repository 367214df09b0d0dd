#include "export.h"

#include "raster.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>

namespace wendrel {

namespace {

constexpr Colour GROUND_COLOUR = { 0.56f, 0.54f, 0.49f };
constexpr Colour SHADOW_COLOUR = { 0.30f, 0.29f, 0.26f };
constexpr Colour WHITE = { 1.0f, 1.0f, 1.0f };

void append_bytes(void *context, void *data, int size) {
	static_cast<std::string *>(context)->append(static_cast<const char *>(data), static_cast<size_t>(size));
}

// A disc on y = 0 around the origin, reaching a little past the tree's widest point, so that
// the eye can tell where the tree stands.
Mesh ground_disc(const Mesh &bark, const Mesh &twigs) {
	float reach = 0.0f;
	for (const Mesh *mesh : { &bark, &twigs }) {
		for (const Vec3 &p : mesh->positions) {
			reach = std::max(reach, std::sqrt(p.x * p.x + p.z * p.z));
		}
	}
	Mesh disc;
	const int sides = 48;
	disc.positions.emplace_back(0.0f, 0.0f, 0.0f);
	for (int i = 0; i < sides; ++i) {
		float angle = 2.0f * PI * static_cast<float>(i) / sides;
		disc.positions.emplace_back(1.05f * reach * std::cos(angle), 0.0f, 1.05f * reach * std::sin(angle));
		disc.indices.insert(disc.indices.end(), { 0u, static_cast<uint32_t>(1 + i), static_cast<uint32_t>(1 + (i + 1) % sides) });
	}
	return disc;
}

// The tree flattened onto the ground, just above the disc: the shadow of a light overhead.
Mesh shadow(const Mesh &tree, float lift) {
	Mesh flat;
	flat.indices = tree.indices;
	flat.uvs = tree.uvs;
	for (const Vec3 &p : tree.positions) {
		flat.positions.emplace_back(p.x, lift, p.z);
	}
	return flat;
}

} // namespace

std::string write_png(const Mesh &bark, const Mesh &twigs, const Textures &textures, int width, int height) {
	int half = width / 2;
	// Front: looking along -z from slightly above. Three-quarter: turned by 45 degrees and
	// seen from higher up.
	std::vector<View> views = { { 0.0f, PI / 24.0f, 0, half }, { PI / 4.0f, PI / 9.0f, half, width - half } };
	Mesh ground = ground_disc(bark, twigs);
	float lift = 0.002f * ground.positions[1].x;
	Mesh bark_shadow = shadow(bark, lift), twig_shadow = shadow(twigs, lift);
	// The leaves, and their shadows, are cut out of the cards as a glTF viewer cuts them.
	Image image = render({ { &ground, GROUND_COLOUR }, { &bark_shadow, SHADOW_COLOUR },
								 { &twig_shadow, SHADOW_COLOUR, &textures.leaf, false, false },
								 { &bark, WHITE, &textures.bark, true, true }, { &twigs, WHITE, &textures.leaf, true, false } },
			views, width, height);
	std::string png;
	stbi_write_png_to_func(append_bytes, &png, image.width, image.height, 3, image.rgb.data(), image.width * 3);
	return png;
}

} // namespace wendrel
