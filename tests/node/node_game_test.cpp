// Wind colours and collision shapes: off by default, exactly the model's data when on,
// rebuilt with the tree and freed with it.
#include "node_test_support.h"

#include <godot_cpp/classes/capsule_shape3d.hpp>

namespace wendrel::test {
namespace {

// Scenes saved before these features must show the same node: no colours, no body.
TEST_F(NodeTest, GameDataIsOffByDefault) {
	EXPECT_FALSE(node->get_wind_data());
	EXPECT_FALSE(node->get_collision_enable());
	EXPECT_TRUE(surface_of(bark()).colors.empty());
	EXPECT_TRUE(surface_of(twigs()).colors.empty());
	EXPECT_EQ(node->get_collision_body(), nullptr);
	EXPECT_EQ(node->get_child_count(true), 2);
	EXPECT_FALSE(node->get_lod_enable());
	EXPECT_EQ(count_calls("ImporterMesh.generate_lods"), 0u);
}

// With LOD on, both surfaces go through the engine's simplification, and still hold exactly
// the model's arrays at full detail.
TEST_F(NodeTest, LodEnableAsksTheEngineForLevelsOfDetail) {
	node->set_lod_enable(true);
	EXPECT_EQ(count_calls("ImporterMesh.generate_lods"), 2u);
	expect_bark_matches_model(*node);
	expect_twigs_match_model(*node);
	node->set_wind_data(true); // the colours go through the simplification too
	EXPECT_EQ(surface_of(bark()).colors.size(), surface_of(bark()).vertices.size());
	EXPECT_EQ(surface_of(twigs()).colors.size(), surface_of(twigs()).vertices.size());
	EXPECT_EQ(count_calls("ImporterMesh.generate_lods"), 4u);
}

// Every vertex of both surfaces carries its own record, in the documented encoding.
TEST_F(NodeTest, WindDataFillsTheVertexColours) {
	node->set_wind_data(true);
	node->set_seed(7); // and stays on through a regrowth
	const wendrel::TreeModel &m = node->get_model();
	struct Case {
		const godot::stub::SurfaceData &surface;
		const std::vector<wendrel::WindRecord> &records;
	};
	for (const Case &c : { Case{ surface_of(bark()), m.wind }, Case{ surface_of(twigs()), m.twig_wind } }) {
		ASSERT_EQ(c.surface.colors.size(), c.surface.vertices.size());
		ASSERT_EQ(c.records.size(), c.surface.vertices.size());
		for (size_t i = 0; i < c.records.size(); i++) {
			const godot::Color &colour = c.surface.colors[i];
			const wendrel::WindRecord &w = c.records[i];
			ASSERT_EQ(colour.r, w.chain);
			ASSERT_EQ(colour.g, float(w.level) / 15.0f);
			ASSERT_EQ(colour.b, w.phase);
			ASSERT_EQ(colour.a, w.flutter);
		}
	}
	node->set_wind_data(false);
	EXPECT_TRUE(surface_of(bark()).colors.empty());
}

size_t expected_capsules(const wendrel::TreeModel &p_model, float p_min_radius) {
	size_t count = 0;
	for (const wendrel::CollisionSegment &s : p_model.collision_segments) {
		count += s.level == 0 || s.radius > p_min_radius;
	}
	return count;
}

// One capsule per thick branch, around its segment; a new body for every tree, none after
// switching off, and the node's deletion takes the body with it (the fixture checks that no
// engine object outlives the node).
TEST_F(NodeTest, CollisionCapsulesFollowTheTree) {
	node->set_collision_enable(true);
	godot::StaticBody3D *body = node->get_collision_body();
	ASSERT_NE(body, nullptr);
	EXPECT_EQ(body->get_parent(), node);
	EXPECT_EQ(node->get_child_count(), 0); // internal, as the mesh children
	const wendrel::TreeModel &m = node->get_model();
	size_t thick = expected_capsules(m, 0.05f);
	ASSERT_EQ(body->shape_owners.size(), thick);
	EXPECT_LT(thick, m.collision_segments.size() / 4); // the twigs stay out
	// The trunk's foot: a capsule along +y centred half way up the bare trunk.
	const auto &foot = body->shape_owners[0];
	auto *capsule = godot::Object::cast_to<godot::CapsuleShape3D>(foot.shapes.at(0).ptr());
	ASSERT_NE(capsule, nullptr);
	EXPECT_EQ(capsule->get_radius(), m.max_radius);
	EXPECT_FLOAT_EQ(capsule->get_height(), m.trunk_length + 2.0f * m.max_radius);
	EXPECT_FLOAT_EQ(foot.transform.origin.y, m.trunk_length * 0.5f);
	EXPECT_FLOAT_EQ(foot.transform.basis.rows[1].y, 1.0f);

	node->set_collision_min_radius(0.0f);
	EXPECT_EQ(node->get_collision_body()->shape_owners.size(), m.collision_segments.size());
	node->set_trunk_height(2);
	EXPECT_EQ(node->get_collision_body()->shape_owners.size(), node->get_model().collision_segments.size());
	EXPECT_EQ(node->get_model().collision_segments.size(), 255u);
	node->set_collision_enable(false);
	EXPECT_EQ(node->get_collision_body(), nullptr);
	EXPECT_EQ(node->get_child_count(true), 2);
	node->set_collision_enable(true);
	EXPECT_TRUE(godot::stub::errors().empty()) << godot::stub::errors().front();
}

// A large tree, grown on a worker, keeps all three: its meshes carry the colours and the
// levels of detail, and its body (made on the main thread) follows the new tree.
TEST_F(NodeTest, ATreeGrownOnAWorkerKeepsTheGameData) {
	node->set_wind_data(true);
	node->set_collision_enable(true);
	node->set_lod_enable(true);
	node->set_branches_count(12);
	ASSERT_TRUE(node->is_growing());
	godot::stub::clear_calls();
	godot::stub::run_worker_tasks();
	EXPECT_EQ(count_calls("ImporterMesh.generate_lods"), 2u);
	node->_process(0.0);
	ASSERT_FALSE(node->is_growing());
	const wendrel::TreeModel &m = node->get_model();
	EXPECT_EQ(m.branches_count, 12);
	EXPECT_EQ(surface_of(bark()).colors.size(), size_t(m.vertex_count));
	EXPECT_EQ(surface_of(twigs()).colors.size(), size_t(m.twig_vertex_count));
	ASSERT_NE(node->get_collision_body(), nullptr);
	EXPECT_EQ(node->get_collision_body()->shape_owners.size(), expected_capsules(m, 0.05f));
	EXPECT_TRUE(godot::stub::errors().empty()) << godot::stub::errors().front();
}

} // namespace
} // namespace wendrel::test
