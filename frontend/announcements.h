// What a screen reader is told about the game, in the player's language: a sentence for each
// moment a player would notice on the screen, never one per tick.
#pragma once

#include <cstdint>
#include <string>

#include "draw/frame_texts.h"
#include "game/game.h"

namespace plonta {

// The game as it stood before a step.
struct StepStart {
    GameState state = GameState::Ready;
    std::int32_t score = 0;
};

// What the step from start to game (its events still in it) gave to tell; empty for nothing.
std::string stepAnnouncement(const StepStart& start, const Game& game, Language language);
// A fresh game waiting for its start.
std::string readyAnnouncement(Language language);
// The place a finished game took among the best games.
std::string placeAnnouncement(int place, Language language);

} // namespace plonta
