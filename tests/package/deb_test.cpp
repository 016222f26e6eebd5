// The Debian package, built as `make deb` builds it: its name, its files in Debian's
// places under /usr, its run-time dependencies, and the program in it.
#include <gtest/gtest.h>

#include "tests/support/run_game.h"

namespace {

using namespace gs::test;

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

TEST(Package, DebHoldsTheGameInDebianPlacesAndNamesItsLibraries) {
    for (const char* tool : {"cpack", "dpkg-deb", "dpkg-shlibdeps", "file"})
        if (!haveTool(tool)) GTEST_SKIP() << tool << " is missing";
    int status = -1;
    const std::string built = shell(GS_SOURCE_DIR "/tools/build_deb.sh " GS_BUILD_DIR
                                                  "/deb " GS_BUILD_DIR "/deb-out 2 2>&1",
                                    &status);
    ASSERT_EQ(status, 0) << built;
    const std::string arch = trimmed(shell("dpkg --print-architecture"));
    const fs::path deb =
        fs::path(GS_BUILD_DIR) / "deb-out" / ("gorvenshale_" GS_VERSION "_" + arch + ".deb");
    ASSERT_TRUE(fs::exists(deb)) << built;

    const std::string field = "dpkg-deb -f " + deb.string() + " ";
    EXPECT_EQ(trimmed(shell(field + "Package")), "gorvenshale");
    EXPECT_EQ(trimmed(shell(field + "Version")), GS_VERSION);
    EXPECT_EQ(trimmed(shell(field + "Section")), "games");
    const std::string depends = shell(field + "Depends");
    for (const char* library : {"libsdl2-2.0-0", "libpng16-16", "libc6"})
        EXPECT_NE(depends.find(library), std::string::npos) << depends;

    // The program, executable by all and owned by root; everything else under /usr.
    const std::string contents = shell("dpkg-deb --contents " + deb.string());
    EXPECT_NE(contents.find("-rwxr-xr-x root/root"), std::string::npos) << contents;
    for (const char* file :
         {" ./usr/games/gorvenshale\n", " ./usr/share/games/gorvenshale/level/1.txt\n",
          " ./usr/share/games/gorvenshale/level/12.txt\n",
          " ./usr/share/applications/gorvenshale.desktop\n",
          " ./usr/share/icons/hicolor/32x32/apps/gorvenshale.png\n",
          " ./usr/share/icons/hicolor/64x64/apps/gorvenshale.png\n",
          " ./usr/share/icons/hicolor/128x128/apps/gorvenshale.png\n",
          " ./usr/share/man/man6/gorvenshale.6.gz\n"})
        EXPECT_NE(contents.find(file), std::string::npos) << file << contents;
    std::istringstream lines(contents);
    for (std::string line; std::getline(lines, line);)
        EXPECT_TRUE(line.find(" ./usr/") != std::string::npos || line.ends_with(" ./")) << line;

    // Unpacked, the program is this version and looks for its levels under /usr.
    const fs::path unpacked = scratch("unpacked");
    ASSERT_EQ(system(("dpkg-deb -x " + deb.string() + " " + unpacked.string()).c_str()), 0);
    const std::string program = (unpacked / "usr/games/gorvenshale").string();
    EXPECT_EQ(runProgram(program, {"--version"}, "", "/").out, "Gorvenshale " GS_VERSION "\n");
    EXPECT_NE(
        runProgram(program, {"--help"}, "", "/").out.find("/usr/share/games/gorvenshale/level"),
        std::string::npos);
    EXPECT_NE(slurp(unpacked / "usr/share/applications/gorvenshale.desktop")
                  .find("\nExec=/usr/games/gorvenshale --console window\n"),
              std::string::npos);
    fs::remove_all(unpacked);
}

} // namespace
