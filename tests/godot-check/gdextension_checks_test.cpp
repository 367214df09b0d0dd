// The checks on the extension description file catch entries that the engine would reject
// or that point at a file the build never writes.
#include "project_checks.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace wendrel::test {

using namespace godot_check;
namespace {

const std::string good_description =
		"[configuration]\n"
		"entry_symbol = \"wendrel3d_library_init\"\n"
		"compatibility_minimum = \"4.6\"\n"
		"reloadable = true\n"
		"[libraries]\n"
		"linux.debug.x86_64 = \"./bin/libwendrel3d.linux.template_debug.x86_64.so\"\n"
		"linux.release.x86_64 = \"./bin/libwendrel3d.linux.template_release.x86_64.so\"\n"
		"windows.debug.x86_64 = \"./bin/libwendrel3d.windows.template_debug.x86_64.dll\"\n"
		"windows.release.x86_64 = \"./bin/libwendrel3d.windows.template_release.x86_64.dll\"\n"
		"macos.debug = \"./bin/libwendrel3d.macos.template_debug.universal.dylib\"\n"
		"macos.release = \"./bin/libwendrel3d.macos.template_release.universal.dylib\"\n"
		"[icons]\n"
		"Wendrel3D = \"icons/tree.svg\"\n";

class GdextensionChecks : public testing::Test {
protected:
	std::filesystem::path folder;

	void SetUp() override {
		// Unique per run, as two builds' tests may run at once on one machine.
		folder = std::filesystem::temp_directory_path() /
				("wendrel_gdextension_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
						"_" + std::to_string(std::random_device()()));
		std::filesystem::create_directories(folder / "icons");
		write_icon("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\"><path d=\"M8 15V4\"/></svg>\n");
	}

	void TearDown() override { std::filesystem::remove_all(folder); }

	void write_icon(const std::string &text) { std::ofstream(folder / "icons" / "tree.svg") << text; }

	Problems check(const std::string &text) { return check_gdextension(parse_text(text), folder); }

	// The problems after replacing `from` by `to` in the good description.
	Problems fault(const std::string &from, const std::string &to) {
		std::string text = good_description;
		const size_t at = text.find(from);
		if (at == std::string::npos) {
			return { "test error: '" + from + "' is not in the description" };
		}
		return check(text.replace(at, from.size(), to));
	}
};

TEST_F(GdextensionChecks, AGoodDescriptionHasNoProblem) {
	EXPECT_EQ(check(good_description), Problems());
}

TEST_F(GdextensionChecks, ConfigurationNamesTheEntryAndVersion) {
	EXPECT_EQ(fault("wendrel3d_library_init", "wendrel3d_init"),
			Problems{ "[configuration] entry_symbol is not \"wendrel3d_library_init\"" });
	// Unquoted, 4.6 would be read as a float; a library built against 4.6 does not load in 4.3.
	EXPECT_EQ(fault("\"4.6\"", "4.6"), Problems{ "[configuration] compatibility_minimum is not \"4.6\"" });
	EXPECT_EQ(fault("\"4.6\"", "\"4.3\""), Problems{ "[configuration] compatibility_minimum is not \"4.6\"" });
	EXPECT_EQ(fault("reloadable = true", "reloadable = yes"), Problems{ "[configuration] reloadable = yes is not a bool" });
}

TEST_F(GdextensionChecks, EachLibraryIsTheFileTheBuildWritesForItsKey) {
	// The release key pointing at the debug file loads unoptimised code into exported games.
	EXPECT_EQ(fault("linux.template_release.x86_64.so", "linux.template_debug.x86_64.so"),
			(Problems{ "[libraries] linux.release.x86_64 names the file of linux.debug.x86_64",
					"[libraries] linux.x86_64 has a debug build only" }));
	EXPECT_EQ(fault("template_debug.x86_64.dll", "template_debug.x86_64.so"),
			Problems{ "[libraries] windows.debug.x86_64: .so is not a library on windows" });
	// Paths are relative to the description, so that the folder can move.
	EXPECT_EQ(fault("\"./bin/libwendrel3d.linux.template_debug", "\"res://bin/libwendrel3d.linux.template_debug"),
			(Problems{ "[libraries] linux.debug.x86_64 = \"res://bin/libwendrel3d.linux.template_debug.x86_64.so\" "
					   "does not follow ./bin/libwendrel3d.<platform>.template_<debug|release>.<arch>.<ext>",
					"[libraries] linux.x86_64 has a release build only" }));
	EXPECT_EQ(fault("libwendrel3d.macos.template_release", "wendrel3d.macos.template_release").size(), 2u);
	// A universal file goes under the key without an architecture, and only on macOS.
	EXPECT_EQ(fault("macos.debug =", "macos.debug.x86_64 ="),
			Problems{ "[libraries] macos.debug.x86_64 names the file of macos.debug" });
	EXPECT_EQ(fault("template_debug.x86_64.dll", "template_debug.universal.dll"),
			(Problems{ "[libraries] windows.debug.x86_64 names the file of windows.debug",
					"[libraries] windows.debug.x86_64: only macOS libraries are universal",
					"[libraries] windows.universal has a debug build only",
					"[libraries] windows.x86_64 has a release build only" }));
}

TEST_F(GdextensionChecks, EveryDesktopPlatformHasADebugAndAReleaseBuild) {
	EXPECT_EQ(fault("linux.release.x86_64 = \"./bin/libwendrel3d.linux.template_release.x86_64.so\"\n", ""),
			Problems{ "[libraries] linux.x86_64 has a debug build only" });
	std::string no_windows = good_description;
	no_windows.erase(no_windows.find("windows.debug"), no_windows.find("macos.debug") - no_windows.find("windows.debug"));
	EXPECT_EQ(check(no_windows), Problems{ "[libraries] has no windows.*.x86_64 library" });
}

TEST_F(GdextensionChecks, TheIconIsASmallSvgBesideTheDescription) {
	EXPECT_EQ(fault("icons/tree.svg", "icons/oak.svg"),
			Problems{ "[icons] Wendrel3D: " + (folder / "icons/oak.svg").string() + " does not exist" });
	EXPECT_EQ(fault("Wendrel3D = ", "Wendrel = "), Problems{ "[icons] has no Wendrel3D entry" });
	const Problems not_svg = { "[icons] Wendrel3D: " + (folder / "icons/tree.svg").string() + " is not a 16x16 SVG image" };
	write_icon("\x89PNG\r\n");
	EXPECT_EQ(check(good_description), not_svg);
	write_icon("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\"></svg>");
	EXPECT_EQ(check(good_description), not_svg);
	write_icon("<svg width=\"16\" height=\"16\"></svg>"); // no namespace: not drawn as SVG
	EXPECT_EQ(check(good_description), not_svg);
	write_icon("<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 16 16\"></svg>\n");
	EXPECT_EQ(check(good_description), Problems());
}

} // namespace
} // namespace wendrel::test
