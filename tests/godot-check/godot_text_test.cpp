// The reader of Godot's text formats, on the constructs that the demo's files and the
// engine's own writer use.
#include "godot_text.h"
#include "godot_values.h"

#include <gtest/gtest.h>

#include <cmath>

namespace wendrel::test {

using namespace godot_check;
namespace {

TEST(GodotText, HeadingsKeepAttributesInOrderWithStringsUnquoted) {
	const TextFile file = parse_text(
			"[gd_scene load_steps=3 format=3 uid=\"uid://b1\"]\n\n"
			"[node name=\"Tree\" parent=\".\" instance=ExtResource(\"1_a\") groups=[\"a\", \"b c\"]]\n");
	ASSERT_EQ(file.sections.size(), 2u);
	const Section &header = file.sections[0];
	EXPECT_EQ(header.tag, "gd_scene");
	ASSERT_EQ(header.attributes.size(), 3u);
	EXPECT_EQ(header.attributes[0], std::make_pair(std::string("load_steps"), std::string("3")));
	EXPECT_EQ(header.attribute("uid"), "uid://b1");
	const Section &node = file.sections[1];
	EXPECT_EQ(node.line, 3);
	EXPECT_EQ(node.attribute("parent"), ".");
	// Values with spaces or brackets inside strings and brackets stay whole.
	EXPECT_EQ(node.attribute("instance"), "ExtResource(\"1_a\")");
	EXPECT_EQ(node.attribute("groups"), "[\"a\", \"b c\"]");
	EXPECT_FALSE(node.has_attribute("type"));
}

TEST(GodotText, ValuesRunOverLinesInsideBracketsAndStrings) {
	const TextFile file = parse_text(
			"[resource]\n"
			"points = PackedFloat32Array(0, 1,\n2, 3)\n"
			"text = \"line one ]\n; not a comment\"\n"
			"after = 1\n"
			"[node name=\"N\"]\n");
	const Section &resource = file.sections[0];
	ASSERT_EQ(resource.properties.size(), 3u);
	EXPECT_EQ(resource.properties[0].second, "PackedFloat32Array(0, 1,\n2, 3)");
	EXPECT_EQ(unquote(resource.properties[1].second), "line one ]\n; not a comment");
	EXPECT_EQ(*resource.property("after"), "1");
	EXPECT_EQ(file.sections[1].line, 7); // lines inside values are counted
}

TEST(GodotText, ConfigurationFilesWithCommentsAndTopLevelKeys) {
	const TextFile file = parse_text(
			"; Engine configuration file.\n"
			"config_version=5\n\n"
			"[application]\n"
			"config/name=\"A;B\" ; trailing comment\n"
			"\"quoted key\" = true\n");
	ASSERT_EQ(file.sections.size(), 2u);
	EXPECT_EQ(file.sections[0].tag, "");
	EXPECT_EQ(*file.sections[0].property("config_version"), "5");
	const Section *application = file.first("application");
	ASSERT_NE(application, nullptr);
	EXPECT_EQ(*application->property("config/name"), "\"A;B\"");
	EXPECT_EQ(*application->property("quoted key"), "true");
}

TEST(GodotText, TheLastOfTwoEqualKeysIsTheValue) {
	const TextFile file = parse_text("[resource]\nseed = 1\nseed = 2\n");
	EXPECT_EQ(*file.sections[0].property("seed"), "2");
	EXPECT_EQ(file.sections[0].property("missing"), nullptr);
}

TEST(GodotText, MalformedTextIsRejectedWithItsLine) {
	const auto error_of = [](const std::string &text) {
		try {
			parse_text(text);
		} catch (const ParseError &e) {
			return std::string(e.what());
		}
		return std::string("no error");
	};
	EXPECT_EQ(error_of("[node name=\"a\"]\ntext = \"open\n"), "line 2: unterminated string");
	EXPECT_EQ(error_of("[resource]\nsize = Vector2(1, 2]\n"), "line 2: unbalanced ']'");
	EXPECT_EQ(error_of("[resource]\nsize = Vector2(1, 2\n"), "line 2: unclosed '('");
	EXPECT_EQ(error_of("[node name=\"a\"\n"), "line 1: unterminated heading [node");
	EXPECT_EQ(error_of("[resource]\nseed 262\n"), "line 2: expected '=' after 'seed 262'");
	EXPECT_EQ(error_of("[resource]\nseed =\n"), "line 2: no value for 'seed'");
	EXPECT_EQ(error_of("[node name]\n"), "line 1: attribute 'name' without a value");
}

TEST(GodotValues, NumbersAreIntegersOnlyWithoutPointOrExponent) {
	EXPECT_EQ(read_value("8").kind, ValueKind::Integer);
	EXPECT_EQ(read_value("-3").number, -3.0);
	for (const char *real : { "8.0", "-0.1", "1e-05", ".5", "2.", "inf" }) {
		EXPECT_EQ(read_value(real).kind, ValueKind::Real) << real;
	}
	EXPECT_EQ(read_value("1e-05").number, 1e-05);
	EXPECT_EQ(read_value("inf_neg").number, -HUGE_VAL);
	EXPECT_TRUE(std::isnan(read_value("nan").number));
	for (const char *other : { "1.2.3", "8f", "- 1", "0.5 0.5", "" }) {
		EXPECT_EQ(read_value(other).kind, ValueKind::Unknown) << other;
	}
}

TEST(GodotValues, CallsStringsAndArrays) {
	const Value transform = read_value("Transform3D(1, 0, 0, 0, 1, 0, 0, 0, 1, -7.5, 0, 0)");
	EXPECT_EQ(transform.kind, ValueKind::Call);
	EXPECT_EQ(transform.callee, "Transform3D");
	ASSERT_EQ(transform.items.size(), 12u);
	EXPECT_EQ(transform.items[9], "-7.5");
	EXPECT_EQ(read_value("Foo()").items.size(), 0u);
	EXPECT_EQ(read_value("Foo(\")\", [1, (2)])").items.size(), 2u);
	// Two calls side by side are not one call.
	EXPECT_EQ(read_value("Foo(1) + Bar(2)").kind, ValueKind::Unknown);
	EXPECT_EQ(read_value("\"a\\\"b\"").string, "a\"b");
	EXPECT_EQ(read_value("\"a\" + \"b\"").kind, ValueKind::Unknown);
	EXPECT_EQ(read_value("[1, \"x,y\", [2, 3]]").items.size(), 3u);
	EXPECT_EQ(read_value("true").kind, ValueKind::Bool);
	EXPECT_EQ(read_value("null").kind, ValueKind::Null);
}

TEST(GodotValues, ResourceReferencesAnywhereButInsideStrings) {
	const std::vector<ResourceRef> refs = resource_refs(
			"[ExtResource(\"1_bark\"), {\"k\": SubResource(\"Sky_1\")}, \"ExtResource(\\\"no\\\")\", "
			"MyExtResource(\"no\")]");
	ASSERT_EQ(refs.size(), 2u);
	EXPECT_TRUE(refs[0].external);
	EXPECT_EQ(refs[0].id, "1_bark");
	EXPECT_FALSE(refs[1].external);
	EXPECT_EQ(refs[1].id, "Sky_1");
}

} // namespace
} // namespace wendrel::test
