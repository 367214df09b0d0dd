#include "output_file.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
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
#include <unistd.h>
#endif

namespace wendrel {

namespace {

// The file operations that differ on Windows: files are opened in binary mode (text mode
// would turn every \n of a .glb into \r\n), a rename must be asked to replace an existing
// target, and processes, hard links and directories have their own calls.
#ifdef _WIN32
int create_new(const std::string &path) {
	return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
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

int remove_file(const char *path) {
	return _unlink(path);
}

int replace(const std::string &from, const std::string &to) {
	if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
		return 0;
	}
	errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
	return -1;
}

long process_id() {
	return static_cast<long>(_getpid());
}

bool process_gone(long pid) {
	HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
	if (process) {
		CloseHandle(process);
		return false;
	}
	return GetLastError() == ERROR_INVALID_PARAMETER; // no such process
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

// 0 when nothing is there, 1 for a file, 2 for a directory, -1 (errno set) when unknown.
int kind_of(const std::string &path) {
	DWORD attributes = GetFileAttributesA(path.c_str());
	if (attributes == INVALID_FILE_ATTRIBUTES) {
		DWORD error = GetLastError();
		if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
			return 0;
		}
		errno = EACCES;
		return -1;
	}
	return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 2 : 1;
}

int hard_link(const std::string &from, const std::string &to) {
	if (CreateHardLinkA(to.c_str(), from.c_str(), nullptr)) {
		return 0;
	}
	errno = GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EPERM;
	return -1;
}
#else
int create_new(const std::string &path) {
	return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

int remove_file(const char *path) {
	return unlink(path);
}

int replace(const std::string &from, const std::string &to) {
	return std::rename(from.c_str(), to.c_str());
}

long process_id() {
	return static_cast<long>(getpid());
}

bool process_gone(long pid) {
	return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
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

// 0 when nothing is there, 1 for a file, 2 for a directory, -1 (errno set) when unknown.
int kind_of(const std::string &path) {
	struct stat info;
	if (lstat(path.c_str(), &info) != 0) {
		return errno == ENOENT ? 0 : -1;
	}
	return S_ISDIR(info.st_mode) ? 2 : 1;
}

int hard_link(const std::string &from, const std::string &to) {
	return link(from.c_str(), to.c_str());
}
#endif

std::runtime_error failure(const std::string &path, int error) {
	return std::runtime_error("cannot write '" + path + "': " + std::strerror(error));
}

struct SplitPath {
	std::string dir; // with its trailing '/', or empty for the working directory
	std::string base;
};

SplitPath split(const std::string &path) {
	size_t slash = path.find_last_of('/');
	if (slash == std::string::npos) {
		return SplitPath{ "", path };
	}
	return SplitPath{ path.substr(0, slash + 1), path.substr(slash + 1) };
}

// The longest name a directory entry may have, and what "-<pid>-<n>" may add to the prefix.
constexpr size_t NAME_MAX_BYTES = 255;
constexpr size_t SUFFIX_MAX_BYTES = 32;

// ".name.tmp-" in the target's directory (so that the rename stays on one file system),
// with the name shortened so that a target of the longest legal name still gets one.
std::string temporary_prefix(const SplitPath &target) {
	std::string prefix = "." + target.base + ".tmp-";
	if (prefix.size() > NAME_MAX_BYTES - SUFFIX_MAX_BYTES) {
		prefix = "." + target.base.substr(0, NAME_MAX_BYTES - SUFFIX_MAX_BYTES - 6) + ".tmp-";
	}
	return prefix;
}

std::string temporary_name(const std::string &path, int attempt) {
	SplitPath target = split(path);
	return target.dir + temporary_prefix(target) + std::to_string(process_id()) + "-" + std::to_string(attempt);
}

// Removes temporary files of this target that a killed run left behind: those whose process
// no longer exists. Files of a run still in progress are left alone.
void sweep_stale(const std::string &path) {
	SplitPath target = split(path);
	std::string prefix = temporary_prefix(target);
	for (const std::string &name : names_in(target.dir)) {
		if (name.compare(0, prefix.size(), prefix) != 0) {
			continue;
		}
		long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
		if (pid > 0 && pid != process_id() && process_gone(pid)) {
			remove_file((target.dir + name).c_str());
		}
	}
}

// The temporary files a signal must remove: names fixed before the files exist, so that the
// handler only reads memory that no longer changes.
struct SignalCleanup {
	std::vector<std::string> paths;
	volatile sig_atomic_t count = 0;
};
SignalCleanup cleanup;

extern "C" void remove_temporaries_and_die(int signal) {
	for (sig_atomic_t i = 0; i < cleanup.count; ++i) {
		remove_file(cleanup.paths[static_cast<size_t>(i)].c_str());
	}
	std::signal(signal, SIG_DFL);
	std::raise(signal);
}

// A signal the caller ignores (a background job's SIGINT) stays ignored.
using Handler = void (*)(int);

Handler catch_unless_ignored(int signal) {
	Handler previous = std::signal(signal, remove_temporaries_and_die);
	if (previous == SIG_IGN) {
		std::signal(signal, SIG_IGN);
	}
	return previous;
}

// Installs the handlers for the time of one write_files() call. SIGXFSZ (POSIX only) is
// ignored rather than fatal, so that a file-size limit fails the write with EFBIG and the
// normal clean-up runs.
class SignalGuard {
public:
	explicit SignalGuard(size_t files) {
		cleanup.paths.clear();
		cleanup.paths.reserve(2 * files); // a temporary file and a backup each
		cleanup.count = 0;
		interrupt = catch_unless_ignored(SIGINT);
		terminate = catch_unless_ignored(SIGTERM);
#ifdef SIGXFSZ
		file_size = std::signal(SIGXFSZ, SIG_IGN);
#endif
	}
	~SignalGuard() {
		std::signal(SIGINT, interrupt);
		std::signal(SIGTERM, terminate);
#ifdef SIGXFSZ
		std::signal(SIGXFSZ, file_size);
#endif
		cleanup.count = 0;
	}
	SignalGuard(const SignalGuard &) = delete;
	SignalGuard &operator=(const SignalGuard &) = delete;

	// Registers the name before the file is created.
	void track(const std::string &temp) {
		if (cleanup.paths.size() < cleanup.paths.capacity()) {
			cleanup.paths.push_back(temp);
			cleanup.count = static_cast<sig_atomic_t>(cleanup.paths.size());
		}
	}
	void forget_last() {
		cleanup.count = static_cast<sig_atomic_t>(cleanup.count - 1);
		cleanup.paths.pop_back();
	}

private:
	Handler interrupt;
	Handler terminate;
	Handler file_size = SIG_DFL;
};

// Blocks SIGINT and SIGTERM while it lives: the renames and their undoing run to the end.
// Windows has no signal mask: there the block does nothing.
#ifdef _WIN32
class SignalBlock {
public:
	SignalBlock() {}
};
#else
class SignalBlock {
public:
	SignalBlock() {
		sigset_t set;
		sigemptyset(&set);
		sigaddset(&set, SIGINT);
		sigaddset(&set, SIGTERM);
		sigprocmask(SIG_BLOCK, &set, &previous);
	}
	~SignalBlock() { sigprocmask(SIG_SETMASK, &previous, nullptr); }
	SignalBlock(const SignalBlock &) = delete;
	SignalBlock &operator=(const SignalBlock &) = delete;

private:
	sigset_t previous;
};
#endif

bool write_all(int fd, const std::string &bytes) {
	size_t done = 0;
	while (done < bytes.size()) {
		long long n = write_some(fd, bytes.data() + done, bytes.size() - done);
		if (n < 0 && errno == EINTR) {
			continue;
		}
		if (n <= 0) {
			return false;
		}
		done += static_cast<size_t>(n);
	}
	return true;
}

// Creates a fresh temporary file holding `bytes` and returns its name.
std::string stage(const std::string &path, const std::string &bytes, SignalGuard &guard) {
	for (int attempt = 0;; ++attempt) {
		std::string temp = temporary_name(path, attempt);
		guard.track(temp);
		int fd = create_new(temp);
		if (fd < 0) {
			int error = errno;
			guard.forget_last();
			if (error == EEXIST && attempt < 100) {
				continue;
			}
			throw failure(path, error);
		}
		bool written = write_all(fd, bytes) && flush_to_disk(fd) == 0;
		int error = errno;
		if (close_file(fd) != 0 && written) {
			written = false;
			error = errno;
		}
		if (!written) {
			remove_file(temp.c_str());
			throw failure(path, error);
		}
		return temp;
	}
}

void remove_all(const std::vector<std::string> &paths) {
	for (const std::string &path : paths) {
		if (!path.empty()) {
			remove_file(path.c_str());
		}
	}
}

// One target of the set: its staged bytes and, when it replaces a file, a second name for
// that file, so that a failed set can put it back.
struct Replacement {
	std::string target;
	std::string temp;
	std::string backup; // empty when there was no file, or it could not be linked
	bool existed = false;
};

// Fails now, before any rename, for the one reason a rename into a writable directory has:
// a directory in the target's place.
void check_destination(Replacement &r, SignalGuard &guard) {
	int kind = kind_of(r.target);
	if (kind < 0) {
		throw failure(r.target, errno);
	}
	if (kind == 0) {
		return;
	}
	if (kind == 2) {
		throw failure(r.target, EISDIR);
	}
	r.existed = true;
	for (int attempt = 100; attempt < 200; ++attempt) {
		std::string backup = temporary_name(r.target, attempt);
		guard.track(backup);
		if (hard_link(r.target, backup) == 0) {
			r.backup = backup;
			return;
		}
		int error = errno;
		guard.forget_last();
		if (error != EEXIST) {
			return; // a file system without hard links: the file cannot be put back
		}
	}
}

// Undoes the first `done` renames: earlier files go back, new ones go away.
void restore(const std::vector<Replacement> &set, size_t done) {
	for (size_t i = 0; i < done; ++i) {
		const Replacement &r = set[i];
		if (!r.backup.empty()) {
			replace(r.backup, r.target);
		} else if (!r.existed) {
			remove_file(r.target.c_str());
		}
	}
}

void discard(const std::vector<Replacement> &set) {
	for (const Replacement &r : set) {
		remove_all({ r.temp, r.backup });
	}
}

void rename_all(const std::vector<Replacement> &set) {
	SignalBlock block;
	for (size_t i = 0; i < set.size(); ++i) {
		if (replace(set[i].temp, set[i].target) != 0) {
			int error = errno;
			restore(set, i);
			discard(set);
			throw failure(set[i].target, error);
		}
	}
	for (const Replacement &r : set) {
		remove_all({ r.backup });
	}
}

} // namespace

void write_files(const std::vector<std::pair<std::string, std::string>> &files) {
	SignalGuard guard(files.size());
	std::vector<Replacement> set;
	try {
		for (const auto &file : files) {
			sweep_stale(file.first);
			Replacement r;
			r.target = file.first;
			r.temp = stage(file.first, file.second, guard);
			set.push_back(r);
		}
		for (Replacement &r : set) {
			check_destination(r, guard);
		}
	} catch (...) {
		discard(set);
		throw;
	}
	rename_all(set);
}

} // namespace wendrel
