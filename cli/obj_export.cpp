#include "export.h"

#include <cstdio>

namespace wendrel {

namespace {

// %.9g: enough digits for every float to read back unchanged.
void append(std::string &out, const char *format, double a, double b, double c) {
	char line[128];
	std::snprintf(line, sizeof line, format, a, b, c);
	out += line;
}

// OBJ indices are 1-based and shared by all objects of the file; `base` is the number of
// vertices written before this object.
void append_object(std::string &out, const Mesh &mesh, const char *name, const char *material, size_t base) {
	out += std::string("o ") + name + "\nusemtl " + material + "\n";
	for (const Vec3 &p : mesh.positions) {
		append(out, "v %.9g %.9g %.9g\n", p.x, p.y, p.z);
	}
	for (const Vec2 &t : mesh.uvs) {
		char line[96];
		std::snprintf(line, sizeof line, "vt %.9g %.9g\n", t.u, 1.0f - t.v);
		out += line;
	}
	for (const Vec3 &n : mesh.normals) {
		append(out, "vn %.9g %.9g %.9g\n", n.x, n.y, n.z);
	}
	for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
		out += "f";
		for (size_t k = 0; k < 3; ++k) {
			unsigned long index = static_cast<unsigned long>(base + mesh.indices[i + k] + 1);
			char corner[64];
			std::snprintf(corner, sizeof corner, " %lu/%lu/%lu", index, index, index);
			out += corner;
		}
		out += "\n";
	}
}

void append_material(std::string &out, const char *name, Colour colour) {
	out += std::string("newmtl ") + name + "\n";
	append(out, "Kd %.3f %.3f %.3f\n", colour.r, colour.g, colour.b);
	out += "Ka 0 0 0\nKs 0 0 0\nd 1\nillum 1\n";
}

} // namespace

std::string write_obj(const Mesh &bark, const Mesh &twigs, const std::string &mtl_name) {
	std::string out = "# wendrel " WENDREL_VERSION ": y up, counter-clockwise front faces\n";
	out += "mtllib " + mtl_name + "\n";
	append_object(out, bark, "bark", "bark", 0);
	append_object(out, twigs, "twigs", "twig", bark.positions.size());
	return out;
}

std::string write_mtl() {
	std::string out = "# wendrel " WENDREL_VERSION ": placeholder materials\n";
	append_material(out, "bark", BARK_COLOUR);
	append_material(out, "twig", TWIG_COLOUR);
	return out;
}

} // namespace wendrel
