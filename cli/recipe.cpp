#include "recipe.h"

#include "formats.h"
#include "parameters.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace wendrel {

namespace {

using json = nlohmann::json;

std::string read_bytes(const std::string &path) {
	std::ifstream file(path, std::ios::binary);
	std::ostringstream bytes;
	if (!file || !(bytes << file.rdbuf())) {
		throw std::runtime_error("cannot read '" + path + "'");
	}
	return bytes.str();
}

uint32_t read_u32(const std::string &bytes, size_t offset) {
	unsigned char b[4];
	std::memcpy(b, bytes.data() + offset, 4);
	return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
}

// The JSON chunk of a binary glTF: a 12-byte header, then chunks of length, type and data.
std::string glb_json(const std::string &bytes) {
	if (bytes.size() < 20 || bytes.compare(0, 4, "glTF") != 0 || bytes.compare(16, 4, "JSON") != 0) {
		throw std::runtime_error("it is not a binary glTF file");
	}
	uint32_t length = read_u32(bytes, 12);
	if (length > bytes.size() - 20) {
		throw std::runtime_error("its JSON chunk is cut short");
	}
	return bytes.substr(20, length);
}

// The "parameters" object of the root node's extras.
const json &gltf_parameters(const json &gltf) {
	size_t scene = gltf.value("scene", 0u);
	const json &root = gltf.at("nodes").at(gltf.at("scenes").at(scene).at("nodes").at(0).get<size_t>());
	return root.at("extras").at("parameters");
}

void apply(Recipe &recipe, const std::string &name, const json &value, std::ostream &err) {
	if (name == "twig_enable") {
		recipe.twig_enable = value.get<bool>();
		return;
	}
	const Parameter *parameter = find_parameter(name);
	if (parameter == nullptr) {
		throw std::runtime_error("it has a parameter '" + name + "' that this version does not know");
	}
	double number = value.get<double>();
	bool integer = parameter->type == ParameterType::INTEGER;
	if (!std::isfinite(number) || (integer && (number != std::floor(number) || number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max()))) {
		throw std::runtime_error("its " + name + " " + value.dump() + " is not a valid " + (integer ? "32-bit integer" : "finite number"));
	}
	parameter->set(recipe.properties, number);
	if (!parameter->in_range(parameter->get(recipe.properties))) {
		err << "wendrel: warning: " << name << " " << value.dump() << " lies outside the inspector's range\n";
	}
}

} // namespace

Recipe read_recipe(const std::string &path, std::ostream &err) {
	std::string bytes = read_bytes(path);
	Format format = format_of(path);
	try {
		json document;
		if (format == Format::JSON) {
			document = json::parse(bytes).at("parameters");
		} else if (format == Format::GLB || format == Format::GLTF) {
			document = gltf_parameters(json::parse(format == Format::GLB ? glb_json(bytes) : bytes));
		} else {
			throw std::runtime_error("only a .json, .glb or .gltf file that wendrel wrote holds parameters");
		}
		Recipe recipe;
		for (const auto &entry : document.items()) {
			apply(recipe, entry.key(), entry.value(), err);
		}
		return recipe;
	} catch (const json::exception &) {
		throw std::runtime_error("'" + path + "' holds no parameters that wendrel wrote");
	} catch (const std::runtime_error &e) {
		throw std::runtime_error("cannot take the parameters from '" + path + "': " + e.what());
	}
}

} // namespace wendrel
