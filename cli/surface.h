// The two surfaces of a generated tree, and their conversion to what the file formats want:
// unit normals pointing out of the surface, faces counter-clockwise seen from there.
//
// The model already follows that convention: its bark normals point away from the branch
// axes, and each triangle winds counter-clockwise seen from the side its normals point to
// (the bark tubes enclose a positive signed volume). The twig cards hold each quad twice,
// with opposite windings and opposite normals. So export_mesh() keeps the winding and the
// direction of every normal, and only scales the normals to unit length, which glTF
// requires and the model does not give (its normals are means of unit face normals).
#pragma once

#include "model/tree_model.h"

#include <array>
#include <cstdint>
#include <vector>

namespace wendrel {

// A surface ready for a file: as many positions, normals and uvs as the surface has
// vertices, and three indices per face.
struct Mesh {
	std::vector<Vec3> positions;
	std::vector<Vec3> normals;
	std::vector<Vec2> uvs;
	std::vector<uint32_t> indices;
	// Four values per vertex when the wind is asked for (see encode_wind()), else empty.
	std::vector<std::array<float, 4>> wind;

	bool empty() const { return positions.empty() || indices.empty(); }
};

// Copies a surface, normalising its normals. A zero or non-finite normal, which no file
// format accepts, is replaced by the normal of the faces around the vertex, or by +y where
// those have no area either. Vertices that no face uses are left out (viewers drop them, and
// would then count fewer than the model holds); the others keep their order. A position or
// texture coordinate that is not finite cannot be mended: throws std::runtime_error.
// `wind`, when given, holds one record per vertex of the surface.
Mesh export_mesh(const Surface &surface, const WindRecord *wind = nullptr);

// The number of vertices of the surface that some face uses: what export_mesh() keeps.
int32_t used_vertex_count(const Surface &surface);

// Whether some triangle of the mesh has an area.
bool has_area(const Mesh &mesh);

// The unit vector along v, or the zero vector when v has no finite, non-zero length.
Vec3 unit_or_zero(Vec3 v);

} // namespace wendrel
