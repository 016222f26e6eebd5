// Snapshots: indexed PNGs whose pixel values are the picture's palette indices.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "frontend/png/snapshots.h"
#include "picture/graph.h"

namespace gs {
namespace {

namespace fs = std::filesystem;

struct Snapshots : ::testing::Test {
    fs::path dir = fs::temp_directory_path() /
                   ("gs_png_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(Snapshots, RoundTripKeepsIndicesAndPalette) {
    Graph g{Graph::Config{true, 37, 23, true}};
    i16 d = 0, m = 0;
    g.InitGraph(d, m, "");
    for (int i = 0; i < 37 * 23; ++i) {
        g.SetColor(i % 256);
        g.Line(i % 37, i / 37, i % 37, i / 37);
    }
    fs::create_directories(dir);
    std::string error;
    const std::string path = (dir / "pic.png").string();
    ASSERT_TRUE(writeIndexedPng(g, path, error)) << error;
    int w = 0, h = 0;
    std::vector<std::uint8_t> px;
    Palette pal{};
    ASSERT_TRUE(readIndexedPng(path, w, h, px, pal, error)) << error;
    EXPECT_EQ(w, 37);
    EXPECT_EQ(h, 23);
    EXPECT_EQ(px, std::vector<std::uint8_t>(g.pixels().begin(), g.pixels().end()));
    EXPECT_EQ(pal, vgaPalette());
}

TEST_F(Snapshots, SeriesNumbersFilesWhileOpenAndBeforeClosing) {
    Graph g{Graph::Config{true, 64, 48, true}};
    g.setSnapshotWriter(snapshotSeries((dir / "deep" / "er").string()));
    g.snapshotDue(); // closed: nothing to write
    EXPECT_FALSE(fs::exists(dir));
    i16 d = 0, m = 0;
    g.InitGraph(d, m, "");
    g.snapshotDue();
    g.SetFillStyle(1, 4);
    g.Bar(0, 0, 9, 9);
    g.CloseGraph(); // the closing picture, with the bar
    g.snapshotDue();
    g.InitGraph(d, m, "");
    g.snapshotDue();
    const fs::path out = dir / "deep" / "er";
    EXPECT_TRUE(fs::exists(out / "0001.png"));
    EXPECT_TRUE(fs::exists(out / "0002.png"));
    EXPECT_TRUE(fs::exists(out / "0003.png"));
    EXPECT_FALSE(fs::exists(out / "0004.png"));
    int w = 0, h = 0;
    std::vector<std::uint8_t> px;
    Palette pal{};
    std::string error;
    ASSERT_TRUE(readIndexedPng((out / "0002.png").string(), w, h, px, pal, error)) << error;
    EXPECT_EQ(px[0], 4);
    EXPECT_EQ(px[10], 0);
    ASSERT_TRUE(readIndexedPng((out / "0003.png").string(), w, h, px, pal, error)) << error;
    EXPECT_EQ(px[0], 0); // a new picture starts black
}

TEST_F(Snapshots, UnwritablePlaceIsReportedNotFatal) {
    Graph g{Graph::Config{true, 8, 8, true}};
    i16 d = 0, m = 0;
    g.InitGraph(d, m, "");
    std::string error;
    EXPECT_FALSE(writeIndexedPng(g, "/nonexistent-dir/x/pic.png", error));
    EXPECT_NE(error.find("/nonexistent-dir/x/pic.png"), std::string::npos);
    fs::create_directories(dir);
    const std::string notPng = (dir / "text.png").string();
    FILE* f = std::fopen(notPng.c_str(), "w");
    std::fputs("not a picture", f);
    std::fclose(f);
    int w, h;
    std::vector<std::uint8_t> px;
    Palette pal;
    EXPECT_FALSE(readIndexedPng(notPng, w, h, px, pal, error));
}

} // namespace
} // namespace gs
