// Whole frames as call logs against golden copies, with the layout's fixed points checked.
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
    ASSERT_EQ(canvas.calls.size(), 15u);
    EXPECT_EQ(canvas.calls[0], "createPen 2 rgb(180,180,180) -> 1");
    EXPECT_EQ(canvas.calls[1], "createSolidBrush rgb(255,255,255) -> 2");
    EXPECT_EQ(canvas.calls[14], "createFont 15 8 0 0 400 0 0 0 1 2 1 0 0 \"Comic Sans MS\" -> 15");
    // Index 0 the font, 1 to 7 the brushes, 8 to 14 the pens.
    EXPECT_EQ(drawer.drawingObjects[0], 15u);
    EXPECT_EQ(drawer.drawingObjects[1], 2u);
    EXPECT_EQ(drawer.drawingObjects[8], 1u);
    EXPECT_EQ(drawer.drawingObjects[14], 13u);
}

TEST(FrameLog, Ready) {
    Frames frames;
    Game game = busyGame();
    game.state = GameState::Ready;
    expectGolden("frame-ready", frames.frame(game));
    // Conveyor and bin tiles stay hidden; the carried stack and paddle do not.
    EXPECT_EQ(countPrefix(frames.canvas, "roundRect"), 4u);
    EXPECT_TRUE(frames.canvas.contains("textOut 200 120 20 \"Start mit Leertaste.\""));
}

TEST(FrameLog, RunningWithConveyorBinAndCarriedStack) {
    Frames frames;
    expectGolden("frame-running", frames.frame(busyGame()));
    const RecordingCanvas& c = frames.canvas;
    EXPECT_TRUE(c.contains("moveTo 5 50"));
    EXPECT_TRUE(c.contains("lineTo 390 50"));
    EXPECT_TRUE(c.contains("moveTo 5 220"));
    EXPECT_TRUE(c.contains("lineTo 390 220"));
    EXPECT_TRUE(c.contains("rectangle 30 340 40 455"));
    EXPECT_TRUE(c.contains("rectangle 350 340 360 455"));
    EXPECT_TRUE(c.contains("rectangle 30 445 360 455"));
    EXPECT_TRUE(c.contains("roundRect 235 205 285 220 30 15")); // lane 3, cell 10
    EXPECT_TRUE(c.contains("roundRect 50 350 100 365 30 15"));  // bin (0, 0)
    EXPECT_TRUE(c.contains("roundRect 290 422 340 437 30 15")); // bin (4, 4)
    // Newest on top, oldest just above the paddle.
    EXPECT_TRUE(c.contains("roundRect 170 260 220 275 30 15"));
    EXPECT_TRUE(c.contains("roundRect 170 275 220 290 30 15"));
    EXPECT_TRUE(c.contains("roundRect 170 290 220 305 30 15"));
    EXPECT_TRUE(c.contains("roundRect 160 310 230 320 30 15"));
    // Cell 11 of lane 2 would start on the lower line at 220.
    EXPECT_FALSE(c.contains("roundRect 175 220 225 235 30 15"));
    // 5 conveyor tiles, 4 bin tiles, 3 carried and the paddle.
    EXPECT_EQ(countPrefix(c, "roundRect"), 13u);
    EXPECT_EQ(countPrefix(c, "textOut 200 "), 0u);
}

TEST(FrameLog, CarriedStackIsDrawnOldestFirstWithNewestOnTop) {
    Frames frames;
    frames.frame(busyGame());
    const auto& calls = frames.canvas.calls;
    const auto at = [&](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    const auto oldest = at("roundRect 170 290 220 305 30 15");
    const auto newest = at("roundRect 170 260 220 275 30 15");
    const auto paddle = at("roundRect 160 310 230 320 30 15");
    EXPECT_LT(oldest, newest);
    EXPECT_LT(newest, paddle);
    // The oldest carried tile is code 1: grey pen (handle 1) and white brush (handle 2).
    EXPECT_EQ(calls[static_cast<std::size_t>(oldest - 2)],
              "selectObject 1 (pen 2 rgb(180,180,180))");
    EXPECT_EQ(calls[static_cast<std::size_t>(oldest - 1)],
              "selectObject 2 (brush rgb(255,255,255))");
}

TEST(FrameLog, LifeLostWithBarePaddleInLaneZero) {
    Frames frames;
    Game game = busyGame();
    game.state = GameState::LifeLost;
    game.player.paddleLane = 0;
    game.player.emptyPaddle();
    game.player.dropsLeft = 0;
    expectGolden("frame-life-lost", frames.frame(game));
    EXPECT_TRUE(frames.canvas.contains("roundRect 40 265 110 275 30 15"));
    EXPECT_EQ(countPrefix(frames.canvas, "roundRect"), 1u);
    EXPECT_TRUE(
        frames.canvas.contains("textOut 200 80 42 \"Sie haben zu viele Steine Fallen gelassen!\""));
    EXPECT_TRUE(frames.canvas.contains("textOut 200 100 22 \"Noch einmal Probieren?\""));
    EXPECT_TRUE(frames.canvas.contains("textOut 200 120 20 \"Start mit Leertaste.\""));
}

TEST(FrameLog, GameOver) {
    Frames frames;
    Game game = busyGame();
    game.state = GameState::GameOver;
    game.player.lives = 0;
    expectGolden("frame-game-over", frames.frame(game));
    EXPECT_TRUE(frames.canvas.contains("textOut 200 120 19 \"S P I E L   E N D E\""));
}

TEST(FrameLog, GameOverAfterTheLastLevel) {
    Frames frames;
    Game game = freshGame();
    game.state = GameState::GameOver;
    game.player.level = 8;
    expectGolden("frame-game-over-level-8", frames.frame(game));
    EXPECT_TRUE(frames.canvas.contains("textOut 85 10 13 \"Ziel: --    x\""));
    EXPECT_TRUE(frames.canvas.contains("textOut 85 30 1 \" \""));
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

TEST(FrameLog, StatusLeavesCentredRedTransparentTextBehindInEveryState) {
    for (const GameState state : {GameState::Ready, GameState::Running, GameState::LifeLost,
                                  GameState::GameOver, GameState::Paused}) {
        Frames frames;
        Game game = freshGame();
        game.state = state;
        frames.frame(game);
        const auto& calls = frames.canvas.calls;
        EXPECT_TRUE(frames.canvas.contains("setBkMode transparent"));
        EXPECT_TRUE(frames.canvas.contains("setTextColor rgb(255,0,0)"));
        EXPECT_TRUE(frames.canvas.contains("selectObject 15 (font \"Comic Sans MS\")"));
        std::string lastAlign;
        for (const std::string& call : calls)
            if (call.rfind("setTextAlign", 0) == 0) lastAlign = call;
        EXPECT_EQ(lastAlign, "setTextAlign 6") << static_cast<int>(state);
    }
}

} // namespace
} // namespace plonta

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--update") == 0) plonta::test::updateGoldens = true;
    return RUN_ALL_TESTS();
}
