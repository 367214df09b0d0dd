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
	if (mesh.empty()) {
		return;
	}
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

// Kd 1 1 1: the texture gives the colour, as glTF's base colour factor 1 does.
void append_material(std::string &out, const char *name, const std::string &texture) {
	out += std::string("newmtl ") + name + "\n";
	out += "Kd 1 1 1\nKa 0 0 0\nKs 0 0 0\nd 1\nillum 1\nmap_Kd " + texture + "\n";
}

} // namespace

std::string write_obj(const Mesh &bark, const Mesh &twigs, const std::string &mtl_name) {
	std::string out = "# wendrel " WENDREL_VERSION ": y up, counter-clockwise front faces\n";
	out += "mtllib " + mtl_name + "\n";
	append_object(out, bark, "bark", "bark", 0);
	append_object(out, twigs, "twigs", "twig", bark.positions.size());
	return out;
}

std::string write_mtl(const TextureNames &names) {
	std::string out = "# wendrel " WENDREL_VERSION ": the twig texture's alpha cuts the leaves out of the cards (cut-off 0.5)\n";
	append_material(out, "bark", names.bark);
	append_material(out, "twig", names.leaf);
	out += "map_d " + names.leaf + "\n";
	return out;
}

} // namespace wendrel
