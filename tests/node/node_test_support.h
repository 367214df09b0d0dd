// Shared helpers of the node tests: a fixture with a fresh stand-in and one node, and
// bit-exact comparisons of what the engine was given with what the model holds.
#pragma once

#include "mesh_checks.h"
#include "Wendrel3D.h"

#include <godot_cpp/classes/array_mesh.hpp>
#include <godot_cpp/classes/mesh_instance3d.hpp>
#include <godot_cpp/classes/worker_thread_pool.hpp>
#include <stub/recorder.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace wendrel::test {

using godot::ArrayMesh;
using godot::MeshInstance3D;

// The mesh a child shows right now, or null.
inline const ArrayMesh *mesh_of(const MeshInstance3D *p_child) {
	return p_child ? godot::Object::cast_to<ArrayMesh>(p_child->get_mesh().ptr()) : nullptr;
}

// The one surface a child's mesh holds; fails the test when there is not exactly one.
inline const godot::stub::SurfaceData &surface_of(const MeshInstance3D *p_child) {
	static const godot::stub::SurfaceData none;
	const ArrayMesh *mesh = mesh_of(p_child);
	EXPECT_NE(mesh, nullptr);
	if (!mesh) {
		return none;
	}
	EXPECT_EQ(mesh->surfaces.size(), 1u);
	return mesh->surfaces.empty() ? none : mesh->surfaces[0];
}

// Whether a surface is, bit for bit, the given model arrays, each triangle handed over as
// first, third, second corner (the engine's front faces are clockwise).
inline void expect_surface(const godot::stub::SurfaceData &p_surface, int32_t p_vertex_count,
		const wendrel::Vec3 *p_vertices, const wendrel::Vec3 *p_normals, const wendrel::Vec2 *p_uvs,
		int32_t p_face_count, const wendrel::Face *p_faces) {
	EXPECT_EQ(p_surface.primitive, 3);
	ASSERT_EQ(p_surface.vertices.size(), size_t(p_vertex_count));
	ASSERT_EQ(p_surface.indices.size(), size_t(p_face_count) * 3);
	for (int32_t i = 0; i < p_vertex_count; i++) {
		const godot::Vector3 &v = p_surface.vertices[i];
		const godot::Vector3 &n = p_surface.normals[i];
		const godot::Vector2 &uv = p_surface.uvs[i];
		ASSERT_TRUE(bits(v.x) == bits(p_vertices[i].x) && bits(v.y) == bits(p_vertices[i].y) &&
				bits(v.z) == bits(p_vertices[i].z))
				<< "vertex " << i;
		ASSERT_TRUE(bits(n.x) == bits(p_normals[i].x) && bits(n.y) == bits(p_normals[i].y) &&
				bits(n.z) == bits(p_normals[i].z))
				<< "normal " << i;
		ASSERT_TRUE(bits(uv.x) == bits(p_uvs[i].u) && bits(uv.y) == bits(p_uvs[i].v)) << "uv " << i;
	}
	const int corner_order[3] = { 0, 2, 1 };
	for (int32_t i = 0; i < p_face_count * 3; i++) {
		ASSERT_EQ(p_surface.indices[i], p_faces[i / 3].index[corner_order[i % 3]]) << "index " << i;
	}
}

inline void expect_bark_matches_model(const Wendrel3D &p_node) {
	const wendrel::TreeModel &m = p_node.get_model();
	expect_surface(surface_of(p_node.get_bark_mesh_instance()), m.vertex_count, m.vertices, m.normals, m.uvs,
			m.face_count, m.faces);
}

inline void expect_twigs_match_model(const Wendrel3D &p_node) {
	const wendrel::TreeModel &m = p_node.get_model();
	expect_surface(surface_of(p_node.get_twig_mesh_instance()), m.twig_vertex_count, m.twig_vertices,
			m.twig_normals, m.twig_uvs, m.twig_face_count, m.twig_faces);
}

// A model generated afresh from the same parameters.
inline std::unique_ptr<wendrel::TreeModel> generated_like(const wendrel::TreeProperties &p_properties) {
	std::unique_ptr<wendrel::TreeModel> model(new wendrel::TreeModel());
	generate_with(*model, p_properties);
	return model;
}

// The calls made on one receiver, as "method(args)".
inline std::vector<std::string> calls_on(const void *p_object) {
	std::vector<std::string> result;
	for (const godot::stub::CallRecord &call : godot::stub::calls()) {
		if (call.object == p_object) {
			result.push_back(call.method + "(" + call.args + ")");
		}
	}
	return result;
}

inline size_t count_calls(const std::string &p_method) {
	size_t count = 0;
	for (const godot::stub::CallRecord &call : godot::stub::calls()) {
		count += call.method == p_method;
	}
	return count;
}

class NodeTest : public ::testing::Test {
protected:
	Wendrel3D *node = nullptr;

	void SetUp() override {
		godot::stub::reset();
		node = memnew(Wendrel3D);
		godot::stub::enter_tree(node); // where the tree grows
	}

	void TearDown() override {
		if (node) {
			godot::memdelete(node);
		}
		EXPECT_EQ(godot::stub::live_object_count(), 0u) << "an engine object outlived the node";
		EXPECT_EQ(godot::stub::unwaited_worker_tasks(), 0u) << "a growth was never waited for";
	}

	MeshInstance3D *bark() const { return node->get_bark_mesh_instance(); }
	MeshInstance3D *twigs() const { return node->get_twig_mesh_instance(); }
};

} // namespace wendrel::test
