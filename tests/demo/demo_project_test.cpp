// The demo project as shipped: every file that the engine reads passes the demo checks.
// Scenes added under demo/ later (presets included) are found and checked the same way.
#include "godot_values.h"
#include "project_checks.h"
#include "registration.h"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/memory.hpp>
#include <stub/recorder.h>

#include <gtest/gtest.h>

#include <map>

#ifdef WENDREL_LOADABLE_LIBRARY
#include <dlfcn.h>
#endif

namespace wendrel::test {

using namespace godot_check;
namespace {

const std::filesystem::path demo_dir = WENDREL_DEMO_DIR;
const std::filesystem::path addon_dir = demo_dir / "addons" / "wendrel3d";

// Every file under demo/ with this extension, outside the editor's .godot cache.
std::vector<std::filesystem::path> demo_files(const std::string &extension) {
	std::vector<std::filesystem::path> found;
	for (auto it = std::filesystem::recursive_directory_iterator(demo_dir);
			it != std::filesystem::recursive_directory_iterator(); ++it) {
		if (it->is_directory() && it->path().filename() == ".godot") {
			it.disable_recursion_pending();
		} else if (it->is_regular_file() && it->path().extension() == extension) {
			found.push_back(it->path());
		}
	}
	return found;
}

std::string report(const std::filesystem::path &file, const Problems &problems) {
	std::string text = std::filesystem::relative(file, demo_dir).string() + ":";
	for (const std::string &problem : problems) {
		text += "\n  " + problem;
	}
	return text;
}

const std::vector<PropertyRule> &registration() {
	static const std::vector<PropertyRule> rules = wendrel3d_properties();
	return rules;
}

TEST(DemoProject, ProjectSettingsOpenTheMainSceneInGodot43) {
	const TextFile settings = parse_text_file((demo_dir / "project.godot").string());
	EXPECT_EQ(check_project_settings(settings, lookup_in_folder(demo_dir)), Problems());
}

TEST(DemoProject, TheRegistrationToCheckAgainstIsTheNodes) {
	// Guards the checks below, which would pass vacuously against an empty table.
	ASSERT_EQ(registration().size(), 31u);
	EXPECT_EQ(registration().front().name, "seed");
	EXPECT_EQ(registration()[26].name, "material_twig");
	EXPECT_EQ(registration()[26].resource_types,
			(std::vector<std::string>{ "StandardMaterial3D", "ORMMaterial3D", "ShaderMaterial" }));
}

TEST(DemoProject, EveryScenePassesTheResourceAndNodeChecks) {
	const std::vector<std::filesystem::path> scenes = demo_files(".tscn");
	ASSERT_FALSE(scenes.empty());
	for (const std::filesystem::path &file : scenes) {
		const TextFile scene = parse_text_file(file.string());
		Problems problems = check_resources(scene, lookup_in_folder(demo_dir));
		for (const std::string &problem : check_nodes(scene, registration())) {
			problems.push_back(problem);
		}
		EXPECT_TRUE(problems.empty()) << report(file, problems);
	}
}

TEST(DemoProject, EveryResourcePassesTheResourceChecks) {
	for (const std::filesystem::path &file : demo_files(".tres")) {
		const Problems problems = check_resources(parse_text_file(file.string()), lookup_in_folder(demo_dir));
		EXPECT_TRUE(problems.empty()) << report(file, problems);
	}
}

// The value as the engine hands it to the setter: the setter's own argument type.
std::any setter_argument(const godot::stub::PropertyRecord &record, const Value &value) {
	switch (record.type) {
		case VARIANT_INT:
			return int32_t(value.number);
		case VARIANT_FLOAT:
			return float(value.number);
		default:
			return value.boolean;
	}
}

bool same_value(const std::any &a, const std::any &b) {
	if (a.type() != b.type()) {
		return false;
	} else if (a.type() == typeid(int32_t)) {
		return std::any_cast<int32_t>(a) == std::any_cast<int32_t>(b);
	} else if (a.type() == typeid(float)) {
		return std::any_cast<float>(a) == std::any_cast<float>(b);
	}
	return std::any_cast<bool>(a) == std::any_cast<bool>(b);
}

// A new node, then each stored property through its registered setter in file order, as the
// engine loads a scene: every tree of the demo grows through the node without an error.
TEST(DemoProject, EveryStoredTreeLoadsThroughTheRegisteredSetters) {
	ASSERT_FALSE(registration().empty());
	int loaded = 0;
	for (const std::filesystem::path &file : demo_files(".tscn")) {
		const TextFile scene = parse_text_file(file.string());
		for (const Section *stored : scene.all("node")) {
			if (stored->attribute("type") != "Wendrel3D") {
				continue;
			}
			SCOPED_TRACE(file.filename().string() + " node " + stored->attribute("name"));
			godot::stub::clear_errors();
			godot::Object *node = godot::stub::instantiate("Wendrel3D");
			for (const godot::stub::PropertyRecord &record : godot::stub::registered_properties("Wendrel3D")) {
				const std::string *raw = stored->property(record.name);
				if (!raw || record.type == VARIANT_OBJECT) {
					continue; // materials are resources of the engine's, not loaded here
				}
				const std::any argument = setter_argument(record, read_value(*raw));
				godot::stub::call_method(node, "Wendrel3D", record.setter, { argument });
				const std::any read_back = godot::stub::call_method(node, "Wendrel3D", record.getter);
				EXPECT_TRUE(same_value(read_back, argument)) << record.name << " = " << *raw << " did not stick";
			}
			EXPECT_EQ(godot::stub::errors(), std::vector<std::string>());
			godot::memdelete(node);
			loaded++;
		}
	}
	EXPECT_GE(loaded, 3);
}

TEST(DemoProject, NoTwoFilesShareAUid) {
	// The engine finds a file by uid before its path: a copied uid loads the wrong file.
	std::map<std::string, std::filesystem::path> owners;
	for (const std::string extension : { ".tscn", ".tres" }) {
		for (const std::filesystem::path &file : demo_files(extension)) {
			const TextFile text = parse_text_file(file.string());
			const std::string uid = text.sections.empty() ? "" : text.sections.front().attribute("uid");
			if (!uid.empty() && !owners.emplace(uid, file).second) {
				ADD_FAILURE() << file << " has the uid " << uid << " of " << owners[uid];
			}
		}
	}
}

TEST(DemoProject, TheExtensionDescriptionMatchesTheBuild) {
	const TextFile description = parse_text_file((addon_dir / "wendrel3d.gdextension").string());
	EXPECT_EQ(check_gdextension(description, addon_dir), Problems());
}

TEST(DemoProject, TheLibraryExportsTheEntrySymbolThatTheDescriptionNames) {
#ifndef WENDREL_LOADABLE_LIBRARY
	GTEST_SKIP() << "no loadable build of the node on this platform";
#else
	const TextFile description = parse_text_file((addon_dir / "wendrel3d.gdextension").string());
	const Section *configuration = description.first("configuration");
	const std::string *entry = configuration ? configuration->property("entry_symbol") : nullptr;
	ASSERT_NE(entry, nullptr);
	// What the engine does with the two: open the library and look the entry up by name.
	void *library = dlopen(WENDREL_LOADABLE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
	ASSERT_NE(library, nullptr) << dlerror();
	EXPECT_NE(dlsym(library, unquote(*entry).c_str()), nullptr) << unquote(*entry) << " is not exported";
	dlclose(library);
#endif
}

TEST(DemoProject, TheBuiltExtensionIsTheFileTheDescriptionNamesForThisMachine) {
#ifndef WENDREL_EXTENSION_FILE
	GTEST_SKIP() << "the extension itself is built only when GODOT_CPP_DIR is set";
#else
	const std::filesystem::path built = WENDREL_EXTENSION_FILE;
	EXPECT_EQ(std::filesystem::weakly_canonical(built.parent_path()),
			std::filesystem::weakly_canonical(addon_dir / "bin"));
	const TextFile description = parse_text_file((addon_dir / "wendrel3d.gdextension").string());
	const Section *libraries = description.first("libraries");
	ASSERT_NE(libraries, nullptr);
	bool listed = false;
	for (const auto &library : libraries->properties) {
		listed = listed || unquote(library.second) == "./bin/" + built.filename().string();
	}
	EXPECT_TRUE(listed) << built.filename() << " is not in [libraries], so Godot would not load it here";
#endif
}

TEST(DemoProject, TheMainSceneShowsSeveralDifferentTreesInALitWorld) {
	const TextFile scene = parse_text_file((demo_dir / "main.tscn").string());
	std::map<std::string, int> types;
	std::vector<std::map<std::string, std::string>> trees; // the stored parameters of each
	for (const Section *node : scene.all("node")) {
		types[node->attribute("type")]++;
		if (node->attribute("type") == "Wendrel3D") {
			trees.emplace_back(node->properties.begin(), node->properties.end());
			trees.back().erase("transform");
		}
	}
	EXPECT_EQ(types["Camera3D"], 1);
	EXPECT_EQ(types["DirectionalLight3D"], 1);
	EXPECT_EQ(types["WorldEnvironment"], 1);
	ASSERT_GE(trees.size(), 3u);
	for (size_t i = 1; i < trees.size(); i++) {
		EXPECT_NE(trees[i], trees[i - 1]) << "trees " << i - 1 << " and " << i << " are the same tree";
	}
}

} // namespace
} // namespace wendrel::test
