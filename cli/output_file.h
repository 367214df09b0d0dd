// Writing output so that no reader ever sees half a file, and no failure loses one: each
// file's bytes go to a temporary file beside its target, and only once every file of the set
// is complete, no target is a directory, and every file to be replaced has a second name to
// come back from (a hard link, or a copy where no link can be made), are they renamed into
// place. On failure the temporary files are removed and the targets are left as they were: a
// rename that fails part-way puts back the files the earlier renames replaced, and a file
// that cannot be put back stays under its second name, which the error names. A replaced
// file keeps its mode, and as root its owner.
//
// A run holds a lock on each folder it writes into while it writes there, so that runs
// writing into one folder take turns (their sets never mix), and so that the temporary files
// of a target found while holding it belong to a killed run: they are removed. Every signal
// sent to end a process (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2)
// removes the temporary files before the process ends; a file-size limit (SIGXFSZ) fails
// the write like a full disk.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace wendrel {

// { path, bytes } pairs. Throws std::runtime_error naming the path and the system's reason.
void write_files(const std::vector<std::pair<std::string, std::string>> &files);

// The calls write_files() makes to link, rename and remove files, each returning 0 or -1
// with errno set. Tests replace them to make one fail; a default-constructed value holds
// the system's.
struct FileSystemCalls {
	FileSystemCalls();
	int (*link)(const char *from, const char *to);
	int (*rename)(const char *from, const char *to);
	int (*unlink)(const char *path);
};
FileSystemCalls &file_system_calls();

} // namespace wendrel
