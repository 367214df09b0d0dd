#include "destinations.h"

#include "formats.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace wendrel {

namespace {

std::string folder_of(const std::string &path) {
	size_t slash = path.find_last_of('/');
	return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

std::string name_of(const std::string &path) {
	size_t slash = path.find_last_of('/');
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Why the folder of `path` cannot take a file, or "".
std::string folder_problem(const std::string &path) {
	struct stat info;
	if (stat(folder_of(path).c_str(), &info) != 0) {
		return "cannot write '" + path + "': its folder: " + std::strerror(errno);
	}
	return S_ISDIR(info.st_mode) ? "" : "cannot write '" + path + "': its folder is not a folder";
}

// OBJ and MTL lines end at a newline, split at white space and stop at '#': a name holding
// any of these cannot be referred to from them.
std::string obj_name_problem(const std::string &path) {
	for (const OutputFile &file : output_files(path, Format::OBJ)) {
		for (char c : name_of(file.path)) {
			unsigned char byte = static_cast<unsigned char>(c);
			if (byte <= ' ' || byte == 0x7f || c == '#') {
				return "an .obj and its .mtl name their files in lines that cannot hold spaces, control characters or '#': rename '" + path + "'";
			}
		}
	}
	return "";
}

struct Destination {
	std::string path;
	std::string identity;
	OutputKind kind;
	Format format;
};

// The same bytes land in one file twice: harmless. Anything else would lose one of them.
bool same_bytes(const Destination &a, const Destination &b) {
	return a.kind == b.kind && (a.kind != OutputKind::OWN || a.format == b.format);
}

} // namespace

std::string destination_identity(const std::string &path) {
#ifdef _WIN32
	std::error_code error;
	std::filesystem::path folder = std::filesystem::canonical(folder_of(path), error);
	return error ? "" : folder.string() + "\\" + name_of(path);
#else
	struct stat info;
	if (stat(folder_of(path).c_str(), &info) != 0) {
		return "";
	}
	return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + "/" + name_of(path);
#endif
}

std::string check_destinations(const std::vector<std::string> &outputs) {
	std::vector<Destination> all;
	for (const std::string &output : outputs) {
		Format format = format_of(output);
		std::string problem = format == Format::OBJ ? obj_name_problem(output) : "";
		for (const OutputFile &file : output_files(output, format)) {
			problem = problem.empty() ? folder_problem(file.path) : problem;
			if (!problem.empty()) {
				return problem;
			}
			all.push_back(Destination{ file.path, destination_identity(file.path), file.kind, format });
		}
	}
	for (size_t i = 0; i < all.size(); ++i) {
		for (size_t j = 0; j < i; ++j) {
			if (all[i].identity == all[j].identity && !same_bytes(all[i], all[j])) {
				return "'" + all[j].path + "' and '" + all[i].path + "' are one file: give the outputs different names";
			}
		}
	}
	return "";
}

} // namespace wendrel
