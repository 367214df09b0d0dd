#include "seeds.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace wendrel {

namespace {

// One integer from `text` at `pos`, which moves past it; false on no digits or overflow.
bool read_seed(const std::string &text, size_t &pos, int32_t &seed) {
	const char *start = text.c_str() + pos;
	char *end = nullptr;
	errno = 0;
	long long value = std::strtoll(start, &end, 10);
	if (end == start || errno == ERANGE || value < INT32_MIN || value > INT32_MAX || *start == '+' || *start == ' ') {
		return false;
	}
	seed = int32_t(value);
	pos += size_t(end - start);
	return true;
}

} // namespace

std::string parse_seed_range(const std::string &text, SeedRange &range) {
	const std::string form = "'" + text + "' is not a seed range A-B, for example 1-20";
	SeedRange read;
	size_t pos = 0;
	if (!read_seed(text, pos, read.first)) {
		return form;
	}
	read.last = read.first;
	if (pos < text.size() && (text[pos] != '-' || !read_seed(text, ++pos, read.last) || pos != text.size())) {
		return form;
	}
	if (read.last < read.first) {
		return "'" + text + "': the first seed must not be larger than the last";
	}
	if (read.count() > SEED_RANGE_MAX) {
		return "'" + text + "' holds " + std::to_string(read.count()) + " seeds; at most " + std::to_string(SEED_RANGE_MAX) + " are written at once";
	}
	range = read;
	return "";
}

std::string with_seed(const std::string &path, int32_t seed) {
	std::string result;
	const std::string marker = SEED_MARKER;
	size_t from = 0;
	for (size_t at = path.find(marker); at != std::string::npos; at = path.find(marker, from)) {
		result += path.substr(from, at - from) + std::to_string(seed);
		from = at + marker.size();
	}
	return result + path.substr(from);
}

} // namespace wendrel
