#include "output_file.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace wendrel {

namespace {

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
	return target.dir + temporary_prefix(target) + std::to_string(getpid()) + "-" + std::to_string(attempt);
}

// Removes temporary files of this target that a killed run left behind: those whose process
// no longer exists. Files of a run still in progress are left alone.
void sweep_stale(const std::string &path) {
	SplitPath target = split(path);
	std::string prefix = temporary_prefix(target);
	DIR *dir = opendir(target.dir.empty() ? "." : target.dir.c_str());
	if (!dir) {
		return;
	}
	while (const dirent *entry = readdir(dir)) {
		std::string name = entry->d_name;
		if (name.compare(0, prefix.size(), prefix) != 0) {
			continue;
		}
		long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
		if (pid > 0 && pid != getpid() && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
			unlink((target.dir + name).c_str());
		}
	}
	closedir(dir);
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
		unlink(cleanup.paths[static_cast<size_t>(i)].c_str());
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

// Installs the handlers for the time of one write_files() call. SIGXFSZ is ignored rather
// than fatal, so that a file-size limit fails the write with EFBIG and the normal clean-up runs.
class SignalGuard {
public:
	explicit SignalGuard(size_t files) {
		cleanup.paths.clear();
		cleanup.paths.reserve(2 * files); // a temporary file and a backup each
		cleanup.count = 0;
		interrupt = catch_unless_ignored(SIGINT);
		terminate = catch_unless_ignored(SIGTERM);
		file_size = std::signal(SIGXFSZ, SIG_IGN);
	}
	~SignalGuard() {
		std::signal(SIGINT, interrupt);
		std::signal(SIGTERM, terminate);
		std::signal(SIGXFSZ, file_size);
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
	Handler file_size;
};

// Blocks SIGINT and SIGTERM while it lives: the renames and their undoing run to the end.
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

bool write_all(int fd, const std::string &bytes) {
	size_t done = 0;
	while (done < bytes.size()) {
		ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
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
		int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
		if (fd < 0) {
			int error = errno;
			guard.forget_last();
			if (error == EEXIST && attempt < 100) {
				continue;
			}
			throw failure(path, error);
		}
		bool written = write_all(fd, bytes) && fsync(fd) == 0;
		int error = errno;
		if (close(fd) != 0 && written) {
			written = false;
			error = errno;
		}
		if (!written) {
			unlink(temp.c_str());
			throw failure(path, error);
		}
		return temp;
	}
}

void remove_all(const std::vector<std::string> &paths) {
	for (const std::string &path : paths) {
		if (!path.empty()) {
			unlink(path.c_str());
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
	struct stat info;
	if (lstat(r.target.c_str(), &info) != 0) {
		if (errno != ENOENT) {
			throw failure(r.target, errno);
		}
		return;
	}
	if (S_ISDIR(info.st_mode)) {
		throw failure(r.target, EISDIR);
	}
	r.existed = true;
	for (int attempt = 100; attempt < 200; ++attempt) {
		std::string backup = temporary_name(r.target, attempt);
		guard.track(backup);
		if (link(r.target.c_str(), backup.c_str()) == 0) {
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
			std::rename(r.backup.c_str(), r.target.c_str());
		} else if (!r.existed) {
			unlink(r.target.c_str());
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
		if (std::rename(set[i].temp.c_str(), set[i].target.c_str()) != 0) {
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
