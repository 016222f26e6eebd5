// What needs a release build of its own. The Debian package, built as `make deb` builds
// it: its name, its files in Debian's places under /usr, its run-time dependencies, the
// program in it, its licence and changelog, and what Debian's package checker says of it.
// And `make install` and `make uninstall` as a player types them.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/run_game.h"

namespace {

using namespace gs::test;

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

/// Every file under `root`, relative to it, sorted.
std::vector<std::string> filesUnder(const fs::path& root) {
    std::vector<std::string> files;
    if (!fs::exists(root)) return files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (!e.is_directory()) files.push_back(fs::relative(e.path(), root).string());
    std::sort(files.begin(), files.end());
    return files;
}

int run(const std::string& command, std::string* out) {
    int status = -1;
    *out = shell(command + " 2>&1", &status);
    return status;
}

// A prefix and a staging directory with spaces are kept whole, and a `;` never reaches a
// shell. Uninstalling names every path it could not take away, and fails.
TEST(Package, MakeInstallKeepsThePrefixWholeAndUninstallReportsWhatStays) {
    if (!haveTool("make")) GTEST_SKIP() << "make is missing";
    const fs::path dest = scratch("make install") / "stage dir";
    const fs::path root = dest / "opt/my games";
    const fs::path injected = fs::path(GS_SOURCE_DIR) / "gs-injected";
    // The outer make's flags (when ctest runs under make test) are not this one's.
    const std::string make = "env -u MAKEFLAGS -u MAKELEVEL -u MFLAGS make -C " GS_SOURCE_DIR
                             " RELEASE=" GS_BUILD_DIR "/release JOBS=2 'DESTDIR=" +
                             dest.string() + "' ";
    std::string out;

    // A prefix CMake would split into a list is refused before anything is built.
    EXPECT_NE(run(make + "install 'PREFIX=/opt/my games;touch gs-injected'", &out), 0) << out;
    EXPECT_FALSE(fs::exists(injected)) << out;
    fs::remove(injected);
    EXPECT_EQ(filesUnder(dest), std::vector<std::string>{});

    ASSERT_EQ(run(make + "install 'PREFIX=/opt/my games'", &out), 0) << out;
    std::vector<std::string> listed;
    std::istringstream list(slurp(GS_BUILD_DIR "/release/installed_files.txt"));
    for (std::string line; std::getline(list, line);) listed.push_back(line);
    std::sort(listed.begin(), listed.end());
    EXPECT_GT(listed.size(), 10u);
    EXPECT_EQ(filesUnder(root), listed);
    EXPECT_EQ(filesUnder(dest).size(), listed.size()) << "files outside the prefix";
    EXPECT_NE(slurp(root / "share/applications/gorvenshale.desktop")
                  .find("\nExec=\"/opt/my games/games/gorvenshale\" --console window\n"),
              std::string::npos);
    ASSERT_EQ(run(make + "uninstall 'PREFIX=/opt/my games'", &out), 0) << out;
    EXPECT_EQ(filesUnder(dest), std::vector<std::string>{});

    // A directory where the install put the manual page is not the install's to remove.
    ASSERT_EQ(run(make + "install 'PREFIX=/opt/my games'", &out), 0) << out;
    const fs::path manual = root / "share/man/man6/gorvenshale.6.gz";
    fs::remove(manual);
    fs::create_directories(manual);
    std::ofstream(manual / "mine.txt") << "not a manual\n";
    EXPECT_NE(run(make + "uninstall 'PREFIX=/opt/my games'", &out), 0) << out;
    EXPECT_NE(out.find("Could not remove " + manual.string() + "\n"), std::string::npos) << out;
    EXPECT_EQ(filesUnder(root),
              std::vector<std::string>{"share/man/man6/gorvenshale.6.gz/mine.txt"});
    fs::remove_all(dest.parent_path());
}

TEST(Package, DebHoldsTheGameInDebianPlacesAndNamesItsLibraries) {
    for (const char* tool : {"cpack", "dpkg-deb", "dpkg-shlibdeps", "file", "lintian"})
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
          " ./usr/share/icons/hicolor/512x512/apps/gorvenshale.png\n",
          " ./usr/share/man/man6/gorvenshale.6.gz\n", " ./usr/share/doc/gorvenshale/copyright\n",
          " ./usr/share/doc/gorvenshale/changelog.gz\n"})
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

    // The licence of the source tree, every line of it, in Debian's machine-readable form;
    // the newest entry of the changelog is this version.
    const std::string copyright = slurp(unpacked / "usr/share/doc/gorvenshale/copyright");
    EXPECT_EQ(copyright.rfind("Format: https://www.debian.org/doc/packaging-manuals/"
                              "copyright-format/1.0/\n",
                              0),
              0u)
        << copyright;
    std::istringstream licence(slurp(GS_SOURCE_DIR "/LICENSE"));
    int licenceLines = 0;
    for (std::string line; std::getline(licence, line); ++licenceLines)
        EXPECT_NE(copyright.find(line.starts_with("Copyright (c) ") ? line.substr(14) : line),
                  std::string::npos)
            << line;
    EXPECT_GT(licenceLines, 10);
    EXPECT_EQ(shell("zcat " + (unpacked / "usr/share/doc/gorvenshale/changelog.gz").string())
                  .rfind("gorvenshale (" GS_VERSION ") ", 0),
              0u);
    fs::remove_all(unpacked);

    // Debian's package checker finds no error (its warnings are in its output).
    std::string checked = shell("lintian --fail-on error " + deb.string() + " 2>&1", &status);
    EXPECT_EQ(status, 0) << checked;
}

} // namespace
