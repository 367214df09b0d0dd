// The presets: plausible, distinct, storable as scenes, and matched by the demo scenes, the
// add-on's preset files and the previews in the repository.
#include "cli_test_support.h"

#include "export.h"
#include "mesh_checks.h"
#include "model/presets.h"
#include "parameters.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace wendrel::test {
namespace {

const std::string SOURCE = WENDREL_SOURCE_DIR;

TEST(Presets, AtLeastFiveDistinctTreesThatBuild) {
	ASSERT_GE(presets().size(), 5u);
	EXPECT_STREQ(presets()[0].name, "default");
	EXPECT_EQ(write_scene(presets()[0].properties, "Tree"), write_scene(TreeProperties(), "Tree"));
	std::set<std::string> names;
	std::set<uint64_t> digests;
	for (const Preset &preset : presets()) {
		EXPECT_TRUE(names.insert(preset.name).second) << preset.name;
		ASSERT_TRUE(measure_tree(preset.properties).fits) << preset.name;
		TreeModel model;
		generate_with(model, preset.properties);
		EXPECT_TRUE(validate_mesh(model)) << preset.name;
		EXPECT_TRUE(digests.insert(digest(model)).second) << preset.name << " grows the same tree as another";
		// Trap: a drooping or low branch that sinks into the ground the tree stands on.
		for (int32_t i = 0; i < model.vertex_count; ++i) {
			ASSERT_GE(model.vertices[i].y, 0.0f) << preset.name;
		}
		for (int32_t i = 0; i < model.twig_vertex_count; ++i) {
			ASSERT_GT(model.twig_vertices[i].y, 0.0f) << preset.name;
		}
	}
}

// The demo's scenes may only hold values the inspector offers, and a scene holds only the
// node's properties.
TEST(Presets, StayInsideTheInspectorRanges) {
	for (const Preset &preset : presets()) {
		for (const Parameter &parameter : parameters()) {
			double value = parameter.get(preset.properties);
			if (parameter.on_node) {
				EXPECT_TRUE(parameter.in_range(value)) << preset.name << " " << parameter.name << " " << value;
			} else {
				EXPECT_EQ(value, parameter.get(TreeProperties())) << preset.name << " " << parameter.name;
			}
		}
	}
}

// Trap: a preset edited in the code but not in the demo or the add-on, or the other way
// round. The files are written by `wendrel --preset NAME -o demo/presets/NAME.tscn` and
// `-o demo/addons/wendrel3d/presets/NAME.tres`.
TEST(Presets, DemoScenesAddOnPresetsAndPreviewsMatchTheCode) {
	const std::string scene_dir = SOURCE + "/demo/presets/";
	const std::string preset_dir = SOURCE + "/demo/addons/wendrel3d/presets/";
	std::set<std::string> files;
	for (const std::string &dir : { scene_dir, preset_dir }) {
		for (const auto &entry : std::filesystem::directory_iterator(dir)) {
			files.insert(dir + entry.path().filename().string());
		}
	}
	std::set<std::string> expected;
	for (const Preset &preset : presets()) {
		std::string name = preset.name;
		expected.insert(scene_dir + name + ".tscn");
		expected.insert(preset_dir + name + ".tres");
		EXPECT_EQ(read_file(scene_dir + name + ".tscn"), write_scene(preset.properties, "Tree")) << name;
		EXPECT_EQ(read_file(preset_dir + name + ".tres"), write_preset(preset.properties)) << name;
		EXPECT_TRUE(std::filesystem::exists(SOURCE + "/docs/presets/" + name + ".png")) << name;
	}
	EXPECT_EQ(files, expected);
	ScratchDir dir;
	ASSERT_EQ(run_tool({ "--preset", "conifer", "-o", dir.path("conifer.tscn"), "-o", dir.path("conifer.tres") }).exit_code, 0);
	EXPECT_EQ(read_file(dir.path("conifer.tscn")), read_file(scene_dir + "conifer.tscn"));
	EXPECT_EQ(read_file(dir.path("conifer.tres")), read_file(preset_dir + "conifer.tres"));
}

} // namespace
} // namespace wendrel::test
