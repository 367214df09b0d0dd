// The hand-over of one generator surface to the engine, in bulk: one packed array per
// attribute, each filled in one pass, and one call that turns them into a mesh surface.
#pragma once

#include "model/tree_model.h"

#include <godot_cpp/classes/array_mesh.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/variant/array.hpp>

namespace wendrel::engine {

// The surface as the engine's mesh arrays: positions, normals, texture coordinates and
// indices, each triangle as first, third, second corner; with p_wind (one record per
// vertex) also the vertex colours, each record encoded by encode_wind().
godot::Array surface_arrays(const Surface &p_surface, const WindRecord *p_wind = nullptr);

// Adds the surface to p_mesh as its next surface, with the indices optimised for the vertex
// cache. A surface without vertices adds nothing.
void add_surface(const godot::Ref<godot::ArrayMesh> &p_mesh, const Surface &p_surface, const WindRecord *p_wind = nullptr);

// A new mesh holding the surface alone; with p_lods, and triangles to simplify, also the
// engine's automatic levels of detail for it.
godot::Ref<godot::ArrayMesh> surface_mesh(const Surface &p_surface, const WindRecord *p_wind = nullptr, bool p_lods = false);

} // namespace wendrel::engine
