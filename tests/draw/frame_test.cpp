// Whole frames as call logs against golden copies.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "draw/frame.h"
#include "tests/draw/golden.h"
#include "tests/draw/recording_canvas.h"

namespace plonta {
namespace {

using test::RecordingCanvas;

Game freshGame() {
    Game game;
    game.setUp(standardRules, 1);
    return game;
}

// A game in play with tiles everywhere the frame can show them, and one where it must not.
Game busyGame() {
    Game game = freshGame();
    game.state = GameState::Running;
    game.conveyor.at(3, 10) = 4;
    game.conveyor.at(0, 0) = 1;
    game.conveyor.at(1, 5) = 2;
    game.conveyor.at(1, 6) = 3;
    game.conveyor.at(4, 9) = 5;
    game.conveyor.at(2, 11) = 3; // at the paddle end: never drawn
    game.bin.at(0, 0) = 5;
    game.bin.at(0, 4) = 1;
    game.bin.at(2, 4) = 2;
    game.bin.at(4, 4) = 3;
    game.player.paddleLane = 2;
    game.player.carriedCount = 3;
    game.player.carried = {1, 2, 3}; // oldest first
    game.player.score = 12345;
    game.player.dropsLeft = 7;
    game.player.level = 5;
    return game;
}

struct Frames {
    RecordingCanvas canvas;
    FrameDrawer drawer;

    Frames() {
        drawer.createDrawingObjects(canvas);
        canvas.calls.clear();
    }

    std::string frame(const Game& game) {
        canvas.calls.clear();
        drawer.nextFrame(game);
        drawer.drawFrame(canvas, game);
        return canvas.log();
    }
};

void expectGolden(const std::string& name, const std::string& log) {
    const std::string failure = test::compareWithGolden(name, log);
    EXPECT_TRUE(failure.empty()) << failure;
}

std::size_t countPrefix(const RecordingCanvas& canvas, const std::string& prefix) {
    std::size_t n = 0;
    for (const std::string& call : canvas.calls)
        if (call.rfind(prefix, 0) == 0) ++n;
    return n;
}

TEST(DrawingObjects, PenBrushPairsThenTheFont) {
    RecordingCanvas canvas;
    FrameDrawer drawer;
    drawer.createDrawingObjects(canvas);
    expectGolden("drawing-objects", canvas.log());
}

TEST(FrameLog, Ready) {
    Frames frames;
    Game game = busyGame();
    game.state = GameState::Ready;
    // Conveyor and bin tiles stay hidden; the carried stack and paddle do not.
    expectGolden("frame-ready", frames.frame(game));
}

TEST(FrameLog, RunningWithConveyorBinAndCarriedStack) {
    Frames frames;
    expectGolden("frame-running", frames.frame(busyGame()));
}

TEST(FrameLog, LifeLostWithBarePaddleInLaneZero) {
    Frames frames;
    Game game = busyGame();
    game.state = GameState::LifeLost;
    game.player.paddleLane = 0;
    game.player.emptyPaddle();
    game.player.dropsLeft = 0;
    expectGolden("frame-life-lost", frames.frame(game));
}

TEST(FrameLog, GameOver) {
    Frames frames;
    Game game = busyGame();
    game.state = GameState::GameOver;
    game.player.lives = 0;
    expectGolden("frame-game-over", frames.frame(game));
}

TEST(FrameLog, GameOverAfterTheLastLevel) {
    Frames frames;
    Game game = freshGame();
    game.state = GameState::GameOver;
    game.player.level = 8;
    expectGolden("frame-game-over-level-8", frames.frame(game));
}

TEST(FrameLog, PausedOnBothBlinkPhases) {
    Frames frames;
    Game game = busyGame();
    game.state = GameState::Paused;
    expectGolden("frame-paused-shown", frames.frame(game));
    EXPECT_TRUE(frames.canvas.contains("textOut 200 120 9 \"P A U S E\""));
    EXPECT_EQ(countPrefix(frames.canvas, "roundRect"), 4u);
    expectGolden("frame-paused-hidden", frames.frame(game));
    EXPECT_EQ(countPrefix(frames.canvas, "textOut 200 "), 0u);
}

} // namespace
} // namespace plonta

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--update") == 0) plonta::test::updateGoldens = true;
    return RUN_ALL_TESTS();
}
