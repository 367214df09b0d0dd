// The node's children over its life: twigs switched off and on, materials, leaving and
// re-entering the scene tree, trees too large to build, and destruction.
#include "node_test_support.h"

#include <godot_cpp/classes/material.hpp>

#include <climits>

namespace wendrel::test {
namespace {

using godot::Material;
using godot::Ref;

TEST_F(NodeTest, TwigsOffFreesTheTwigChildAndKeepsTheTwigMaterial) {
	Ref<Material> material = memnew(Material);
	node->set_material_twig(material);
	MeshInstance3D *old_twigs = twigs();
	node->set_twig_enable(false);

	EXPECT_FALSE(node->get_twig_enable());
	EXPECT_EQ(twigs(), nullptr);
	ASSERT_EQ(node->get_child_count(true), 1);
	EXPECT_EQ(node->get_child(0, true), bark());
	EXPECT_FALSE(godot::stub::is_live(old_twigs)) << "the detached twig child leaked";
	EXPECT_EQ(material->get_reference_count(), 2) << "this test's handle and the node's";

	godot::stub::clear_calls();
	EXPECT_EQ(node->get_material_twig(), material);
	Ref<Material> other = memnew(Material);
	node->set_material_twig(other);
	EXPECT_TRUE(godot::stub::calls().empty());
	EXPECT_EQ(node->get_material_twig(), other);
	EXPECT_EQ(material->get_reference_count(), 1);
}

TEST_F(NodeTest, TwigsOffThenOnGiveAFreshChildWithTheTwigMaterial) {
	Ref<Material> material = memnew(Material);
	node->set_material_twig(material);
	const ArrayMesh *bark_mesh = mesh_of(bark());
	node->set_twig_enable(false);
	node->set_twig_enable(true);

	EXPECT_TRUE(node->get_twig_enable());
	ASSERT_NE(twigs(), nullptr);
	ASSERT_EQ(node->get_child_count(true), 2);
	EXPECT_EQ(node->get_child(1, true), twigs());
	EXPECT_EQ(node->get_material_twig(), material);
	EXPECT_EQ(twigs()->get_surface_override_material(0), material);
	EXPECT_EQ(mesh_of(bark()), bark_mesh) << "switching twigs on rebuilt the bark";
	expect_twigs_match_model(*node);
}

TEST_F(NodeTest, SwitchingToTheCurrentStateOnlyStoresTheFlag) {
	MeshInstance3D *child = twigs();
	godot::stub::clear_calls();
	node->set_twig_enable(true);
	EXPECT_TRUE(godot::stub::calls().empty());
	EXPECT_EQ(twigs(), child);
	EXPECT_EQ(node->get_child_count(true), 2) << "never two twig children";

	node->set_twig_enable(false);
	godot::stub::clear_calls();
	node->set_twig_enable(false);
	EXPECT_TRUE(godot::stub::calls().empty());
	EXPECT_FALSE(node->get_twig_enable());
	EXPECT_TRUE(godot::stub::errors().empty());
}

TEST_F(NodeTest, TwigScaleWithTwigsOffRegeneratesButReplacesNoMesh) {
	node->set_twig_enable(false);
	godot::stub::clear_calls();
	node->set_twig_scale(0.8f);
	EXPECT_EQ(count_calls("MeshInstance3D.set_mesh"), 0u);
	EXPECT_EQ(node->get_twig_scale(), 0.8f);
	// The model holds the twigs of the new scale, which switching on shows.
	std::unique_ptr<wendrel::TreeModel> fresh = generated_like(node->get_model());
	ASSERT_EQ(node->get_model().twig_vertex_count, fresh->twig_vertex_count);
	for (int32_t i = 0; i < fresh->twig_vertex_count; i++) {
		ASSERT_EQ(bits(node->get_model().twig_vertices[i].x), bits(fresh->twig_vertices[i].x)) << i;
	}
}

TEST_F(NodeTest, MaterialsAreForwardedAndRebuildNothing) {
	Ref<Material> bark_material = memnew(Material);
	Ref<Material> twig_material = memnew(Material);
	godot::stub::clear_calls();
	node->set_material_trunk(bark_material);
	node->set_material_twig(twig_material);
	EXPECT_EQ(calls_on(bark()), std::vector<std::string>{ "MeshInstance3D.set_surface_override_material(0)" });
	EXPECT_EQ(calls_on(twigs()), std::vector<std::string>{ "MeshInstance3D.set_surface_override_material(0)" });
	EXPECT_EQ(count_calls("SurfaceTool.begin"), 0u);
	EXPECT_EQ(node->get_material_trunk(), bark_material);
	EXPECT_EQ(node->get_material_twig(), twig_material);

	// A rebuild replaces the meshes and keeps the override materials.
	node->set_seed(99);
	EXPECT_EQ(node->get_material_trunk(), bark_material);
	EXPECT_EQ(node->get_material_twig(), twig_material);
	node->set_material_trunk(Ref<Material>());
	EXPECT_TRUE(node->get_material_trunk().is_null());
	EXPECT_TRUE(godot::stub::errors().empty());
}

// Leaving the tree (reparenting, switching scene tabs) must not cost the node its children,
// its meshes or its materials, nor leave later calls without a bark child.
TEST_F(NodeTest, LeavingAndReenteringTheTreeKeepsChildrenAndMaterials) {
	Ref<Material> bark_material = memnew(Material);
	Ref<Material> twig_material = memnew(Material);
	node->set_material_trunk(bark_material);
	node->set_material_twig(twig_material);
	const ArrayMesh *bark_mesh = mesh_of(bark());

	godot::stub::exit_tree(node);
	ASSERT_EQ(node->get_child_count(true), 2);
	EXPECT_EQ(mesh_of(bark()), bark_mesh);
	EXPECT_EQ(node->get_material_trunk(), bark_material);
	EXPECT_EQ(node->get_material_twig(), twig_material);
	// Outside the tree a setter only stores its value; the tree grows on entering.
	godot::stub::clear_calls();
	node->set_segments(8);
	node->set_seed(5);
	EXPECT_EQ(node->get_segments(), 8);
	EXPECT_TRUE(godot::stub::calls().empty());

	godot::stub::enter_tree(node);
	EXPECT_EQ(count_calls("ArrayMesh.add_surface_from_arrays"), 2u) << "one growth, both surfaces";
	EXPECT_EQ(node->get_model().segments, 8);
	expect_bark_matches_model(*node);
	expect_twigs_match_model(*node);
	EXPECT_TRUE(bark()->is_inside_tree());
	EXPECT_TRUE(twigs()->is_inside_tree());
	EXPECT_EQ(node->get_material_trunk(), bark_material);
	EXPECT_EQ(node->get_material_twig(), twig_material);
	godot::stub::exit_tree(node);
	EXPECT_TRUE(godot::stub::errors().empty());
}

// A tree over the threshold grows on a worker while the old meshes stay; a newer change
// supersedes it, and leaving the tree or freeing the node while it grows waits for the worker
// (TearDown fails on a task never waited for). The stand-in runs tasks only when asked.
TEST_F(NodeTest, LargeTreesGrowInTheBackgroundAndGiveWayToNewerChanges) {
	wendrel::TreeProperties large;
	large.branches_count = 12;
	ASSERT_GT(wendrel::measure_tree(large).vertex_count, Wendrel3D::BACKGROUND_VERTEX_COUNT);
	const ArrayMesh *old_bark = mesh_of(bark());
	node->set_branches_count(12);
	EXPECT_TRUE(node->is_growing());
	EXPECT_TRUE(node->is_processing());
	node->_process(0.0);
	EXPECT_EQ(mesh_of(bark()), old_bark) << "the old tree stays until the new one is grown";
	godot::stub::run_worker_tasks();
	godot::stub::clear_calls();
	node->_process(0.0);
	EXPECT_FALSE(node->is_growing());
	EXPECT_FALSE(node->is_processing());
	EXPECT_EQ(node->get_model().branches_count, 12);
	expect_bark_matches_model(*node);
	expect_twigs_match_model(*node);
	EXPECT_EQ(count_calls("Object.emit_signal"), 1u);

	node->set_branches_count(12);
	node->set_branches_count(4); // supersedes the growth, shown at once
	EXPECT_FALSE(node->is_growing());
	EXPECT_EQ(node->get_model().branches_count, 4);
	expect_bark_matches_model(*node);
	expect_twigs_match_model(*node);
	godot::stub::run_worker_tasks(); // the cancelled growth stops after its first step
	node->_process(0.0);
	EXPECT_FALSE(node->is_processing());
	EXPECT_EQ(node->get_model().branches_count, 4);

	node->set_branches_count(12);
	godot::stub::exit_tree(node);
	EXPECT_FALSE(node->is_growing());
	godot::stub::enter_tree(node);
	EXPECT_TRUE(node->is_growing()) << "the tree grows again on re-entering";
	EXPECT_TRUE(godot::stub::errors().empty());
}

// TearDown checks that nothing outlives the node; here after twigs went off and on.
TEST_F(NodeTest, FreeingTheNodeFreesItsChildren) {
	node->set_twig_enable(false);
	node->set_twig_enable(true);
	MeshInstance3D *bark_child = bark();
	MeshInstance3D *twig_child = twigs();
	godot::memdelete(node);
	node = nullptr;
	EXPECT_FALSE(godot::stub::is_live(bark_child));
	EXPECT_FALSE(godot::stub::is_live(twig_child));
}

// A tree whose arrays cannot be allocated: the setter refuses the value with one message and
// keeps the stored value, the model's arrays and both meshes.
TEST_F(NodeTest, TooLargeTreeKeepsTheStoredValueArraysAndMeshes) {
	wendrel::TreeProperties oversized;
	oversized.segments = INT_MAX;
	ASSERT_FALSE(wendrel::measure_tree(oversized).fits);

	const wendrel::Vec3 *vertices = node->get_model().vertices;
	const int32_t vertex_count = node->get_model().vertex_count;
	godot::stub::clear_calls();
	node->set_segments(INT_MAX);
	EXPECT_EQ(node->get_segments(), 6);
	EXPECT_EQ(node->get_model().vertices, vertices);
	EXPECT_EQ(node->get_model().vertex_count, vertex_count);
	EXPECT_TRUE(godot::stub::calls().empty()) << "no mesh was replaced";
	ASSERT_EQ(godot::stub::errors().size(), 1u);
	EXPECT_NE(godot::stub::errors()[0].find("trunk_segments would grow a tree too large"), std::string::npos)
			<< godot::stub::errors()[0];

	// The node goes on working.
	node->set_segments(4);
	EXPECT_EQ(node->get_segments(), 4);
	expect_bark_matches_model(*node);
	expect_twigs_match_model(*node);
}

// A value whose geometry would overflow takes the same path, and the message names the
// property the user set, never the generator's field (radius_falloff_rate).
TEST_F(NodeTest, UnbuildableTreeNamesTheParameterAndKeepsTheTree) {
	const wendrel::Vec3 *vertices = node->get_model().vertices;
	godot::stub::clear_calls();
	node->set_radius_falloff_rate(0.0f);
	EXPECT_EQ(node->get_radius_falloff_rate(), 0.73f);
	EXPECT_EQ(node->get_model().vertices, vertices);
	EXPECT_TRUE(godot::stub::calls().empty()) << "no mesh was replaced";
	ASSERT_EQ(godot::stub::errors().size(), 1u);
	EXPECT_NE(godot::stub::errors()[0].find("trunk_radius_falloff_rate would grow a tree that cannot be built (trunk_radius_falloff_rate cannot be 0"), std::string::npos)
			<< godot::stub::errors()[0];
}

} // namespace
} // namespace wendrel::test
