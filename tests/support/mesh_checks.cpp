#include "mesh_checks.h"

#include <cmath>
#include <cstring>

namespace wendrel::test {

namespace {

bool finite(Vec3 v) {
	return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
bool finite(Vec2 v) {
	return std::isfinite(v.u) && std::isfinite(v.v);
}

template <typename T>
::testing::AssertionResult all_finite(const char *name, const T *array, int32_t count) {
	for (int32_t i = 0; i < count; i++) {
		if (!finite(array[i]))
			return ::testing::AssertionFailure() << name << "[" << i << "] is not finite";
	}
	return ::testing::AssertionSuccess();
}

::testing::AssertionResult indices_below(const char *name, const Face *faces, int32_t count, int32_t limit) {
	for (int32_t i = 0; i < count; i++) {
		for (int32_t index : faces[i].index) {
			if (index < 0 || index >= limit)
				return ::testing::AssertionFailure() << name << "[" << i << "] holds " << index << ", outside 0.." << limit - 1;
		}
	}
	return ::testing::AssertionSuccess();
}

::testing::AssertionResult counts_match(const TreeModel &m) {
	TreeSize size = measure_tree(m);
	if (m.face_count != size.face_count || m.twig_face_count != size.twig_face_count ||
			m.twig_vertex_count != size.twig_vertex_count)
		return ::testing::AssertionFailure() << "counts differ from the closed form: faces " << m.face_count
											 << " vs " << size.face_count << ", twig faces " << m.twig_face_count
											 << " vs " << size.twig_face_count;
	if (m.vertex_count < size.vertex_count || m.vertex_count > size.max_vertex_count)
		return ::testing::AssertionFailure() << "vertex_count " << m.vertex_count << " outside "
											 << size.vertex_count << ".." << size.max_vertex_count;
	return ::testing::AssertionSuccess();
}

template <typename T>
void mix(uint64_t &hash, const T *data, size_t count) {
	const unsigned char *bytes = reinterpret_cast<const unsigned char *>(data);
	for (size_t i = 0; i < sizeof(T) * count; i++) {
		hash ^= bytes[i];
		hash *= 1099511628211ull;
	}
}

} // namespace

::testing::AssertionResult validate_mesh(const TreeModel &m) {
	if (m.root)
		return ::testing::AssertionFailure() << "the skeleton outlived generate()";
	::testing::AssertionResult checks[] = {
		counts_match(m),
		indices_below("faces", m.faces, m.face_count, m.vertex_count),
		indices_below("twig_faces", m.twig_faces, m.twig_face_count, m.twig_vertex_count),
		all_finite("vertices", m.vertices, m.vertex_count),
		all_finite("normals", m.normals, m.vertex_count),
		all_finite("uvs", m.uvs, m.vertex_count),
		all_finite("twig_vertices", m.twig_vertices, m.twig_vertex_count),
		all_finite("twig_normals", m.twig_normals, m.twig_vertex_count),
		all_finite("twig_uvs", m.twig_uvs, m.twig_vertex_count),
	};
	for (auto &check : checks) {
		if (!check)
			return check;
	}
	return ::testing::AssertionSuccess();
}

void generate_with(TreeModel &model, const TreeProperties &properties) {
	model.set_properties(properties);
	model.generate();
}

uint64_t digest(const TreeModel &m) {
	uint64_t hash = 14695981039346656037ull;
	int32_t counts[4] = { m.vertex_count, m.twig_vertex_count, m.face_count, m.twig_face_count };
	mix(hash, counts, 4);
	mix(hash, m.vertices, size_t(m.vertex_count));
	mix(hash, m.normals, size_t(m.vertex_count));
	mix(hash, m.uvs, size_t(m.vertex_count));
	mix(hash, m.twig_vertices, size_t(m.twig_vertex_count));
	mix(hash, m.twig_normals, size_t(m.twig_vertex_count));
	mix(hash, m.twig_uvs, size_t(m.twig_vertex_count));
	mix(hash, m.faces, size_t(m.face_count));
	mix(hash, m.twig_faces, size_t(m.twig_face_count));
	return hash;
}

TreeProperties random_properties(std::mt19937 &rng) {
	auto real = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
	auto whole = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
	TreeProperties p;
	p.seed = whole(0, 100000);
	p.segments = 2 * whole(1, 5);
	p.branches_count = whole(1, 6);
	p.trunk_height = whole(0, 30);
	p.branch_length = real(0.01f, 10.0f);
	p.branch_length_falloff = real(0.0f, 2.0f);
	p.branch_factor = real(0.1f, 20.0f);
	p.branch_clump_max = real(0.0f, 20.0f);
	p.branch_clump_min = real(0.0f, 20.0f);
	p.drop_amount = real(-5.0f, 5.0f);
	p.grow_amount = real(-5.0f, 5.0f);
	p.sweep_amount = real(-5.0f, 5.0f);
	p.max_radius = real(0.01f, 0.6f);
	p.radius_falloff_rate = real(0.1f, 1.0f);
	p.climb_rate = real(0.0f, 50.0f);
	p.trunk_kink = real(-1.0f, 1.0f);
	p.twist = real(-5.0f, 5.0f);
	p.trunk_length = real(0.0f, 100.0f);
	p.uv_multiplier = real(0.001f, 50.0f);
	p.twig_scale = real(0.0f, 5.0f);
	return p;
}

} // namespace wendrel::test
