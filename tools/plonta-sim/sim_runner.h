// The driver's runner: the script language, plus frames drawn as the window shows them.
#pragma once

#include "audio/game_sounds.h"
#include "audio/sound_bank.h"
#include "draw/cairo/cairo_canvas.h"
#include "draw/frame.h"
#include "script/script_runner.h"

namespace plonta {

class SimRunner final : public ScriptRunner {
  public:
    // Shots with the tile marks or without, their texts in a language.
    explicit SimRunner(bool marks = false, Language language = Language::German);

  protected:
    // A fresh game starts a fresh blink; the drawing objects stay those made at start.
    void gameStarted() override;
    // Follows the window's frames: the pause blink flips on each one drawn while Paused.
    void framesShown(std::int32_t frames) override;
    // Writes the frame the window shows now as a PNG file. It draws no new frame: after a
    // pause toggle the window still shows the frame from before it, and the blink stays.
    bool shot(const std::string& path, std::int32_t scaleThousandths, std::string& error) override;
    // Each step's sounds at its tick, as the real program replaying the script plays them.
    void stepped(std::int32_t ticks) override;
    // Writes the game's sound from its seed to now as a WAV file.
    bool sound(const std::string& path, std::string& error) override;

  private:
    // The window's client area, as the real program draws it.
    CairoCanvas canvas_;
    // Its blink is the window's after its last frame.
    FrameDrawer drawer_;
    // The game as the window's last frame showed it.
    Game shown_;
    SoundBank sounds_;
    SoundTrack track_;
    // What the commands since the last tick did: a replay applies them with the next tick, and
    // that is when they sound.
    EventLog commandEvents_;
};

} // namespace plonta
