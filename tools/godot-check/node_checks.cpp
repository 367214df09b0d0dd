// Node tree checks for scenes, and the stored properties of Wendrel3D nodes.
#include "godot_values.h"
#include "project_checks.h"

#include <cstdio>
#include <map>
#include <set>

namespace godot_check {

namespace {

// Properties that Wendrel3D inherits from Node3D and Node and that a scene may store.
const std::set<std::string> inherited_properties = {
	"transform",
	"rotation_edit_mode",
	"rotation_order",
	"top_level",
	"visible",
	"visibility_parent",
	"process_mode",
	"process_priority",
	"process_physics_priority",
	"physics_interpolation_mode",
	"auto_translate_mode",
	"editor_description",
	"unique_name_in_owner",
	"script",
};

struct NodeContext {
	const Section &node;
	// Resource class of every declared id, "ext:<id>" and "sub:<id>".
	const std::map<std::string, std::string> &resource_types;
	Problems &problems;

	void report(const std::string &key, const std::string &what) const {
		problems.push_back("line " + std::to_string(node.line) + " node " + node.attribute("name") +
				": " + key + " " + what);
	}
};

std::string range_text(const PropertyRule &rule) {
	char text[64];
	std::snprintf(text, sizeof text, "%g..%g", rule.min, rule.max);
	return text;
}

void check_object(const NodeContext &context, const PropertyRule &rule, const Value &value) {
	if (value.kind == ValueKind::Null) {
		return;
	}
	const std::vector<ResourceRef> refs = resource_refs(value.text);
	if ((value.callee != "ExtResource" && value.callee != "SubResource") || refs.size() != 1) {
		context.report(rule.name, "= " + value.text + " is not a resource");
		return;
	}
	const auto type = context.resource_types.find((refs[0].external ? "ext:" : "sub:") + refs[0].id);
	if (type == context.resource_types.end() || rule.resource_types.empty()) {
		return; // an undeclared id is check_resources' to report
	}
	for (const std::string &accepted : rule.resource_types) {
		if (type->second == accepted) {
			return;
		}
	}
	context.report(rule.name, "is a " + type->second + ", which the inspector does not accept");
}

void check_value(const NodeContext &context, const PropertyRule &rule, const std::string &raw) {
	const Value value = read_value(raw);
	const bool number = value.kind == ValueKind::Integer || value.kind == ValueKind::Real;
	switch (rule.kind) {
		case PropertyKind::Bool:
			if (value.kind != ValueKind::Bool) {
				context.report(rule.name, "= " + value.text + " is not a bool");
			}
			return;
		case PropertyKind::Int:
			if (value.kind != ValueKind::Integer) {
				context.report(rule.name, "= " + value.text + " is not an int");
				return;
			}
			break;
		case PropertyKind::Float:
			if (!number) {
				context.report(rule.name, "= " + value.text + " is not a number");
				return;
			}
			break;
		case PropertyKind::Object:
			check_object(context, rule, value);
			return;
		case PropertyKind::Other:
			return;
	}
	// NaN fails both comparisons, so it is out of range as well.
	if (rule.has_range && !(value.number >= rule.min && value.number <= rule.max)) {
		context.report(rule.name, "= " + value.text + " is outside the inspector range " + range_text(rule));
	}
}

void check_inherited(const NodeContext &context, const std::string &key, const std::string &raw) {
	const Value value = read_value(raw);
	if (key == "transform" && (value.callee != "Transform3D" || value.items.size() != 12)) {
		context.report(key, "= " + value.text + " is not a Transform3D");
	}
}

void check_wendrel3d(const NodeContext &context, const std::vector<PropertyRule> &registration) {
	std::map<std::string, size_t> index_of;
	for (size_t i = 0; i < registration.size(); i++) {
		index_of[registration[i].name] = i;
	}
	std::set<std::string> seen;
	for (const auto &[key, raw] : context.node.properties) {
		if (!seen.insert(key).second) {
			context.report(key, "is stored twice");
		}
		if (inherited_properties.count(key) || key.rfind("metadata/", 0) == 0) {
			check_inherited(context, key, raw);
			continue;
		}
		const auto found = index_of.find(key);
		if (found == index_of.end()) {
			context.report(key, "is not a property of Wendrel3D");
			continue;
		}
		check_value(context, registration[found->second], raw);
	}
	// With twigs off there is no twig child to keep the material: whichever of the two the
	// engine sets first, the material is lost on load.
	const std::string *enable = context.node.property("twig_enable");
	if (enable && *enable == "false" && context.node.property("material_twig")) {
		context.report("material_twig", "is stored but twig_enable = false, so it is dropped on load");
	}
}

std::map<std::string, std::string> declared_types(const TextFile &scene) {
	std::map<std::string, std::string> types;
	for (const Section *ext : scene.all("ext_resource")) {
		types["ext:" + ext->attribute("id")] = ext->attribute("type");
	}
	for (const Section *sub : scene.all("sub_resource")) {
		types["sub:" + sub->attribute("id")] = sub->attribute("type");
	}
	return types;
}

void check_tree(const TextFile &scene, Problems &problems) {
	std::set<std::string> paths; // "." for the root, else the path below it
	for (const Section *node : scene.all("node")) {
		const std::string name = node->attribute("name");
		const std::string at = "line " + std::to_string(node->line) + " node " + name;
		if (name.empty() || name.find_first_of("./:@%\"") != std::string::npos) {
			problems.push_back(at + ": the name is empty or has a character that names may not have");
		}
		if (paths.empty()) {
			if (node->has_attribute("parent")) {
				problems.push_back(at + ": the first node is the root and has no parent");
			}
			paths.insert(".");
			continue;
		}
		const std::string parent = node->attribute("parent");
		if (!node->has_attribute("parent") || !paths.count(parent)) {
			problems.push_back(at + ": parent \"" + parent + "\" is not a node declared above");
			continue;
		}
		if (!paths.insert(parent == "." ? name : parent + "/" + name).second) {
			problems.push_back(at + ": a sibling already has this name");
		}
	}
	if (paths.empty()) {
		problems.push_back("the scene has no node");
	}
}

} // namespace

Problems check_nodes(const TextFile &scene, const std::vector<PropertyRule> &registration) {
	Problems problems;
	check_tree(scene, problems);
	const std::map<std::string, std::string> types = declared_types(scene);
	for (const Section *node : scene.all("node")) {
		if (node->attribute("type") == "Wendrel3D") {
			check_wendrel3d(NodeContext{ *node, types, problems }, registration);
		}
	}
	return problems;
}

} // namespace godot_check
