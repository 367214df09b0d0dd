// The two surfaces of a generated tree, and their conversion to the convention of the file
// formats: unit normals pointing out of the surface, faces counter-clockwise seen from there.
//
// The model's own convention: each normal points to the side from which its triangles wind
// counter-clockwise, and on the bark that side is the inside of the tube. The node hands the
// engine the negated normals, which then point outward, and the engine's front faces are the
// clockwise ones, so there the bark is seen from outside. glTF and OBJ want counter-clockwise
// front faces with the normal on the same side, so export_mesh() negates the normals and
// reverses the winding.
#pragma once

#include "model/tree_model.h"

#include <cstdint>
#include <vector>

namespace wendrel {

// One surface's arrays exactly as generate() left them; the model owns the memory.
struct Surface {
	int32_t vertex_count = 0;
	const Vec3 *vertices = nullptr;
	const Vec3 *normals = nullptr;
	const Vec2 *uvs = nullptr;
	int32_t face_count = 0;
	const Face *faces = nullptr;
};

Surface bark_surface(const TreeModel &model);
Surface twig_surface(const TreeModel &model);

// A surface ready for a file: as many positions, normals and uvs as the surface has
// vertices, and three indices per face.
struct Mesh {
	std::vector<Vec3> positions;
	std::vector<Vec3> normals;
	std::vector<Vec2> uvs;
	std::vector<uint32_t> indices;

	bool empty() const { return positions.empty() || indices.empty(); }
};

// Negates and normalises the normals and reverses each face's winding. A zero or non-finite
// normal, which no file format accepts, is replaced by the normal of the faces around the
// vertex, or by +y where those have no area either.
Mesh export_mesh(const Surface &surface);

// The unit vector along v, or the zero vector when v has no finite, non-zero length.
Vec3 unit_or_zero(Vec3 v);

} // namespace wendrel
