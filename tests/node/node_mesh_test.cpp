// What a Wendrel3D node hands to the engine: the content of both surfaces, the exact
// SurfaceTool sequence, and which surfaces each setter rebuilds.
#include "node_test_support.h"

#include "model/properties.h"

#include <godot_cpp/classes/surface_tool.hpp>
#include <godot_cpp/core/class_db.hpp>

#include <algorithm>
#include <any>
#include <set>

namespace wendrel::test {
namespace {

using godot::stub::CallRecord;

TEST_F(NodeTest, NewNodeShowsTheDefaultTree) {
	ASSERT_EQ(node->get_child_count(true), 2);
	EXPECT_EQ(node->get_child(0, true), bark());
	EXPECT_EQ(node->get_child(1, true), twigs());
	EXPECT_TRUE(node->get_twig_enable());
	// Internal children at the front, so that duplicate() leaves them out; no forced name.
	EXPECT_EQ(calls_on(node), (std::vector<std::string>{ "Node.add_child(false,1)", "Node.add_child(false,1)", "Object.emit_signal(tree_grown)" }));
	EXPECT_EQ(node->get_child_count(), 0);

	expect_bark_matches_model(*node);
	expect_twigs_match_model(*node);
	std::unique_ptr<wendrel::TreeModel> fresh = generated_like(wendrel::TreeProperties());
	expect_surface(surface_of(bark()), fresh->vertex_count, fresh->vertices, fresh->normals, fresh->uvs,
			fresh->face_count, fresh->faces);
	EXPECT_TRUE(godot::stub::errors().empty());
}

godot::Vector3 sub(const godot::Vector3 &a, const godot::Vector3 &b) {
	return godot::Vector3(a.x - b.x, a.y - b.y, a.z - b.z);
}
godot::Vector3 cross(const godot::Vector3 &a, const godot::Vector3 &b) {
	return godot::Vector3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
double dot(const godot::Vector3 &a, const godot::Vector3 &b) {
	return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

// The normal of the side from which a triangle winds clockwise: the engine's front side.
godot::Vector3 front_normal(const godot::stub::SurfaceData &p_surface, size_t p_triangle) {
	const godot::Vector3 &a = p_surface.vertices[size_t(p_surface.indices[3 * p_triangle])];
	const godot::Vector3 &b = p_surface.vertices[size_t(p_surface.indices[3 * p_triangle + 1])];
	const godot::Vector3 &c = p_surface.vertices[size_t(p_surface.indices[3 * p_triangle + 2])];
	return cross(sub(c, a), sub(b, a));
}

// Each side of a twig card faces the way its normals point.
TEST_F(NodeTest, TwigCardsFaceTheirNormals) {
	const godot::stub::SurfaceData &twig_surface = surface_of(twigs());
	for (size_t t = 0; t < twig_surface.indices.size() / 3; t++) {
		const godot::Vector3 &n = twig_surface.normals[size_t(twig_surface.indices[3 * t])];
		ASSERT_GT(dot(front_normal(twig_surface, t), n), 0.0) << "twig triangle " << t;
	}
}

// Golden sizes of the default tree (seed 262).
TEST_F(NodeTest, DefaultTreeHasItsKnownSize) {
	EXPECT_EQ(surface_of(bark()).vertices.size(), 2183u);
	EXPECT_EQ(surface_of(bark()).indices.size(), 4020u * 3);
	EXPECT_EQ(surface_of(twigs()).vertices.size(), 1792u);
	EXPECT_EQ(surface_of(twigs()).indices.size(), 896u * 3);
}

// The calls of one update whose index lists the node has ordered before: the arrays in one
// call, the new mesh on the child and its material again; then the signal that a tree is shown.
const std::vector<std::string> kUpdateSequence = {
	"ArrayMesh.add_surface_from_arrays(3)",
	"MeshInstance3D.set_mesh(mesh)",
	"MeshInstance3D.set_surface_override_material(0)",
	"Object.emit_signal(tree_grown)",
};

std::vector<std::string> all_calls() {
	std::vector<std::string> result;
	for (const CallRecord &call : godot::stub::calls()) {
		result.push_back(call.method + "(" + call.args + ")");
	}
	return result;
}

// One engine call hands over all arrays of a surface, whatever its size. The engine's index
// optimisation runs only for index lists not seen last time: a new seed joins the forks
// differently, a new branch length keeps every triangle's corners.
TEST_F(NodeTest, UpdatesHandOverEachSurfaceInOneCall) {
	godot::stub::clear_calls();
	node->set_segments(node->get_segments());
	EXPECT_EQ(all_calls(), kUpdateSequence);

	godot::stub::clear_calls();
	node->set_twig_scale(node->get_twig_scale());
	EXPECT_EQ(all_calls(), kUpdateSequence);
	EXPECT_EQ(calls_on(twigs()).size(), 2u);

	godot::stub::clear_calls();
	node->set_seed(7);
	EXPECT_EQ(count_calls("SurfaceTool.optimize_indices_for_cache"), 1u) << "the twig cards keep their triangles";
	godot::stub::clear_calls();
	node->set_branch_length(node->get_branch_length() * 1.5f);
	EXPECT_EQ(count_calls("SurfaceTool.optimize_indices_for_cache"), 0u);
	expect_bark_matches_model(*node);
}

// Every tool is destroyed when its update returns, and each mesh is held by its child alone,
// so a replaced mesh is freed.
TEST_F(NodeTest, UpdatesLeaveNoHandleBehind) {
	godot::Ref<godot::Mesh> old_bark_mesh = bark()->get_mesh();
	node->set_seed(7);
	for (const godot::Wrapped *object : godot::stub::live_objects()) {
		EXPECT_EQ(dynamic_cast<const godot::SurfaceTool *>(object), nullptr) << "a SurfaceTool outlived its update";
	}
	EXPECT_EQ(old_bark_mesh->get_reference_count(), 1) << "someone still holds the replaced mesh";
	EXPECT_EQ(bark()->get_mesh()->get_reference_count(), 2) << "the child's handle and this test's";
	EXPECT_EQ(twigs()->get_mesh()->get_reference_count(), 2);
}

// Setting a value equal to the stored one regenerates all the same, and each setter rebuilds
// exactly the surfaces its row of the property table names (the model tests check that the
// other surface does not change). Every parameter the table puts on the node, through the
// setter and getter the node registers for it.
TEST_F(NodeTest, EachSetterRebuildsItsSurfacesEvenForAnEqualValue) {
	godot::ClassDB::register_class<Wendrel3D>();
	const std::vector<godot::stub::PropertyRecord> &registered = godot::stub::registered_properties("Wendrel3D");
	for (const wendrel::PropertyRow &row : wendrel::property_table()) {
		if (!row.on_node) {
			continue;
		}
		SCOPED_TRACE(row.name);
		auto property = std::find_if(registered.begin(), registered.end(),
				[&](const godot::stub::PropertyRecord &p) { return p.name == row.name; });
		ASSERT_NE(property, registered.end());
		const bool bark_rebuilt = row.rebuilds != wendrel::Rebuilds::TWIGS;
		const bool twigs_rebuilt = row.rebuilds != wendrel::Rebuilds::BARK;
		godot::stub::clear_calls();
		const std::any value = godot::stub::call_method(node, "Wendrel3D", property->getter);
		godot::stub::call_method(node, "Wendrel3D", property->setter, { value });
		EXPECT_EQ(calls_on(bark()).size(), bark_rebuilt ? 2u : 0u);
		EXPECT_EQ(calls_on(twigs()).size(), twigs_rebuilt ? 2u : 0u);
		EXPECT_EQ(count_calls("ArrayMesh.add_surface_from_arrays"), size_t(bark_rebuilt) + size_t(twigs_rebuilt));
	}
	expect_bark_matches_model(*node);
	expect_twigs_match_model(*node);
}

TEST_F(NodeTest, NewSegmentCountReplacesOnlyTheBarkMesh) {
	const ArrayMesh *old_bark = mesh_of(bark());
	const ArrayMesh *old_twigs = mesh_of(twigs());
	const size_t old_vertices = surface_of(bark()).vertices.size();
	node->set_segments(8);
	EXPECT_EQ(node->get_segments(), 8);
	EXPECT_NE(mesh_of(bark()), old_bark);
	EXPECT_NE(surface_of(bark()).vertices.size(), old_vertices);
	EXPECT_EQ(mesh_of(twigs()), old_twigs);
	expect_bark_matches_model(*node);
}

TEST_F(NodeTest, NewTwigScaleReplacesOnlyTheTwigMesh) {
	const ArrayMesh *old_bark = mesh_of(bark());
	const ArrayMesh *old_twigs = mesh_of(twigs());
	node->set_twig_scale(0.8f);
	EXPECT_EQ(mesh_of(bark()), old_bark);
	EXPECT_NE(mesh_of(twigs()), old_twigs);
	expect_twigs_match_model(*node);
	std::unique_ptr<wendrel::TreeModel> fresh = generated_like(node->get_model());
	expect_surface(surface_of(twigs()), fresh->twig_vertex_count, fresh->twig_vertices, fresh->twig_normals,
			fresh->twig_uvs, fresh->twig_face_count, fresh->twig_faces);
}

TEST_F(NodeTest, SeedOfTheDefaultsReproducesTheConstructorsMeshes) {
	const godot::stub::SurfaceData bark_before = surface_of(bark());
	const godot::stub::SurfaceData twigs_before = surface_of(twigs());
	node->set_seed(1);
	node->set_seed(262);
	const godot::stub::SurfaceData &bark_after = surface_of(bark());
	ASSERT_EQ(bark_after.vertices.size(), bark_before.vertices.size());
	for (size_t i = 0; i < bark_before.vertices.size(); i++) {
		ASSERT_EQ(bits(bark_after.vertices[i].x), bits(bark_before.vertices[i].x)) << i;
		ASSERT_EQ(bits(bark_after.normals[i].y), bits(bark_before.normals[i].y)) << i;
		ASSERT_EQ(bits(bark_after.uvs[i].y), bits(bark_before.uvs[i].y)) << i;
	}
	EXPECT_EQ(bark_after.indices, bark_before.indices);
	EXPECT_EQ(surface_of(twigs()).indices, twigs_before.indices);
	EXPECT_EQ(surface_of(twigs()).vertices.size(), twigs_before.vertices.size());
}

} // namespace
} // namespace wendrel::test
