// Writing output so that no reader ever sees half a file: each file's bytes go to a
// temporary file beside its target, and only once every file of the set is complete, and
// no target is a directory, are they renamed into place. On failure the temporary files are
// removed and the targets are left as they were: a rename that fails part-way puts back the
// files the earlier renames replaced. SIGINT and SIGTERM during the write remove the
// temporary files before the process ends; a file-size limit (SIGXFSZ) fails the write like
// a full disk. Temporary files that a killed run left beside a target are removed by the
// next run that writes that target.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace wendrel {

// { path, bytes } pairs. Throws std::runtime_error naming the path and the system's reason.
void write_files(const std::vector<std::pair<std::string, std::string>> &files);

} // namespace wendrel
