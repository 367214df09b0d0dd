#include "surface.h"

#include <cmath>

namespace wendrel {

Vec3 unit_or_zero(Vec3 v) {
	float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
	if (!(len > 0.0f) || !std::isfinite(len)) {
		return Vec3();
	}
	return Vec3(v.x / len, v.y / len, v.z / len);
}

namespace {

bool is_zero(Vec3 v) {
	return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

// Area-weighted normals of the exported faces around each vertex, for the vertices whose
// own normal is unusable.
void repair_normals(Mesh &mesh) {
	std::vector<Vec3> sums(mesh.positions.size());
	for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
		uint32_t a = mesh.indices[i], b = mesh.indices[i + 1], c = mesh.indices[i + 2];
		Vec3 n = cross(mesh.positions[b] - mesh.positions[a], mesh.positions[c] - mesh.positions[a]);
		sums[a] = sums[a] + n;
		sums[b] = sums[b] + n;
		sums[c] = sums[c] + n;
	}
	for (size_t v = 0; v < mesh.normals.size(); ++v) {
		if (is_zero(mesh.normals[v])) {
			Vec3 n = unit_or_zero(sums[v]);
			mesh.normals[v] = is_zero(n) ? Vec3(0.0f, 1.0f, 0.0f) : n;
		}
	}
}

} // namespace

Mesh export_mesh(const Surface &surface) {
	Mesh mesh;
	size_t count = surface.vertex_count > 0 ? static_cast<size_t>(surface.vertex_count) : 0;
	mesh.positions.assign(surface.vertices, surface.vertices + count);
	mesh.uvs.assign(surface.uvs, surface.uvs + count);
	mesh.normals.reserve(count);
	bool needs_repair = false;
	for (size_t v = 0; v < count; ++v) {
		Vec3 n = unit_or_zero(surface.normals[v]);
		needs_repair = needs_repair || is_zero(n);
		mesh.normals.push_back(n);
	}
	int32_t faces = surface.face_count > 0 ? surface.face_count : 0;
	mesh.indices.reserve(static_cast<size_t>(faces) * 3);
	for (int32_t f = 0; f < faces; ++f) {
		const int32_t *corner = surface.faces[f].index;
		mesh.indices.push_back(static_cast<uint32_t>(corner[0]));
		mesh.indices.push_back(static_cast<uint32_t>(corner[1]));
		mesh.indices.push_back(static_cast<uint32_t>(corner[2]));
	}
	if (needs_repair) {
		repair_normals(mesh);
	}
	return mesh;
}

} // namespace wendrel
