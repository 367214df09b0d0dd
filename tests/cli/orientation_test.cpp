// Orientation in every format: the tree stands on the origin along +y, and every face winds
// counter-clockwise seen from the side its normal points to, with bark normals outward.
#include "cli_test_support.h"

#include "export.h"
#include "mesh_checks.h"
#include "model/presets.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>

namespace wendrel::test {
namespace {

// Hand-made: one triangle, counter-clockwise seen from +z, with the model's normal on +z.
TEST(ExportMesh, KeepsWindingAndNormalisesNormals) {
	const Vec3 vertices[] = { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 } };
	const Vec3 normals[] = { { 0, 0, 0.5f }, { 0, 0, 2.0f }, { 0, 0, 0.001f } };
	const Vec2 uvs[] = { { 0, 0 }, { 1, 0 }, { 0, 1 } };
	const Face faces[] = { { { 0, 1, 2 } } };
	Mesh mesh = export_mesh(Surface{ 3, vertices, normals, uvs, 1, faces });
	EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{ 0, 1, 2 }));
	for (const Vec3 &n : mesh.normals) {
		EXPECT_EQ(n.z, 1.0f);
	}
}

// Trap: a zero normal (twig_scale 0, or opposite faces meeting) is invalid in glTF.
TEST(ExportMesh, ReplacesZeroNormals) {
	const Vec3 vertices[] = { { 0, 0, 0 }, { 0, 0, 1 }, { 1, 0, 0 }, { 5, 5, 5 } };
	const Vec3 normals[] = { { 0, 0, 0 }, { 0, 1, 0 }, { 0, 1, 0 }, { 0, 0, 0 } };
	const Vec2 uvs[4] = {};
	const Face faces[] = { { { 0, 1, 2 } }, { { 3, 3, 3 } } };
	Mesh mesh = export_mesh(Surface{ 4, vertices, normals, uvs, 2, faces });
	EXPECT_EQ(mesh.normals[0].y, 1.0f); // from its face, counter-clockwise seen from +y
	EXPECT_EQ(mesh.normals[3].y, 1.0f); // a degenerate face gives no direction: +y
}

struct Exported {
	Mesh bark, twigs;
};

Exported export_tree(const TreeProperties &properties) {
	TreeModel model;
	generate_with(model, properties);
	return Exported{ export_mesh(bark_surface(model)), export_mesh(twig_surface(model)) };
}

// Measured on every preset: a bark whose winding or normals were flipped encloses a negative
// volume, or faces away from its normals.
TEST(Orientation, BarkFacesOutwardAndCardsFaceTheirNormals) {
	for (const Preset &preset : presets()) {
		Exported tree = export_tree(preset.properties);
		EXPECT_GT(signed_volume(tree.bark.positions, tree.bark.indices), 0.0) << preset.name;
		EXPECT_GT(share_facing_their_normals(tree.bark), 0.9) << preset.name; // flipped: below 0.1
		EXPECT_EQ(share_facing_their_normals(tree.twigs), 1.0) << preset.name;
	}
}

// The foot ring sits on y = 0 around the origin, the first fork straight above it.
TEST(Orientation, TreeStandsOnTheOriginAlongPlusY) {
	for (const Preset &preset : presets()) {
		Exported tree = export_tree(preset.properties);
		float lowest = tree.bark.positions[0].y;
		for (const Vec3 &p : tree.bark.positions) {
			lowest = std::min(lowest, p.y);
		}
		EXPECT_EQ(lowest, 0.0f) << preset.name;
		for (int i = 0; i < preset.properties.segments; ++i) {
			const Vec3 &foot = tree.bark.positions[i];
			EXPECT_EQ(foot.y, 0.0f) << preset.name;
			EXPECT_LE(std::abs(foot.x) + std::abs(foot.z), 2.0f * preset.properties.max_radius / preset.properties.radius_falloff_rate) << preset.name;
		}
	}
}

struct Pixel {
	bool bark, twig;
};

// Colour classes of the preview: brown bark is redder than it is green, twigs are greener.
Pixel classify(const unsigned char *rgb) {
	bool background = rgb[2] > rgb[1] && rgb[1] > rgb[0] && rgb[2] > 150;
	return Pixel{ !background && rgb[0] > rgb[1] && rgb[0] > rgb[2], !background && rgb[1] > rgb[0] + 20 && rgb[1] > rgb[2] };
}

// Both views show bark and twigs, with the trunk at the bottom: an upside-down or sideways
// tree puts its lowest bark elsewhere.
TEST(Preview, ShowsBothViewsUpright) {
	Exported tree = export_tree(TreeProperties());
	std::string png = write_png(tree.bark, tree.twigs, make_textures(64, false), 320, 200);
	int width = 0, height = 0, channels = 0;
	unsigned char *pixels = stbi_load_from_memory(reinterpret_cast<const unsigned char *>(png.data()), static_cast<int>(png.size()), &width, &height, &channels, 3);
	ASSERT_NE(pixels, nullptr);
	EXPECT_EQ(width, 320);
	EXPECT_EQ(height, 200);
	for (int view = 0; view < 2; ++view) {
		int bark = 0, twig = 0, lowest_bark_row = -1, lowest_twig_row = -1, lowest_bark_column = -1;
		for (int y = 0; y < height; ++y) {
			for (int x = view * width / 2; x < (view + 1) * width / 2; ++x) {
				Pixel p = classify(pixels + 3 * (y * width + x));
				bark += p.bark;
				twig += p.twig;
				lowest_bark_row = p.bark ? y : lowest_bark_row;
				lowest_bark_column = p.bark ? x : lowest_bark_column;
				lowest_twig_row = p.twig ? y : lowest_twig_row;
			}
		}
		EXPECT_GT(bark, 100) << view;
		EXPECT_GT(twig, 2000) << view;
		EXPECT_GT(lowest_bark_row, height * 8 / 10) << view;
		EXPECT_GT(lowest_bark_row, lowest_twig_row + height / 10) << view;
		EXPECT_NEAR(lowest_bark_column - view * width / 2, width / 4, width / 10) << view;
	}
	stbi_image_free(pixels);
}

} // namespace
} // namespace wendrel::test
