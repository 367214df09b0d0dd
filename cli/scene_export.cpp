#include "export.h"

#include "parameters.h"

#include <stdexcept>

namespace wendrel {

namespace {

// One "name = value" line per node property; the node's other parameters must be at their
// defaults, since neither a scene nor a preset can hold them.
std::string property_lines(const TreeProperties &properties) {
	const TreeProperties defaults;
	std::string out;
	for (const Parameter &parameter : parameters()) {
		double value = parameter.get(properties);
		if (parameter.on_node) {
			out += std::string(parameter.name) + " = " + format_value(parameter, value) + "\n";
		} else if (value != parameter.get(defaults)) {
			throw std::invalid_argument(std::string("a scene cannot hold ") + option_name(parameter) + " " + format_value(parameter, value) + ": the node has no such property and always uses " + format_value(parameter, parameter.get(defaults)));
		}
	}
	return out;
}

} // namespace

std::string write_scene(const TreeProperties &properties, const std::string &node_name, bool twig_enable) {
	std::string out = "[gd_scene format=3]\n\n[node name=\"" + node_name + "\" type=\"Wendrel3D\"]\n" + property_lines(properties);
	if (!twig_enable) {
		out += "twig_enable = false\n";
	}
	return out;
}

std::string write_preset(const TreeProperties &properties) {
	return "[gd_resource type=\"Wendrel3DPreset\" format=3]\n\n[resource]\n" + property_lines(properties);
}

} // namespace wendrel
