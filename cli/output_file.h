// Writing output so that no reader ever sees half a file: each file's bytes go to a
// temporary file beside its target, and only once every file of the set is complete are
// they renamed into place. On failure the temporary files are removed and the targets are
// left as they were.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace wendrel {

// { path, bytes } pairs. Throws std::runtime_error naming the path and the system's reason.
void write_files(const std::vector<std::pair<std::string, std::string>> &files);

} // namespace wendrel
