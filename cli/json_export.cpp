#include "export.h"

#include "parameters.h"

#include <cmath>
#include <cstdio>

namespace wendrel {

namespace {

void append_float(std::string &out, float value) {
	if (std::isnan(value)) {
		out += "\"nan\"";
		return;
	}
	if (std::isinf(value)) {
		out += value > 0 ? "\"inf\"" : "\"-inf\"";
		return;
	}
	char text[32];
	std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
	out += text;
	// "-0" or "3" would read back as an integer, and -0 then loses its sign.
	if (std::string(text).find_first_of(".e") == std::string::npos) {
		out += ".0";
	}
}

void append_tuple(std::string &out, const float *values, int count) {
	out += "[";
	for (int i = 0; i < count; ++i) {
		out += i ? ", " : "";
		append_float(out, values[i]);
	}
	out += "]";
}

void append_key(std::string &out, const std::string &key) {
	out += ",\n\"" + key + "\": ";
}

// One element per line, so that two dumps compare well with diff.
template <typename Element, typename Print>
void append_array(std::string &out, const std::string &key, const Element *data, int32_t count, Print print) {
	append_key(out, key);
	out += "[";
	for (int32_t i = 0; i < count; ++i) {
		out += i ? ",\n  " : "\n  ";
		print(out, data[i]);
	}
	out += count > 0 ? "\n]" : "]";
}

void append_vec3(std::string &out, const Vec3 &v) {
	const float values[3] = { v.x, v.y, v.z };
	append_tuple(out, values, 3);
}

void append_vec2(std::string &out, const Vec2 &v) {
	const float values[2] = { v.u, v.v };
	append_tuple(out, values, 2);
}

void append_face(std::string &out, const Face &f) {
	out += "[" + std::to_string(f.index[0]) + ", " + std::to_string(f.index[1]) + ", " + std::to_string(f.index[2]) + "]";
}

void append_surface(std::string &out, const std::string &prefix, const Surface &s) {
	append_array(out, prefix + "vertices", s.vertices, s.vertex_count, append_vec3);
	append_array(out, prefix + "normals", s.normals, s.vertex_count, append_vec3);
	append_array(out, prefix + "uvs", s.uvs, s.vertex_count, append_vec2);
	append_array(out, prefix + "faces", s.faces, s.face_count, append_face);
}

void append_parameters(std::string &out, const TreeProperties &properties) {
	out += "\"parameters\": {";
	const char *separator = "\n  ";
	for (const Parameter &parameter : parameters()) {
		out += separator + std::string("\"") + parameter.name + "\": ";
		// The shortest text that reads back exactly: these are typed by people.
		out += format_value(parameter, parameter.get(properties));
		separator = ",\n  ";
	}
	out += "\n}";
}

} // namespace

std::string write_json(const TreeProperties &properties, const Surface &bark, const Surface &twigs) {
	std::string out = "{\n";
	append_parameters(out, properties);
	append_key(out, "vertex_count");
	out += std::to_string(bark.vertex_count);
	append_key(out, "twig_vertex_count");
	out += std::to_string(twigs.vertex_count);
	append_key(out, "face_count");
	out += std::to_string(bark.face_count);
	append_key(out, "twig_face_count");
	out += std::to_string(twigs.face_count);
	append_surface(out, "", bark);
	append_surface(out, "twig_", twigs);
	out += "\n}\n";
	return out;
}

} // namespace wendrel
