// Header, id and reference checks for scenes and resources, and project.godot.
#include "godot_values.h"
#include "project_checks.h"

#include <regex>
#include <set>

namespace godot_check {

namespace {

std::string where(const Section &section) {
	return "line " + std::to_string(section.line) + " [" + section.tag + "]";
}

void check_header(const TextFile &file, Problems &problems) {
	const Section *header = file.sections.empty() ? nullptr : &file.sections.front();
	if (!header || (header->tag != "gd_scene" && header->tag != "gd_resource")) {
		problems.push_back("the file does not start with [gd_scene] or [gd_resource]");
		return;
	}
	if (header->attribute("format") != "3") {
		problems.push_back("format is '" + header->attribute("format") + "', not 3 (Godot 4)");
	}
	if (header->has_attribute("uid") && !is_well_formed_uid(header->attribute("uid"))) {
		problems.push_back("malformed uid '" + header->attribute("uid") + "'");
	}
	if (header->tag == "gd_resource" && header->attribute("type").empty()) {
		problems.push_back("[gd_resource] names no type");
	}
	// The editor writes load_steps as the number of resources plus one, and omits it for one.
	const size_t resources = file.all("ext_resource").size() + file.all("sub_resource").size();
	if (header->has_attribute("load_steps") &&
			header->attribute("load_steps") != std::to_string(resources + 1)) {
		problems.push_back("load_steps=" + header->attribute("load_steps") + " but there are " +
				std::to_string(resources) + " resources, so it should be " + std::to_string(resources + 1));
	}
}

void check_external(const Section &ext, const FileLookup &lookup, Problems &problems) {
	const std::string path = ext.attribute("path");
	if (path.rfind("res://", 0) != 0) {
		problems.push_back(where(ext) + " path '" + path + "' is not a res:// path");
		return;
	}
	const std::optional<ExternalFile> target = lookup(path);
	if (!target) {
		problems.push_back(where(ext) + " " + path + " does not exist");
		return;
	}
	if (!target->type.empty() && target->type != ext.attribute("type")) {
		problems.push_back(where(ext) + " type=\"" + ext.attribute("type") + "\" but " + path +
				" is a " + target->type);
	}
	// A stale uid makes the engine load whatever file now has that uid.
	if (ext.has_attribute("uid") && ext.attribute("uid") != target->uid) {
		problems.push_back(where(ext) + " uid " + ext.attribute("uid") + " but " + path + " has '" +
				target->uid + "'");
	}
}

// Every reference in the section's properties (and a node's instance=) names a declared id;
// sub-resources must be declared above, as the engine reads the file top-down.
void check_references(const Section &section, const std::set<std::string> &external,
		const std::set<std::string> &sub_above, Problems &problems) {
	std::vector<ResourceRef> refs = resource_refs(section.attribute("instance"));
	for (const auto &property : section.properties) {
		for (const ResourceRef &ref : resource_refs(property.second)) {
			refs.push_back(ref);
		}
	}
	for (const ResourceRef &ref : refs) {
		const bool found = ref.external ? external.count(ref.id) > 0 : sub_above.count(ref.id) > 0;
		if (!found) {
			problems.push_back(where(section) + " uses " +
					(ref.external ? "ExtResource" : "SubResource") + "(\"" + ref.id +
					"\"), which is not declared" + (ref.external ? "" : " above"));
		}
	}
}

void check_ids(const TextFile &file, const FileLookup &lookup, Problems &problems) {
	std::set<std::string> external;
	for (const Section *ext : file.all("ext_resource")) {
		if (!external.insert(ext->attribute("id")).second) {
			problems.push_back(where(*ext) + " repeats the id \"" + ext->attribute("id") + "\"");
		}
		check_external(*ext, lookup, problems);
	}
	std::set<std::string> sub_above;
	for (const Section &section : file.sections) {
		check_references(section, external, sub_above, problems);
		if (section.tag == "sub_resource" && !sub_above.insert(section.attribute("id")).second) {
			problems.push_back(where(section) + " repeats the id \"" + section.attribute("id") + "\"");
		}
	}
}

std::optional<ExternalFile> read_external(const std::filesystem::path &file) {
	ExternalFile found;
	const std::string extension = file.extension().string();
	if (extension == ".gdshader") {
		found.type = "Shader";
	} else if (extension == ".tres" || extension == ".tscn") {
		const TextFile text = parse_text_file(file.string());
		if (!text.sections.empty()) {
			const Section &header = text.sections.front();
			found.type = extension == ".tscn" ? "PackedScene" : header.attribute("type");
			found.uid = header.attribute("uid");
		}
	}
	return found;
}

} // namespace

bool is_well_formed_uid(const std::string &uid) {
	static const std::regex form("uid://[a-y0-8]{1,13}");
	return std::regex_match(uid, form);
}

FileLookup lookup_in_folder(const std::filesystem::path &root) {
	return [root](const std::string &res_path) -> std::optional<ExternalFile> {
		const std::filesystem::path file = root / res_path.substr(std::string("res://").size());
		if (!std::filesystem::is_regular_file(file)) {
			return std::nullopt;
		}
		return read_external(file);
	};
}

Problems check_resources(const TextFile &file, const FileLookup &lookup) {
	Problems problems;
	check_header(file, problems);
	check_ids(file, lookup, problems);
	return problems;
}

Problems check_project_settings(const TextFile &settings, const FileLookup &lookup) {
	Problems problems;
	const Section *top = settings.first("");
	const std::string *version = top ? top->property("config_version") : nullptr;
	if (!version || *version != "5") {
		problems.push_back("config_version is not 5 (Godot 4)");
	}
	const Section *application = settings.first("application");
	const std::string *features = application ? application->property("config/features") : nullptr;
	if (!features || features->find("\"4.3\"") == std::string::npos) {
		problems.push_back("config/features does not list \"4.3\"");
	}
	for (const Section &section : settings.sections) {
		for (const auto &[key, raw] : section.properties) {
			const Value value = read_value(raw);
			if (value.kind == ValueKind::String && value.string.rfind("res://", 0) == 0 && !lookup(value.string)) {
				problems.push_back(key + ": " + value.string + " does not exist");
			}
		}
	}
	const std::string *main_scene = application ? application->property("run/main_scene") : nullptr;
	if (!main_scene) {
		problems.push_back("no run/main_scene");
	} else {
		const std::optional<ExternalFile> scene = lookup(unquote(*main_scene));
		if (!scene || scene->type != "PackedScene") {
			problems.push_back("run/main_scene " + *main_scene + " is not a scene in the project");
		}
	}
	return problems;
}

} // namespace godot_check
