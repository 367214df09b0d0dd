#include "surface.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

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

// Which vertices some face uses. Indices outside the surface are ignored.
std::vector<bool> used_vertices(const Surface &surface) {
	size_t count = surface.vertex_count > 0 ? static_cast<size_t>(surface.vertex_count) : 0;
	std::vector<bool> used(count, false);
	for (int32_t f = 0; f < surface.face_count; ++f) {
		for (int32_t corner : surface.faces[f].index) {
			if (corner >= 0 && static_cast<size_t>(corner) < count) {
				used[static_cast<size_t>(corner)] = true;
			}
		}
	}
	return used;
}

// Drops the unused vertices, keeping the order of the rest, and renumbers the indices.
void drop_unused(Mesh &mesh, const std::vector<bool> &used) {
	std::vector<uint32_t> new_index(used.size(), 0);
	size_t kept = 0;
	for (size_t v = 0; v < used.size(); ++v) {
		if (used[v]) {
			new_index[v] = static_cast<uint32_t>(kept);
			mesh.positions[kept] = mesh.positions[v];
			mesh.normals[kept] = mesh.normals[v];
			mesh.uvs[kept] = mesh.uvs[v];
			if (!mesh.wind.empty()) {
				mesh.wind[kept] = mesh.wind[v];
			}
			++kept;
		}
	}
	mesh.positions.resize(kept);
	mesh.normals.resize(kept);
	mesh.uvs.resize(kept);
	mesh.wind.resize(mesh.wind.empty() ? 0 : kept);
	for (uint32_t &index : mesh.indices) {
		index = new_index[index];
	}
}

bool finite(Vec3 v) {
	return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// No file format holds NaN or infinity: glTF would get null bounds, OBJ "nan" lines.
void require_finite(const Mesh &mesh) {
	for (size_t v = 0; v < mesh.positions.size(); ++v) {
		if (!finite(mesh.positions[v]) || !std::isfinite(mesh.uvs[v].u) || !std::isfinite(mesh.uvs[v].v)) {
			throw std::runtime_error("vertex " + std::to_string(v) + " of the tree has a position or texture coordinate that is not finite; nothing was written");
		}
	}
}

} // namespace

int32_t used_vertex_count(const Surface &surface) {
	std::vector<bool> used = used_vertices(surface);
	return static_cast<int32_t>(std::count(used.begin(), used.end(), true));
}

bool has_area(const Mesh &mesh) {
	for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
		const Vec3 &a = mesh.positions[mesh.indices[i]];
		Vec3 n = cross(mesh.positions[mesh.indices[i + 1]] - a, mesh.positions[mesh.indices[i + 2]] - a);
		if (n.x != 0.0f || n.y != 0.0f || n.z != 0.0f) {
			return true;
		}
	}
	return false;
}

Mesh export_mesh(const Surface &surface, const WindRecord *wind) {
	Mesh mesh;
	size_t count = surface.vertex_count > 0 ? static_cast<size_t>(surface.vertex_count) : 0;
	mesh.positions.assign(surface.vertices, surface.vertices + count);
	mesh.uvs.assign(surface.uvs, surface.uvs + count);
	require_finite(mesh);
	mesh.normals.reserve(count);
	bool needs_repair = false;
	for (size_t v = 0; v < count; ++v) {
		Vec3 n = unit_or_zero(surface.normals[v]);
		needs_repair = needs_repair || is_zero(n);
		mesh.normals.push_back(n);
	}
	if (wind) {
		mesh.wind.resize(count);
		for (size_t v = 0; v < count; ++v) {
			encode_wind(wind[v], mesh.wind[v].data());
		}
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
	std::vector<bool> used = used_vertices(surface);
	if (std::find(used.begin(), used.end(), false) != used.end()) {
		drop_unused(mesh, used);
	}
	return mesh;
}

} // namespace wendrel
