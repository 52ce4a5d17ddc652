// An hour of play on the real SDL front end, on SDL's dummy video driver with a clock the test
// moves: 14,400 ticks with random keys, each frame painted through Cairo. The live heap
// allocations, counted here by this program's own operator new and delete, must not climb:
// the canvas keeps the calls of the frame shown and caches of text layouts and shapes that
// fill and empty again, so the count rises and falls with them, and a leak lifts it for good.
// The most live in the last quarter-hour may not pass the most in the first (after its first
// minute); the same for the C heap, with room for glyphs first drawn late.
#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

#include "shell/sdl/sdl_shell.h"

namespace {
long liveAllocations = 0;
long allAllocations = 0;

void* counted(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    ++liveAllocations;
    ++allAllocations;
    return block;
}

void uncounted(void* block) {
    if (block == nullptr) return;
    --liveAllocations;
    std::free(block);
}
} // namespace

void* operator new(std::size_t size) {
    return counted(size);
}
void* operator new[](std::size_t size) {
    return counted(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return counted(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    uncounted(block);
}
void operator delete[](void* block) noexcept {
    uncounted(block);
}
void operator delete(void* block, std::size_t) noexcept {
    uncounted(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    uncounted(block);
}

namespace plonta {
namespace {

std::uint64_t now = 0;
std::uint64_t testClock() {
    return now;
}

// The C heap in use (Cairo, SDL, fontconfig), as glibc counts it; ASan's heap is not in it.
std::size_t cHeapInUse() {
    return mallinfo2().uordblks;
}

TEST(LongPlay, AnHourOfTicksAndKeysHoldsNoMoreHeapThanItsFirstQuarter) {
    // The counting works: this vector is one allocation.
    const long before = liveAllocations;
    auto probe = std::make_unique<std::vector<int>>(3);
    EXPECT_EQ(liveAllocations, before + 2);
    probe.reset();
    EXPECT_EQ(liveAllocations, before);

    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlShell shell(sdlDisplayCalls(), testClock);
    ASSERT_TRUE(shell.openWindow({}));
    shell.frontEnd().startUp();
    // The same hour every run: the start-up's seed is the machine's uptime.
    shell.frontEnd().newGame(2024);
    // The game keys, the keypad's with and without NumLock, and keys that do nothing.
    constexpr std::array<SDL_Scancode, 11> keys{
        SDL_SCANCODE_SPACE, SDL_SCANCODE_DOWN, SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT,
        SDL_SCANCODE_KP_0,  SDL_SCANCODE_KP_4, SDL_SCANCODE_KP_6, SDL_SCANCODE_KP_2,
        SDL_SCANCODE_A,     SDL_SCANCODE_UP,   SDL_SCANCODE_KP_5};
    std::mt19937 rng(2024);
    const auto push = [&rng](SDL_Scancode scancode) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.scancode = scancode;
        event.key.keysym.mod = rng() % 2 ? KMOD_NUM : KMOD_NONE;
        SDL_PushEvent(&event);
    };
    constexpr int ticksPerMinute = 240;
    constexpr int ticksPerHour = 14'400;
    long liveAfterAMinute = 0;
    std::size_t cHeapAfterAMinute = 0;
    long firstPeak = 0;
    long lastPeak = 0;
    std::size_t cFirstPeak = 0;
    std::size_t cLastPeak = 0;
    int runningTicks = 0;
    int gamesOver = 0;
    const Game& game = shell.frontEnd().game();
    for (int tick = 1; tick <= ticksPerHour; ++tick) {
        // Mostly a player who goes for the tile nearest the paddle and drops what he has;
        // now and then any key at all.
        int target = -1;
        for (int lane = 0, nearest = -1; lane < laneCount; ++lane)
            for (int cell = 0; cell < laneCells - 1; ++cell)
                if (game.conveyor.at(lane, cell) != 0 && cell > nearest)
                    nearest = cell, target = lane;
        if (target >= 0 && target != game.player.paddleLane && rng() % 4 != 0)
            push(target < game.player.paddleLane ? SDL_SCANCODE_LEFT : SDL_SCANCODE_RIGHT);
        if (game.player.carriedCount > 0 && rng() % 3 == 0) push(SDL_SCANCODE_SPACE);
        if (rng() % 5 == 0)
            push(keys[std::uniform_int_distribution<std::size_t>(0, keys.size() - 1)(rng)]);
        if (game.state == GameState::Paused && rng() % 4 == 0) push(SDL_SCANCODE_KP_0);
        now += tickPeriodMs;
        SDL_Event wake{};
        wake.type = SDL_USEREVENT;
        SDL_PushEvent(&wake);
        shell.runPass();
        ASSERT_TRUE(shell.frontEnd().running());
        runningTicks += game.state == GameState::Running;
        if (game.state == GameState::GameOver) {
            ++gamesOver;
            shell.frontEnd().newGame(static_cast<std::uint32_t>(rng()));
        }
        if (tick == ticksPerMinute) {
            liveAfterAMinute = liveAllocations;
            cHeapAfterAMinute = cHeapInUse();
        }
        const bool firstQuarter = tick > ticksPerMinute && tick <= ticksPerHour / 4;
        const bool lastQuarter = tick > ticksPerHour * 3 / 4;
        if (firstQuarter) firstPeak = std::max(firstPeak, liveAllocations);
        if (lastQuarter) lastPeak = std::max(lastPeak, liveAllocations);
        if (tick % 60 == 0 && firstQuarter) cFirstPeak = std::max(cFirstPeak, cHeapInUse());
        if (tick % 60 == 0 && lastQuarter) cLastPeak = std::max(cLastPeak, cHeapInUse());
    }
    std::printf("live operator-new allocations: %ld after a minute, %ld after an hour, at most "
                "%ld in the first quarter-hour and %ld in the last (%ld made in all)\n",
                liveAfterAMinute, liveAllocations, firstPeak, lastPeak, allAllocations);
    std::printf("C heap in use: %zu bytes after a minute, %zu after an hour, at most %zu in the "
                "first quarter-hour and %zu in the last\n",
                cHeapAfterAMinute, cHeapInUse(), cFirstPeak, cLastPeak);
    EXPECT_LE(lastPeak, firstPeak);
    // Cairo's and fontconfig's caches fill with glyphs first drawn late in a game (a few KiB
    // once); a block kept per tick would be hundreds of KiB.
    EXPECT_LT(static_cast<long>(cLastPeak) - static_cast<long>(cFirstPeak), 64 * 1024);
    // The hour was played: mostly running, through several games.
    std::printf("%d of %d ticks running, %d games over\n", runningTicks, ticksPerHour, gamesOver);
    EXPECT_GT(runningTicks, ticksPerHour / 2);
    EXPECT_GT(gamesOver, 3);
    shell.frontEnd().shutDown();
}

} // namespace
} // namespace plonta
