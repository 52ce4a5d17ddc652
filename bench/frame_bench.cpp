// One busy frame through the Cairo canvas, against the floor of clearing and copying the image.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "draw/cairo/cairo_canvas.h"
#include "draw/frame.h"
#include "game/command.h"

namespace plonta {
namespace {

constexpr int clientWidth = 400;
constexpr int clientHeight = 500;

// Every visible conveyor and bin cell holds a tile, three ride on the paddle, all texts show.
Game busyGame() {
    Game game;
    game.setUp(standardRules, 1);
    game.state = GameState::Running;
    for (int lane = 0; lane < laneCount; ++lane)
        for (int cell = 0; cell < laneCells; ++cell)
            game.conveyor.at(lane, cell) = static_cast<Tile>(1 + (lane + cell) % 5);
    for (int column = 0; column < binColumns; ++column)
        for (int row = 0; row < binRows; ++row)
            game.bin.at(column, row) = static_cast<Tile>(1 + (column * 2 + row) % 5);
    game.player.carriedCount = 3;
    game.player.carried = {1, 2, 3};
    game.player.score = 12'345'678;
    game.player.dropsLeft = 7;
    game.player.level = 5;
    return game;
}

struct Setting {
    CairoCanvas canvas{clientWidth, clientHeight};
    FrameDrawer drawer;
    Game game = busyGame();
    std::vector<unsigned char> window;

    Setting() {
        drawer.createDrawingObjects(canvas);
        window.resize(static_cast<std::size_t>(canvas.stride()) * clientHeight);
        // The first frame finds the font and rasterises the shapes; time the steady state.
        drawer.drawFrame(canvas, game);
    }

    void copy() {
        std::memcpy(window.data(), canvas.data(), window.size());
        benchmark::DoNotOptimize(window.data());
        benchmark::ClobberMemory();
    }
};

// The floor: what every frame costs before anything is drawn.
void clearAndCopy(benchmark::State& state) {
    Setting s;
    for (auto _ : state) {
        s.canvas.clear();
        s.copy();
    }
}
BENCHMARK(clearAndCopy);

void busyFrame(benchmark::State& state) {
    Setting s;
    for (auto _ : state) {
        s.canvas.clear();
        s.drawer.drawFrame(s.canvas, s.game);
        benchmark::DoNotOptimize(s.canvas.data());
    }
}
BENCHMARK(busyFrame);

void busyFrameAndCopy(benchmark::State& state) {
    Setting s;
    for (auto _ : state) {
        s.canvas.clear();
        s.drawer.drawFrame(s.canvas, s.game);
        s.copy();
    }
}
BENCHMARK(busyFrameAndCopy);

// The texts alone, to tell them from the shapes.
void statusTexts(benchmark::State& state) {
    Setting s;
    for (auto _ : state) {
        s.canvas.clear();
        s.drawer.drawStatus(s.canvas, s.game);
        benchmark::DoNotOptimize(s.canvas.data());
    }
}
BENCHMARK(statusTexts);

// A minute of play as the window sees it: a running game with the paddle moving, a frame per
// tick or key, as the program paints them.
std::vector<Game> playedFrames() {
    Game game;
    game.setUp(standardRules, 7);
    applyCommand(game, Command::Action);
    std::vector<Game> frames;
    for (int i = 0; i < 240; ++i) {
        game.tick();
        if (i % 3 == 0) applyCommand(game, i % 2 == 0 ? Command::PaddleLeft : Command::PaddleRight);
        if (i % 7 == 0) applyCommand(game, Command::Action);
        frames.push_back(game);
    }
    return frames;
}

// The scale in thousandths, as the argument gives it.
FrameScale scaleOf(const benchmark::State& state) {
    return FrameScale::ofThousandths(state.range(0));
}

// Each frame cleared and drawn whole, at the scale given.
void playWhole(benchmark::State& state) {
    CairoCanvas canvas(clientWidth, clientHeight, scaleOf(state));
    FrameDrawer drawer;
    drawer.createDrawingObjects(canvas);
    const std::vector<Game> frames = playedFrames();
    std::size_t i = 0;
    for (auto _ : state) {
        canvas.clear();
        drawer.drawFrame(canvas, frames[i++ % frames.size()]);
        benchmark::DoNotOptimize(canvas.data());
    }
}
BENCHMARK(playWhole)->Arg(1000)->Arg(1600)->Arg(2000)->Arg(2900);

// Each frame retained: only what changed since the one before is drawn again.
void playRetained(benchmark::State& state) {
    CairoCanvas canvas(clientWidth, clientHeight, scaleOf(state));
    FrameDrawer drawer;
    drawer.createDrawingObjects(canvas);
    const std::vector<Game> frames = playedFrames();
    std::size_t i = 0;
    std::int64_t changed = 0;
    for (auto _ : state) {
        canvas.beginFrame();
        drawer.drawFrame(canvas, frames[i++ % frames.size()]);
        for (const PixelRect& r : canvas.endFrame())
            changed += static_cast<std::int64_t>(r.right - r.left) * (r.bottom - r.top);
        benchmark::DoNotOptimize(canvas.data());
    }
    state.counters["changed px"] =
        benchmark::Counter(static_cast<double>(changed), benchmark::Counter::kAvgIterations);
}
BENCHMARK(playRetained)->Arg(1000)->Arg(1600)->Arg(2000)->Arg(2900);

} // namespace
} // namespace plonta

BENCHMARK_MAIN();
