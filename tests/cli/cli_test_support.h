// Helpers for the tool's tests: a scratch directory, running the tool in-process, and the
// two surfaces of a generated tree in export form.
#pragma once

#include "surface.h"

#include <string>
#include <vector>

namespace wendrel::test {

// A fresh directory, removed with its contents when the object goes.
class ScratchDir {
public:
	ScratchDir();
	~ScratchDir();
	ScratchDir(const ScratchDir &) = delete;
	ScratchDir &operator=(const ScratchDir &) = delete;

	std::string path(const std::string &name) const { return dir + "/" + name; }
	// Names of the entries, sorted; temporary files would show up here.
	std::vector<std::string> entries() const;

private:
	std::string dir;
};

struct RunResult {
	int exit_code;
	std::string out;
	std::string err;
};

RunResult run_tool(const std::vector<std::string> &args);

std::string read_file(const std::string &path);

// Signed volume enclosed by the triangles, measured from the origin: positive when they wind
// counter-clockwise seen from outside a closed surface. A bark open only at its foot, on
// y = 0, adds nothing for the missing disc.
double signed_volume(const std::vector<Vec3> &positions, const std::vector<uint32_t> &indices);

// The share of triangles whose counter-clockwise side agrees with the mean of their corner
// normals.
double share_facing_their_normals(const Mesh &mesh);

} // namespace wendrel::test
