#include "surface_arrays.h"

#include <godot_cpp/classes/importer_mesh.hpp>
#include <godot_cpp/classes/mesh.hpp>
#include <godot_cpp/classes/surface_tool.hpp>
#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/color.hpp>
#include <godot_cpp/variant/packed_color_array.hpp>
#include <godot_cpp/variant/packed_int32_array.hpp>
#include <godot_cpp/variant/packed_vector2_array.hpp>
#include <godot_cpp/variant/packed_vector3_array.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <algorithm>

namespace wendrel::engine {

namespace {

using godot::PackedInt32Array;
using godot::PackedVector2Array;
using godot::PackedVector3Array;

PackedVector3Array vector3_array(const Vec3 *p_values, int32_t p_count) {
	PackedVector3Array result;
	result.resize(p_count);
	godot::Vector3 *out = result.ptrw();
	for (int32_t i = 0; i < p_count; i++) {
		out[i] = godot::Vector3(p_values[i].x, p_values[i].y, p_values[i].z);
	}
	return result;
}

PackedVector2Array vector2_array(const Vec2 *p_values, int32_t p_count) {
	PackedVector2Array result;
	result.resize(p_count);
	godot::Vector2 *out = result.ptrw();
	for (int32_t i = 0; i < p_count; i++) {
		out[i] = godot::Vector2(p_values[i].u, p_values[i].v);
	}
	return result;
}

godot::PackedColorArray color_array(const WindRecord *p_wind, int32_t p_count) {
	godot::PackedColorArray result;
	result.resize(p_count);
	godot::Color *out = result.ptrw();
	for (int32_t i = 0; i < p_count; i++) {
		float channels[4];
		encode_wind(p_wind[i], channels);
		out[i] = godot::Color(channels[0], channels[1], channels[2], channels[3]);
	}
	return result;
}

// note: the engine takes clockwise triangles as front faces, while every model triangle winds
// counter-clockwise seen from the side its normals point to (out of the bark, out of each
// side of a twig card). So each triangle is handed over with its second and third corners
// swapped, and the normals as they are: the bark faces outwards, lit from outside. Handing
// over the model's order with negated normals would turn the bark inside out, culled from
// outside; the double-sided twig cards look the same either way.
PackedInt32Array index_array(const Face *p_faces, int32_t p_count) {
	PackedInt32Array result;
	result.resize(int64_t(p_count) * 3);
	int32_t *out = result.ptrw();
	for (int32_t i = 0; i < p_count; i++) {
		out[3 * i] = p_faces[i].index[0];
		out[3 * i + 1] = p_faces[i].index[2];
		out[3 * i + 2] = p_faces[i].index[1];
	}
	return result;
}

} // namespace

bool IndexOrder::remembers(const godot::PackedInt32Array &p_indices, int64_t p_vertex_count) const {
	return p_vertex_count == last_vertex_count && size_t(p_indices.size()) == last_indices.size() &&
			std::equal(last_indices.begin(), last_indices.end(), p_indices.ptr());
}

// The SurfaceTool gets the positions alone: the order depends on the vertex count only, and
// the tool copies every attribute it is given into a record of its own per vertex. The lock
// is not held while the tool works, so a large surface ordered on a worker never stalls the
// main thread's small one.
godot::PackedInt32Array IndexOrder::optimised(const godot::PackedVector3Array &p_vertices, const godot::PackedInt32Array &p_indices) {
	{
		std::lock_guard<std::mutex> lock(mutex);
		if (remembers(p_indices, p_vertices.size())) {
			return last_order;
		}
	}
	godot::Array arrays;
	arrays.resize(godot::Mesh::ARRAY_MAX);
	arrays[godot::Mesh::ARRAY_VERTEX] = p_vertices;
	arrays[godot::Mesh::ARRAY_INDEX] = p_indices;
	godot::Ref<godot::SurfaceTool> tool = memnew(godot::SurfaceTool);
	tool->create_from_arrays(arrays, godot::Mesh::PRIMITIVE_TRIANGLES);
	tool->optimize_indices_for_cache();
	const godot::PackedInt32Array order = tool->commit_to_arrays()[godot::Mesh::ARRAY_INDEX];

	std::lock_guard<std::mutex> lock(mutex);
	if (p_indices.size() > REMEMBERED_INDICES_MAX) {
		last_indices = std::vector<int32_t>();
		last_vertex_count = -1;
		last_order = godot::PackedInt32Array();
		return order;
	}
	last_indices.assign(p_indices.ptr(), p_indices.ptr() + p_indices.size());
	last_vertex_count = p_vertices.size();
	last_order = order;
	return order;
}

namespace {

// The surface as the engine's mesh arrays: positions, normals, texture coordinates and
// indices in r_order's vertex-cache order, each triangle as first, third, second corner; with
// p_wind (one record per vertex) also the vertex colours, each record encoded by
// encode_wind().
godot::Array ordered_surface_arrays(const Surface &p_surface, const WindRecord *p_wind, IndexOrder &r_order) {
	const PackedVector3Array vertices = vector3_array(p_surface.vertices, p_surface.vertex_count);
	godot::Array arrays;
	arrays.resize(godot::Mesh::ARRAY_MAX);
	arrays[godot::Mesh::ARRAY_VERTEX] = vertices;
	arrays[godot::Mesh::ARRAY_NORMAL] = vector3_array(p_surface.normals, p_surface.vertex_count);
	arrays[godot::Mesh::ARRAY_TEX_UV] = vector2_array(p_surface.uvs, p_surface.vertex_count);
	if (p_wind) {
		arrays[godot::Mesh::ARRAY_COLOR] = color_array(p_wind, p_surface.vertex_count);
	}
	arrays[godot::Mesh::ARRAY_INDEX] = r_order.optimised(vertices, index_array(p_surface.faces, p_surface.face_count));
	return arrays;
}

} // namespace

void add_surface(const godot::Ref<godot::ArrayMesh> &p_mesh, const Surface &p_surface, const WindRecord *p_wind,
		IndexOrder &r_order) {
	if (p_surface.vertex_count == 0) {
		return;
	}
	p_mesh->add_surface_from_arrays(godot::Mesh::PRIMITIVE_TRIANGLES, ordered_surface_arrays(p_surface, p_wind, r_order));
}

// The same simplification the engine gives imported meshes: index lists of fewer triangles
// over the same vertices, which the renderer picks by the mesh's size on screen. Normals
// within 60 degrees are merged for it, so that the bark's smooth rings may collapse, while
// the sharp edges between a twig card's two sides stay.
godot::Ref<godot::ArrayMesh> combined_mesh(const std::vector<SurfaceSource> &p_sources, bool p_lods) {
	godot::Ref<godot::ArrayMesh> mesh;
	std::vector<godot::Ref<godot::Material>> materials;
	const bool any_triangles = std::any_of(p_sources.begin(), p_sources.end(), [](const SurfaceSource &p_source) { return p_source.surface.face_count > 0; });
	if (p_lods && any_triangles) {
		godot::Ref<godot::ImporterMesh> importer;
		importer.instantiate();
		for (const SurfaceSource &source : p_sources) {
			if (source.surface.face_count > 0) {
				importer->add_surface(godot::Mesh::PRIMITIVE_TRIANGLES, ordered_surface_arrays(source.surface, source.wind, *source.order));
				materials.push_back(source.material);
			}
		}
		importer->generate_lods(60.0f, 25.0f, godot::Array());
		mesh = importer->get_mesh();
	} else {
		mesh.instantiate();
		for (const SurfaceSource &source : p_sources) {
			if (source.surface.vertex_count > 0) {
				add_surface(mesh, source.surface, source.wind, *source.order);
				materials.push_back(source.material);
			}
		}
	}
	for (size_t i = 0; i < materials.size(); i++) {
		if (materials[i].is_valid()) {
			mesh->surface_set_material(int32_t(i), materials[i]);
		}
	}
	return mesh;
}

godot::Ref<godot::ArrayMesh> surface_mesh(const Surface &p_surface, const WindRecord *p_wind, bool p_lods, IndexOrder &r_order) {
	return combined_mesh({ SurfaceSource{ p_surface, p_wind, &r_order, godot::Ref<godot::Material>() } }, p_lods);
}

} // namespace wendrel::engine
