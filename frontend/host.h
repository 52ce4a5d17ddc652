// What a host (the SDL program, the Windows program, the browser page) is to the front end: the
// window's fixed look, the actions its keys stand for, and the few services only it can give.
// A host reports what happened to its window to the FrontEnd and serves these calls.
#pragma once

#include <cstdint>
#include <string>

#include "audio/audio_device.h"
#include "draw/frame_texts.h"
#include "frontend/data_folder.h"
#include "game/command.h"

namespace plonta {

inline constexpr char windowTitle[] = "Plonta-Test";
// Where the window opens when the screen has room for it there.
inline constexpr int windowLeft = 100;
inline constexpr int windowTop = 150;

// What a key asks for: a game command, or something of the program's own.
struct KeyAction {
    enum class Kind : std::uint8_t {
        Play,
        Quit,
        ToggleFullscreen,
        NewGame,
        SkipReplay,
        ToggleMute,
        // The tile marks on and off; German and English texts in turn.
        ToggleMarks,
        ToggleLanguage,
        // The best games shown and hidden; on them Up and Down choose a row and Choose (Enter)
        // or the action replays it. Off them, Down is the action and Up and Choose do nothing.
        BestGames,
        Up,
        Down,
        Choose,
        // On the best games, with a score server named: the chosen game sent to it.
        SendGame
    };
    Kind kind = Kind::Play;
    Command command = Command::Action;

    bool operator==(const KeyAction&) const = default;
};

inline constexpr KeyAction playKey(Command command) {
    return KeyAction{KeyAction::Kind::Play, command};
}
inline constexpr KeyAction quitKey{KeyAction::Kind::Quit};
inline constexpr KeyAction fullscreenKey{KeyAction::Kind::ToggleFullscreen};
inline constexpr KeyAction newGameKey{KeyAction::Kind::NewGame};
inline constexpr KeyAction skipReplayKey{KeyAction::Kind::SkipReplay};
inline constexpr KeyAction muteKey{KeyAction::Kind::ToggleMute};
inline constexpr KeyAction marksKey{KeyAction::Kind::ToggleMarks};
inline constexpr KeyAction languageKey{KeyAction::Kind::ToggleLanguage};
inline constexpr KeyAction bestGamesKey{KeyAction::Kind::BestGames};
inline constexpr KeyAction upKey{KeyAction::Kind::Up};
inline constexpr KeyAction downKey{KeyAction::Kind::Down};
inline constexpr KeyAction chooseKey{KeyAction::Kind::Choose};
inline constexpr KeyAction sendGameKey{KeyAction::Kind::SendGame};

// What went wrong, for the host to tell the player its own way.
enum class Trouble : std::uint8_t {
    // Before the window: a bad option or file. The text is whole "plonta: ..." lines.
    Launch,
    // The display could not be set up: the game goes on without a picture. The text says
    // which step failed and why.
    NoPicture,
    // Writing the recording failed mid-game; the game goes on. The text is one line.
    RecordingStopped,
    // There is no sound device, or it failed: the game plays on silently. One line.
    NoSound,
    // The data folder cannot be made or written, or a file in it is left out of the best
    // games; the game goes on. One line.
    DataFolder,
};

class Host {
  public:
    virtual ~Host() = default;

    // A millisecond count that differs from one start to the next (time since boot), read
    // once as the game's seed.
    virtual std::uint32_t tickCount() = 0;
    // FrontEnd::timerTick every periodMs on the loop's thread, the first a whole period from
    // now, until stopped. Starting a running timer starts it afresh.
    virtual void startTimer(std::uint32_t periodMs) = 0;
    virtual void stopTimer() = 0;
    // Fullscreen and back, where the host has it.
    virtual void toggleFullscreen() {}
    // The window's title from now on, where the host has one: windowTitle, then what a
    // replay is doing.
    virtual void setTitle(const std::string& /*title*/) {}
    // The sound device, where the host has one; the front end opens it at start-up.
    virtual AudioDevice* audioDevice() { return nullptr; }
    // The per-user data folder for the best games and settings, where the host has one.
    virtual DataFolder* dataFolder() { return nullptr; }
    // The language for a player who never chose one: the host's own where it knows it.
    virtual Language preferredLanguage() { return Language::German; }
    // At start-up and whenever they change, the marks and language, for the host's own
    // controls and texts.
    virtual void settingsShown(bool /*marks*/, Language /*language*/) {}
    // A moment of the game a player would notice, as one UTF-8 sentence in the chosen language,
    // for a host that can hand it to a screen reader.
    virtual void announce(const std::string& /*text*/) {}
    // Callable from any thread: the loop, on its own thread, calls FrontEnd::woken soon after.
    virtual void wakeLoop() {}
    // Tells the player; the front end tells each trouble once.
    virtual void tell(Trouble trouble, const std::string& text) = 0;
};

} // namespace plonta
