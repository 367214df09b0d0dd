// The system calls under the output files, in one place for POSIX and Windows: creating,
// writing, syncing and closing files, linking, renaming and removing them, listing a folder,
// what lies at a path, and a lock on a folder. Each returns as its system call does (-1 with
// errno set on failure) unless its comment says otherwise.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace wendrel {

// What lies at a target's path before the run: nothing, a file (its mode and owner, which
// the new file keeps), or a directory, which no file may replace.
struct Existing {
	int kind = 0; // 0 nothing, 1 a file or a link, 2 a directory; -1 (errno set) unknown
	bool regular = false;
	unsigned mode = 0;
	long owner = -1;
	long group = -1;
};

int create_new(const std::string &path);
int open_to_read(const std::string &path);
long long read_some(int fd, char *data, size_t size);
int flush_to_disk(int fd);
long long write_some(int fd, const char *data, size_t size);
int close_file(int fd);
int os_unlink(const char *path);
int os_rename(const char *from, const char *to);
int os_link(const char *from, const char *to);
long process_id();
std::vector<std::string> names_in(const std::string &dir);
Existing inspect(const std::string &path);
void keep_owner_and_mode(int fd, const Existing &existing);
std::string folder_key(const std::string &dir);
// Whether the temporary file of process `pid` is stale, where no folder lock tells.
bool stale_without_lock(long pid);
bool same_file(const std::string &a, const std::string &b);

// An exclusive lock on a folder the set writes into, held while the run stages and renames
// its files there: runs writing into one folder take turns, so their sets never mix, and a
// temporary file found while holding it belongs to no live run. A file system without
// locks gets no lock; its leftovers are then left alone.
class FolderLock {
public:
	explicit FolderLock(const std::string &dir);
	~FolderLock();
	FolderLock(const FolderLock &) = delete;
	FolderLock &operator=(const FolderLock &) = delete;
	bool held() const { return locked; }

private:
	int fd = -1;
	bool locked = false;
};

} // namespace wendrel
