// The tool under hostile conditions: a destination that cannot be replaced, long names,
// leftovers of killed runs, a file-size limit, values that do not survive the round trip,
// and trees that cannot be built.
#include "cli_test_support.h"

#include "parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/wait.h>

namespace wendrel::test {
namespace {

// Trap: renames done one by one, so that a directory in the second target's place fails the
// run after the first target was already replaced.
TEST(OutputFiles, ADirectoryAmongTheTargetsReplacesNothing) {
	ScratchDir dir;
	std::ofstream(dir.path("a.glb")) << "earlier";
	std::filesystem::create_directory(dir.path("d.glb"));
	RunResult r = run_tool({ "-o", dir.path("a.glb"), "-o", dir.path("d.glb") });
	EXPECT_EQ(r.exit_code, 1);
	EXPECT_NE(r.err.find("d.glb': Is a directory"), std::string::npos) << r.err;
	EXPECT_EQ(read_file(dir.path("a.glb")), "earlier");
	EXPECT_EQ(dir.entries(), (std::vector<std::string>{ "a.glb", "d.glb" }));
}

// Trap: a temporary name longer than the target's, which no longer fits in 255 bytes.
TEST(OutputFiles, TheLongestLegalNameIsWritten) {
	ScratchDir dir;
	std::string name = std::string(250, 'n') + ".json";
	RunResult r = run_tool({ "-o", dir.path(name) });
	EXPECT_EQ(r.exit_code, 0) << r.err;
	EXPECT_EQ(dir.entries(), std::vector<std::string>{ name });
}

// Leftovers of a killed run (a process that no longer exists) go; those of a live one stay.
TEST(OutputFiles, StaleTemporaryFilesOfTheTargetAreSwept) {
	ScratchDir dir;
	const std::string dead = ".t.json.tmp-99999999-0", live = ".t.json.tmp-1-0", other = ".u.json.tmp-99999999-0";
	for (const std::string &name : { dead, live, other })
		std::ofstream(dir.path(name)) << "half";
	EXPECT_EQ(run_tool({ "-o", dir.path("t.json") }).exit_code, 0);
	EXPECT_EQ(dir.entries(), (std::vector<std::string>{ live, other, "t.json" }));
}

// A file-size limit fails the run like a full disk: a message, exit 1, nothing left behind.
TEST(OutputFiles, AFileSizeLimitLeavesNoTemporaryFile) {
	ScratchDir dir;
	std::string command = "ulimit -f 8; '" + std::string(WENDREL_EXECUTABLE) + "' -o '" + dir.path("t.json") + "' 2>'" + dir.path("err") + "'";
	int raw = std::system(("bash -c \"" + command + "\"").c_str());
	EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << raw;
	EXPECT_NE(read_file(dir.path("err")).find("File too large"), std::string::npos) << read_file(dir.path("err"));
	EXPECT_EQ(dir.entries(), std::vector<std::string>{ "err" });
}

// Trap: an integer passed through float on its way into a file (2^24 + 1 saved as 2^24,
// INT32_MAX as INT32_MIN), so that the saved tree no longer regrows.
TEST(SavedValues, IntegersKeepEveryDigit) {
	ScratchDir dir;
	for (const char *seed : { "16777217", "2147483647", "-2147483647" }) {
		ASSERT_EQ(run_tool({ "--seed", seed, "-o", dir.path("t.tscn"), "-o", dir.path("t.json") }).exit_code, 0);
		EXPECT_NE(read_file(dir.path("t.tscn")).find(std::string("\nseed = ") + seed + "\n"), std::string::npos) << seed;
		EXPECT_NE(read_file(dir.path("t.json")).find(std::string("\"seed\": ") + seed + ","), std::string::npos) << seed;
	}
}

TEST(SavedValues, RangeEndsAndTinyValuesAreAccepted) {
	RunResult ends = run_tool({ "--trunk-branch-length", "0.01", "--trunk-max-radius", "0.6", "--trunk-uv-multiplier", "0.001", "--stats" });
	EXPECT_EQ(ends.exit_code, 0);
	EXPECT_EQ(ends.err, "") << "the ends of a range lie inside it";
	// 1e-40 rounds to a float below the normal range, like 0x1p-149: both are finite.
	for (const char *tiny : { "1e-40", "0x1p-149", "1e-50" }) {
		RunResult r = run_tool({ "--trunk-length", tiny, "--stats" });
		EXPECT_EQ(r.exit_code, 0) << tiny << ": " << r.err;
	}
}

// Every combination of range ends, at the largest size the inspector offers, can be built.
TEST(Refusals, NoTreeInsideTheInspectorRangesIsRefused) {
	std::mt19937 rng(11);
	for (int i = 0; i < 4096; ++i) {
		TreeProperties p;
		for (const Parameter &parameter : parameters())
			if (parameter.on_node)
				parameter.set(p, rng() & 1 ? parameter.max : parameter.min);
		p.segments = 10;
		p.branches_count = 13;
		p.trunk_height = 100;
		TreeSize size = measure_tree(p);
		ASSERT_TRUE(size.fits) << (size.fault ? size.fault->name : "too large");
	}
}

// Trap: writers that put NaN into a glTF buffer or a "nan" line into an OBJ with exit 0.
TEST(Refusals, NonFiniteGeometryIsNeverExported) {
	Vec3 vertices[3] = { Vec3(0, 0, 0), Vec3(1, 0, 0), Vec3(0, NAN, 0) };
	Vec3 normals[3] = { Vec3(0, 0, 1), Vec3(0, 0, 1), Vec3(0, 0, 1) };
	Vec2 uvs[3] = { Vec2(0, 0), Vec2(1, 0), Vec2(0, 1) };
	Face face = { { 0, 1, 2 } };
	Surface surface{ 3, vertices, normals, uvs, 1, &face };
	EXPECT_THROW(export_mesh(surface), std::runtime_error);
	vertices[2].y = 1.0f;
	uvs[1].v = INFINITY;
	EXPECT_THROW(export_mesh(surface), std::runtime_error);
}

} // namespace
} // namespace wendrel::test
