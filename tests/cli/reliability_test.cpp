// The tool under hostile conditions: a destination that cannot be replaced, long names,
// leftovers of killed runs, a file-size limit, values that do not survive the round trip,
// and trees that cannot be built.
#include "cli_test_support.h"

#include "output_file.h"
#include "parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Leftovers of a killed run go, whatever process id they carry (in a container a new run
// often gets the id of the killed one); those of other targets stay, and so does a backup
// that is not a second name of the target: it may be the only copy of an earlier file.
TEST(OutputFiles, LeftoversOfTheTargetAreSweptWhateverTheirProcessId) {
	ScratchDir dir;
	std::ofstream(dir.path("t.json")) << "earlier";
	const std::string own = ".t.json.tmp-" + std::to_string(getpid()) + "-0", dead = ".t.json.tmp-99999999-0";
	const std::string other = ".u.json.tmp-99999999-0", only_copy = ".t.json.bak-7-0";
	for (const std::string &name : { own, dead, other, only_copy })
		std::ofstream(dir.path(name)) << "half";
	std::filesystem::create_hard_link(dir.path("t.json"), dir.path(".t.json.bak-8-0"));
	EXPECT_EQ(run_tool({ "-o", dir.path("t.json") }).exit_code, 0);
	EXPECT_EQ(dir.entries(), (std::vector<std::string>{ only_copy, other, "t.json" }));
}

// A run waits while another holds the lock of its folder (their sets would mix), and does
// not take the other's temporary files for leftovers meanwhile.
TEST(OutputFiles, ARunWaitsForTheFolderOfAnother) {
	ScratchDir dir;
	const std::string live = ".t.json.tmp-1-0";
	std::ofstream(dir.path(live)) << "being written";
	int folder = open(dir.path("").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); // not inherited: the child must not hold it
	ASSERT_EQ(flock(folder, LOCK_EX), 0);
	pid_t child = fork();
	if (child == 0) {
		execl(WENDREL_EXECUTABLE, "wendrel", "-o", dir.path("t.json").c_str(), static_cast<char *>(nullptr));
		_exit(127);
	}
	usleep(500 * 1000);
	EXPECT_EQ(dir.entries(), std::vector<std::string>{ live });
	close(folder);
	int status = 0;
	waitpid(child, &status, 0);
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
	EXPECT_EQ(dir.entries(), std::vector<std::string>{ "t.json" });
}

// Faults injected through the writer's seam: links that cannot be made (a file system
// without them), renames that fail from the n-th on, a signal in the middle.
struct Faults {
	static inline int renames = 0;
	static inline int first_failing = 0; // the renames that fail, counted from 1; 0 for none
	static inline int last_failing = 0;
	static inline int signal = 0;
	static int no_link(const char *, const char *) {
		errno = EPERM;
		return -1;
	}
	static int rename_until_failing(const char *from, const char *to) {
		++renames;
		if (renames >= first_failing && renames <= last_failing) {
			errno = EIO;
			return -1;
		}
		return std::rename(from, to);
	}
	static int link_then_signal(const char *, const char *) {
		raise(signal);
		errno = EPERM;
		return -1;
	}
};

class InjectedFaults : public ::testing::Test {
protected:
	void SetUp() override {
		std::ofstream(dir.path("a.glb")) << "earlier a";
		std::ofstream(dir.path("c.json")) << "earlier c";
		chmod(dir.path("c.json").c_str(), 0640);
		Faults::renames = 0;
	}
	void TearDown() override { file_system_calls() = FileSystemCalls(); }
	RunResult run_set() {
		return run_tool({ "--texture-size", "16", "--size", "16x16", "-o", dir.path("a.glb"), "-o", dir.path("b.png"), "-o", dir.path("c.json") });
	}
	ScratchDir dir;
};

// Trap: without a hard link the old file has no way back, and a later failing rename leaves
// it replaced. The copy made instead puts it back, with its mode.
TEST_F(InjectedFaults, WithoutHardLinksAFailedSetIsPutBack) {
	file_system_calls().link = Faults::no_link;
	file_system_calls().rename = Faults::rename_until_failing;
	Faults::first_failing = Faults::last_failing = 3; // the third target: two to put back
	RunResult r = run_set();
	EXPECT_EQ(r.exit_code, 1);
	EXPECT_NE(r.err.find("cannot write '" + dir.path("c.json") + "': Input/output error"), std::string::npos) << r.err;
	EXPECT_EQ(read_file(dir.path("a.glb")), "earlier a");
	EXPECT_EQ(read_file(dir.path("c.json")), "earlier c");
	EXPECT_EQ(dir.entries(), (std::vector<std::string>{ "a.glb", "c.json" }));
	// A replaced file keeps its mode (the copy above did too, or the put-back file would not).
	Faults::first_failing = Faults::last_failing = 0;
	ASSERT_EQ(run_set().exit_code, 0);
	struct stat info;
	ASSERT_EQ(stat(dir.path("c.json").c_str(), &info), 0);
	EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// Trap: a failed restore that deletes the backup, the only copy of the old file.
TEST_F(InjectedFaults, AFileThatCannotBePutBackKeepsItsBackupAndNamesIt) {
	file_system_calls().rename = Faults::rename_until_failing;
	Faults::first_failing = 2; // the second target, and putting back the first
	Faults::last_failing = 1000;
	RunResult r = run_set();
	EXPECT_EQ(r.exit_code, 1);
	std::vector<std::string> entries = dir.entries();
	ASSERT_EQ(entries.size(), 3u) << ::testing::PrintToString(entries);
	EXPECT_EQ(entries[0].rfind(".a.glb.bak-", 0), 0u);
	EXPECT_EQ(read_file(dir.path(entries[0])), "earlier a");
	EXPECT_NE(r.err.find("is kept as '" + dir.path(entries[0]) + "'"), std::string::npos) << r.err;
	EXPECT_EQ(read_file(dir.path("c.json")), "earlier c");
}

// Every signal sent to end the process removes the temporary files.
TEST_F(InjectedFaults, EveryTerminatingSignalLeavesNoTemporaryFile) {
	for (int signal : { SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2 }) {
		pid_t child = fork();
		if (child == 0) {
			Faults::signal = signal;
			file_system_calls().link = Faults::link_then_signal; // once every file is staged
			run_set();
			_exit(0);
		}
		int status = 0;
		waitpid(child, &status, 0);
		EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal << ": " << status;
		EXPECT_EQ(dir.entries(), (std::vector<std::string>{ "a.glb", "c.json" })) << signal;
		EXPECT_EQ(read_file(dir.path("a.glb")), "earlier a");
	}
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
