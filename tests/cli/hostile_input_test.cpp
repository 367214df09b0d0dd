// The tool fed as an attacker would feed it: crafted --from files, values that the generator
// refuses for a reason found in another field, output paths that alias one file, names that
// a file format cannot carry, and triangles thin enough to make a rasteriser crawl.
#include "cli_test_support.h"

#include "parameters.h"
#include "raster.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>

namespace wendrel::test {
namespace {

std::string nested(const std::string &open, const std::string &close, int depth) {
	std::string text;
	for (int i = 0; i < depth; ++i)
		text += open;
	text += "1";
	for (int i = 0; i < depth; ++i)
		text += close;
	return text;
}

// Every crafted file fails with exit 1 and a reason, writes nothing, and prints no more than
// a line or two whatever the file holds.
TEST(HostileFrom, CraftedFilesAreRefusedWithTheirReason) {
	ScratchDir dir;
	std::string escape_key = "\\u001b]0;owned\\u0007" + std::string(10000, 'k'); // as JSON escapes
	struct Case {
		std::string name, content, message;
	};
	const Case cases[] = {
		// Trap: a recursive copy of a deeply nested subtree that overflows the stack.
		{ "deep.json", "{\"parameters\":" + nested("{\"a\":", "}", 50000) + "}", "nests deeper than" },
		{ "arrays.json", "{\"parameters\":" + nested("[", "]", 200000) + "}", "nests deeper than" },
		{ "deep.gltf", "{\"nodes\":[{\"extras\":{\"parameters\":" + nested("{\"a\":", "}", 50000) + "}}]}", "nests deeper than" },
		{ "null.json", "{\"parameters\": null}", "are not an object" },
		{ "empty.json", "{}", "holds no parameters" },
		{ "array.json", "[]", "holds no parameters" },
		{ "list.json", "{\"parameters\": [1, 2]}", "are not an object" },
		// Trap: a double beyond the float range cast to a float (undefined behaviour).
		{ "huge.json", "{\"parameters\": {\"trunk_length\": 3.5e38}}", "trunk_length 3.5e+38 is not a valid finite 32-bit float" },
		{ "text.json", "{\"parameters\": {\"seed\": \"7\"}}", "seed is not a number" },
		{ "key.json", "{\"parameters\": {\"" + escape_key + "\": 1}}", "'\\x1b]0;owned\\x07kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk'..." },
		{ "cut.glb", "glTF\x02\0\0\0", "not a binary glTF file" },
	};
	for (const Case &c : cases) {
		std::ofstream(dir.path(c.name), std::ios::binary) << c.content;
		RunResult r = run_tool({ "--from", dir.path(c.name), "-o", dir.path("t.json") });
		EXPECT_EQ(r.exit_code, 1) << c.name;
		EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err.substr(0, 300);
		EXPECT_LT(r.err.size(), 400u) << c.name;
		EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << c.name;
		std::filesystem::remove(dir.path(c.name));
	}
	EXPECT_TRUE(dir.entries().empty()) << ::testing::PrintToString(dir.entries());
}

// Only the recipe is read: a .json's parameters come first, so what follows them (here
// bytes that are not JSON at all) is never looked at; a FIFO, a device or a folder is not
// opened for reading at all. Run as a program under a time limit: a FIFO that is waited on,
// or /dev/zero read to its end, would hang.
TEST(HostileFrom, OnlyTheRecipeOfARegularFileIsRead) {
	ScratchDir dir;
	ASSERT_EQ(run_tool({ "--seed", "9", "-o", dir.path("a.json") }).exit_code, 0);
	std::ofstream(dir.path("a.json"), std::ios::app) << "\n\x01 not json";
	ASSERT_EQ(run_tool({ "--from", dir.path("a.json"), "-o", dir.path("b.tscn") }).exit_code, 0);
	EXPECT_NE(read_file(dir.path("b.tscn")).find("\nseed = 9\n"), std::string::npos);

	ASSERT_EQ(mkfifo(dir.path("fifo.json").c_str(), 0600), 0);
	std::filesystem::create_directory(dir.path("folder.glb"));
	std::filesystem::create_symlink("/dev/zero", dir.path("zero.gltf"));
	for (const char *name : { "fifo.json", "folder.glb", "zero.gltf" }) {
		std::string command = "timeout 20 '" + std::string(WENDREL_EXECUTABLE) + "' --from '" + dir.path(name) + "' --stats 2>'" + dir.path("err") + "'";
		int raw = std::system(command.c_str());
		EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << name << ": " << raw;
		EXPECT_NE(read_file(dir.path("err")).find("it is not a regular file"), std::string::npos) << read_file(dir.path("err"));
	}
	RunResult missing = run_tool({ "--from", dir.path("none.glb"), "--stats" });
	EXPECT_NE(missing.err.find("cannot read '" + dir.path("none.glb") + "': No such file or directory"), std::string::npos) << missing.err;
}

// The culprit rule: a value the generator refuses with every other parameter at its
// default is a usage error (exit 2) naming that option, even when the bounds trip over
// another field (a negative radius falloff overflows the trunk's fork rings). A lone option
// never fails as a tree that "cannot be built" blaming a value the user did not type.
TEST(Culprit, AValueRefusedOnItsOwnNamesItsOption) {
	RunResult falloff = run_tool({ "--trunk-radius-falloff-rate", "-100", "--stats" });
	EXPECT_EQ(falloff.exit_code, 2);
	EXPECT_NE(falloff.err.find("error: --trunk-radius-falloff-rate -100 is refused on its own"), std::string::npos) << falloff.err;
	for (const Parameter &parameter : parameters()) {
		bool integer = parameter.type == ParameterType::INTEGER;
		for (const char *value : { "-100", "-1", "0", integer ? "2147483647" : "9.9e6", integer ? "-2147483648" : "-3e38" }) {
			RunResult r = run_tool({ option_name(parameter), value, "--stats" });
			std::string shown = option_name(parameter) + " " + value + ": " + r.err;
			EXPECT_EQ(r.err.find("cannot build the tree"), std::string::npos) << shown;
			if (r.exit_code == 2) {
				EXPECT_NE(r.err.find("error: " + option_name(parameter) + " "), std::string::npos) << shown;
			}
		}
	}
}

// Outputs are one file when their folder and name are (not when their spelling is); every
// clash, missing folder and unwritable .obj name is a usage error found before growing.
TEST(Destinations, AliasesOfOneFileAreRefusedBeforeGrowing) {
	ScratchDir dir;
	std::filesystem::create_directory(dir.path("sub"));
	std::filesystem::create_directory_symlink(dir.path("sub"), dir.path("link"));
	const std::vector<std::string> clashes[] = {
		{ "-o", dir.path("c.gltf"), "-o", dir.path("./c_bark.png") },
		{ "-o", dir.path("sub/../c.gltf"), "-o", dir.path("c_leaf.png") },
		{ "-o", dir.path("sub/c.obj"), "-o", dir.path("link/c_bark.png") },
		{ "-o", dir.path("t.json"), "-o", dir.path("missing/t.png") },
	};
	for (const auto &args : clashes) {
		RunResult r = run_tool(args);
		EXPECT_EQ(r.exit_code, 2) << ::testing::PrintToString(args);
		EXPECT_TRUE(r.err.find("are one file") != std::string::npos || r.err.find("its folder") != std::string::npos) << r.err;
	}
	for (const char *name : { "a b.obj", "a#b.obj", "a\nb.obj" }) {
		RunResult r = run_tool({ "-o", dir.path(name) });
		EXPECT_EQ(r.exit_code, 2) << name;
		EXPECT_NE(r.err.find("cannot hold spaces"), std::string::npos) << r.err;
	}
	EXPECT_NE(run_tool({ "-o", dir.path("missing/t.glb") }).err.find("its folder: No such file or directory"), std::string::npos);
	EXPECT_EQ(dir.entries(), (std::vector<std::string>{ "link", "sub" }));
	// The same bytes twice are no clash: a .gltf and an .obj share their textures.
	ASSERT_EQ(run_tool({ "-o", dir.path("t.gltf"), "-o", dir.path("sub/../t.obj"), "-o", dir.path("./t.gltf") }).exit_code, 0);
	EXPECT_EQ(dir.entries(), (std::vector<std::string>{ "link", "sub", "t.gltf", "t.mtl", "t.obj", "t_bark.png", "t_leaf.png" }));
}

// Trap: a span walk that keeps the wrong side of an edge, or mirrors tall triangles without
// flipping their winding: thin slivers lying along either axis, in both windings, must
// cover the samples at their middle.
TEST(Preview, SliversOfEitherWindingAndDirectionAreDrawn) {
	for (bool tall : { false, true }) {
		for (bool clockwise : { false, true }) {
			Mesh mesh;
			Vec3 a(-1.0f, -0.02f, 0.0f), b(1.0f, 0.0f, 0.0f), c(-1.0f, 0.02f, 0.0f);
			if (tall) {
				a = Vec3(a.y, a.x, 0.0f), b = Vec3(b.y, b.x, 0.0f), c = Vec3(c.y, c.x, 0.0f);
			}
			mesh.positions = { a, b, c };
			mesh.normals = { Vec3(0, 0, 1), Vec3(0, 0, 1), Vec3(0, 0, 1) };
			mesh.uvs = { Vec2(0, 0), Vec2(0, 0), Vec2(0, 0) };
			mesh.indices = clockwise ? std::vector<uint32_t>{ 0, 2, 1 } : std::vector<uint32_t>{ 0, 1, 2 };
			Image image = render({ ColouredMesh{ &mesh, Colour{ 0.0f, 0.0f, 0.0f } } }, { View{ 0.0f, 0.0f, 0, 200 } }, 200, 200);
			int dark = 0;
			for (size_t i = 0; i < image.rgb.size(); i += 3)
				dark += image.rgb[i] < 60 ? 1 : 0;
			EXPECT_GT(dark, 40) << "tall " << tall << ", clockwise " << clockwise;
		}
	}
}

} // namespace
} // namespace wendrel::test
