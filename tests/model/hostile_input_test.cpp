// Parameters a script can set that the inspector never offers: each must give a sound tree
// or a clean refusal.
#include "mesh_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <new>
#include <set>
#include <stdexcept>

using namespace wendrel;
using wendrel::test::digest;
using wendrel::test::validate_mesh;

namespace {

TEST(SegmentCounts, OddZeroAndNegativeUseTheNextEvenCount) {
	const int32_t odd_or_small[] = { 1, 3, 5, 7, 9, 0, -1, -6, INT32_MIN };
	for (int32_t s : odd_or_small) {
		TreeModel rounded, even;
		rounded.segments = s;
		even.segments = int32_t(effective_segments(s));
		rounded.generate();
		even.generate();
		EXPECT_TRUE(validate_mesh(rounded)) << s;
		EXPECT_EQ(digest(rounded), digest(even)) << s;
		EXPECT_EQ(rounded.segments, s) << "the stored value stays as set";
	}
	EXPECT_EQ(effective_segments(3), 4);
	EXPECT_EQ(effective_segments(-5), 2);
	EXPECT_EQ(effective_segments(INT32_MAX), int64_t(INT32_MAX) + 1);
}

// Parameter sets whose forks lose their frame: children on their fork's own head (the stretch
// would divide by zero), a root at the origin, no radius at all (the texture scale is 0/0).
TEST(DegenerateForks, StayFinite) {
	struct Case {
		const char *what;
		void (*apply)(TreeModel &);
	};
	const Case cases[] = {
		{ "length falloff 0", [](TreeModel &t) { t.branch_length_falloff = 0.0f; } },
		{ "trunk length 0", [](TreeModel &t) { t.trunk_length = 0.0f; } },
		{ "trunk length 0, no trunk steps", [](TreeModel &t) {
			 t.trunk_length = 0.0f;
			 t.trunk_height = 0;
		 } },
		{ "max radius 0", [](TreeModel &t) { t.max_radius = 0.0f; } },
		{ "everything at the origin", [](TreeModel &t) {
			 t.branch_length = 0.0f;
			 t.climb_rate = 0.0f;
			 t.trunk_length = 0.0f;
		 } },
	};
	for (const Case &c : cases) {
		TreeModel m;
		c.apply(m);
		m.generate();
		EXPECT_TRUE(validate_mesh(m)) << c.what;
	}
}

// With no branching levels the grow push reads as full at the root (not 0/0).
TEST(DegenerateForks, NoLevelsGrowsAtFullPush) {
	TreeModel none, pushed;
	none.branches_count = 0;
	none.generate();
	EXPECT_TRUE(validate_mesh(none));
	EXPECT_EQ(none.twig_face_count, 8);
	pushed.branches_count = 0;
	pushed.grow_amount = 3.0f;
	pushed.generate();
	// The first leaf's tip (after the foot ring and the root's fork) rises with the push.
	int32_t tip = 6 + 8;
	EXPECT_GT(pushed.vertices[tip].y, none.vertices[tip].y + 0.05f);
}

TEST(Seeds, ExtremeSeedsAreSound) {
	const int32_t seeds[] = { INT32_MAX, INT32_MIN, -6, 0, 100000 };
	for (int32_t seed : seeds) {
		TreeModel m;
		m.seed = seed;
		m.generate();
		EXPECT_TRUE(validate_mesh(m)) << seed;
	}
}

// A tree whose arrays would pass 2^31 - 1 bytes is refused before anything is touched.
TEST(SizeGuard, OversizedTreesThrowAndKeepThePreviousResult) {
	TreeModel m;
	m.generate();
	uint64_t before = digest(m);
	const Vec3 *vertices = m.vertices;

	struct Change {
		const char *what;
		void (*apply)(TreeModel &);
	};
	const Change changes[] = {
		{ "40 levels", [](TreeModel &t) { t.branches_count = 40; } },
		{ "a million segments", [](TreeModel &t) { t.segments = 1000000; } },
		{ "INT32_MAX segments", [](TreeModel &t) { t.segments = INT32_MAX; } },
		{ "INT32_MAX levels", [](TreeModel &t) { t.branches_count = INT32_MAX; } },
		{ "INT32_MAX crossed cards per tip", [](TreeModel &t) {
			 t.twig_cards_per_tip = INT32_MAX;
			 t.twig_crossed = 1;
		 } },
		{ "13 levels, INT32_MAX steps", [](TreeModel &t) {
			 t.branches_count = 13;
			 t.trunk_height = INT32_MAX;
		 } },
	};
	for (const Change &change : changes) {
		TreeProperties saved = m.properties();
		change.apply(m);
		EXPECT_FALSE(measure_tree(m).fits) << change.what;
		EXPECT_THROW(m.generate(), std::bad_alloc) << change.what;
		EXPECT_EQ(m.vertices, vertices) << change.what;
		EXPECT_EQ(digest(m), before) << change.what;
		m.set_properties(saved);
	}
}

// One fork and two leaves: s + (3·s/2 - 1) + 2 bark vertices, and up to all but the two
// tips may get a twin, 5·s in all. 5·s·12 bytes must stay within 2^31 - 1.
TEST(SizeGuard, BoundaryIsTheArrayLimit) {
	TreeProperties p;
	p.branches_count = 0;
	p.segments = 35791394;
	EXPECT_EQ(measure_tree(p).max_vertex_count, 5 * int64_t(p.segments));
	EXPECT_TRUE(measure_tree(p).fits);
	p.segments = 35791396;
	EXPECT_FALSE(measure_tree(p).fits);
}

// Finite values a script can set: each tree is built with finite arrays (the radius that
// underflows along a tall trunk), or refused before anything changes, naming the field.
TEST(Representable, FiniteParametersGiveFiniteArraysOrARefusalNamingTheField) {
	struct Case {
		const char *what;
		void (*apply)(TreeModel &);
		const char *fault; // null: built
	};
	const Case cases[] = {
		{ "radius underflowing along 1613 steps", [](TreeModel &t) {
			 t.branches_count = 1;
			 t.trunk_height = 1613;
		 },
				nullptr },
		{ "radius reaching 0 along 3000 steps", [](TreeModel &t) {
			 t.branches_count = 1;
			 t.trunk_height = 3000;
		 },
				nullptr },
		{ "lengths growing by the power 1.5", [](TreeModel &t) {
			 t.branches_count = 8;
			 t.branch_length = 10.0f;
			 t.branch_length_exponent = 1.5f;
		 },
				"branch_length_exponent" },
		{ "exponent -2", [](TreeModel &t) { t.branch_length_exponent = -2.0f; }, "branch_length_exponent" },
		{ "an overflowing power times a falloff of 0", [](TreeModel &t) {
			 t.branch_length = 2.0f;
			 t.branch_length_falloff = 0.0f;
			 t.branch_length_exponent = 1e13f;
		 },
				"branch_length_exponent" },
		{ "falloff rate 0", [](TreeModel &t) { t.radius_falloff_rate = 0.0f; }, "radius_falloff_rate" },
		{ "falloff rate -0", [](TreeModel &t) { t.radius_falloff_rate = -0.0f; }, "radius_falloff_rate" },
		{ "falloff rate 1e-30", [](TreeModel &t) { t.radius_falloff_rate = 1e-30f; }, "radius_falloff_rate" },
		{ "branch length -0.01", [](TreeModel &t) { t.branch_length = -0.01f; }, "branch_length" },
		{ "length falloff -0.1", [](TreeModel &t) { t.branch_length_falloff = -0.1f; }, "branch_length_falloff" },
		{ "taper 0", [](TreeModel &t) { t.trunk_taper = 0.0f; }, "trunk_taper" },
		{ "taper -1", [](TreeModel &t) { t.trunk_taper = -1.0f; }, "trunk_taper" },
		{ "trunk length 3e38", [](TreeModel &t) { t.trunk_length = 3e38f; }, "trunk_length" },
		{ "twist NaN", [](TreeModel &t) { t.twist = NAN; }, "twist" },
		{ "uv multiplier -inf", [](TreeModel &t) { t.uv_multiplier = -INFINITY; }, "uv_multiplier" },
		{ "aspect NaN", [](TreeModel &t) { t.twig_aspect = NAN; }, "twig_aspect" },
		{ "aspect 1e30", [](TreeModel &t) { t.twig_aspect = 1e30f; }, "twig_aspect" },
		// Scripts may store any count: below 1 is one card, beyond 4 variants is 4.
		{ "cards, crossing and variants below their ranges", [](TreeModel &t) {
			 t.twig_cards_per_tip = INT32_MIN;
			 t.twig_crossed = -1;
			 t.twig_leaf_variants = INT32_MIN;
			 t.twig_aspect = -3.0f;
		 },
				nullptr },
		{ "variants beyond the atlas", [](TreeModel &t) {
			 t.twig_cards_per_tip = 40;
			 t.twig_leaf_variants = INT32_MAX;
		 },
				nullptr },
	};
	TreeModel m;
	m.generate();
	uint64_t before = digest(m);
	for (const Case &c : cases) {
		TreeProperties saved = m.properties();
		c.apply(m);
		TreeSize size = measure_tree(m);
		if (!c.fault) {
			EXPECT_TRUE(size.fits) << c.what << ": " << (size.fault ? size.fault->field : "");
			m.generate();
			EXPECT_TRUE(validate_mesh(m)) << c.what;
		} else {
			EXPECT_FALSE(size.fits) << c.what;
			EXPECT_STREQ(size.fault ? size.fault->field : nullptr, c.fault) << c.what;
			EXPECT_THROW(m.generate(), std::domain_error) << c.what;
			EXPECT_EQ(digest(m), before) << c.what;
		}
		m.set_properties(saved);
		m.generate();
	}
}

// Trap: a new field without a row in the property table, whose NaN would then escape the
// refusal (it iterates the table) and whose property the tool and the node would not know.
TEST(Representable, EveryFieldHasOneRowAndEveryNonFiniteFloatIsRefusedUnderIt) {
	const TreeProperties probe;
	auto offset = [&probe](const void *member) { return static_cast<const char *>(member) - reinterpret_cast<const char *>(&probe); };
	std::set<ptrdiff_t> covered{ offset(&probe.random_state) };
	for (const PropertyRow &row : property_table()) {
		const bool real = row.type == PropertyType::REAL;
		EXPECT_TRUE(covered.insert(real ? offset(&(probe.*row.float_field)) : offset(&(probe.*row.int_field))).second) << row.name;
		if (!real)
			continue;
		for (float wrong : { NAN, INFINITY, -INFINITY }) {
			TreeProperties p;
			p.*row.float_field = wrong;
			const TreeSize size = measure_tree(p);
			EXPECT_EQ(size.fault, &row) << row.name << " " << wrong;
		}
	}
	// Every 4-byte field of the record, and nothing else, is covered.
	static_assert(sizeof(float) == sizeof(int32_t) && sizeof(TreeProperties) % 4 == 0, "4-byte fields");
	EXPECT_EQ(covered.size(), sizeof(TreeProperties) / 4);
}

TEST(SizeGuard, TopOfTheInspectorRangesFits) {
	TreeProperties p;
	p.branches_count = 13;
	p.trunk_height = 100;
	p.segments = 10;
	p.twig_cards_per_tip = 8;
	p.twig_crossed = 1;
	p.twig_aspect = 8.0f;
	TreeSize size = measure_tree(p);
	EXPECT_TRUE(size.fits);
	EXPECT_EQ(size.branches, 1671167);
}

} // namespace
