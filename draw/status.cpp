// The status display: lives, level, goal, score and drop bar, and the message lines by state.
#include "draw/status.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "draw/frame.h"

namespace plonta {

namespace {

// The stored templates; a frame copies them and never writes into them.
constexpr char livesTemplate[] = "Leben: X";
constexpr char levelTemplate[] = "Level: X";
constexpr char goalTemplate[] = "Ziel: 00000 x";
constexpr char scoreTemplate[] = "00000000";
constexpr char dropBarTemplate[] = "\xD8\xD8\xD8\xD8\xD8\xD8\xD8\xD8\xD8\xD8";
constexpr char noGoalDescription[] = " ";
constexpr char startText[] = "Start mit Leertaste.";
constexpr char lostText[] = "Sie haben zu viele Steine Fallen gelassen!";
constexpr char againText[] = "Noch einmal Probieren?";
constexpr char gameOverText[] = "S P I E L   E N D E";
constexpr char pauseText[] = "P A U S E";
constexpr char placeText[] = "Platz %d in der Bestenliste!";

constexpr std::size_t digitPosition = 7;
constexpr std::size_t goalDigits = 6;
constexpr std::uint8_t pointsLevel = 5;
constexpr std::int32_t dropBarLength = 10;

template <std::size_t N, std::size_t M> std::array<char, N> fromTemplate(const char (&text)[M]) {
    static_assert(M <= N);
    std::array<char, N> buffer{};
    std::memcpy(buffer.data(), text, M);
    return buffer;
}

// The digit step shared by the score and the points goal: a digit of 0 or less stays 0.
void fillDigit(char& position, double& value, double weight) {
    const auto quotient = static_cast<std::int64_t>(value / weight);
    const auto digit = static_cast<std::int8_t>(static_cast<std::uint8_t>(quotient & 0xFF));
    if (digit > 0) {
        position = digitChar(digit);
        value -= digit * weight;
    }
}

void drawText(Canvas& canvas, std::int32_t x, std::int32_t y, const char* text) {
    canvas.textOut(x, y, text, static_cast<std::int32_t>(std::strlen(text)));
}

} // namespace

LivesText livesText(std::uint8_t lives) {
    LivesText text = fromTemplate<9>(livesTemplate);
    text[digitPosition] = digitChar(lives);
    return text;
}

LevelText levelText(std::uint8_t level) {
    LevelText text = fromTemplate<9>(levelTemplate);
    text[digitPosition] = digitChar(level);
    return text;
}

GoalLineText goalLineText(std::uint8_t level, const std::array<std::int32_t, goalCount>& goals) {
    GoalLineText text = fromTemplate<14>(goalTemplate);
    if (level < 1 || level > lastLevel) {
        // Level 8 follows the last level and has no counter to show.
        text[goalDigits] = '-';
        text[goalDigits + 1] = '-';
        text[goalDigits + 2] = text[goalDigits + 3] = text[goalDigits + 4] = ' ';
        return text;
    }
    const std::int32_t goal = goals[level];
    if (level == pointsLevel) {
        double value = goal;
        for (std::int32_t e = 4; e >= 0; --e)
            fillDigit(text[goalDigits + static_cast<std::size_t>(4 - e)], value, intPower(10, e));
        return text;
    }
    // A drop can overshoot the goal until the next tick completes the level: show 00 then.
    if (goal >= 0) {
        text[goalDigits] = digitChar(goal / 10);
        text[goalDigits + 1] = digitChar(goal % 10);
    }
    text[goalDigits + 2] = text[goalDigits + 3] = text[goalDigits + 4] = ' ';
    return text;
}

GoalDescriptionText goalDescriptionText(std::uint8_t level) {
    GoalDescriptionText text = fromTemplate<19>(noGoalDescription);
    if (level >= 1 && level <= lastLevel) {
        const char* goal = goalText[level];
        std::memcpy(text.data(), goal, std::min(std::strlen(goal) + 1, text.size()));
        text.back() = '\0';
    }
    return text;
}

ScoreText scoreText(std::int32_t score) {
    ScoreText text = fromTemplate<9>(scoreTemplate);
    double value = score;
    for (std::int32_t e = 7; e >= 1; --e)
        fillDigit(text[static_cast<std::size_t>(7 - e)], value, intPower(10, e));
    // The units digit is written whatever is left, even above 9 or below 0.
    text[7] = digitChar(static_cast<std::int64_t>(value));
    return text;
}

DropBarText dropBarText(std::uint8_t dropsLeft) {
    DropBarText text = fromTemplate<11>(dropBarTemplate);
    const std::int32_t lost = dropBarLength - dropsLeft;
    for (std::int32_t i = 0; i < lost && i < dropBarLength; ++i)
        text[static_cast<std::size_t>(i)] = ' ';
    return text;
}

void FrameDrawer::drawStatus(Canvas& canvas, const Game& game) const {
    const Player& player = game.player;
    const LivesText lives = livesText(player.lives);
    const LevelText level = levelText(player.level);
    const GoalLineText goal = goalLineText(player.level, player.goals);
    const GoalDescriptionText description = goalDescriptionText(player.level);
    const ScoreText score = scoreText(player.score);
    const DropBarText dropBar = dropBarText(player.dropsLeft);

    canvas.setBkMode(BackgroundMode::Transparent);
    canvas.setTextColor(brushColours[1]);
    canvas.selectObject(drawingObjects[0]);

    canvas.setTextAlign(alignLeft | alignTop);
    drawText(canvas, 5, 10, lives.data());
    drawText(canvas, 5, 30, level.data());
    drawText(canvas, 85, 10, goal.data());
    drawText(canvas, 85, 30, description.data());
    canvas.setTextAlign(alignRight | alignTop);
    drawText(canvas, 390, 10, score.data());
    drawText(canvas, 390, 30, dropBar.data());

    // The best games take the place of the messages.
    if (bestGames_) return;
    canvas.setTextAlign(alignCenter | alignTop);
    switch (game.state) {
    case GameState::Ready: drawText(canvas, 200, 120, startText); break;
    case GameState::LifeLost:
        drawText(canvas, 200, 80, lostText);
        drawText(canvas, 200, 100, againText);
        drawText(canvas, 200, 120, startText);
        break;
    case GameState::GameOver:
        drawText(canvas, 200, 120, gameOverText);
        if (place_ > 0) {
            // Below the game over line, on the conveyor's empty belt.
            char place[sizeof placeText + 4];
            std::snprintf(place, sizeof place, placeText, place_);
            drawText(canvas, 200, 140, place);
        }
        break;
    case GameState::Paused:
        if (pauseBlink_ == 1) drawText(canvas, 200, 120, pauseText);
        break;
    case GameState::Running:
    case GameState::LevelComplete: break;
    }
}

} // namespace plonta
