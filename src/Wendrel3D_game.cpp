// What games need of a tree besides its look: wind records in the vertex colours, and
// capsule collision shapes along the trunk and the thicker branches. Both are off by default,
// so that a scene saved without them shows exactly the same tree.
#include "capsule_shapes.h"
#include "Wendrel3D.h"

#include <godot_cpp/classes/capsule_shape3d.hpp>
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/basis.hpp>
#include <godot_cpp/variant/transform3d.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <cmath>
#include <string>

using godot::Basis;
using godot::CapsuleShape3D;
using godot::Ref;
using godot::StaticBody3D;
using godot::Transform3D;
using godot::Vector3;

namespace {

Vector3 to_engine(const wendrel::Vec3 &p_v) {
	return Vector3(p_v.x, p_v.y, p_v.z);
}

void add_capsule(StaticBody3D *p_body, const wendrel::CollisionCapsule &p_capsule) {
	uint32_t owner = p_body->create_shape_owner(p_body);
	p_body->shape_owner_set_transform(owner, wendrel::engine::capsule_transform(p_capsule));
	p_body->shape_owner_add_shape(owner, wendrel::engine::capsule_shape(p_capsule));
}

} // namespace

Transform3D wendrel::engine::capsule_transform(const wendrel::CollisionCapsule &p_capsule) {
	const wendrel::Vec3 axis = p_capsule.axis;
	// Any unit vector across the axis will do: a capsule is round about it.
	wendrel::Vec3 helper = std::fabs(axis.y) < 0.9f ? wendrel::Vec3(0.0f, 1.0f, 0.0f) : wendrel::Vec3(1.0f, 0.0f, 0.0f);
	wendrel::Vec3 across = wendrel::normalize(wendrel::cross(helper, axis));
	wendrel::Vec3 third = wendrel::cross(across, axis);
	return Transform3D(Basis(to_engine(across), to_engine(axis), to_engine(third)), to_engine(p_capsule.centre));
}

Ref<CapsuleShape3D> wendrel::engine::capsule_shape(const wendrel::CollisionCapsule &p_capsule) {
	Ref<CapsuleShape3D> capsule;
	capsule.instantiate();
	capsule->set_radius(p_capsule.radius);
	capsule->set_height(p_capsule.height);
	return capsule;
}

const wendrel::WindRecord *Wendrel3D::wind_records(const std::vector<wendrel::WindRecord> &p_records, int32_t p_vertex_count) const {
	// A model grown before wind_data was switched on holds no records: then the mesh goes
	// without colours rather than reading past them.
	if (!wind_data || p_records.size() != size_t(p_vertex_count)) {
		return nullptr;
	}
	return p_records.data();
}

void Wendrel3D::ask_for_game_data(wendrel::TreeModel &r_model) const {
	r_model.with_wind = wind_data;
	r_model.with_collision = collision_enable;
}

// A fresh body for every tree shown, so that no shape of the previous one lingers. Internal,
// at the back, made as the twig child is: scenes do not store it, and the two mesh children
// keep their places. The engine frees it with the node.
void Wendrel3D::update_collision() {
	if (collision_body) {
		remove_child(collision_body);
		memdelete(collision_body);
		collision_body = nullptr;
	}
	if (!collision_enable) {
		return;
	}
	collision_body = memnew(StaticBody3D);
	for (const wendrel::CollisionCapsule &capsule : wendrel::collision_capsules(model->collision_segments, collision_min_radius)) {
		add_capsule(collision_body, capsule);
	}
	add_child(collision_body, false, INTERNAL_MODE_BACK);
}

// A switch regrows the tree: the generator adds the records only when asked for them.
void Wendrel3D::set_wind_data(bool p_enable) {
	set_parameter("wind_data", wind_data, p_enable, Rebuilds::BOTH);
}
bool Wendrel3D::get_wind_data() const {
	return wind_data;
}

void Wendrel3D::set_collision_enable(bool p_enable) {
	set_parameter("collision_enable", collision_enable, p_enable, Rebuilds::BOTH);
}
bool Wendrel3D::get_collision_enable() const {
	return collision_enable;
}

void Wendrel3D::set_lod_enable(bool p_enable) {
	set_parameter("lod_enable", lod_enable, p_enable, Rebuilds::BOTH);
}
bool Wendrel3D::get_lod_enable() const {
	return lod_enable;
}

// The segments do not depend on the minimum radius: only the body is rebuilt.
void Wendrel3D::set_collision_min_radius(float p_radius) {
	if (!std::isfinite(p_radius)) {
		ERR_PRINT(("Wendrel3D: collision_min_radius must be a finite number, not " + std::to_string(p_radius) +
				"; it is not applied.")
						  .c_str());
		return;
	}
	collision_min_radius = p_radius;
	if (!stale) {
		update_collision();
	}
}
float Wendrel3D::get_collision_min_radius() const {
	return collision_min_radius;
}

void Wendrel3D::bind_game_methods() {
	godot::ClassDB::bind_method(godot::D_METHOD("set_wind_data", "enable"), &Wendrel3D::set_wind_data);
	godot::ClassDB::bind_method(godot::D_METHOD("get_wind_data"), &Wendrel3D::get_wind_data);
	godot::ClassDB::bind_method(godot::D_METHOD("set_collision_enable", "enable"), &Wendrel3D::set_collision_enable);
	godot::ClassDB::bind_method(godot::D_METHOD("get_collision_enable"), &Wendrel3D::get_collision_enable);
	godot::ClassDB::bind_method(godot::D_METHOD("set_collision_min_radius", "radius"), &Wendrel3D::set_collision_min_radius);
	godot::ClassDB::bind_method(godot::D_METHOD("get_collision_min_radius"), &Wendrel3D::get_collision_min_radius);
	godot::ClassDB::bind_method(godot::D_METHOD("set_lod_enable", "enable"), &Wendrel3D::set_lod_enable);
	godot::ClassDB::bind_method(godot::D_METHOD("get_lod_enable"), &Wendrel3D::get_lod_enable);
}

void Wendrel3D::bind_game_properties() {
	using godot::PropertyInfo;
	using godot::Variant;
	ADD_GROUP("Wind", "wind_");
	ADD_PROPERTY(PropertyInfo(Variant::BOOL, "wind_data", godot::PROPERTY_HINT_NONE, "", godot::PROPERTY_USAGE_DEFAULT), "set_wind_data", "get_wind_data");
	ADD_GROUP("Collision", "collision_");
	ADD_PROPERTY(PropertyInfo(Variant::BOOL, "collision_enable", godot::PROPERTY_HINT_NONE, "", godot::PROPERTY_USAGE_DEFAULT), "set_collision_enable", "get_collision_enable");
	ADD_PROPERTY(PropertyInfo(Variant::FLOAT, "collision_min_radius", godot::PROPERTY_HINT_RANGE, "0,0.6,0.001", godot::PROPERTY_USAGE_DEFAULT), "set_collision_min_radius", "get_collision_min_radius");
	ADD_GROUP("LOD", "lod_");
	ADD_PROPERTY(PropertyInfo(Variant::BOOL, "lod_enable", godot::PROPERTY_HINT_NONE, "", godot::PROPERTY_USAGE_DEFAULT), "set_lod_enable", "get_lod_enable");
}
