#include "output_file.h"

#include "file_system.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace wendrel {

namespace {

int hard_link(const std::string &from, const std::string &to) {
	return file_system_calls().link(from.c_str(), to.c_str());
}

int replace(const std::string &from, const std::string &to) {
	return file_system_calls().rename(from.c_str(), to.c_str());
}

int remove_file(const char *path) {
	return file_system_calls().unlink(path);
}

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

// ".name.tmp-" (or ".name.bak-" for a second name of the file replaced) in the target's
// directory (so that the rename stays on one file system), with the name shortened so that
// a target of the longest legal name still gets one.
std::string hidden_prefix(const SplitPath &target, const char *tag) {
	std::string prefix = "." + target.base + tag;
	if (prefix.size() > NAME_MAX_BYTES - SUFFIX_MAX_BYTES) {
		prefix = "." + target.base.substr(0, NAME_MAX_BYTES - SUFFIX_MAX_BYTES - 6) + tag;
	}
	return prefix;
}

const char TEMPORARY[] = ".tmp-";
const char BACKUP[] = ".bak-";

std::string hidden_name(const std::string &path, const char *tag, int attempt) {
	SplitPath target = split(path);
	return target.dir + hidden_prefix(target, tag) + std::to_string(process_id()) + "-" + std::to_string(attempt);
}

// Removes the files of this target that a killed run left behind. With the folder locked, no
// live run has a temporary file there; without a lock, only those of a process known to be
// gone are removed. A backup is removed only while it is a second name of the target itself:
// one that is not may be the only copy of an earlier file.
void sweep_stale(const std::string &path, bool folder_locked) {
	SplitPath target = split(path);
	std::string temporary = hidden_prefix(target, TEMPORARY), backup = hidden_prefix(target, BACKUP);
	for (const std::string &name : names_in(target.dir)) {
		std::string leftover = target.dir + name;
		if (name.compare(0, temporary.size(), temporary) == 0) {
			if (folder_locked || stale_without_lock(std::strtol(name.c_str() + temporary.size(), nullptr, 10))) {
				remove_file(leftover.c_str());
			}
		} else if (name.compare(0, backup.size(), backup) == 0 && folder_locked && same_file(leftover, path)) {
			remove_file(leftover.c_str());
		}
	}
}

// The folders of the set, each locked once however its paths spell it, in one order for
// every run so that two runs never wait for each other's second folder.
class FolderLocks {
public:
	explicit FolderLocks(const std::vector<std::pair<std::string, std::string>> &files) {
		std::vector<std::pair<std::string, std::string>> folders; // key, one spelling
		for (const auto &file : files) {
			std::string dir = split(file.first).dir;
			folders.emplace_back(folder_key(dir), dir);
		}
		std::sort(folders.begin(), folders.end());
		for (size_t i = 0; i < folders.size(); ++i) {
			if (i == 0 || folders[i].first != folders[i - 1].first) {
				locks.emplace_back(folders[i].first, std::make_unique<FolderLock>(folders[i].second));
			}
		}
	}
	bool held(const std::string &path) const {
		std::string key = folder_key(split(path).dir);
		for (const auto &lock : locks) {
			if (lock.first == key) {
				return lock.second->held();
			}
		}
		return false;
	}

private:
	std::vector<std::pair<std::string, std::unique_ptr<FolderLock>>> locks;
};

// The temporary files a signal must remove: names fixed before the files exist, so that the
// handler only reads memory that no longer changes.
struct SignalCleanup {
	std::vector<std::string> paths;
	volatile sig_atomic_t count = 0;
};
SignalCleanup cleanup;

// Every signal sent to end a process, by a user, a terminal, a pipe or a timer; not those
// that report a fault of the process itself, after which it should touch no file.
const int TERMINATING_SIGNALS[] = {
	SIGINT,
	SIGTERM,
#ifndef _WIN32
	SIGHUP,
	SIGQUIT,
	SIGPIPE,
	SIGALRM,
	SIGUSR1,
	SIGUSR2,
#endif
};

extern "C" void remove_temporaries_and_die(int signal) {
	for (sig_atomic_t i = 0; i < cleanup.count; ++i) {
		os_unlink(cleanup.paths[static_cast<size_t>(i)].c_str());
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
		for (size_t i = 0; i < std::size(TERMINATING_SIGNALS); ++i) {
			previous[i] = catch_unless_ignored(TERMINATING_SIGNALS[i]);
		}
#ifdef SIGXFSZ
		file_size = std::signal(SIGXFSZ, SIG_IGN);
#endif
	}
	~SignalGuard() {
		for (size_t i = 0; i < std::size(TERMINATING_SIGNALS); ++i) {
			std::signal(TERMINATING_SIGNALS[i], previous[i]);
		}
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
	Handler previous[std::size(TERMINATING_SIGNALS)];
	Handler file_size = SIG_DFL;
};

// Blocks the terminating signals while it lives: the renames and their undoing run to the
// end. Windows has no signal mask: there the block does nothing.
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
		for (int signal : TERMINATING_SIGNALS) {
			sigaddset(&set, signal);
		}
		sigprocmask(SIG_BLOCK, &set, &previous);
	}
	~SignalBlock() { sigprocmask(SIG_SETMASK, &previous, nullptr); }
	SignalBlock(const SignalBlock &) = delete;
	SignalBlock &operator=(const SignalBlock &) = delete;

private:
	sigset_t previous;
};
#endif

bool write_all(int fd, const char *data, size_t size) {
	size_t done = 0;
	while (done < size) {
		long long n = write_some(fd, data + done, size - done);
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

// Copies the file open as `from` into `to`, until its end.
bool copy_all(int from, int to) {
	char buffer[1 << 16];
	for (;;) {
		long long n = read_some(from, buffer, sizeof buffer);
		if (n < 0 && errno == EINTR) {
			continue;
		}
		if (n <= 0) {
			return n == 0;
		}
		if (!write_all(to, buffer, static_cast<size_t>(n))) {
			return false;
		}
	}
}

// Creates a fresh temporary file beside `path` with the owner and mode of what it replaces,
// fills it with `fill`, and returns its name; on failure, removes it and returns "" with
// errno set.
template <typename Fill>
std::string create_filled(const std::string &path, const char *tag, int first_attempt, const Existing &existing, SignalGuard &guard, Fill fill) {
	for (int attempt = first_attempt; attempt < first_attempt + 100; ++attempt) {
		std::string temp = hidden_name(path, tag, attempt);
		guard.track(temp);
		int fd = create_new(temp);
		if (fd < 0) {
			int error = errno;
			guard.forget_last();
			if (error == EEXIST) {
				continue;
			}
			errno = error;
			return "";
		}
		keep_owner_and_mode(fd, existing);
		bool written = fill(fd) && flush_to_disk(fd) == 0;
		int error = errno;
		if (close_file(fd) != 0 && written) {
			written = false;
			error = errno;
		}
		if (!written) {
			remove_file(temp.c_str());
			errno = error;
			return "";
		}
		return temp;
	}
	errno = EEXIST;
	return "";
}

// One target of the set: what was there, its staged bytes and, when it replaces a file, a
// second name for that file, so that a failed set can put it back.
struct Replacement {
	std::string target;
	Existing existing;
	std::string temp;
	std::string backup; // empty when there was no file
};

// Fails now, before anything is written, for the one reason a rename into a writable
// directory has: a directory in the target's place.
Existing inspect_target(const std::string &target) {
	Existing existing = inspect(target);
	if (existing.kind < 0) {
		throw failure(target, errno);
	}
	if (existing.kind == 2) {
		throw failure(target, EISDIR);
	}
	return existing;
}

// A second name for the file being replaced: a hard link, or where none can be made (a file
// system without them, a file at its link limit) a copy. Without either there is no way
// back, and the run fails before its first rename.
void keep_backup(Replacement &r, SignalGuard &guard) {
	for (int attempt = 0; attempt < 100; ++attempt) {
		std::string backup = hidden_name(r.target, BACKUP, attempt);
		guard.track(backup);
		if (hard_link(r.target, backup) == 0) {
			r.backup = backup;
			return;
		}
		int error = errno;
		guard.forget_last();
		if (error != EEXIST) {
			break;
		}
	}
	int from = open_to_read(r.target);
	if (from >= 0) {
		r.backup = create_filled(r.target, BACKUP, 100, r.existing, guard, [from](int to) { return copy_all(from, to); });
		int error = errno;
		close_file(from);
		errno = error;
	}
	if (r.backup.empty()) {
		throw std::runtime_error("cannot write '" + r.target + "': cannot keep the earlier file to put back should the run fail: " + std::strerror(errno));
	}
}

// Undoes the first `done` renames: earlier files go back, new ones go away. Returns what
// could not be put back, with the backup that still holds it.
std::string restore(std::vector<Replacement> &set, size_t done) {
	std::string kept;
	for (size_t i = 0; i < done; ++i) {
		Replacement &r = set[i];
		if (r.backup.empty()) {
			remove_file(r.target.c_str());
		} else if (replace(r.backup, r.target) == 0) {
			r.backup.clear();
		} else {
			kept += "; the earlier '" + r.target + "' could not be put back (" + std::strerror(errno) + ") and is kept as '" + r.backup + "'";
			r.backup.clear(); // the only copy: never removed
		}
	}
	return kept;
}

void discard(const std::vector<Replacement> &set) {
	for (const Replacement &r : set) {
		for (const std::string &path : { r.temp, r.backup }) {
			if (!path.empty()) {
				remove_file(path.c_str());
			}
		}
	}
}

void rename_all(std::vector<Replacement> &set) {
	SignalBlock block;
	for (size_t i = 0; i < set.size(); ++i) {
		if (replace(set[i].temp, set[i].target) != 0) {
			int error = errno;
			std::string kept = restore(set, i);
			discard(set);
			throw std::runtime_error(failure(set[i].target, error).what() + kept);
		}
		set[i].temp.clear();
	}
	for (Replacement &r : set) {
		r.temp.clear();
	}
	discard(set); // the backups, no longer needed
}

} // namespace

void write_files(const std::vector<std::pair<std::string, std::string>> &files) {
	FolderLocks locks(files);
	SignalGuard guard(files.size());
	std::vector<Replacement> set;
	try {
		for (const auto &file : files) {
			sweep_stale(file.first, locks.held(file.first));
			Replacement r;
			r.target = file.first;
			r.existing = inspect_target(r.target);
			const std::string &bytes = file.second;
			r.temp = create_filled(r.target, TEMPORARY, 0, r.existing, guard, [&bytes](int fd) { return write_all(fd, bytes.data(), bytes.size()); });
			if (r.temp.empty()) {
				throw failure(r.target, errno);
			}
			set.push_back(r);
		}
		for (Replacement &r : set) {
			if (r.existing.kind == 1) {
				keep_backup(r, guard);
			}
		}
	} catch (...) {
		discard(set);
		throw;
	}
	rename_all(set);
}

} // namespace wendrel
