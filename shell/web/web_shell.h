// The browser page's host: the page's events reported to the front end; its clock, timer,
// message line, fullscreen and screen lock served; every game recorded in memory for the page
// to save.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "audio/web/web_audio.h"
#include "frontend/front_end.h"
#include "frontend/launch.h"
#include "frontend/touch_steering.h"
#include "present/web/web_display.h"
#include "shell/web/web_data_folder.h"

namespace plonta {

// What the page's recordings say made them.
inline constexpr std::string_view webProgramName = "plonta-web";

class WebShell final : public Host {
  public:
    // Listens to the page and starts the first game.
    void start();
    // A recording the player opened, by its file name: played back, then on live from its
    // end. One that is refused is told as the desktop programs tell it; the game goes on.
    void openRecording(const std::string& name, std::string bytes);
    // The game being played, or the last one, as its recording file holds it.
    const std::string& recording() const { return recording_; }
    // The best games, a row a line: the recording's name, score, level and date, by tabs.
    std::string bestGames() const;
    // The page is going away (closed, reloaded, left): the game is left as when the session
    // ends.
    void pageGoing();

    // The page's events and its timer. A key returns whether it was the game's, so the page
    // does nothing else with it (no scrolling).
    bool keyDown(std::string_view code, std::string_view key, bool repeat, bool modified);
    void clicked();
    // A pointer (a finger, the mouse) on the frame, at a point in the frame's own pixels at
    // scale 1; it gives the keys' commands, so the recording is what keys would make.
    void pointer(PointerPhase phase, int id, double x, double y);
    // The page's pause control: P.
    void pausePressed();
    // The page's controls for the tile marks and the language: C and L. After Escape they
    // change the setting for the next game without starting it.
    void marksPressed() { settingPressed(marksKey); }
    void languagePressed() { settingPressed(languageKey); }
    void visibilityChanged(bool hidden);
    void viewportChanged();
    void intervalFired();
    // The page read the pad in slot: its pressed buttons as bits in the standard mapping's
    // order, and the left stick across. Returns whether any pad is still connected, so the
    // page stops reading when none is.
    bool padRead(int slot, bool connected, std::uint32_t buttons, double stickX);

    // Host
    // The date in milliseconds: the page has no boot time, and the date differs per game.
    std::uint32_t tickCount() override;
    void startTimer(std::uint32_t periodMs) override;
    void stopTimer() override;
    // The frame's container fills the screen, and back.
    void toggleFullscreen() override;
    // The tab's title, as the desktop programs' window title.
    void setTitle(const std::string& title) override;
    // On the page's message line.
    void tell(Trouble trouble, const std::string& text) override;
    // The browser's first language that the game has, else English: a page anyone may open
    // speaks the language most visitors read, where the desktop programs stay German.
    Language preferredLanguage() override;
    // The page's controls, its own texts and its lang follow.
    void settingsShown(bool marks, Language language) override;
    // Into the page's live region, for a screen reader.
    void announce(const std::string& text) override;
    AudioDevice* audioDevice() override { return &audio_; }
    DataFolder* dataFolder() override { return &folder_; }

  private:
    // A fresh front end on the launch's recordings, told the page's state, started.
    void play(Launch& launch);
    void playAfresh();
    void settingPressed(KeyAction action);
    void reportViewport();
    // After Escape: the game is over for good, the page says how to play again.
    void ended();
    // The screen kept on while the conveyor runs; the page told when that changes.
    void keepAwakeWhilePlaying();

    WebDisplay display_;
    // Before the front end, whose sound closes it.
    WebAudio audio_;
    WebDataFolder folder_;
    std::unique_ptr<FrontEnd> frontEnd_;
    std::string recording_;
    TouchSteering touch_;
    bool awake_ = false;
};

} // namespace plonta
