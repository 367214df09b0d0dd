#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace wendrel {

namespace {

std::runtime_error failure(const std::string &path, int error) {
	return std::runtime_error("cannot write '" + path + "': " + std::strerror(error));
}

// ".name.tmp-<pid>-<n>" in the target's directory, so that the rename stays on one file system.
std::string temporary_name(const std::string &path, int attempt) {
	size_t slash = path.find_last_of('/');
	std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
	std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
	return dir + "." + base + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
}

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
std::string stage(const std::string &path, const std::string &bytes) {
	for (int attempt = 0;; ++attempt) {
		std::string temp = temporary_name(path, attempt);
		int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
		if (fd < 0 && errno == EEXIST && attempt < 100) {
			continue;
		}
		if (fd < 0) {
			throw failure(path, errno);
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

void remove_all(const std::vector<std::string> &temps) {
	for (const std::string &temp : temps) {
		unlink(temp.c_str());
	}
}

} // namespace

void write_files(const std::vector<std::pair<std::string, std::string>> &files) {
	std::vector<std::string> temps;
	try {
		for (const auto &file : files) {
			temps.push_back(stage(file.first, file.second));
		}
	} catch (...) {
		remove_all(temps);
		throw;
	}
	for (size_t i = 0; i < files.size(); ++i) {
		if (std::rename(temps[i].c_str(), files[i].first.c_str()) != 0) {
			int error = errno;
			remove_all(std::vector<std::string>(temps.begin() + static_cast<long>(i), temps.end()));
			throw failure(files[i].first, error);
		}
	}
}

} // namespace wendrel
