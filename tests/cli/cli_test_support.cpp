#include "cli_test_support.h"

#include "app.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace wendrel::test {

ScratchDir::ScratchDir() {
	std::string pattern = (std::filesystem::temp_directory_path() / "wendrel-cli-XXXXXX").string();
	if (mkdtemp(pattern.data()) == nullptr) {
		throw std::runtime_error("mkdtemp failed");
	}
	dir = pattern;
}

ScratchDir::~ScratchDir() {
	std::error_code ignored;
	std::filesystem::remove_all(dir, ignored);
}

std::vector<std::string> ScratchDir::entries() const {
	std::vector<std::string> names;
	for (const auto &entry : std::filesystem::directory_iterator(dir)) {
		names.push_back(entry.path().filename().string());
	}
	std::sort(names.begin(), names.end());
	return names;
}

RunResult run_tool(const std::vector<std::string> &args) {
	std::ostringstream out, err;
	int code = run(args, out, err);
	return RunResult{ code, out.str(), err.str() };
}

std::string read_file(const std::string &path) {
	std::ifstream in(path, std::ios::binary);
	std::ostringstream bytes;
	bytes << in.rdbuf();
	return bytes.str();
}

double signed_volume(const std::vector<Vec3> &positions, const std::vector<uint32_t> &indices) {
	double volume = 0.0;
	for (size_t i = 0; i + 2 < indices.size(); i += 3) {
		Vec3 a = positions[indices[i]], b = positions[indices[i + 1]], c = positions[indices[i + 2]];
		volume += dot(a, cross(b, c)) / 6.0;
	}
	return volume;
}

double share_facing_their_normals(const Mesh &mesh) {
	size_t agreeing = 0, faces = mesh.indices.size() / 3;
	for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
		uint32_t a = mesh.indices[i], b = mesh.indices[i + 1], c = mesh.indices[i + 2];
		Vec3 ccw_side = cross(mesh.positions[b] - mesh.positions[a], mesh.positions[c] - mesh.positions[a]);
		Vec3 normal = mesh.normals[a] + mesh.normals[b] + mesh.normals[c];
		agreeing += dot(ccw_side, normal) > 0.0f ? 1 : 0;
	}
	return faces ? static_cast<double>(agreeing) / faces : 0.0;
}

} // namespace wendrel::test
