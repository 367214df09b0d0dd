// The command line: every option reaches its parameter, and bad input fails cleanly.
#include "cli_test_support.h"

#include "export.h"
#include "mesh_checks.h"
#include "model/presets.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace wendrel::test {
namespace {

std::string json_of(const TreeProperties &properties) {
	TreeModel model;
	generate_with(model, properties);
	return write_json(model, bark_surface(model), twig_surface(model));
}

// Trap: an option wired to the wrong field (the property names differ from the field names:
// trunk_twist sets twist, trunk_segments sets segments). Every value differs from its
// default, so any option that misses its own field changes the tree.
TEST(Options, EveryParameterReachesItsField) {
	TreeProperties expected;
	expected.seed = 7;
	expected.segments = 8;
	expected.branches_count = 4;
	expected.trunk_height = 3;
	expected.branch_length = 0.6f;
	expected.branch_length_falloff = 0.8f;
	expected.branch_factor = 2.2f;
	expected.branch_clump_max = 0.5f;
	expected.branch_clump_min = 0.3f;
	expected.drop_amount = -0.2f;
	expected.grow_amount = 0.3f;
	expected.sweep_amount = 0.05f;
	expected.max_radius = 0.2f;
	expected.radius_falloff_rate = 0.7f;
	expected.climb_rate = 0.5f;
	expected.trunk_kink = 0.1f;
	expected.twist = 1.5f;
	expected.trunk_length = 2.0f;
	expected.uv_multiplier = 0.5f;
	expected.twig_scale = 0.3f;
	expected.trunk_taper = 0.9f;
	expected.branch_length_exponent = 1.05f;
	ScratchDir dir;
	RunResult r = run_tool({ "--seed", "7", "--trunk-segments", "8", "--trunk-branches-count", "4",
			"--trunk-height", "3", "--trunk-branch-length", "0.6", "--trunk-branch-length-falloff", "0.8",
			"--trunk-branch-factor", "2.2", "--trunk-branch-clump-max", "0.5", "--trunk-branch-clump-min", "0.3",
			"--trunk-drop-amount", "-0.2", "--trunk-grow-amount", "0.3", "--trunk-sweep-amount", "0.05",
			"--trunk-max-radius", "0.2", "--trunk-radius-falloff-rate", "0.7", "--trunk-climb-rate", "0.5",
			"--trunk-kink", "0.1", "--trunk-twist", "1.5", "--trunk-length", "2", "--trunk-uv-multiplier", "0.5",
			"--twig-scale", "0.3", "--trunk-taper", "0.9", "--branch-length-exponent", "1.05",
			"-o", dir.path("tree.json") });
	ASSERT_EQ(r.exit_code, 0) << r.err;
	EXPECT_EQ(r.err, "");
	EXPECT_EQ(read_file(dir.path("tree.json")), json_of(expected));
}

TEST(Options, ValuesGivenOverrideThePreset) {
	TreeProperties expected = find_preset("conifer")->properties;
	expected.seed = 9;
	ScratchDir dir;
	RunResult r = run_tool({ "--seed", "9", "--preset", "conifer", "-o", dir.path("tree.json") });
	ASSERT_EQ(r.exit_code, 0) << r.err;
	EXPECT_EQ(read_file(dir.path("tree.json")), json_of(expected));
}

struct BadInput {
	std::vector<std::string> args; // "@" stands for the scratch directory
	int exit_code;
	const char *message;
};

// Each case must fail with its code and message, and leave nothing behind: no output and
// no temporary file.
TEST(Options, BadInputFailsWithoutWritingAnything) {
	const BadInput cases[] = {
		{ { "--bogus", "-o", "@/t.glb" }, 2, "--bogus" },
		{ { "--seed", "abc", "-o", "@/t.glb" }, 2, "'abc' is not a whole number" },
		{ { "--trunk-segments", "6.5", "-o", "@/t.glb" }, 2, "not a whole number" },
		{ { "--seed", "99999999999", "-o", "@/t.glb" }, 2, "32-bit" },
		{ { "--twig-scale", "nan", "-o", "@/t.glb" }, 2, "not a finite number" },
		{ { "--twig-scale", "1e50", "-o", "@/t.glb" }, 2, "not a finite number" },
		{ { "--twig-scale", "0.3x", "-o", "@/t.glb" }, 2, "not a finite number" },
		{ { "--preset", "oak", "-o", "@/t.glb" }, 2, "oak" },
		{ { "-o", "@/t.fbx" }, 2, "cannot tell the format" },
		{ { "-o", "@/t" }, 2, "cannot tell the format" },
		{ {}, 2, "nothing to do" },
		{ { "--size", "8x9000", "-o", "@/t.png" }, 2, "between 16 and 4096" },
		{ { "--size", "big", "-o", "@/t.png" }, 2, "WIDTHxHEIGHT" },
		{ { "--threads", "0", "--stats" }, 2, "--threads" },
		{ { "-o", "@/missing/t.glb" }, 2, "its folder: No such file" },
		{ { "-o", "@/t.glb", "-o", "@/missing/t.png" }, 2, "its folder: No such file" },
		{ { "--size", "4294967312x400", "-o", "@/t.png" }, 2, "between 16 and 4096" },
		{ { "--trunk-branches-count", "20", "--stats" }, 1, "more than the budget of 8.0 GiB: lower" },
		{ { "--budget", "1", "--trunk-branches-count", "10", "--stats" }, 1, "more than the budget of 1 MiB: lower" },
		{ { "--trunk-branches-count", "20", "--budget", "100000", "-o", "@/t.glb" }, 1, "the 4 GiB a .glb can hold" },
		{ { "--trunk-segments", "20000", "--size", "4096x4096", "--budget", "4096", "-o", "@/t.png" }, 1, "4096x4096 preview of 13400896 triangles would cost about 4.8 GiB to draw" },
		{ { "--trunk-branches-count", "40", "-o", "@/t.glb" }, 1, "too large" },
		{ { "--trunk-height", "2000000000", "--stats" }, 1, "too large" },
		{ { "@/t.glb" }, 2, "give -o " },
		{ { "--trunk-taper", "0.6", "-o", "@/t.tscn" }, 2, "a scene cannot hold --trunk-taper" },
		{ { "--trunk-taper", "0.6", "-o", "@/t.tres" }, 2, "cannot hold --trunk-taper" },
		{ { "--texture-size", "100", "-o", "@/t.glb" }, 2, "power of two" },
		{ { "--from", "@/none.glb", "-o", "@/t.glb" }, 1, "cannot read" },
		{ { "--from", "@/t.json", "--preset", "bush", "--stats" }, 2, "excludes" },
		{ { "--trunk-radius-falloff-rate", "0", "-o", "@/t.glb" }, 2, "--trunk-radius-falloff-rate 0.0 cannot be 0" },
		{ { "--seeds", "5-3", "-o", "@/t_{seed}.glb" }, 2, "must not be larger than the last" },
		{ { "--seeds", "1-x", "-o", "@/t_{seed}.glb" }, 2, "'1-x' is not a seed range" },
		{ { "--seeds", "0-10000", "-o", "@/t_{seed}.glb" }, 2, "holds 10001 seeds" },
		{ { "--seeds", "1-3", "-o", "@/t_{seed}.glb", "-o", "@/t.png" }, 2, "t.png' does not" },
		{ { "--seeds", "1-3", "--seed", "4", "-o", "@/t_{seed}.glb" }, 2, "either --seed or --seeds" },
		{ { "--collision-min-radius", "-1", "-o", "@/t.glb" }, 2, "--collision-min-radius" },
		{ { "--seeds", "1-2", "-o", "@/missing/t_{seed}.glb" }, 2, "its folder: No such file" },
		{ { "--trunk-branches-count", "8", "--trunk-branch-length", "10", "--branch-length-exponent", "1.5", "-o", "@/t.glb" },
				1, "cannot build the tree: --branch-length-exponent 1.5 makes the branches too long" },
	};
	for (const BadInput &c : cases) {
		ScratchDir dir;
		std::vector<std::string> args;
		for (std::string arg : c.args) {
			args.push_back(arg[0] == '@' ? dir.path(arg.substr(2)) : arg);
		}
		RunResult r = run_tool(args);
		std::string shown = ::testing::PrintToString(c.args);
		EXPECT_EQ(r.exit_code, c.exit_code) << shown;
		EXPECT_NE(r.err.find(c.message), std::string::npos) << shown << ": " << r.err;
		// Trap: the option parser's messages begin with a capital, the tool's own do not.
		size_t start = r.err.find("error: ") + 7;
		EXPECT_FALSE(std::isupper(static_cast<unsigned char>(r.err[start]))) << r.err;
		EXPECT_EQ(r.out, "") << shown;
		EXPECT_TRUE(dir.entries().empty()) << shown << " left " << ::testing::PrintToString(dir.entries());
	}
}

// Trap: a failed run that truncates or half-replaces a file from an earlier run.
TEST(Options, FailedRunLeavesExistingFilesAlone) {
	ScratchDir dir;
	std::ofstream(dir.path("t.glb")) << "earlier";
	std::filesystem::create_directory(dir.path("d.png"));
	EXPECT_EQ(run_tool({ "-o", dir.path("t.glb"), "-o", dir.path("missing/t.png") }).exit_code, 2);
	EXPECT_EQ(run_tool({ "-o", dir.path("d.png") }).exit_code, 1);
	// A failure that shows only at one seed's write names that seed; the seeds before it stay.
	std::filesystem::create_directory(dir.path("s_2.json"));
	RunResult seeds = run_tool({ "--seeds", "1-3", "-o", dir.path("s_{seed}.json") });
	EXPECT_EQ(seeds.exit_code, 1);
	EXPECT_NE(seeds.err.find("error: seed 2: "), std::string::npos) << seeds.err;
	EXPECT_EQ(read_file(dir.path("t.glb")), "earlier");
	EXPECT_EQ(dir.entries(), (std::vector<std::string>{ "d.png", "s_1.json", "s_2.json", "t.glb" }));
}

TEST(Options, ValuesOutsideTheInspectorRangeWarnButWork) {
	RunResult r = run_tool({ "--trunk-segments", "12", "--trunk-drop-amount", "-6", "--stats" });
	EXPECT_EQ(r.exit_code, 0);
	EXPECT_NE(r.err.find("warning: --trunk-segments 12 lies outside the range 2 to 10"), std::string::npos) << r.err;
	EXPECT_NE(r.err.find("warning: --trunk-drop-amount -6 lies outside the range -5 to 5"), std::string::npos) << r.err;
	r = run_tool({ "--trunk-segments", "7", "--stats" });
	EXPECT_EQ(r.exit_code, 0);
	EXPECT_EQ(r.err, "wendrel: note: --trunk-segments 7 builds the bark with 8 sides: it needs an even number, at least 2\n");
}

// A tree regrown from the parameters that a .glb or a .json records is the same tree, and
// options given with --from still apply.
TEST(Options, FromRegrowsTheTreeAFileRecords) {
	ScratchDir dir;
	ASSERT_EQ(run_tool({ "--preset", "weeping", "--seed", "77", "--trunk-kink", "0.3", "--no-twigs", "-o", dir.path("a.glb"), "-o", dir.path("a.json") }).exit_code, 0);
	ASSERT_EQ(run_tool({ "--from", dir.path("a.glb"), "-o", dir.path("b.json"), "-o", dir.path("b.tscn") }).exit_code, 0);
	ASSERT_EQ(run_tool({ "--from", dir.path("a.json"), "-o", dir.path("c.json") }).exit_code, 0);
	ASSERT_EQ(run_tool({ "--from", dir.path("a.glb"), "--seed", "5", "-o", dir.path("d.json") }).exit_code, 0);
	EXPECT_EQ(read_file(dir.path("b.json")), read_file(dir.path("a.json")));
	EXPECT_EQ(read_file(dir.path("c.json")), read_file(dir.path("a.json")));
	EXPECT_NE(read_file(dir.path("b.tscn")).find("\ntwig_enable = false\n"), std::string::npos);
	TreeProperties expected = find_preset("weeping")->properties;
	expected.seed = 5;
	expected.trunk_kink = 0.3f;
	EXPECT_EQ(read_file(dir.path("d.json")), json_of(expected));
}

// One tree per seed, each exactly the tree of that --seed, under its own name; the same
// files on several threads.
TEST(Options, SeedsWriteOneTreePerSeed) {
	ScratchDir dir;
	ASSERT_EQ(run_tool({ "--seeds", "-1-1", "-o", dir.path("t_{seed}.json"), "-o", dir.path("{seed}.glb") }).exit_code, 0);
	ASSERT_EQ(run_tool({ "--seeds", "-1-1", "--threads", "2", "-o", dir.path("u_{seed}.json") }).exit_code, 0);
	EXPECT_EQ(dir.entries(), (std::vector<std::string>{ "-1.glb", "0.glb", "1.glb", "t_-1.json", "t_0.json", "t_1.json", "u_-1.json", "u_0.json", "u_1.json" }));
	for (int seed : { -1, 0, 1 }) {
		TreeProperties expected;
		expected.seed = seed;
		EXPECT_EQ(read_file(dir.path("t_" + std::to_string(seed) + ".json")), json_of(expected)) << seed;
		EXPECT_EQ(read_file(dir.path("u_" + std::to_string(seed) + ".json")), json_of(expected)) << seed;
	}
}

// Trap: 896 zero-area triangles written for invisible twigs.
TEST(Options, TwigsLeftOutWhenOffOrFlat) {
	ScratchDir dir;
	ASSERT_EQ(run_tool({ "--no-twigs", "-o", dir.path("off.obj"), "-o", dir.path("off.gltf") }).exit_code, 0);
	ASSERT_EQ(run_tool({ "--twig-scale", "0", "-o", dir.path("flat.gltf") }).exit_code, 0);
	for (const char *file : { "off.gltf", "flat.gltf" }) {
		std::string gltf = read_file(dir.path(file));
		EXPECT_EQ(gltf.find("\"twigs\""), std::string::npos) << file;
		EXPECT_NE(gltf.find("\"bark\""), std::string::npos) << file;
	}
	EXPECT_EQ(read_file(dir.path("off.obj")).find("o twigs"), std::string::npos);
	EXPECT_EQ(dir.entries(), (std::vector<std::string>{ "flat.gltf", "flat_bark.png", "flat_leaf.png", "off.gltf", "off.mtl", "off.obj", "off_bark.png", "off_leaf.png" }));
}

TEST(Options, HelpListsEveryOptionWithDefaultAndRange) {
	RunResult r = run_tool({ "--help" });
	EXPECT_EQ(r.exit_code, 0);
	for (const char *expected : { "--seed INT", "(default 262; range 0 to 100000)", "--trunk-segments INT",
				 "(default 6; range 2 to 10)", "--trunk-twist FLOAT", "(default 3.02; range -5 to 5)",
				 "--twig-scale FLOAT", "(default 0.39; range 0 to 5)", "--trunk-taper FLOAT", "(default 0.947;",
				 "--branch-length-exponent FLOAT", "(default 0.99;", "--preset", "--size", "--threads N", "--stats", "--version",
				 "-o,--output PATH" }) {
		EXPECT_NE(r.out.find(expected), std::string::npos) << expected;
	}
	EXPECT_EQ(run_tool({ "--version" }).out, "wendrel " WENDREL_VERSION "\n");
}

TEST(Options, StatsReportTheGeneratedTree) {
	RunResult r = run_tool({ "--stats" });
	ASSERT_EQ(r.exit_code, 0);
	TreeModel model;
	model.generate();
	for (const std::string &line : std::vector<std::string>{ "branches        447\n", "leaves          224\n",
				 "bark vertices   " + std::to_string(model.vertex_count) + " (" + std::to_string(used_vertex_count(bark_surface(model))) + " used by triangles, as exported)\n",
				 "bark triangles  " + std::to_string(model.face_count) + "\n",
				 "twig vertices   " + std::to_string(model.twig_vertex_count) + "\n",
				 "twig triangles  " + std::to_string(model.twig_face_count) + "\n", std::string("generation time ") }) {
		EXPECT_NE(r.out.find(line), std::string::npos) << line << " in\n"
													   << r.out;
	}
}

// The exit codes as a shell sees them, through the real executable.
TEST(Executable, ExitCodesReachTheShell) {
	auto status = [](const std::string &args) {
		int raw = std::system((std::string("'") + WENDREL_EXECUTABLE + "' " + args + " >/dev/null 2>&1").c_str());
		return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
	};
	EXPECT_EQ(status("--stats"), 0);
	EXPECT_EQ(status("--seed x --stats"), 2);
	EXPECT_EQ(status("--trunk-branches-count 40 --stats"), 1);
}

} // namespace
} // namespace wendrel::test
