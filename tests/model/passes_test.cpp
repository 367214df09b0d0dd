// The output passes on hand-checkable cases and the default tree's golden values.
#include "model/steps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

using namespace wendrel;

namespace {

// Runs generate()'s steps up to the rings pass and keeps the skeleton for inspection.
struct RingedSkeleton {
	TreeModel &m;
	explicit RingedSkeleton(TreeModel &model) :
			m(model) {
		m.reset();
		TreeModelSteps::grow_skeleton(m);
		TreeModelSteps::count_vertices(m, nullptr);
		TreeModelSteps::allocate_buffers(m);
		TreeModelSteps::build_rings(m, nullptr, 0.0f);
	}
	~RingedSkeleton() { m.reset(); }
};

float distance(Vec3 a, Vec3 b) {
	return length(a - b);
}

// --- rings ---

TEST(Rings, FootRingStartGolden) {
	TreeModel m;
	RingedSkeleton r(m);
	// Radius max_radius / radius_falloff_rate = 0.139 / 0.73, in the plane y = 0.
	EXPECT_NEAR(m.vertices[0].x, -0.19041f, 1e-5f);
	EXPECT_NEAR(m.vertices[1].x, -0.09521f, 1e-5f);
	EXPECT_NEAR(m.vertices[1].z, -0.16490f, 1e-5f);
	EXPECT_NEAR(m.vertices[2].x, 0.09521f, 1e-5f);
	EXPECT_NEAR(m.vertices[2].z, -0.16490f, 1e-5f);
	for (int j = 0; j < 6; j++)
		EXPECT_EQ(m.vertices[j].y, 0.0f);
	EXPECT_EQ(m.vertex_count, 2014); // 6 + 223·8 + 224
}

TEST(Rings, RadiiHandedDown) {
	TreeModel m;
	RingedSkeleton r(m);
	EXPECT_EQ(m.root->radius, 0.139f);					 // 0 means the maximum radius
	EXPECT_NEAR(m.root->child0->radius, 0.1316f, 1e-4f); // trunk: × taper
	EXPECT_NEAR(m.root->child1->radius, 0.1015f, 1e-4f); // side: × falloff
	// The root's fork ring has radius r / taper around its centre: the pivots lie 2ρ apart.
	float rho = 0.139f / 0.947f;
	EXPECT_NEAR(distance(m.vertices[m.root->ring0[0]], m.vertices[m.root->ring0[3]]), 2 * rho, 1e-5f);
}

// With two segments there are no sweeps: ring0 = P0 P1, ring1 = P1 P0, ring2 = P0 P1.
TEST(Rings, TwoSegmentsGiveTwoPivotsPerFork) {
	TreeModel m;
	m.segments = 2;
	RingedSkeleton r(m);
	const Branch *root = m.root;
	EXPECT_EQ(root->ring0[0], 2);
	EXPECT_EQ(root->ring0[1], 3);
	EXPECT_EQ(root->ring1[0], 3);
	EXPECT_EQ(root->ring1[1], 2);
	EXPECT_EQ(root->ring2[0], 2);
	EXPECT_EQ(root->ring2[1], 3);
	EXPECT_EQ(m.vertex_count, 2 + 223 * 2 + 224);
}

TEST(Rings, FourSegmentsShareVerticesAsDesigned) {
	TreeModel m;
	m.segments = 4;
	RingedSkeleton r(m);
	const Branch *b = m.root;
	int p0 = 4, s1 = 5, p1 = 6, f3 = 7, k1 = 8; // P0, S1, P1, F3, K1 after the foot ring
	EXPECT_EQ(std::vector<int>(b->ring0, b->ring0 + 4), std::vector<int>({ p0, s1, p1, f3 }));
	EXPECT_EQ(std::vector<int>(b->ring1, b->ring1 + 4), std::vector<int>({ p1, f3, p0, k1 }));
	EXPECT_EQ(std::vector<int>(b->ring2, b->ring2 + 4), std::vector<int>({ p0, s1, p1, k1 }));
}

// A branch shorter than its radius is clamped to its length; its field keeps the unclamped value.
TEST(Rings, ShortBranchClampsTheRadius) {
	TreeModel m;
	m.branch_length = 0.05f;
	m.trunk_height = 0;
	RingedSkeleton r(m);
	EXPECT_EQ(m.root->radius, 0.139f);
	EXPECT_EQ(m.root->child1->radius, 0.05f * 0.73f);
}

// --- twigs ---

TEST(Twigs, OneSquareCardPerLeaf) {
	TreeModel m;
	m.generate();
	ASSERT_EQ(m.twig_vertex_count, 8 * 224);
	ASSERT_EQ(m.twig_face_count, 4 * 224);
	for (int32_t c = 0; c < 224; c++) {
		const Vec3 *v = m.twig_vertices + 8 * c;
		EXPECT_NEAR(distance(v[0], v[1]), 0.78f, 1e-5f);
		EXPECT_NEAR(distance(v[1], v[2]), 0.78f, 1e-5f);
		EXPECT_NEAR(dot(v[0] - v[1], v[1] - v[2]), 0.0f, 1e-5f);
		const Vec3 *n = m.twig_normals + 8 * c;
		EXPECT_EQ(n[4].x, -n[0].x); // the back faces the other way
		EXPECT_NEAR(length(n[0]), 1.0f, 1e-6f);
	}
}

TEST(Twigs, FacesWindTowardsTheirNormals) {
	TreeModel m;
	m.generate();
	for (int32_t i = 0; i < m.twig_face_count; i++) {
		const int32_t *c = m.twig_faces[i].index;
		Vec3 n = cross(m.twig_vertices[c[1]] - m.twig_vertices[c[0]], m.twig_vertices[c[2]] - m.twig_vertices[c[0]]);
		EXPECT_GT(dot(n, m.twig_normals[c[0]]), 0.0f) << "twig face " << i;
	}
}

TEST(Twigs, ZeroScaleCollapsesCardsWithZeroNormals) {
	TreeModel m;
	m.twig_scale = 0.0f;
	m.generate();
	EXPECT_EQ(m.twig_normals[0].x, 0.0f);
	EXPECT_EQ(m.twig_normals[0].y, 0.0f);
	EXPECT_EQ(m.twig_normals[0].z, 0.0f);
	EXPECT_EQ(distance(m.twig_vertices[0], m.twig_vertices[2]), 0.0f);
}

// A tip's further cards take their turns, leans and sizes from a hash, never from the
// skeleton's running counter: the bark, the counter and every tip's first card stay as the
// one-card tree has them.
TEST(Twigs, FurtherCardsLeaveTheFirstCardAndTheBarkAlone) {
	TreeModel one, many;
	many.twig_cards_per_tip = 3;
	many.twig_crossed = 1;
	one.generate();
	many.generate();
	ASSERT_EQ(many.twig_vertex_count, 6 * one.twig_vertex_count);
	ASSERT_EQ(many.twig_face_count, 6 * one.twig_face_count);
	ASSERT_EQ(many.vertex_count, one.vertex_count);
	EXPECT_EQ(std::memcmp(many.vertices, one.vertices, sizeof(Vec3) * size_t(one.vertex_count)), 0);
	EXPECT_EQ(many.random_state, one.random_state);
	for (int32_t leaf = 0; leaf < 224; leaf++) {
		EXPECT_EQ(std::memcmp(many.twig_vertices + 48 * leaf, one.twig_vertices + 8 * leaf, 8 * sizeof(Vec3)), 0) << leaf;
		EXPECT_EQ(std::memcmp(many.twig_uvs + 48 * leaf, one.twig_uvs + 8 * leaf, 8 * sizeof(Vec2)), 0) << leaf;
	}
	// The further cards differ from the first and from each other.
	EXPECT_GT(distance(many.twig_vertices[0], many.twig_vertices[16]), 0.01f);
	EXPECT_GT(distance(many.twig_vertices[16], many.twig_vertices[32]), 0.01f);
}

// A crossed card stands at right angles to its partner about the same direction; an aspect
// of 3 makes a card three times as long as it is wide.
TEST(Twigs, CrossingAndAspectShapeTheCards) {
	TreeModel m;
	m.twig_crossed = 1;
	m.twig_aspect = 3.0f;
	m.generate();
	ASSERT_EQ(m.twig_vertex_count, 16 * 224);
	for (int32_t leaf = 0; leaf < 224; leaf++) {
		const Vec3 *a = m.twig_vertices + 16 * leaf;
		const Vec3 *b = a + 8;
		EXPECT_NEAR(dot(m.twig_normals[16 * leaf], m.twig_normals[16 * leaf + 8]), 0.0f, 1e-5f) << leaf;
		EXPECT_NEAR(distance(a[1], a[2]), 3.0f * distance(a[0], a[1]), 1e-4f) << leaf;
		EXPECT_NEAR(distance(b[0], b[1]), distance(a[0], a[1]), 1e-5f) << leaf;
		EXPECT_NEAR(distance(b[0] + b[1], a[0] + a[1]), 0.0f, 1e-5f) << leaf; // the same centre line
	}
}

// Each card shows one leaf of the 2x2 atlas, all four corners inside one cell, and a tree
// uses exactly the first `twig_leaf_variants` cells.
TEST(Twigs, CardsPickCellsOfTheAtlas) {
	for (int32_t variants : { 2, 3, 4 }) {
		TreeModel m;
		m.twig_cards_per_tip = 2;
		m.twig_leaf_variants = variants;
		m.generate();
		std::set<int> cells;
		for (int32_t card = 0; card < m.twig_vertex_count / 8; card++) {
			const Vec2 *uv = m.twig_uvs + 8 * card;
			int column = int(uv[0].u * 2.0f), row = int(uv[0].v * 2.0f);
			cells.insert(column + 2 * row);
			EXPECT_EQ(uv[2].u - uv[0].u, 0.5f);
			EXPECT_EQ(uv[2].v - uv[0].v, 0.5f);
			EXPECT_EQ(std::memcmp(uv, uv + 4, 4 * sizeof(Vec2)), 0); // both sides alike
		}
		EXPECT_EQ(int32_t(cells.size()), variants);
		EXPECT_LT(*cells.rbegin(), variants);
	}
}

// --- faces ---

TEST(Faces, FirstTrianglesAndFootRingUvsGolden) {
	TreeModel m;
	m.generate();
	// The foot ring is turned by k0 = 3 positions to line up with the fork ring.
	int expected[3][3] = { { 6, 7, 3 }, { 7, 4, 3 }, { 7, 8, 4 } };
	for (int i = 0; i < 3; i++) {
		for (int c = 0; c < 3; c++)
			EXPECT_EQ(m.faces[i].index[c], expected[i][c]) << "triangle " << i;
	}
	EXPECT_EQ(m.uvs[3].u, 0.0f);
	EXPECT_NEAR(m.uvs[0].u, 0.5f, 1e-6f);
	EXPECT_NEAR(m.uvs[1].u, 0.6667f, 1e-4f);
	EXPECT_NEAR(m.uvs[2].u, 0.8333f, 1e-4f);
	EXPECT_EQ(m.uvs[0].v, 0.0f);
}

TEST(Faces, CountsPerSegmentCountGolden) {
	struct Row {
		int segments, counted, after, faces;
	};
	const Row rows[] = { { 2, 672, 672, 1340 }, { 4, 1343, 1565, 2680 }, { 6, 2014, 2183, 4020 },
		{ 8, 2685, 3080, 5360 }, { 10, 3356, 3467, 6700 } };
	for (const Row &row : rows) {
		TreeModel m;
		m.segments = row.segments;
		m.generate();
		EXPECT_EQ(measure_tree(m).vertex_count, row.counted) << row.segments;
		EXPECT_EQ(m.vertex_count, row.after) << row.segments; // counted + seam twins
		EXPECT_EQ(m.face_count, row.faces) << row.segments;
		EXPECT_EQ(m.twig_vertex_count, 1792);
		EXPECT_EQ(m.twig_face_count, 896);
	}
}

// One level and no trunk: a root fork with two fork children whose children are leaves.
TEST(Faces, OneLevelTreeHandCount) {
	for (int s = 2; s <= 10; s += 2) {
		TreeModel m;
		m.branches_count = 1;
		m.trunk_height = 0;
		m.segments = s;
		m.generate();
		EXPECT_EQ(m.face_count, 10 * s);
		EXPECT_EQ(measure_tree(m).vertex_count, s + 3 * (3 * (s / 2) - 1) + 4);
	}
}

// u is 0 at one position of every ring, and first-child tips sit at -1/n.
TEST(Faces, TipUvsSitOffTheSeam) {
	TreeModel m;
	m.generate();
	std::set<float> tip_us;
	for (int32_t i = 0; i < m.vertex_count; i++) {
		if (m.uvs[i].u < 0.0f)
			tip_us.insert(m.uvs[i].u);
	}
	ASSERT_EQ(tip_us.size(), 1u);
	EXPECT_NEAR(*tip_us.begin(), -1.0f / 6.0f, 1e-6f);
}

// --- normals ---

TEST(Normals, MeanOfUnitFaceNormalsGolden) {
	TreeModel m;
	m.generate();
	float shortest = 2.0f, longest = 0.0f;
	for (int32_t i = 0; i < m.vertex_count; i++) {
		float l = length(m.normals[i]);
		shortest = std::min(shortest, l);
		longest = std::max(longest, l);
	}
	EXPECT_NEAR(shortest, 0.0011f, 0.0001f);
	EXPECT_NEAR(longest, 0.91f, 0.005f);
}

// Every bark vertex belongs to a triangle, so every normal is a true mean. The seam split
// may later move all of a seam vertex's triangles to its twin.
TEST(Normals, EveryBarkVertexIsUsed) {
	TreeModel m;
	RingedSkeleton r(m);
	TreeModelSteps::build_twigs(m, nullptr);
	TreeModelSteps::count_faces(m, nullptr);
	TreeModelSteps::allocate_faces(m);
	TreeModelSteps::build_faces(m, nullptr);
	std::vector<int> uses(size_t(m.vertex_count), 0);
	for (int32_t i = 0; i < m.face_count; i++) {
		for (int32_t v : m.faces[i].index)
			uses[size_t(v)]++;
	}
	for (int32_t i = 0; i < m.vertex_count; i++)
		EXPECT_GT(uses[size_t(i)], 0) << "vertex " << i;
}

// A hand-made model: one triangle, and two opposite triangles sharing an edge.
TEST(Normals, SingleAndOpposedTriangles) {
	TreeModel m;
	m.vertex_count = 4;
	m.face_count = 2;
	m.vertices = new Vec3[4]{ Vec3(0, 0, 0), Vec3(1, 0, 0), Vec3(0, 1, 0), Vec3(0, 0, 0) };
	m.normals = new Vec3[4];
	m.faces = new Face[2]{ { { 0, 1, 2 } }, { { 3, 2, 1 } } };
	m.vertices[3] = Vec3(1, 1, 0);
	TreeModelSteps::compute_normals(m);
	// Vertex 0 has only the first triangle: its unit normal, counter-clockwise side.
	EXPECT_EQ(m.normals[0].z, 1.0f);
	// Vertices 1 and 2 share both triangles, whose normals are (0,0,1) and (0,0,1): same plane.
	EXPECT_EQ(m.normals[1].z, 1.0f);
	m.faces[1] = Face{ { 3, 1, 2 } }; // now wound the other way
	TreeModelSteps::compute_normals(m);
	EXPECT_EQ(m.normals[1].z, 0.0f);
	EXPECT_EQ(m.normals[0].z, 1.0f);
}

// --- seam split ---

TEST(Seam, TwoSegmentsMakeNoTwins) {
	TreeModel m;
	m.segments = 2;
	m.generate();
	EXPECT_EQ(m.vertex_count, measure_tree(m).vertex_count);
}

TEST(Seam, TwinsCopyPositionNormalAndV) {
	TreeModel m;
	m.generate();
	int32_t counted = int32_t(measure_tree(m).vertex_count);
	std::vector<bool> referenced(size_t(m.vertex_count), false);
	for (int32_t i = 0; i < m.face_count; i++) {
		for (int32_t v : m.faces[i].index)
			referenced[size_t(v)] = true;
		// No triangle spans the seam any more.
		const int32_t *c = m.faces[i].index;
		for (int a = 0; a < 3; a++) {
			float ua = m.uvs[c[a]].u, ub = m.uvs[c[(a + 1) % 3]].u;
			EXPECT_FALSE(std::fabs(ua - ub) > 0.5f && (ua == 0.0f || ub == 0.0f)) << "triangle " << i;
		}
	}
	for (int32_t t = counted; t < m.vertex_count; t++) {
		EXPECT_EQ(m.uvs[t].u, 1.0f);
		EXPECT_TRUE(referenced[size_t(t)]) << "twin " << t << " is used by no triangle";
	}
}

// Rewiring works on the working u: (0, 0.9, 0) moves both zero corners, (0, 0.9, 0.95) one.
TEST(Seam, RewiresAgainstTheTwinsU) {
	TreeModel m;
	m.vertex_count = 5;
	m.face_count = 2;
	m.vertices = new Vec3[5]();
	m.normals = new Vec3[5]();
	m.uvs = new Vec2[5]{ Vec2(0, 0.1f), Vec2(0.9f, 0), Vec2(0, 0.2f), Vec2(0.95f, 0), Vec2(0.3f, 0) };
	m.faces = new Face[2]{ { { 0, 1, 2 } }, { { 2, 1, 3 } } };
	TreeModelSteps::split_uv_seam(m);
	ASSERT_EQ(m.vertex_count, 7); // twins of 0 and 2, in the order met
	EXPECT_EQ(m.uvs[5].v, 0.1f);
	EXPECT_EQ(m.uvs[6].v, 0.2f);
	EXPECT_EQ(m.faces[0].index[0], 5);
	EXPECT_EQ(m.faces[0].index[1], 1);
	EXPECT_EQ(m.faces[0].index[2], 6);
	EXPECT_EQ(m.faces[1].index[0], 6);
}

TEST(Seam, NoTrianglesKeepEveryVertex) {
	TreeModel m;
	m.vertex_count = 2;
	m.vertices = new Vec3[2]{ Vec3(1, 2, 3), Vec3(4, 5, 6) };
	m.normals = new Vec3[2]();
	m.uvs = new Vec2[2]{ Vec2(0, 0), Vec2(0.9f, 0) };
	TreeModelSteps::split_uv_seam(m);
	EXPECT_EQ(m.vertex_count, 2);
	EXPECT_EQ(m.vertices[1].z, 6.0f);
	EXPECT_EQ(m.uvs[1].u, 0.9f);
}

// Differences above 0.5 without an exact 0 are not the seam.
TEST(Seam, LargeJumpWithoutZeroIsLeftAlone) {
	TreeModel m;
	m.vertex_count = 3;
	m.face_count = 1;
	m.vertices = new Vec3[3]();
	m.normals = new Vec3[3]();
	m.uvs = new Vec2[3]{ Vec2(0.9f, 0), Vec2(0.1f, 0), Vec2(0.2f, 0) };
	m.faces = new Face[1]{ { { 0, 1, 2 } } };
	TreeModelSteps::split_uv_seam(m);
	EXPECT_EQ(m.vertex_count, 3);
	EXPECT_EQ(m.faces[0].index[0], 0);
}

} // namespace
