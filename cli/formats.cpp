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

std::string without_extension(const std::string &path) {
	return extension(path).empty() ? path : path.substr(0, path.find_last_of('.'));
}

// The twig mesh only when the twigs are on and their cards have an area to show.
Mesh export_twigs(const TreeModel &model, bool twig_enable, const WindRecord *wind) {
	Mesh twigs = twig_enable ? export_mesh(twig_surface(model), wind) : Mesh();
	return has_area(twigs) ? twigs : Mesh();
}

// The output file itself, then the textures it names, beside it (see output_files()).
std::vector<std::pair<std::string, std::string>> with_texture_files(std::pair<std::string, std::string> file, Format format, const Textures &textures) {
	std::vector<OutputFile> names = output_files(file.first, format);
	return { std::move(file), { names[1].path, textures.bark_png }, { names[2].path, textures.leaf_png } };
}

} // namespace

Textures make_textures(int size, bool leaf_atlas) {
	Textures textures;
	textures.bark = bark_texture(size);
	textures.leaf = leaf_texture(size, leaf_atlas);
	textures.bark_png = encode_png(textures.bark, false);
	textures.leaf_png = encode_png(textures.leaf, true);
	return textures;
}

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
	if (ext == ".tres") {
		return Format::PRESET;
	}
	return ext == ".tscn" ? Format::SCENE : Format::UNKNOWN;
}

std::vector<OutputFile> output_files(const std::string &path, Format format) {
	std::string stem = without_extension(path);
	std::vector<OutputFile> files = { { path, OutputKind::OWN } };
	if (format == Format::GLTF || format == Format::OBJ) {
		files.push_back({ stem + "_bark.png", OutputKind::BARK_TEXTURE });
		files.push_back({ stem + "_leaf.png", OutputKind::LEAF_TEXTURE });
	}
	if (format == Format::OBJ) {
		files.push_back({ replace_extension(path, ".mtl"), OutputKind::MATERIALS });
	}
	return files;
}

bool needs_textures(Format format) {
	return format == Format::GLB || format == Format::GLTF || format == Format::OBJ || format == Format::PNG;
}

bool needs_mesh(Format format) {
	return format != Format::SCENE && format != Format::PRESET && format != Format::UNKNOWN;
}

bool parse_count(const std::string &text, int &value) {
	if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
		return false; // nine digits cannot overflow an int
	}
	value = std::stoi(text);
	return true;
}

std::string parse_png_size(const std::string &text, PngSize &size) {
	size_t x = text.find('x');
	int width = 0, height = 0;
	if (x == std::string::npos || !parse_count(text.substr(0, x), width) || !parse_count(text.substr(x + 1), height)) {
		if (x != std::string::npos && x > 0 && x + 1 < text.size() && text.find_first_not_of("0123456789x") == std::string::npos && text.find('x', x + 1) == std::string::npos) {
			return "'" + text + "': each side must lie between 16 and 4096 pixels"; // too many digits
		}
		return "'" + text + "' is not WIDTHxHEIGHT, for example 800x400";
	}
	if (width < 16 || height < 16 || width > 4096 || height > 4096) {
		return "'" + text + "': each side must lie between 16 and 4096 pixels";
	}
	size = PngSize{ width, height };
	return "";
}

std::vector<std::pair<std::string, std::string>> encode(const std::string &path, Format format,
		const TreeModel &model, const ExportSettings &settings, const Textures &textures) {
	if (format == Format::SCENE) {
		return { { path, write_scene(model, "Tree", settings.twig_enable) } };
	}
	if (format == Format::PRESET) {
		return { { path, write_preset(model) } };
	}
	if (format == Format::JSON) {
		return { { path, write_json(model, bark_surface(model), twig_surface(model)) } };
	}
	if (format == Format::UNKNOWN) {
		return {};
	}
	const Recipe recipe{ model, settings.twig_enable };
	const std::string stem = base_name(without_extension(path));
	const TextureNames names{ stem + "_bark.png", stem + "_leaf.png" };
	// Only glTF has room for the wind records.
	bool wind = settings.wind && (format == Format::GLB || format == Format::GLTF);
	const Mesh bark = export_mesh(bark_surface(model), wind ? model.wind.data() : nullptr);
	const Mesh twigs = export_twigs(model, settings.twig_enable, wind ? model.twig_wind.data() : nullptr);
	const std::vector<CollisionCapsule> capsules = settings.collision ? collision_capsules(model.collision_segments, settings.collision_min_radius) : std::vector<CollisionCapsule>();
	const std::vector<CollisionCapsule> *collision = settings.collision ? &capsules : nullptr;
	switch (format) {
		case Format::GLB:
			return { { path, write_gltf(bark, twigs, textures, names, recipe, true, collision) } };
		case Format::GLTF:
			return with_texture_files({ path, write_gltf(bark, twigs, textures, names, recipe, false, collision) }, format, textures);
		case Format::OBJ: {
			std::string mtl = output_files(path, format)[3].path;
			std::vector<std::pair<std::string, std::string>> files = with_texture_files({ path, write_obj(bark, twigs, base_name(mtl)) }, format, textures);
			files.emplace_back(mtl, write_mtl(names));
			return files;
		}
		default:
			return { { path, write_png(bark, twigs, textures, settings.png.width, settings.png.height) } };
	}
}

} // namespace wendrel
