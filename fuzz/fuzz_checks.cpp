#include "fuzz_checks.h"

#include <cmath>
#include <cstdio>
#include <new>
#include <stdexcept>

namespace wendrel::fuzz {

namespace {

bool finite(Vec3 v) {
	return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
bool finite(Vec2 v) {
	return std::isfinite(v.u) && std::isfinite(v.v);
}

template <typename T>
std::string first_non_finite(const char *name, const T *array, int32_t count) {
	for (int32_t i = 0; i < count; i++)
		if (!finite(array[i]))
			return std::string(name) + "[" + std::to_string(i) + "] is not finite";
	return "";
}

std::string first_bad_index(const char *name, const Face *faces, int32_t count, int32_t limit) {
	for (int32_t i = 0; i < count; i++)
		for (int32_t index : faces[i].index)
			if (index < 0 || index >= limit)
				return std::string(name) + "[" + std::to_string(i) + "] holds " + std::to_string(index);
	return "";
}

std::string check_counts(const TreeModel &m, const TreeSize &size) {
	if (m.face_count != size.face_count || m.twig_face_count != size.twig_face_count ||
			m.twig_vertex_count != size.twig_vertex_count)
		return "counts differ from measure_tree(): faces " + std::to_string(m.face_count) + " vs " +
				std::to_string(size.face_count) + ", twig faces " + std::to_string(m.twig_face_count) + " vs " +
				std::to_string(size.twig_face_count) + ", twig vertices " + std::to_string(m.twig_vertex_count) +
				" vs " + std::to_string(size.twig_vertex_count);
	if (m.vertex_count < size.vertex_count || m.vertex_count > size.max_vertex_count)
		return "vertex_count " + std::to_string(m.vertex_count) + " outside " + std::to_string(size.vertex_count) +
				".." + std::to_string(size.max_vertex_count);
	return "";
}

bool all_finite(const TreeProperties &p) {
	for (const PropertyRow &row : property_table())
		if (row.type == PropertyType::REAL && !std::isfinite(p.*row.float_field))
			return false;
	return true;
}

} // namespace

std::string mesh_finding(const TreeModel &m) {
	const TreeSize size = measure_tree(m);
	const std::string checks[] = {
		m.root ? "the skeleton outlived generate()" : "",
		check_counts(m, size),
		first_bad_index("faces", m.faces, m.face_count, m.vertex_count),
		first_bad_index("twig_faces", m.twig_faces, m.twig_face_count, m.twig_vertex_count),
		first_non_finite("vertices", m.vertices, m.vertex_count),
		first_non_finite("normals", m.normals, m.vertex_count),
		first_non_finite("uvs", m.uvs, m.vertex_count),
		first_non_finite("twig_vertices", m.twig_vertices, m.twig_vertex_count),
		first_non_finite("twig_normals", m.twig_normals, m.twig_vertex_count),
		first_non_finite("twig_uvs", m.twig_uvs, m.twig_vertex_count),
	};
	for (const std::string &finding : checks)
		if (!finding.empty())
			return finding;
	return "";
}

namespace {

// generate() on a refused tree must throw and leave the previous arrays untouched.
Verdict check_refused(TreeModel &model) {
	Verdict verdict;
	verdict.outcome = Outcome::REFUSED;
	uint64_t before = digest(model);
	const Vec3 *vertices = model.vertices;
	try {
		model.generate();
		verdict.finding = "a refused tree was generated";
	} catch (const std::bad_alloc &) {
	} catch (const std::domain_error &) {
	}
	if (verdict.finding.empty() && (digest(model) != before || model.vertices != vertices))
		verdict.finding = "a refusal changed the previous result";
	return verdict;
}

} // namespace

uint64_t digest(const TreeModel &m) {
	uint64_t hash = 14695981039346656037ull;
	auto mix = [&hash](const void *data, size_t bytes) {
		const unsigned char *p = static_cast<const unsigned char *>(data);
		for (size_t i = 0; i < bytes; i++) {
			hash ^= p[i];
			hash *= 1099511628211ull;
		}
	};
	int32_t counts[4] = { m.vertex_count, m.twig_vertex_count, m.face_count, m.twig_face_count };
	mix(counts, sizeof counts);
	mix(m.vertices, sizeof(Vec3) * size_t(m.vertex_count));
	mix(m.normals, sizeof(Vec3) * size_t(m.vertex_count));
	mix(m.uvs, sizeof(Vec2) * size_t(m.vertex_count));
	mix(m.twig_vertices, sizeof(Vec3) * size_t(m.twig_vertex_count));
	mix(m.twig_normals, sizeof(Vec3) * size_t(m.twig_vertex_count));
	mix(m.twig_uvs, sizeof(Vec2) * size_t(m.twig_vertex_count));
	mix(m.faces, sizeof(Face) * size_t(m.face_count));
	mix(m.twig_faces, sizeof(Face) * size_t(m.twig_face_count));
	return hash;
}

Verdict generate_and_check(TreeModel &model, const TreeProperties &properties) {
	model.set_properties(properties);
	TreeSize size = measure_tree(model);
	if (!size.fits)
		return check_refused(model);
	Verdict verdict;
	if (size.max_vertex_count > VERTEX_BUDGET)
		return verdict;
	verdict.outcome = Outcome::BUILT;
	if (!all_finite(properties)) {
		verdict.finding = "a non-finite parameter was accepted";
		return verdict;
	}
	try {
		model.generate();
	} catch (const std::exception &e) {
		verdict.finding = std::string("an accepted tree threw: ") + e.what();
		return verdict;
	}
	verdict.finding = mesh_finding(model);
	return verdict;
}

std::string describe(const TreeProperties &p) {
	std::string text;
	for (const PropertyRow &row : property_table()) {
		char option[160];
		if (row.type == PropertyType::INTEGER)
			std::snprintf(option, sizeof option, "--%s %d", row.name, p.*row.int_field);
		else
			std::snprintf(option, sizeof option, "--%s %.9g", row.name, double(p.*row.float_field));
		for (char *c = option + 2; *c != ' '; c++)
			*c = *c == '_' ? '-' : *c;
		text += (text.empty() ? "" : " ") + std::string(option);
	}
	return text;
}

} // namespace wendrel::fuzz
