// The status display: lives, level, goal, score and drop bar, and the message lines by state.
#include "draw/status.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "draw/frame.h"

namespace plonta {

namespace {

// The stored templates; a frame copies them and never writes into them.
constexpr char scoreTemplate[] = "00000000";
constexpr char dropBarTemplate[] = "\xD8\xD8\xD8\xD8\xD8\xD8\xD8\xD8\xD8\xD8";
constexpr char noGoalDescription[] = " ";

constexpr std::size_t digitPosition = 7;
constexpr std::size_t goalDigits = 6;
constexpr std::uint8_t pointsLevel = 5;
constexpr std::int32_t dropBarLength = 10;

constexpr std::size_t length(const char* text) {
    return std::char_traits<char>::length(text);
}

// Every language's status texts fill their buffers as the German ones do, the digits where
// the German templates have them.
constexpr bool fitsTheBuffers(const FrameTexts& texts) {
    bool fits = length(texts.lives) == 8 && texts.lives[digitPosition] == 'X' &&
                length(texts.level) == 8 && texts.level[digitPosition] == 'X' &&
                length(texts.goal) == 13 && texts.goal[goalDigits] == '0';
    for (const char* goal : texts.goals) fits = fits && length(goal) < 19;
    return fits;
}
static_assert(fitsTheBuffers(textsFor(Language::German)) &&
              fitsTheBuffers(textsFor(Language::English)));

template <std::size_t N, std::size_t M> std::array<char, N> fromTemplate(const char (&text)[M]) {
    static_assert(M <= N);
    std::array<char, N> buffer{};
    std::memcpy(buffer.data(), text, M);
    return buffer;
}

// A language's template; the assertion above keeps it inside the buffer.
template <std::size_t N> std::array<char, N> fromLanguage(const char* text) {
    std::array<char, N> buffer{};
    std::memcpy(buffer.data(), text, std::min(std::strlen(text) + 1, N));
    buffer.back() = '\0';
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

LivesText livesText(std::uint8_t lives, Language language) {
    LivesText text = fromLanguage<9>(textsFor(language).lives);
    text[digitPosition] = digitChar(lives);
    return text;
}

LevelText levelText(std::uint8_t level, Language language) {
    LevelText text = fromLanguage<9>(textsFor(language).level);
    text[digitPosition] = digitChar(level);
    return text;
}

GoalLineText goalLineText(std::uint8_t level, const std::array<std::int32_t, goalCount>& goals,
                          Language language) {
    GoalLineText text = fromLanguage<14>(textsFor(language).goal);
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

GoalDescriptionText goalDescriptionText(std::uint8_t level, Language language) {
    if (level >= 1 && level <= lastLevel) return fromLanguage<19>(textsFor(language).goals[level]);
    return fromTemplate<19>(noGoalDescription);
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
    const FrameTexts& texts = textsFor(language_);
    const LivesText lives = livesText(player.lives, language_);
    const LevelText level = levelText(player.level, language_);
    const GoalLineText goal = goalLineText(player.level, player.goals, language_);
    const GoalDescriptionText description = goalDescriptionText(player.level, language_);
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
    case GameState::Ready: drawText(canvas, 200, 120, texts.start); break;
    case GameState::LifeLost:
        drawText(canvas, 200, 80, texts.lost);
        drawText(canvas, 200, 100, texts.again);
        drawText(canvas, 200, 120, texts.start);
        break;
    case GameState::GameOver:
        drawText(canvas, 200, 120, texts.gameOver);
        if (place_ > 0) {
            // Below the game over line, on the conveyor's empty belt.
            char place[64];
            std::snprintf(place, sizeof place, texts.place, place_);
            drawText(canvas, 200, 140, place);
        }
        break;
    case GameState::Paused:
        if (pauseBlink_ == 1) drawText(canvas, 200, 120, texts.pause);
        break;
    case GameState::Running:
    case GameState::LevelComplete: break;
    }
}

} // namespace plonta
