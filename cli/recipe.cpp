#include "recipe.h"

#include "formats.h"
#include "parameters.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <sys/stat.h>
#include <vector>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace wendrel {

namespace {

using json = nlohmann::json;

// A recipe sits four levels down in a glTF (root, nodes, node, extras, parameters); nothing
// the tool writes nests deeper than this, and refusing deeper input keeps every walk over
// the parsed values shallow.
constexpr int MAX_DEPTH = 32;
// Larger than any file the tool writes under its default budget; checked before reading.
constexpr long long MAX_FILE_BYTES = 8LL << 30;
// A .glb's JSON chunk holds only the structure; its data lies in the binary chunk.
constexpr uint32_t MAX_GLB_JSON_BYTES = 64u << 20;

std::runtime_error system_error(const std::string &what) {
	return std::runtime_error(what + ": " + std::strerror(errno));
}

struct CloseFile {
	void operator()(std::FILE *file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, CloseFile>;

// Opens a regular file for reading. A FIFO or a device would block or never end, so they
// are refused before anything is read; O_NONBLOCK keeps even the open of a FIFO from waiting.
File open_regular(const std::string &path) {
#ifdef _WIN32
	int fd = _open(path.c_str(), _O_RDONLY | _O_BINARY);
#else
	int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
#endif
	if (fd < 0) {
		throw system_error("cannot read '" + path + "'");
	}
	struct stat info;
	if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > MAX_FILE_BYTES) {
		bool regular = S_ISREG(info.st_mode);
		close(fd);
		throw std::runtime_error("cannot read '" + path + "': " + (regular ? "it is larger than any file wendrel writes" : "it is not a regular file"));
	}
	File file(fdopen(fd, "rb"));
	if (!file) {
		close(fd);
		throw system_error("cannot read '" + path + "'");
	}
	return file;
}

uint32_t read_u32(const unsigned char *b) {
	return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
}

// The JSON chunk of a binary glTF: a 12-byte header, then chunks of length, type and data.
std::string glb_json(std::FILE *file) {
	unsigned char header[20];
	if (std::fread(header, 1, sizeof header, file) != sizeof header || std::memcmp(header, "glTF", 4) != 0 || std::memcmp(header + 16, "JSON", 4) != 0) {
		throw std::runtime_error("it is not a binary glTF file");
	}
	uint32_t length = read_u32(header + 12);
	if (length > MAX_GLB_JSON_BYTES) {
		throw std::runtime_error("its JSON chunk is larger than any that wendrel writes");
	}
	std::string bytes(length, '\0');
	if (std::fread(&bytes[0], 1, length, file) != length) {
		throw std::runtime_error("its JSON chunk is cut short");
	}
	return bytes;
}

// A key of the file in a message: quoted, cut short, and with every byte a terminal could
// take for a control sequence written as \xNN.
std::string quoted(const std::string &key) {
	constexpr size_t SHOWN = 40;
	std::string text = "'";
	for (size_t i = 0; i < key.size() && i < SHOWN; ++i) {
		unsigned char c = static_cast<unsigned char>(key[i]);
		char escaped[8];
		std::snprintf(escaped, sizeof escaped, c < 0x20 || c >= 0x7f || c == '\\' ? "\\x%02x" : "%c", c);
		text += escaped;
	}
	return text + (key.size() > SHOWN ? "'..." : "'");
}

// Thrown by the parse callback once the value wanted has been read: the rest is not needed.
struct Found {};

// Parses JSON, keeping only the members of the top-level object that `keep` names, and
// refusing nesting deeper than MAX_DEPTH. With `stop_after` set, the parse ends as soon as
// that member has been read and returns it alone.
template <typename Input>
json parse_members(Input &&input, const std::vector<std::string> &keep, const char *stop_after = nullptr) {
	json found;
	std::string member;
	auto callback = [&](int depth, json::parse_event_t event, json &parsed) {
		if (depth > MAX_DEPTH) {
			throw std::runtime_error("it nests deeper than " + std::to_string(MAX_DEPTH) + " levels");
		}
		if (depth != 1) {
			return true;
		}
		if (event == json::parse_event_t::key) {
			member = parsed.get<std::string>();
			return std::find(keep.begin(), keep.end(), member) != keep.end();
		}
		bool complete = event == json::parse_event_t::value || event == json::parse_event_t::object_end || event == json::parse_event_t::array_end;
		if (complete && stop_after && member == stop_after) {
			found = std::move(parsed);
			throw Found{};
		}
		return true;
	};
	try {
		json document = json::parse(std::forward<Input>(input), callback);
		if (stop_after) {
			throw std::runtime_error(std::string("it holds no ") + stop_after);
		}
		return document;
	} catch (const Found &) {
		return found;
	}
}

// The "parameters" object of the root node's extras.
json gltf_parameters(const json &gltf) {
	size_t scene = gltf.value("scene", 0u);
	const json &root = gltf.at("nodes").at(gltf.at("scenes").at(scene).at("nodes").at(0).get<size_t>());
	return root.at("extras").at("parameters");
}

// Only the members the recipe needs are kept: a .json stops after its parameters, which it
// holds first; a glTF keeps the scenes and nodes and skips its buffers and images.
json read_parameters(std::FILE *file, Format format) {
	json parameters;
	if (format == Format::JSON) {
		parameters = parse_members(file, { "parameters" }, "parameters");
	} else if (format == Format::GLB) {
		parameters = gltf_parameters(parse_members(glb_json(file), { "scene", "scenes", "nodes" }));
	} else {
		parameters = gltf_parameters(parse_members(file, { "scene", "scenes", "nodes" }));
	}
	if (!parameters.is_object()) {
		throw std::runtime_error("its parameters are not an object");
	}
	return parameters;
}

void apply(Recipe &recipe, const std::string &name, const json &value, std::ostream &err) {
	if (name == "twig_enable") {
		if (!value.is_boolean()) {
			throw std::runtime_error("its twig_enable is not true or false");
		}
		recipe.twig_enable = value.get<bool>();
		return;
	}
	const Parameter *parameter = find_parameter(name);
	if (parameter == nullptr) {
		throw std::runtime_error("it has a parameter " + quoted(name) + " that this version does not know");
	}
	if (!value.is_number()) {
		throw std::runtime_error("its " + name + " is not a number");
	}
	double number = value.get<double>();
	bool integer = parameter->type == ParameterType::INTEGER;
	// Converting a value beyond the field's range is undefined: refuse it rather than guess.
	double limit = integer ? std::numeric_limits<int32_t>::max() : FLT_MAX;
	double lowest = integer ? std::numeric_limits<int32_t>::min() : -FLT_MAX;
	if (!std::isfinite(number) || (integer && number != std::floor(number)) || number < lowest || number > limit) {
		throw std::runtime_error("its " + name + " " + value.dump() + " is not a valid " + (integer ? "32-bit integer" : "finite 32-bit float"));
	}
	parameter->set(recipe.properties, number);
	if (!parameter->in_range(parameter->get(recipe.properties))) {
		err << "wendrel: warning: " << name << " " << value.dump() << " lies outside the inspector's range\n";
	}
}

} // namespace

Recipe read_recipe(const std::string &path, std::ostream &err) {
	Format format = format_of(path);
	if (format != Format::JSON && format != Format::GLB && format != Format::GLTF) {
		throw std::runtime_error("cannot take the parameters from '" + path + "': only a .json, .glb or .gltf file that wendrel wrote holds them");
	}
	File file = open_regular(path);
	try {
		errno = 0;
		json parameters = read_parameters(file.get(), format);
		Recipe recipe;
		for (const auto &entry : parameters.items()) {
			apply(recipe, entry.key(), entry.value(), err);
		}
		return recipe;
	} catch (const json::exception &) {
		if (std::ferror(file.get())) {
			throw system_error("cannot read '" + path + "'");
		}
		throw std::runtime_error("'" + path + "' holds no parameters that wendrel wrote");
	} catch (const std::runtime_error &e) {
		throw std::runtime_error("cannot take the parameters from '" + path + "': " + e.what());
	}
}

} // namespace wendrel
