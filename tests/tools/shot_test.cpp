// The driver's shot command: the frame the window shows, written as a PNG.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "tools/plonta-sim/sim_runner.h"

namespace plonta {
namespace {

std::string outputPath(const std::string& name) {
    std::filesystem::create_directories(PLONTA_ACTUAL_DIR);
    return std::string(PLONTA_ACTUAL_DIR) + "/" + name;
}

bool run(SimRunner& runner, const std::string& line, std::string& error) {
    std::ostringstream out;
    return runner.runLine(line, out, error);
}

// Width and height from a PNG file's header.
std::pair<int, int> pngSize(const std::string& path) {
    std::ifstream png(path, std::ios::binary);
    std::string header(24, '\0');
    png.read(header.data(), 24);
    if (!png || header.substr(1, 3) != "PNG") return {0, 0};
    const auto word = [&](std::size_t at) {
        return (static_cast<unsigned char>(header[at]) << 24) |
               (static_cast<unsigned char>(header[at + 1]) << 16) |
               (static_cast<unsigned char>(header[at + 2]) << 8) |
               static_cast<unsigned char>(header[at + 3]);
    };
    return {word(16), word(20)};
}

struct ShotCase {
    const char* arguments;
    int width;
    int height;
};

class ShotSize : public testing::TestWithParam<ShotCase> {};

TEST_P(ShotSize, IsTheWindowsClientAreaAtTheScale) {
    SimRunner runner;
    const std::string path = outputPath("shot-" + std::to_string(GetParam().width) + ".png");
    std::filesystem::remove(path);
    std::string error;
    ASSERT_TRUE(run(runner, "shot " + path + GetParam().arguments, error)) << error;
    EXPECT_EQ(pngSize(path), std::make_pair(GetParam().width, GetParam().height));
}

INSTANTIATE_TEST_SUITE_P(Scales, ShotSize,
                         testing::Values(ShotCase{"", 400, 500}, ShotCase{" 1", 400, 500},
                                         ShotCase{" 2", 800, 1000}, ShotCase{" 4", 1600, 2000}));

TEST(Shot, ScalesComeAndGoWithTheSameDrawingObjects) {
    SimRunner runner;
    std::string error;
    const DrawingObjects objects = runner.drawer().drawingObjects;
    ASSERT_TRUE(run(runner, "shot " + outputPath("three.png") + " 3", error)) << error;
    ASSERT_TRUE(run(runner, "shot " + outputPath("one.png"), error)) << error;
    EXPECT_EQ(pngSize(outputPath("one.png")), std::make_pair(400, 500));
    EXPECT_EQ(runner.drawer().drawingObjects, objects);
}

TEST(Shot, BadInputIsRejectedAndChangesNothing) {
    SimRunner runner;
    std::string error;
    EXPECT_FALSE(run(runner, "shot", error));
    EXPECT_EQ(error, "shot: missing argument (expects 1)");
    EXPECT_FALSE(run(runner, "shot a.png 2 3", error));
    EXPECT_EQ(error, "shot: too many arguments (expects 2)");
    EXPECT_FALSE(run(runner, "shot a.png b.png", error));
    EXPECT_EQ(error, "shot scale: 'b.png' is not a number");
    for (const char* scale : {"0", "5", "-1"}) {
        EXPECT_FALSE(run(runner, std::string("shot a.png ") + scale, error));
        EXPECT_EQ(error, std::string("shot scale: '") + scale + "' is outside 1 to 4");
    }
    ASSERT_TRUE(run(runner, "pause", error));
    EXPECT_FALSE(run(runner, "shot /nonexistent-directory/frame.png", error));
    EXPECT_EQ(error, "shot: cannot write '/nonexistent-directory/frame.png'");
}

TEST(Shot, ScriptErrorsNameTheLine) {
    SimRunner runner;
    std::istringstream script("space\nshot\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runner.runScript(script, out, err), 2);
    EXPECT_EQ(err.str(), "plonta-sim: line 2: shot: missing argument (expects 1)\n");
}

TEST(Shot, LooksWithoutDrawingAFrameAndSeedStartsAFreshBlink) {
    SimRunner runner;
    std::string error;
    for (const char* line : {"space", "pause", "tick"}) ASSERT_TRUE(run(runner, line, error));
    EXPECT_EQ(runner.drawer().pauseBlink(), 1);
    const std::string path = outputPath("paused.png");
    for (int shot = 0; shot < 3; ++shot) ASSERT_TRUE(run(runner, "shot " + path, error)) << error;
    EXPECT_EQ(runner.drawer().pauseBlink(), 1);
    const DrawingObjects objects = runner.drawer().drawingObjects;
    ASSERT_TRUE(run(runner, "seed 5", error));
    EXPECT_EQ(runner.drawer().pauseBlink(), 0);
    // The drawing objects were made once, at start.
    EXPECT_EQ(runner.drawer().drawingObjects, objects);
    EXPECT_NE(objects[0], 0u);
}

} // namespace
} // namespace plonta
