#include "parameters.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace wendrel {

namespace {

// Whether text holds nothing but a number that strtoll or strtof consumed up to `end`.
bool consumed_all(const std::string &text, const char *end) {
	return !text.empty() && end == text.c_str() + text.size();
}

} // namespace

std::string option_name(const PropertyRow &parameter) {
	std::string name = std::string("--") + parameter.name;
	for (char &c : name) {
		c = c == '_' ? '-' : c;
	}
	return name;
}

std::string parse_value(const Parameter &parameter, const std::string &text, double &value) {
	char *end = nullptr;
	errno = 0;
	if (parameter.type == ParameterType::INTEGER) {
		long long parsed = std::strtoll(text.c_str(), &end, 10);
		if (!consumed_all(text, end)) {
			return "'" + text + "' is not a whole number";
		}
		if (errno == ERANGE || parsed < std::numeric_limits<int32_t>::min() || parsed > std::numeric_limits<int32_t>::max()) {
			return "'" + text + "' does not fit in a 32-bit integer";
		}
		value = static_cast<double>(parsed);
		return "";
	}
	// note: strtof, not strtod then a cast, so that the text is rounded to a float only once.
	// A value below the normal range (1e-40) rounds to a subnormal or to 0 like any other;
	// only one beyond the largest float is refused.
	float parsed = std::strtof(text.c_str(), &end);
	if (!consumed_all(text, end) || !std::isfinite(parsed)) {
		return "'" + text + "' is not a finite number";
	}
	value = parsed;
	return "";
}

std::string format_value(const Parameter &parameter, double value) {
	char text[64];
	if (parameter.type == ParameterType::INTEGER) {
		std::snprintf(text, sizeof text, "%d", static_cast<int32_t>(value));
		return text;
	}
	float target = static_cast<float>(value);
	// The engine reads scene numbers as doubles and then rounds to float, so the text must
	// give the same float both ways.
	for (int digits = 1; digits <= 9; ++digits) {
		std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(target));
		float direct = std::strtof(text, nullptr);
		float via_double = static_cast<float>(std::strtod(text, nullptr));
		if (direct == target && via_double == target && std::signbit(direct) == std::signbit(target)) {
			break;
		}
	}
	std::string result = text;
	if (result.find_first_of(".en") == std::string::npos) {
		result += ".0";
	}
	return result;
}

} // namespace wendrel
