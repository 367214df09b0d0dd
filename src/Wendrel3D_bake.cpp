// Baking: the tree as resources that show it without the extension, a mesh or a whole scene
// with its collision shapes, for games that place many trees.
#include "capsule_shapes.h"
#include "Wendrel3D.h"

#include <godot_cpp/classes/collision_shape3d.hpp>
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/memory.hpp>

#include <new>
#include <string>

using godot::ArrayMesh;
using godot::Node;
using godot::Node3D;
using godot::PackedScene;
using godot::Ref;

namespace {

// A child that the packed scene keeps: the engine packs only the nodes the root owns.
void add_owned(Node3D *p_root, Node *p_parent, Node *p_child, const char *p_name) {
	p_child->set_name(p_name);
	p_parent->add_child(p_child);
	p_child->set_owner(p_root);
}

// One CollisionShape3D per capsule under a static body, as the node's live body has one
// shape owner per capsule.
void add_collision(Node3D *p_root, const wendrel::TreeModel &p_model, float p_min_radius) {
	godot::StaticBody3D *body = memnew(godot::StaticBody3D);
	add_owned(p_root, p_root, body, "Collision");
	int32_t index = 0;
	for (const wendrel::CollisionCapsule &capsule : wendrel::collision_capsules(p_model.collision_segments, p_min_radius)) {
		godot::CollisionShape3D *shape = memnew(godot::CollisionShape3D);
		shape->set_shape(wendrel::engine::capsule_shape(capsule));
		shape->set_transform(wendrel::engine::capsule_transform(capsule));
		add_owned(p_root, body, shape, ("Capsule" + std::to_string(index++)).c_str());
	}
}

} // namespace

// Grows the tree of the stored properties when the one shown is not it (outside the scene
// tree, or while a tree grows), without touching the children.
const wendrel::TreeModel *Wendrel3D::baked_model(std::unique_ptr<wendrel::TreeModel> &r_fresh) const {
	if (!stale && !growth) {
		return model.get();
	}
	r_fresh.reset(new wendrel::TreeModel());
	r_fresh->set_properties(properties);
	ask_for_game_data(*r_fresh);
#if defined(__cpp_exceptions) || defined(_CPPUNWIND)
	try {
		r_fresh->generate();
	} catch (const std::bad_alloc &) {
		ERR_PRINT("Wendrel3D: out of memory while baking the tree.");
		return nullptr;
	}
#else
	r_fresh->generate();
#endif
	return r_fresh.get();
}

Ref<ArrayMesh> Wendrel3D::baked_mesh(const wendrel::TreeModel &p_model) const {
	std::vector<wendrel::engine::SurfaceSource> sources{
		{ wendrel::bark_surface(p_model), wind_records(p_model.wind, p_model.vertex_count), &index_orders->bark, material_trunk },
	};
	if (twig_enable) {
		sources.push_back({ wendrel::twig_surface(p_model), wind_records(p_model.twig_wind, p_model.twig_vertex_count), &index_orders->twigs, material_twig });
	}
	return wendrel::engine::combined_mesh(sources, lod_enable);
}

Ref<ArrayMesh> Wendrel3D::bake_mesh() {
	std::unique_ptr<wendrel::TreeModel> fresh;
	const wendrel::TreeModel *source = baked_model(fresh);
	return source ? baked_mesh(*source) : Ref<ArrayMesh>();
}

// The nodes are built, packed (the engine copies them) and freed again.
Ref<PackedScene> Wendrel3D::bake_scene() {
	std::unique_ptr<wendrel::TreeModel> fresh;
	const wendrel::TreeModel *source = baked_model(fresh);
	if (!source) {
		return Ref<PackedScene>();
	}
	Node3D *root = memnew(Node3D);
	root->set_name("Tree");
	godot::MeshInstance3D *mesh = memnew(godot::MeshInstance3D);
	mesh->set_mesh(baked_mesh(*source));
	add_owned(root, root, mesh, "Mesh");
	if (collision_enable) {
		add_collision(root, *source, collision_min_radius);
	}
	Ref<PackedScene> scene;
	scene.instantiate();
	const godot::Error error = scene->pack(root);
	memdelete(root);
	if (error != godot::OK) {
		ERR_PRINT(("Wendrel3D: the baked tree could not be packed into a scene (error " + std::to_string(int(error)) + ").").c_str());
		return Ref<PackedScene>();
	}
	return scene;
}

void Wendrel3D::bind_bake_methods() {
	godot::ClassDB::bind_method(godot::D_METHOD("bake_scene"), &Wendrel3D::bake_scene);
}
