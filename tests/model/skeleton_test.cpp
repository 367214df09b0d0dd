// Skeleton growth: shape, golden heads and lengths, and the parameters' extremes.
#include "model/steps.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace wendrel;

namespace {

struct Census {
	int branches = 0;
	int leaves = 0;
	int trunk = 0;
};

Census count_branches(Branch *root) {
	Census c;
	visit_preorder(root, [&](Branch *b) {
		c.branches++;
		c.leaves += b->is_leaf();
		c.trunk += b->is_trunk != 0;
		// Children come in pairs.
		EXPECT_EQ(b->child0 == nullptr, b->child1 == nullptr);
	});
	return c;
}

// Grows the skeleton of `model` and frees it again when the test ends.
struct Skeleton {
	TreeModel &model;
	explicit Skeleton(TreeModel &m) :
			model(m) { TreeModelSteps::grow_skeleton(m); }
	~Skeleton() { model.reset(); }
	Branch *root() const { return model.root; }
};

void expect_head(const Branch *b, float x, float y, float z) {
	EXPECT_NEAR(b->head.x, x, 1e-4f);
	EXPECT_NEAR(b->head.y, y, 1e-4f);
	EXPECT_NEAR(b->head.z, z, 1e-4f);
}

TEST(Skeleton, DefaultTreeHas447Branches) {
	TreeModel m;
	Skeleton s(m);
	Census c = count_branches(s.root());
	EXPECT_EQ(c.branches, 447);
	EXPECT_EQ(c.leaves, 224);
	EXPECT_EQ(c.branches - c.leaves, 223); // one draw per split branch
	EXPECT_EQ(c.trunk, 6);				   // the root and its five trunk steps
}

TEST(Skeleton, RootChildrenGolden) {
	TreeModel m;
	Skeleton s(m);
	Branch *trunk = s.root()->child0;
	Branch *side = s.root()->child1;
	// Trunk step: the root head plus (k, climb_rate, k), k = (r - 0.5)·2·kink.
	expect_head(trunk, -0.0376f, 2.7710f, -0.0376f);
	EXPECT_EQ(trunk->is_trunk, 1);
	EXPECT_NEAR(trunk->length, 0.4640f, 1e-4f);
	EXPECT_EQ(trunk->length, 0.49f * 0.947f);
	// Side branch along the twist direction, shortened by the length falloff.
	expect_head(side, 0.0540f, 2.6339f, 0.4272f);
	EXPECT_EQ(side->is_trunk, 0);
	EXPECT_NEAR(side->length, 0.4195f, 1e-4f);
}

// The root's side branch splits after the whole trunk, at level 4: clump blend, mirroring
// and the three pushes all show in its children.
TEST(Skeleton, SideBranchChildrenGolden) {
	TreeModel m;
	Skeleton s(m);
	Branch *side = s.root()->child1;
	expect_head(side->child0, -0.0917f, 2.9671f, 0.6362f);
	expect_head(side->child1, 0.0960f, 2.8605f, 0.7777f);
	EXPECT_NEAR(side->child0->length, 0.3597f, 1e-4f);
	EXPECT_EQ(side->child0->length, side->child1->length);
}

TEST(Skeleton, ClosedFormMatchesTheGrownTree) {
	const int heights[] = { 0, 1, 3, 7 };
	for (int levels = 0; levels <= 5; levels++) {
		for (int height : heights) {
			TreeModel m;
			m.branches_count = levels;
			m.trunk_height = height;
			Skeleton s(m);
			Census c = count_branches(s.root());
			TreeSize size = measure_tree(m);
			EXPECT_EQ(c.branches, size.branches) << levels << " levels, " << height << " steps";
			EXPECT_EQ(c.leaves, size.leaves) << levels << " levels, " << height << " steps";
		}
	}
}

TEST(Skeleton, NoLevelsStillForksTheRoot) {
	TreeModel m;
	m.branches_count = 0;
	Skeleton s(m);
	Census c = count_branches(s.root());
	EXPECT_EQ(c.branches, 3);
	EXPECT_EQ(c.trunk, 1);
	EXPECT_TRUE(std::isfinite(s.root()->child0->head.x + s.root()->child0->head.y + s.root()->child0->head.z));
}

TEST(Skeleton, NoTrunkStepsOnlyTheRootIsTrunk) {
	TreeModel m;
	m.trunk_height = 0;
	Skeleton s(m);
	EXPECT_EQ(count_branches(s.root()).trunk, 1);
}

TEST(Skeleton, NegativeHeightAndLevelActLikeZero) {
	TreeModel zero, negative;
	zero.trunk_height = 0;
	negative.trunk_height = -4;
	Skeleton a(zero), b(negative);
	EXPECT_EQ(count_branches(a.root()).branches, count_branches(b.root()).branches);
	TreeModel below;
	below.branches_count = -3;
	Skeleton c(below);
	EXPECT_EQ(count_branches(c.root()).branches, 3);
}

// Seed -6 makes the root's draw argument 0: it takes the counter path.
TEST(Skeleton, SeedMinusSixDrawsTheCounter) {
	TreeModel m;
	m.seed = -6;
	m.branches_count = 0;
	Skeleton s(m);
	EXPECT_EQ(m.random_state, -5);
}

// A hundred thousand trunk steps must not exhaust the stack in any walk.
TEST(Skeleton, DeepTrunkGrowsAndFreesWithoutRecursion) {
	TreeModel m;
	m.branches_count = 1;
	m.trunk_height = 100000;
	m.generate();
	EXPECT_EQ(m.twig_face_count, 4 * measure_tree(m).leaves);
	EXPECT_EQ(m.root, nullptr);
}

} // namespace
