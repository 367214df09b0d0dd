// Checks on the extension description file that the engine reads before loading the library.
#include "project_checks.h"

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace godot_check {

namespace {

// The library file the build writes, relative to the description file. A macOS library may be
// universal (x86_64 and arm64 in one file), listed under the key without an architecture.
const std::regex library_name(
		"\\./bin/libwendrel3d\\.([a-z]+)\\.template_(debug|release)\\.([a-z0-9_]+)\\.([a-z]+)");

const std::map<std::string, std::set<std::string>> extensions_by_platform = {
	{ "linux", { "so" } },
	{ "windows", { "dll" } },
	{ "macos", { "dylib", "framework" } },
};

std::string read_file(const std::filesystem::path &path) {
	std::ifstream in(path, std::ios::binary);
	std::ostringstream text;
	text << in.rdbuf();
	return text.str();
}

void check_configuration(const TextFile &description, Problems &problems) {
	const Section *configuration = description.first("configuration");
	const std::string *entry = configuration ? configuration->property("entry_symbol") : nullptr;
	if (!entry || *entry != "\"wendrel3d_library_init\"") {
		problems.push_back("[configuration] entry_symbol is not \"wendrel3d_library_init\"");
	}
	const std::string *minimum = configuration ? configuration->property("compatibility_minimum") : nullptr;
	// The libraries are built against Godot 4.6's API, which older engines refuse.
	if (!minimum || *minimum != "\"4.6\"") {
		problems.push_back("[configuration] compatibility_minimum is not \"4.6\"");
	}
	const std::string *reloadable = configuration ? configuration->property("reloadable") : nullptr;
	if (reloadable && *reloadable != "true" && *reloadable != "false") {
		problems.push_back("[configuration] reloadable = " + *reloadable + " is not a bool");
	}
}

// "linux.debug.x86_64" must name exactly the platform, build and architecture of its file.
void check_library(const std::string &key, const std::string &path, Problems &problems,
		std::map<std::string, std::set<std::string>> &builds) {
	std::smatch name;
	if (!std::regex_match(path, name, library_name)) {
		problems.push_back("[libraries] " + key + " = \"" + path +
				"\" does not follow ./bin/libwendrel3d.<platform>.template_<debug|release>.<arch>.<ext>");
		return;
	}
	const std::string platform = name[1], build = name[2], arch = name[3], extension = name[4];
	const bool universal = arch == "universal";
	const std::string expected_key = platform + "." + build + (universal ? "" : "." + arch);
	if (key != expected_key) {
		problems.push_back("[libraries] " + key + " names the file of " + expected_key);
	}
	if (universal && platform != "macos") {
		problems.push_back("[libraries] " + key + ": only macOS libraries are universal");
	}
	const auto extensions = extensions_by_platform.find(platform);
	if (extensions == extensions_by_platform.end() || !extensions->second.count(extension)) {
		problems.push_back("[libraries] " + key + ": ." + extension + " is not a library on " + platform);
	}
	builds[platform + "." + arch].insert(build);
}

void check_libraries(const TextFile &description, Problems &problems) {
	const Section *libraries = description.first("libraries");
	if (!libraries || libraries->properties.empty()) {
		problems.push_back("[libraries] lists no library");
		return;
	}
	std::map<std::string, std::set<std::string>> builds; // "linux.x86_64" -> {"debug", "release"}
	for (const auto &[key, raw] : libraries->properties) {
		check_library(key, unquote(raw), problems, builds);
	}
	// The editor runs the debug build and exported games the release build: both are needed.
	for (const auto &[target, found] : builds) {
		if (found.size() != 2) {
			problems.push_back("[libraries] " + target + " has a " + *found.begin() + " build only");
		}
	}
	for (const char *platform : { "linux", "windows", "macos" }) {
		if (!builds.count(std::string(platform) + ".x86_64") && !builds.count(std::string(platform) + ".universal")) {
			problems.push_back(std::string("[libraries] has no ") + platform + ".*.x86_64 library");
		}
	}
}

// An SVG document whose root element declares the SVG namespace and a 16x16 size.
bool is_small_svg(const std::string &svg) {
	static const std::regex size("width=\"16\"[^>]*height=\"16\"|viewBox=\"0 0 16 16\"");
	size_t start = svg.find_first_not_of(" \t\r\n");
	if (start != std::string::npos && svg.compare(start, 5, "<?xml") == 0) {
		const size_t declaration_end = svg.find("?>", start);
		start = declaration_end == std::string::npos ? declaration_end
													 : svg.find_first_not_of(" \t\r\n", declaration_end + 2);
	}
	const size_t end = svg.find_last_not_of(" \t\r\n");
	if (start == std::string::npos || svg.compare(start, 5, "<svg ") != 0 ||
			end < 6 || svg.compare(end - 5, 6, "</svg>") != 0) {
		return false;
	}
	const std::string root = svg.substr(start, svg.find('>', start) - start);
	return root.find("xmlns=\"http://www.w3.org/2000/svg\"") != std::string::npos &&
			std::regex_search(root, size);
}

void check_icon(const TextFile &description, const std::filesystem::path &folder, Problems &problems) {
	const Section *icons = description.first("icons");
	const std::string *icon = icons ? icons->property("Wendrel3D") : nullptr;
	if (!icon) {
		problems.push_back("[icons] has no Wendrel3D entry");
		return;
	}
	const std::filesystem::path path = folder / unquote(*icon);
	if (!std::filesystem::is_regular_file(path)) {
		problems.push_back("[icons] Wendrel3D: " + path.string() + " does not exist");
	} else if (!is_small_svg(read_file(path))) {
		problems.push_back("[icons] Wendrel3D: " + path.string() + " is not a 16x16 SVG image");
	}
}

} // namespace

Problems check_gdextension(const TextFile &description, const std::filesystem::path &folder) {
	Problems problems;
	check_configuration(description, problems);
	check_libraries(description, problems);
	check_icon(description, folder, problems);
	return problems;
}

} // namespace godot_check
