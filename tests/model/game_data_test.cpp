// Wind records and collision segments: they leave the mesh alone, hold their documented
// ranges on many trees, follow the seam's twins, and outline the skeleton.
#include "mesh_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <tuple>

using namespace wendrel;
using wendrel::test::digest;
using wendrel::test::random_properties;

namespace {

void generate_with(TreeModel &m, const TreeProperties &p, bool extras) {
	m.set_properties(p);
	m.with_wind = extras;
	m.with_collision = extras;
	m.generate();
}

bool same_record(const WindRecord &a, const WindRecord &b) {
	return std::memcmp(&a, &b, sizeof(WindRecord)) == 0;
}

// The mesh a model gives is the same with and without the extras, and a generation that
// does not ask for them drops the previous ones.
TEST(GameData, LeavesTheMeshAloneAndIsOptIn) {
	std::mt19937 rng(13);
	TreeModel plain;
	TreeModel extras;
	for (int i = 0; i < 20; i++) {
		TreeProperties p = random_properties(rng);
		generate_with(plain, p, false);
		generate_with(extras, p, true);
		ASSERT_EQ(digest(plain), digest(extras)) << "set " << i;
		EXPECT_TRUE(plain.wind.empty() && plain.twig_wind.empty() && plain.collision_segments.empty());
	}
	generate_with(extras, TreeProperties(), false);
	EXPECT_TRUE(extras.wind.empty() && extras.twig_wind.empty() && extras.collision_segments.empty());
}

void expect_wind_ranges(const TreeModel &m) {
	ASSERT_EQ(m.wind.size(), size_t(m.vertex_count));
	ASSERT_EQ(m.twig_wind.size(), size_t(m.twig_vertex_count));
	float farthest = 0.0f;
	int32_t deepest = 0;
	for (const WindRecord &w : m.wind) {
		ASSERT_TRUE(w.chain >= 0.0f && w.chain <= 1.0f) << w.chain;
		ASSERT_TRUE(w.phase >= 0.0f && w.phase < 1.0f) << w.phase;
		ASSERT_EQ(w.flutter, 0.0f);
		ASSERT_GE(w.level, 0);
		farthest = std::max(farthest, w.chain);
		deepest = std::max(deepest, w.level);
	}
	EXPECT_EQ(farthest, 1.0f);
	for (int32_t i = 0; i < m.twig_vertex_count; i++) {
		const WindRecord &w = m.twig_wind[size_t(i)];
		ASSERT_TRUE(w.chain >= 0.0f && w.chain <= 1.0f) << w.chain;
		// The outer end of a card is where its texture's v is least: the top of its leaf.
		const Vec2 *card = m.twig_uvs + (i - i % 4);
		float top = std::min(std::min(card[0].v, card[1].v), std::min(card[2].v, card[3].v));
		ASSERT_EQ(w.flutter, m.twig_uvs[i].v == top ? 1.0f : 0.0f) << i;
		ASSERT_EQ(w.level, deepest);
	}
}

TEST(GameData, WindHoldsItsRangesOnManyTrees) {
	TreeModel m;
	generate_with(m, TreeProperties(), true);
	expect_wind_ranges(m);
	// The foot ring and the trunk stand still; the default tree's tips are 6 forks out.
	EXPECT_EQ(m.wind[0].chain, 0.0f);
	EXPECT_EQ(m.wind[0].level, 0);
	EXPECT_EQ(m.twig_wind[0].level, 6);
	std::set<float> phases;
	for (const WindRecord &w : m.twig_wind)
		phases.insert(w.phase);
	EXPECT_EQ(phases.size(), size_t(224)); // one per leaf
	std::mt19937 rng(8);
	for (int i = 0; i < 40; i++) {
		TreeProperties p = random_properties(rng);
		generate_with(m, p, true);
		SCOPED_TRACE(i);
		expect_wind_ranges(m);
	}
}

// A seam twin is the same point of the bark as the vertex it copies, so it must sway with it:
// a different record would tear the bark open along the seam.
TEST(GameData, SeamTwinsSwayWithTheirSources) {
	TreeModel m;
	generate_with(m, TreeProperties(), true);
	using Key = std::tuple<float, float, float, float>;
	std::map<Key, int32_t> on_seam;
	for (int32_t i = 0; i < m.vertex_count; i++) {
		if (m.uvs[i].u == 0.0f)
			on_seam[Key(m.vertices[i].x, m.vertices[i].y, m.vertices[i].z, m.uvs[i].v)] = i;
	}
	int twins = 0;
	for (int32_t i = 0; i < m.vertex_count; i++) {
		if (m.uvs[i].u != 1.0f)
			continue;
		twins++;
		auto source = on_seam.find(Key(m.vertices[i].x, m.vertices[i].y, m.vertices[i].z, m.uvs[i].v));
		ASSERT_NE(source, on_seam.end()) << i;
		EXPECT_TRUE(same_record(m.wind[size_t(i)], m.wind[size_t(source->second)])) << i;
	}
	EXPECT_EQ(twins, 169);
}

TEST(GameData, PhasesFollowTheSeedOnly) {
	TreeModel a;
	TreeModel b;
	generate_with(a, TreeProperties(), true);
	generate_with(b, TreeProperties(), true);
	ASSERT_EQ(std::memcmp(a.wind.data(), b.wind.data(), a.wind.size() * sizeof(WindRecord)), 0);
	TreeProperties other;
	other.seed = 263;
	generate_with(b, other, true);
	EXPECT_NE(a.twig_wind[0].phase, b.twig_wind[0].phase);
}

// Threads split the tree into subtrees, and the seam split's twins come per subtree: the
// records must not depend on it, nor the seeded twig cards, which each subtree places alone.
TEST(GameData, ThreadsGiveTheSameRecords) {
	TreeProperties p;
	p.branches_count = 9;
	p.twig_cards_per_tip = 3;
	p.twig_crossed = 1;
	p.twig_aspect = 2.5f;
	p.twig_leaf_variants = 4;
	TreeModel one;
	TreeModel two;
	two.thread_count = 2;
	generate_with(one, p, true);
	generate_with(two, p, true);
	ASSERT_EQ(digest(one), digest(two));
	ASSERT_EQ(one.wind.size(), two.wind.size());
	EXPECT_EQ(std::memcmp(one.wind.data(), two.wind.data(), one.wind.size() * sizeof(WindRecord)), 0);
	EXPECT_EQ(std::memcmp(one.twig_wind.data(), two.twig_wind.data(), one.twig_wind.size() * sizeof(WindRecord)), 0);
	EXPECT_EQ(std::memcmp(one.collision_segments.data(), two.collision_segments.data(),
					  one.collision_segments.size() * sizeof(CollisionSegment)),
			0);
}

TEST(GameData, SegmentsOutlineTheSkeleton) {
	TreeModel m;
	generate_with(m, TreeProperties(), true);
	ASSERT_EQ(m.collision_segments.size(), size_t(447));
	const CollisionSegment &root = m.collision_segments[0];
	EXPECT_EQ(root.start.y, 0.0f);
	EXPECT_EQ(root.end.y, m.trunk_length);
	EXPECT_EQ(root.radius, m.max_radius);
	int trunk = 0;
	std::set<std::tuple<float, float, float>> ends{ { 0.0f, 0.0f, 0.0f } };
	for (const CollisionSegment &s : m.collision_segments) {
		// Depth first: every segment starts where an earlier one ends, and is thinner.
		EXPECT_EQ(ends.count({ s.start.x, s.start.y, s.start.z }), 1u);
		ends.insert({ s.end.x, s.end.y, s.end.z });
		EXPECT_TRUE(s.radius > 0.0f && s.radius <= m.max_radius) << s.radius;
		trunk += s.level == 0;
	}
	EXPECT_EQ(trunk, m.trunk_height + 1);
}

// The capsules that the node and the tool both make, on many random trees: finite, with unit
// axes and room for both caps, and a higher minimum radius only ever leaves some out.
TEST(GameData, CapsulesStayFiniteOnManyTrees) {
	TreeModel m;
	std::mt19937 rng(9);
	for (int i = 0; i < 40; i++) {
		generate_with(m, random_properties(rng), true);
		SCOPED_TRACE(i);
		const std::vector<CollisionCapsule> all = collision_capsules(m.collision_segments, 0.0f);
		const std::vector<CollisionCapsule> thick = collision_capsules(m.collision_segments, COLLISION_MIN_RADIUS);
		ASSERT_LE(thick.size(), all.size());
		for (const CollisionCapsule &c : all) {
			const float values[] = { c.centre.x, c.centre.y, c.centre.z, c.axis.x, c.axis.y, c.axis.z, c.radius, c.height };
			ASSERT_TRUE(std::all_of(std::begin(values), std::end(values), [](float v) { return std::isfinite(v); }));
			ASSERT_NEAR(length(c.axis), 1.0f, 1e-5f);
			ASSERT_GE(c.height, 2.0f * c.radius);
		}
	}
}

} // namespace
