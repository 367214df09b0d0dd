// The demo checks catch the faults that a hand-edited scene, resource or extension file can
// have. Each case starts from a file that passes and breaks one thing.
#include "project_checks.h"

#include <gtest/gtest.h>

#include <map>

namespace wendrel::test {

using namespace godot_check;
namespace {

const std::string materials = "StandardMaterial3D,ORMMaterial3D,ShaderMaterial";

// A few properties as the node registers them, enough to exercise every kind of value.
std::vector<PropertyRule> small_registration() {
	return {
		make_property_rule("seed", VARIANT_INT, HINT_RANGE, "0,100000,1"),
		make_property_rule("trunk_segments", VARIANT_INT, HINT_RANGE, "2,10,2"),
		make_property_rule("trunk_kink", VARIANT_FLOAT, HINT_RANGE, "-1,1,0.001"),
		make_property_rule("twig_enable", VARIANT_BOOL, 0, ""),
		make_property_rule("material_trunk", VARIANT_OBJECT, HINT_RESOURCE_TYPE, materials),
		make_property_rule("material_twig", VARIANT_OBJECT, HINT_RESOURCE_TYPE, materials),
	};
}

// Files that exist for the lookup: "res://bark.tres" is a StandardMaterial3D.
FileLookup small_project() {
	return [](const std::string &path) -> std::optional<ExternalFile> {
		static const std::map<std::string, ExternalFile> files = {
			{ "res://bark.tres", { "StandardMaterial3D", "uid://bark1" } },
			{ "res://main.tscn", { "PackedScene", "uid://main1" } },
		};
		const auto found = files.find(path);
		return found == files.end() ? std::nullopt : std::optional<ExternalFile>(found->second);
	};
}

const std::string good_head =
		"[gd_scene load_steps=4 format=3 uid=\"uid://c4wq\"]\n"
		"[ext_resource type=\"StandardMaterial3D\" uid=\"uid://bark1\" path=\"res://bark.tres\" id=\"1_bark\"]\n"
		"[sub_resource type=\"ShaderMaterial\" id=\"Leaves\"]\n"
		"[sub_resource type=\"BoxMesh\" id=\"Box\"]\n"
		"[node name=\"Main\" type=\"Node3D\"]\n";

const std::string good_tree =
		"[node name=\"Tree\" type=\"Wendrel3D\" parent=\".\"]\n"
		"transform = Transform3D(1, 0, 0, 0, 1, 0, 0, 0, 1, 2, 0, 0)\n"
		"seed = 17\n"
		"trunk_segments = 8\n"
		"trunk_kink = -0.5\n"
		"twig_enable = true\n"
		"material_trunk = ExtResource(\"1_bark\")\n"
		"material_twig = SubResource(\"Leaves\")\n"
		"metadata/_edit_lock_ = true\n";

Problems problems_of(const std::string &text) {
	const TextFile scene = parse_text(text);
	Problems problems = check_resources(scene, small_project());
	for (const std::string &problem : check_nodes(scene, small_registration())) {
		problems.push_back(problem);
	}
	return problems;
}

// The one problem that replacing `from` by `to` in the good scene causes.
std::string fault(const std::string &from, const std::string &to) {
	std::string text = good_head + good_tree;
	const size_t at = text.find(from);
	if (at == std::string::npos) {
		return "test error: '" + from + "' is not in the scene";
	}
	text.replace(at, from.size(), to);
	const Problems problems = problems_of(text);
	return problems.size() == 1 ? problems[0] : std::to_string(problems.size()) + " problems";
}

TEST(SceneChecks, AGoodSceneHasNoProblem) {
	EXPECT_EQ(problems_of(good_head + good_tree), Problems());
	// Nothing stored at all is fine too: the node starts from its defaults.
	EXPECT_EQ(problems_of(good_head + "[node name=\"Tree\" type=\"Wendrel3D\" parent=\".\"]\n"), Problems());
}

TEST(SceneChecks, PropertiesMustBeRegistered) {
	// A misspelt name is silently ignored by the engine, and the tree keeps its default.
	EXPECT_EQ(fault("seed = 17", "sed = 17"), "line 6 node Tree: sed is not a property of Wendrel3D");
	EXPECT_EQ(fault("seed = 17", "seed = 17\nseed = 18"), "line 6 node Tree: seed is stored twice");
}

TEST(SceneChecks, ValuesMustHaveThePropertyType) {
	EXPECT_EQ(fault("trunk_segments = 8", "trunk_segments = 8.0"),
			"line 6 node Tree: trunk_segments = 8.0 is not an int");
	EXPECT_EQ(fault("trunk_kink = -0.5", "trunk_kink = \"-0.5\""),
			"line 6 node Tree: trunk_kink = \"-0.5\" is not a number");
	EXPECT_EQ(fault("twig_enable = true", "twig_enable = 1"), "line 6 node Tree: twig_enable = 1 is not a bool");
	EXPECT_EQ(fault("transform = Transform3D(1, 0, 0, 0, 1, 0, 0, 0, 1, 2, 0, 0)", "transform = Vector3(2, 0, 0)"),
			"line 6 node Tree: transform = Vector3(2, 0, 0) is not a Transform3D");
	// An int literal is a valid float: the engine converts it.
	EXPECT_EQ(fault("trunk_kink = -0.5", "trunk_kink = 1"), "0 problems");
}

TEST(SceneChecks, NumbersMustLieInTheInspectorRange) {
	EXPECT_EQ(fault("trunk_segments = 8", "trunk_segments = 12"),
			"line 6 node Tree: trunk_segments = 12 is outside the inspector range 2..10");
	EXPECT_EQ(fault("seed = 17", "seed = -1"), "line 6 node Tree: seed = -1 is outside the inspector range 0..100000");
	EXPECT_EQ(fault("trunk_kink = -0.5", "trunk_kink = 1.001"),
			"line 6 node Tree: trunk_kink = 1.001 is outside the inspector range -1..1");
	EXPECT_EQ(fault("trunk_kink = -0.5", "trunk_kink = nan"),
			"line 6 node Tree: trunk_kink = nan is outside the inspector range -1..1");
	// Both ends are inside.
	EXPECT_EQ(fault("trunk_kink = -0.5", "trunk_kink = -1.0"), "0 problems");
	EXPECT_EQ(fault("seed = 17", "seed = 100000"), "0 problems");
}

TEST(SceneChecks, MaterialsMustBeResourcesOfAcceptedClasses) {
	EXPECT_EQ(fault("SubResource(\"Leaves\")", "SubResource(\"Box\")"),
			"line 6 node Tree: material_twig is a BoxMesh, which the inspector does not accept");
	EXPECT_EQ(fault("ExtResource(\"1_bark\")\n", "\"res://bark.tres\"\n"),
			"line 6 node Tree: material_trunk = \"res://bark.tres\" is not a resource");
	EXPECT_EQ(fault("material_twig = SubResource(\"Leaves\")", "material_twig = null"), "0 problems");
	EXPECT_EQ(fault("SubResource(\"Leaves\")", "Array(SubResource(\"Leaves\"))"),
			"line 6 node Tree: material_twig = Array(SubResource(\"Leaves\")) is not a resource");
	// With twigs off the node has no twig child, and the material is lost on load.
	EXPECT_EQ(fault("twig_enable = true", "twig_enable = false"),
			"line 6 node Tree: material_twig is stored but twig_enable = false, so it is dropped on load");
}

TEST(SceneChecks, NodesFormOneTree) {
	EXPECT_EQ(fault("parent=\".\"", "parent=\"Trees\""),
			"line 6 node Tree: parent \"Trees\" is not a node declared above");
	EXPECT_EQ(fault("[node name=\"Tree\"", "[node name=\"Tree\" type=\"Node3D\" parent=\".\"]\n[node name=\"Tree\""),
			"line 7 node Tree: a sibling already has this name");
	EXPECT_EQ(fault("[node name=\"Main\" type=\"Node3D\"]", "[node name=\"Main\" type=\"Node3D\" parent=\".\"]"),
			"line 5 node Main: the first node is the root and has no parent");
	EXPECT_EQ(fault("name=\"Tree\"", "name=\"Big.Tree\""),
			"line 6 node Big.Tree: the name is empty or has a character that names may not have");
}

TEST(ResourceChecks, HeaderCountsAndNamesWhatFollows) {
	EXPECT_EQ(fault("load_steps=4", "load_steps=3"), "load_steps=3 but there are 3 resources, so it should be 4");
	EXPECT_EQ(fault("load_steps=4 ", ""), "0 problems"); // the count is optional
	EXPECT_EQ(fault("format=3", "format=2"), "format is '2', not 3 (Godot 4)");
	// Godot's uids use a-y and 0-8 only.
	EXPECT_EQ(fault("uid://c4wq\"]", "uid://c4wz\"]"), "malformed uid 'uid://c4wz'");
}

TEST(ResourceChecks, EveryReferenceIsDeclared) {
	EXPECT_EQ(fault("ExtResource(\"1_bark\")", "ExtResource(\"2_bark\")"),
			"line 6 [node] uses ExtResource(\"2_bark\"), which is not declared");
	// The engine reads top-down: a sub-resource must come before its first use.
	const std::string box = "[sub_resource type=\"BoxMesh\" id=\"Box\"]\n";
	std::string text = good_head + good_tree;
	text.replace(text.find("load_steps=4"), 12, "load_steps=5");
	text.replace(text.find(box), box.size(),
			box + "material = SubResource(\"Later\")\n[sub_resource type=\"StandardMaterial3D\" id=\"Later\"]\n");
	EXPECT_EQ(problems_of(text), Problems{ "line 4 [sub_resource] uses SubResource(\"Later\"), which is not declared above" });
	EXPECT_EQ(fault("type=\"BoxMesh\" id=\"Box\"", "type=\"ShaderMaterial\" id=\"Leaves\""), "line 4 [sub_resource] repeats the id \"Leaves\"");
}

TEST(ResourceChecks, ExternalFilesExistWithTheClaimedTypeAndUid) {
	EXPECT_EQ(fault("res://bark.tres", "res://birch.tres"), "line 2 [ext_resource] res://birch.tres does not exist");
	EXPECT_EQ(fault("path=\"res://bark.tres\"", "path=\"bark.tres\""),
			"line 2 [ext_resource] path 'bark.tres' is not a res:// path");
	EXPECT_EQ(fault("type=\"StandardMaterial3D\" uid", "type=\"ORMMaterial3D\" uid"),
			"line 2 [ext_resource] type=\"ORMMaterial3D\" but res://bark.tres is a StandardMaterial3D");
	EXPECT_EQ(fault("uid=\"uid://bark1\"", "uid=\"uid://bark2\""),
			"line 2 [ext_resource] uid uid://bark2 but res://bark.tres has 'uid://bark1'");
	EXPECT_EQ(fault("uid=\"uid://bark1\" ", ""), "0 problems"); // without a uid, the path counts
}

TEST(ProjectChecks, SettingsNameGodot4AndExistingFiles) {
	const std::string good = "config_version=5\n[application]\nrun/main_scene=\"res://main.tscn\"\n"
							 "config/features=PackedStringArray(\"4.3\", \"Forward Plus\")\n";
	const auto check = [](const std::string &text) { return check_project_settings(parse_text(text), small_project()); };
	EXPECT_EQ(check(good), Problems());
	EXPECT_EQ(check("config_version=4" + good.substr(16)), Problems{ "config_version is not 5 (Godot 4)" });
	EXPECT_EQ(check(good.substr(0, good.find("config/features"))), Problems{ "config/features does not list \"4.3\"" });
	std::string other_scene = good;
	other_scene.replace(other_scene.find("main.tscn"), 9, "bark.tres");
	EXPECT_EQ(check(other_scene), Problems{ "run/main_scene \"res://bark.tres\" is not a scene in the project" });
	EXPECT_EQ(check(good + "config/icon=\"res://icon.svg\"\n"), Problems{ "config/icon: res://icon.svg does not exist" });
}

} // namespace
} // namespace wendrel::test
