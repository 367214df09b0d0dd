#include "parameters.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace wendrel {

namespace {

using T = TreeProperties;

Parameter integer(const char *property, int32_t T::*field, double min, double max, const char *description) {
	return Parameter{ property, ParameterType::INTEGER, field, nullptr, min, max, true, description };
}

Parameter real(const char *property, float T::*field, double min, double max, const char *description) {
	return Parameter{ property, ParameterType::REAL, nullptr, field, min, max, true, description };
}

Parameter hidden(Parameter parameter) {
	parameter.exposed = false;
	return parameter;
}

std::vector<Parameter> make_parameters() {
	return {
		integer("seed", &T::seed, 0, 100000, "added to every random draw"),
		integer("trunk_segments", &T::segments, 2, 10, "vertices around each bark ring (rounded up to even)"),
		integer("trunk_branches_count", &T::branches_count, 1, 13, "times the branches fork above the trunk; each level doubles the branch tips"),
		integer("trunk_height", &T::trunk_height, 0, 100, "trunk steps, each putting out one side branch"),
		real("trunk_branch_length", &T::branch_length, 0.01, 10, "length of the first branch"),
		real("trunk_branch_length_falloff", &T::branch_length_falloff, 0, 2, "child length factor"),
		real("trunk_branch_factor", &T::branch_factor, 0.1, 20, "how far a fork's second child swings away"),
		real("trunk_branch_clump_max", &T::branch_clump_max, 0, 20, "upper end of the clump blend"),
		real("trunk_branch_clump_min", &T::branch_clump_min, 0, 20, "lower end of the clump blend"),
		real("trunk_drop_amount", &T::drop_amount, -5, 5, "vertical push growing with every level towards the tips: negative droops, positive lifts"),
		real("trunk_grow_amount", &T::grow_amount, -5, 5, "upward push, strongest near the trunk"),
		real("trunk_sweep_amount", &T::sweep_amount, -5, 5, "push along +x per level"),
		real("trunk_max_radius", &T::max_radius, 0.01, 0.6, "trunk radius"),
		real("trunk_radius_falloff_rate", &T::radius_falloff_rate, 0.1, 1, "radius factor from a branch to its children"),
		real("trunk_climb_rate", &T::climb_rate, 0, 50, "height added by each trunk step"),
		real("trunk_kink", &T::trunk_kink, -1, 1, "largest sideways offset of a trunk step"),
		real("trunk_twist", &T::twist, -5, 5, "turns of the side branches around the trunk"),
		real("trunk_length", &T::trunk_length, 0, 100, "height of the first fork"),
		real("trunk_uv_multiplier", &T::uv_multiplier, 0.001, 50, "bark texture scale along the branches"),
		real("twig_scale", &T::twig_scale, 0, 5, "half the side of a twig card"),
		hidden(real("trunk_taper", &T::trunk_taper, 0.5, 1, "length and radius factor from one trunk step to the next; not a node property")),
		hidden(real("branch_length_exponent", &T::branch_length_exponent, 0.5, 1.5, "exponent of the parent length in a child's length; not a node property")),
	};
}

// Whether text holds nothing but a number that strtoll or strtof consumed up to `end`.
bool consumed_all(const std::string &text, const char *end) {
	return !text.empty() && end == text.c_str() + text.size();
}

} // namespace

std::string Parameter::option_name() const {
	std::string name = std::string("--") + property;
	for (char &c : name) {
		c = c == '_' ? '-' : c;
	}
	return name;
}

double Parameter::get(const TreeProperties &properties) const {
	// note: not a conditional expression, which would pass the integer through float and
	// round every value above 2^24.
	if (type == ParameterType::INTEGER) {
		return properties.*int_field;
	}
	return properties.*float_field;
}

bool Parameter::in_range(double value) const {
	// A float field holds the range ends rounded to float: 0.01 is stored just below 0.01.
	if (type == ParameterType::REAL) {
		return value >= static_cast<float>(min) && value <= static_cast<float>(max);
	}
	return value >= min && value <= max;
}

void Parameter::set(TreeProperties &properties, double value) const {
	if (type == ParameterType::INTEGER) {
		properties.*int_field = static_cast<int32_t>(value);
	} else {
		properties.*float_field = static_cast<float>(value);
	}
}

const std::vector<Parameter> &parameters() {
	static const std::vector<Parameter> table = make_parameters();
	return table;
}

const Parameter *find_parameter(const std::string &property) {
	for (const Parameter &parameter : parameters()) {
		if (property == parameter.property) {
			return &parameter;
		}
	}
	return nullptr;
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
