// The driver's shot command: the frame the window shows, written as a PNG.
#include <gtest/gtest.h>

#include <algorithm>
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
    // A file of each case's own: the cases run side by side, and two share a width.
    std::string name = std::string("shot-size") + GetParam().arguments + ".png";
    std::replace(name.begin(), name.end(), ' ', '-');
    const std::string path = outputPath(name);
    std::filesystem::remove(path);
    std::string error;
    ASSERT_TRUE(run(runner, "shot " + path + GetParam().arguments, error)) << error;
    EXPECT_EQ(pngSize(path), std::make_pair(GetParam().width, GetParam().height));
}

INSTANTIATE_TEST_SUITE_P(Scales, ShotSize,
                         testing::Values(ShotCase{"", 400, 500}, ShotCase{" 1", 400, 500},
                                         ShotCase{" 2", 800, 1000}, ShotCase{" 4", 1600, 2000}));

// The bytes of the PNG a shot writes at the end of the script, run on a fresh runner.
std::string shotAfter(const std::string& script, const std::string& name) {
    SimRunner runner;
    std::string error;
    std::istringstream lines(script + "shot " + outputPath(name) + "\n");
    std::string line;
    while (std::getline(lines, line))
        EXPECT_TRUE(run(runner, line, error)) << line << ": " << error;
    std::ifstream png(outputPath(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(png), {});
}

// Pairs of scripts that must end on the same frame.
struct SameFrame {
    const char* name;
    const char* script;
    const char* fresh;
};

std::ostream& operator<<(std::ostream& out, const SameFrame& same) {
    return out << same.name;
}

class ShotFrame : public testing::TestWithParam<SameFrame> {};

TEST_P(ShotFrame, IsTheFrameOfTheFreshRun) {
    const std::string name = GetParam().name;
    const std::string shot = shotAfter(GetParam().script, name + ".png");
    EXPECT_FALSE(shot.empty());
    EXPECT_TRUE(shot == shotAfter(GetParam().fresh, name + "-fresh.png"))
        << "compare " << outputPath(name) << ".png with its -fresh.png";
}

// A shot draws no frame, so it leaves the pause blink alone; the drawing objects outlive a
// change of scale; a new game starts a new blink.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Scripts, ShotFrame, testing::Values(
    SameFrame{"shots_leave_the_blink", "space\npause\ntick\nshot /dev/null\n",
              "space\npause\ntick\n"},
    SameFrame{"back_from_scale_three", "space\ntick 30\nshot /dev/null 3\n", "space\ntick 30\n"},
    SameFrame{"seed_starts_a_new_blink", "space\npause\ntick\nseed 5\npause\ntick\n",
              "seed 5\npause\ntick\n"}),
    [](const testing::TestParamInfo<SameFrame>& same) { return std::string(same.param.name); });
// clang-format on

TEST(Shot, UnwritableFileIsRefused) {
    SimRunner runner;
    std::string error;
    EXPECT_FALSE(run(runner, "shot /nonexistent-directory/frame.png", error));
    EXPECT_EQ(error, "shot: cannot write '/nonexistent-directory/frame.png'");
}

} // namespace
} // namespace plonta
