#include "export.h"

#include "parameters.h"

#include <stdexcept>

namespace wendrel {

std::string write_scene(const TreeProperties &properties, const std::string &node_name, bool twig_enable) {
	const TreeProperties defaults;
	std::string out = "[gd_scene format=3]\n\n[node name=\"" + node_name + "\" type=\"Wendrel3D\"]\n";
	for (const Parameter &parameter : parameters()) {
		double value = parameter.get(properties);
		if (parameter.on_node) {
			out += std::string(parameter.name) + " = " + format_value(parameter, value) + "\n";
		} else if (value != parameter.get(defaults)) {
			throw std::invalid_argument(std::string("a scene cannot hold ") + option_name(parameter) + " " + format_value(parameter, value) + ": the node has no such property and always uses " + format_value(parameter, parameter.get(defaults)));
		}
	}
	if (!twig_enable) {
		out += "twig_enable = false\n";
	}
	return out;
}

} // namespace wendrel
