// The driver's shot command: the frame the window shows, written as a PNG.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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

TEST(Shot, WritesAFourHundredByFiveHundredPng) {
    SimRunner runner;
    const std::string path = outputPath("shot.png");
    std::filesystem::remove(path);
    std::string error;
    ASSERT_TRUE(run(runner, "shot " + path, error)) << error;
    std::ifstream png(path, std::ios::binary);
    std::string header(24, '\0');
    png.read(header.data(), 24);
    ASSERT_TRUE(png);
    EXPECT_EQ(header.substr(1, 3), "PNG");
    const auto word = [&](std::size_t at) {
        return (static_cast<unsigned char>(header[at]) << 24) |
               (static_cast<unsigned char>(header[at + 1]) << 16) |
               (static_cast<unsigned char>(header[at + 2]) << 8) |
               static_cast<unsigned char>(header[at + 3]);
    };
    EXPECT_EQ(word(16), 400);
    EXPECT_EQ(word(20), 500);
}

TEST(Shot, BadInputIsRejectedAndChangesNothing) {
    SimRunner runner;
    std::string error;
    EXPECT_FALSE(run(runner, "shot", error));
    EXPECT_EQ(error, "shot: missing argument (expects 1)");
    EXPECT_FALSE(run(runner, "shot a.png b.png", error));
    EXPECT_EQ(error, "shot: too many arguments (expects 1)");
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
    EXPECT_EQ(runner.drawer().pauseBlink, 1);
    const std::string path = outputPath("paused.png");
    for (int shot = 0; shot < 3; ++shot) ASSERT_TRUE(run(runner, "shot " + path, error)) << error;
    EXPECT_EQ(runner.drawer().pauseBlink, 1);
    const DrawingObjects objects = runner.drawer().drawingObjects;
    ASSERT_TRUE(run(runner, "seed 5", error));
    EXPECT_EQ(runner.drawer().pauseBlink, 0);
    // The drawing objects were made once, at start.
    EXPECT_EQ(runner.drawer().drawingObjects, objects);
    EXPECT_NE(objects[0], 0u);
}

} // namespace
} // namespace plonta
