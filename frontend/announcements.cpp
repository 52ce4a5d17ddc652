// The sentences a screen reader hears, in German and English (UTF-8).
#include "frontend/announcements.h"

#include <array>
#include <cstdio>

namespace plonta {

namespace {

struct Sentences {
    const char* ready;
    const char* started; // the level and goal follow
    const char* playingOn;
    // One %d each: the goal counter, for levels 1 to 7.
    std::array<const char*, goalCount> goals;
    const char* level;     // %d the level; the goal follows
    const char* levelDone; // %d the level
    const char* oneLine;   // %d the line's length, %d its points
    const char* lines;     // %d lines, %d points together
    const char* lifeLost;  // %d lives left
    const char* paused;
    const char* gameOver; // %d the score
    const char* allDone;  // %d the score
    const char* place;    // %d the place
};

constexpr Sentences german{
    "Neues Spiel. Start mit der Leertaste.",
    "Das Spiel beginnt.",
    "Weiter geht's.",
    {"", "%d senkrechte Reihen", "%d waagerechte Reihen", "%d diagonale Reihen",
     "%d Steine auffangen", "noch %d Punkte", "%d waagerechte Fünferreihen",
     "%d diagonale Fünferreihen"},
    "Level %d, Ziel: ",
    "Level %d geschafft!",
    "Eine Reihe aus %d Steinen: %d Punkte.",
    "%d Reihen: %d Punkte.",
    "Zu viele Steine fallen gelassen! Noch %d Leben. Weiter mit der Leertaste.",
    "Pause.",
    "Spielende. %d Punkte.",
    "Alle Level geschafft! %d Punkte.",
    "Platz %d in der Bestenliste!",
};

constexpr Sentences english{
    "New game. Press Space to start.",
    "The game has started.",
    "Playing on.",
    {"", "%d vertical lines", "%d horizontal lines", "%d diagonal lines", "catch %d tiles",
     "%d more points", "%d horizontal lines of five", "%d diagonal lines of five"},
    "Level %d, goal: ",
    "Level %d done!",
    "A line of %d tiles: %d points.",
    "%d lines: %d points.",
    "Too many tiles dropped! %d lives left. Press Space to try again.",
    "Paused.",
    "Game over. %d points.",
    "All levels done! %d points.",
    "Number %d in the best games!",
};

const Sentences& sentencesFor(Language language) {
    return language == Language::English ? english : german;
}

// The formats are the tables' own, each with as many %d as it is given.
template <typename... Values> std::string formatted(const char* format, Values... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

void add(std::string& said, const std::string& sentence) {
    if (!said.empty()) said += ' ';
    said += sentence;
}

std::string levelAndGoal(const Game& game, const Sentences& sentences) {
    const std::uint8_t level = game.player.level;
    if (level < 1 || level > lastLevel) return {};
    return formatted(sentences.level, static_cast<int>(level)) +
           formatted(sentences.goals[level], static_cast<int>(game.player.goals[level])) + ".";
}

} // namespace

std::string stepAnnouncement(const StepStart& start, const Game& game, Language language) {
    const Sentences& sentences = sentencesFor(language);
    std::string said;
    int lines = 0;
    int length = 0;
    for (const Event& event : game.events) {
        if (event.kind == EventKind::LineRemoved) {
            ++lines;
            length = event.length;
        }
    }
    const int points = static_cast<int>(game.player.score - start.score);
    if (lines == 1) add(said, formatted(sentences.oneLine, length, points));
    if (lines > 1) add(said, formatted(sentences.lines, lines, points));
    for (const Event& event : game.events) {
        if (event.kind != EventKind::LevelCompleted) continue;
        add(said, formatted(sentences.levelDone, static_cast<int>(event.level)));
        if (game.state == GameState::Running) add(said, levelAndGoal(game, sentences));
    }
    const GameState now = game.state;
    if (now == start.state) return said;
    switch (now) {
    case GameState::Running:
        if (start.state == GameState::Ready) {
            add(said, sentences.started);
            add(said, levelAndGoal(game, sentences));
        } else if (start.state != GameState::LevelComplete) {
            add(said, sentences.playingOn);
        }
        break;
    case GameState::LifeLost:
        add(said, formatted(sentences.lifeLost, static_cast<int>(game.player.lives)));
        break;
    case GameState::Paused: add(said, sentences.paused); break;
    case GameState::GameOver:
        add(said, formatted(game.player.level > lastLevel ? sentences.allDone : sentences.gameOver,
                            static_cast<int>(game.player.score)));
        break;
    case GameState::Ready:
    case GameState::LevelComplete: break;
    }
    return said;
}

std::string readyAnnouncement(Language language) {
    return sentencesFor(language).ready;
}

std::string placeAnnouncement(int place, Language language) {
    return formatted(sentencesFor(language).place, place);
}

} // namespace plonta
