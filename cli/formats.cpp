#include "formats.h"

#include "export.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace wendrel {

namespace {

std::string extension(const std::string &path) {
	size_t dot = path.find_last_of('.');
	size_t slash = path.find_last_of('/');
	if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
		return "";
	}
	std::string ext = path.substr(dot);
	std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
	return ext;
}

std::string replace_extension(const std::string &path, const std::string &ext) {
	return path.substr(0, path.find_last_of('.')) + ext;
}

std::string base_name(const std::string &path) {
	size_t slash = path.find_last_of('/');
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

Format format_of(const std::string &path) {
	const std::string ext = extension(path);
	if (ext == ".glb") {
		return Format::GLB;
	}
	if (ext == ".gltf") {
		return Format::GLTF;
	}
	if (ext == ".obj") {
		return Format::OBJ;
	}
	if (ext == ".json") {
		return Format::JSON;
	}
	if (ext == ".png") {
		return Format::PNG;
	}
	return ext == ".tscn" ? Format::SCENE : Format::UNKNOWN;
}

bool needs_mesh(Format format) {
	return format != Format::SCENE && format != Format::UNKNOWN;
}

std::string parse_png_size(const std::string &text, PngSize &size) {
	int width = 0, height = 0, consumed = 0;
	if (std::sscanf(text.c_str(), "%dx%d%n", &width, &height, &consumed) != 2 || static_cast<size_t>(consumed) != text.size()) {
		return "'" + text + "' is not WIDTHxHEIGHT, for example 800x400";
	}
	if (width < 16 || height < 16 || width > 4096 || height > 4096) {
		return "'" + text + "': each side must lie between 16 and 4096 pixels";
	}
	size = PngSize{ width, height };
	return "";
}

std::vector<std::pair<std::string, std::string>> encode(const std::string &path, Format format,
		const TreeModel &model, PngSize size) {
	switch (format) {
		case Format::GLB:
		case Format::GLTF:
			return { { path, write_gltf(export_mesh(bark_surface(model)), export_mesh(twig_surface(model)), format == Format::GLB) } };
		case Format::OBJ: {
			std::string mtl = replace_extension(path, ".mtl");
			return { { mtl, write_mtl() },
				{ path, write_obj(export_mesh(bark_surface(model)), export_mesh(twig_surface(model)), base_name(mtl)) } };
		}
		case Format::JSON:
			return { { path, write_json(model, bark_surface(model), twig_surface(model)) } };
		case Format::PNG:
			return { { path, write_png(export_mesh(bark_surface(model)), export_mesh(twig_surface(model)), size.width, size.height) } };
		case Format::SCENE:
			return { { path, write_scene(model, "Tree") } };
		case Format::UNKNOWN:
			break;
	}
	return {};
}

} // namespace wendrel
