#include "file_system.h"

#include "output_file.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <filesystem>
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <dirent.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace wendrel {

// The file operations that differ on Windows: files are opened in binary mode (text mode
// would turn every \n of a .glb into \r\n), a rename must be asked to replace an existing
// target, and processes, hard links, directories and locks have their own calls.
#ifdef _WIN32
int create_new(const std::string &path) {
	return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

int open_to_read(const std::string &path) {
	return _open(path.c_str(), _O_RDONLY | _O_BINARY);
}

long long read_some(int fd, char *data, size_t size) {
	return _read(fd, data, static_cast<unsigned>(size < 0x40000000u ? size : 0x40000000u));
}

int flush_to_disk(int fd) {
	return _commit(fd);
}

long long write_some(int fd, const char *data, size_t size) {
	return _write(fd, data, static_cast<unsigned>(size < 0x40000000u ? size : 0x40000000u));
}

int close_file(int fd) {
	return _close(fd);
}

int os_unlink(const char *path) {
	return _unlink(path);
}

int os_rename(const char *from, const char *to) {
	if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
		return 0;
	}
	errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
	return -1;
}

int os_link(const char *from, const char *to) {
	if (CreateHardLinkA(to, from, nullptr)) {
		return 0;
	}
	errno = GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EPERM;
	return -1;
}

long process_id() {
	return static_cast<long>(_getpid());
}

std::vector<std::string> names_in(const std::string &dir) {
	std::vector<std::string> names;
	std::error_code error;
	for (std::filesystem::directory_iterator it(dir.empty() ? "." : dir, error), end; !error && it != end;
			it.increment(error)) {
		names.push_back(it->path().filename().string());
	}
	return names;
}

Existing inspect(const std::string &path) {
	Existing existing;
	DWORD attributes = GetFileAttributesA(path.c_str());
	if (attributes == INVALID_FILE_ATTRIBUTES) {
		DWORD error = GetLastError();
		existing.kind = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : -1;
		errno = EACCES;
		return existing;
	}
	existing.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 2 : 1;
	return existing;
}

// Windows keeps a file's permissions in its folder's inheritable rights.
void keep_owner_and_mode(int, const Existing &) {}

std::string folder_key(const std::string &dir) {
	return dir;
}

// No lock on a folder: a run holds none, and tells stale files by their process.
FolderLock::FolderLock(const std::string &) {}
FolderLock::~FolderLock() {}

bool stale_without_lock(long pid) {
	if (pid <= 0 || pid == process_id()) {
		return false;
	}
	HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
	if (process) {
		CloseHandle(process);
		return false;
	}
	return GetLastError() == ERROR_INVALID_PARAMETER; // no such process
}

// Never called: without a folder lock no backup is swept.
bool same_file(const std::string &, const std::string &) {
	return false;
}
#else
int create_new(const std::string &path) {
	return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

int open_to_read(const std::string &path) {
	return open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
}

long long read_some(int fd, char *data, size_t size) {
	return read(fd, data, size);
}

int flush_to_disk(int fd) {
	return fsync(fd);
}

long long write_some(int fd, const char *data, size_t size) {
	return write(fd, data, size);
}

int close_file(int fd) {
	return close(fd);
}

int os_unlink(const char *path) {
	return unlink(path);
}

int os_rename(const char *from, const char *to) {
	return std::rename(from, to);
}

int os_link(const char *from, const char *to) {
	return link(from, to);
}

long process_id() {
	return static_cast<long>(getpid());
}

std::vector<std::string> names_in(const std::string &dir) {
	std::vector<std::string> names;
	DIR *listing = opendir(dir.empty() ? "." : dir.c_str());
	if (!listing) {
		return names;
	}
	while (const dirent *entry = readdir(listing)) {
		names.push_back(entry->d_name);
	}
	closedir(listing);
	return names;
}

Existing inspect(const std::string &path) {
	Existing existing;
	struct stat info;
	if (lstat(path.c_str(), &info) != 0) {
		existing.kind = errno == ENOENT ? 0 : -1;
		return existing;
	}
	existing.kind = S_ISDIR(info.st_mode) ? 2 : 1;
	existing.regular = S_ISREG(info.st_mode);
	existing.mode = info.st_mode & 0777;
	existing.owner = static_cast<long>(info.st_uid);
	existing.group = static_cast<long>(info.st_gid);
	return existing;
}

// A replaced file keeps its permissions, and its owner and group where the run may give
// them (as root; anyone may keep a group they belong to). The set-id bits are not carried
// over: a file the tool writes is data.
void keep_owner_and_mode(int fd, const Existing &existing) {
	if (!existing.regular) {
		return;
	}
	if (fchown(fd, static_cast<uid_t>(geteuid() == 0 ? existing.owner : -1), static_cast<gid_t>(existing.group)) != 0) {
		errno = 0; // not in that group: the file keeps the run's, as any new file would
	}
	fchmod(fd, static_cast<mode_t>(existing.mode));
}

// The folder's device and inode, so that two spellings of one folder are locked once (a
// second lock on it would wait for the first); fixed width, so that they sort as numbers.
std::string folder_key(const std::string &dir) {
	struct stat info;
	if (stat(dir.empty() ? "." : dir.c_str(), &info) != 0) {
		return "?" + dir;
	}
	char key[48];
	std::snprintf(key, sizeof key, "%020llu:%020llu", static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino));
	return key;
}

FolderLock::FolderLock(const std::string &dir) :
		fd(open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
	while (fd >= 0 && !locked) {
		locked = flock(fd, LOCK_EX) == 0;
		if (!locked && errno != EINTR) {
			break;
		}
	}
}

FolderLock::~FolderLock() {
	if (fd >= 0) {
		close(fd); // releases the lock
	}
}

bool stale_without_lock(long) {
	return false;
}

bool same_file(const std::string &a, const std::string &b) {
	struct stat x, y;
	return lstat(a.c_str(), &x) == 0 && lstat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}
#endif

FileSystemCalls &file_system_calls() {
	static FileSystemCalls calls;
	return calls;
}

FileSystemCalls::FileSystemCalls() :
		link(os_link), rename(os_rename), unlink(os_unlink) {}

} // namespace wendrel
