// The hand-over of one generator surface to the engine, in bulk: one packed array per
// attribute, each filled in one pass, and one call that turns them into a mesh surface.
#pragma once

#include "model/tree_model.h"

#include <godot_cpp/classes/array_mesh.hpp>
#include <godot_cpp/classes/material.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/variant/packed_int32_array.hpp>
#include <godot_cpp/variant/packed_vector3_array.hpp>

#include <cstdint>
#include <mutex>
#include <vector>

namespace wendrel::engine {

// The engine's vertex-cache order of a surface's triangles, remembered for the last index
// list asked about. Finding the order (the SurfaceTool's index optimisation) costs more than
// growing the tree, and it depends on nothing but the index list and the vertex count; the
// changes made most often in the inspector (lengths, radii, angles, pushes) keep both, so
// the order found last is handed out again while they stay the same. Safe to share between
// the main thread and a tree growing on a worker.
class IndexOrder {
public:
	// p_indices in the engine's vertex-cache order: exactly the list the SurfaceTool's
	// optimize_indices_for_cache() makes of p_indices over p_vertices.
	godot::PackedInt32Array optimised(const godot::PackedVector3Array &p_vertices, const godot::PackedInt32Array &p_indices);

	// Longer index lists are not remembered: the two copies would cost hundreds of megabytes
	// on the largest trees, whose fork joints change with almost any value anyway.
	static constexpr int64_t REMEMBERED_INDICES_MAX = int64_t(1) << 22;

private:
	bool remembers(const godot::PackedInt32Array &p_indices, int64_t p_vertex_count) const;

	std::mutex mutex;
	std::vector<int32_t> last_indices; // as asked about
	int64_t last_vertex_count = -1;
	godot::PackedInt32Array last_order;
};

// The remembered orders of a tree's two surfaces.
struct SurfaceOrders {
	IndexOrder bark;
	IndexOrder twigs;
};

// Adds the surface to p_mesh as its next surface, with the indices in the vertex-cache order
// that r_order finds or remembers. A surface without vertices adds nothing.
void add_surface(const godot::Ref<godot::ArrayMesh> &p_mesh, const Surface &p_surface, const WindRecord *p_wind,
		IndexOrder &r_order);

// One surface of a mesh being built: the generator's surface, its wind records (one per
// vertex) or null, the remembered order of its indices and its material.
struct SurfaceSource {
	Surface surface;
	const WindRecord *wind;
	IndexOrder *order;
	godot::Ref<godot::Material> material;
};

// A new mesh of the sources' surfaces, in their order, each with its material; a surface
// without vertices adds nothing. With p_lods, each surface gets the engine's automatic levels
// of detail, and a surface without triangles adds nothing either.
godot::Ref<godot::ArrayMesh> combined_mesh(const std::vector<SurfaceSource> &p_sources, bool p_lods);

// A new mesh holding the surface alone; with p_lods, and triangles to simplify, also the
// engine's automatic levels of detail for it.
godot::Ref<godot::ArrayMesh> surface_mesh(const Surface &p_surface, const WindRecord *p_wind, bool p_lods, IndexOrder &r_order);

} // namespace wendrel::engine
