// The page's events, reported to the front end, and the page's services.
#include "shell/web/web_shell.h"

#include <emscripten/emscripten.h>
// em_js.h wants emscripten.h before it.
#include <emscripten/em_js.h>
#include <emscripten/html5.h>

#include <cmath>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "shell/web/web_keys.h"
#include "shell/web/web_pads.h"

namespace plonta {

namespace {

// page.js holds what the page shows beside the frame. A message is one of its texts, by name, in
// the player's language, with detail in it; "text" is detail alone, the front end's own words.
EM_JS(void, pageSay, (const char* name, const char* detail),
      { plontaPage.say(UTF8ToString(name), UTF8ToString(detail)); });
EM_JS(int, pageBrowserSpeaksGerman, (), { return plontaPage.browserLanguage() == 'de' ? 1 : 0; });
EM_JS(void, pageSettingsShown, (int marks, const char* language),
      { plontaPage.settingsShown(marks != 0, UTF8ToString(language)); });
EM_JS(void, pageAnnounce, (const char* text), { plontaPage.announce(UTF8ToString(text)); });
EM_JS(void, pageToggleFullscreen, (), { plontaPage.toggleFullscreen(); });
EM_JS(void, pageSetTitle, (const char* title), { document.title = UTF8ToString(title); });
// The timer's id stays in the page: it need not fit in wasm's 32 bits (a test's fake clock
// hands out ids above them).
EM_JS(void, pageStartTimer, (std::uint32_t periodMs, void* shell), {
    clearInterval(plontaPage.timer);
    plontaPage.timer = setInterval(
        function() { _plonta_interval(shell); }, periodMs);
});
EM_JS(void, pageStopTimer, (), {
    clearInterval(plontaPage.timer);
    plontaPage.timer = undefined;
});
EM_JS(void, pageKeepAwake, (int awake), { plontaPage.keepAwake(awake != 0); });

// Where the recording being made lives, for the launch: only in memory.
constexpr std::string_view recordingFile = "recording.sim";

// The page's files, all in memory: the one the player opened, and the recording being made.
class PageFiles final : public LaunchFiles {
  public:
    explicit PageFiles(std::string& recording) : recording_(recording) {}
    void offer(std::string name, std::string bytes) {
        name_ = std::move(name);
        bytes_ = std::move(bytes);
    }
    bool read(const std::string& path, std::size_t limit, std::string& text,
              std::string& error) override {
        if (!name_ || path != *name_) {
            error = "No such file or directory";
            return false;
        }
        text = bytes_.substr(0, limit + 1);
        return true;
    }
    std::unique_ptr<RecordingSink> openForRecording(const std::string&, std::string&) override {
        return std::make_unique<MemorySink>(recording_);
    }

  private:
    std::string& recording_;
    std::optional<std::string> name_;
    std::string bytes_;
};

WebShell& shellOf(void* userData) {
    return *static_cast<WebShell*>(userData);
}

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* event, void* userData) {
    const bool modified = event->ctrlKey || event->altKey || event->metaKey;
    return shellOf(userData).keyDown(event->code, event->key, event->repeat, modified);
}

EM_BOOL onClick(int, const EmscriptenMouseEvent*, void* userData) {
    shellOf(userData).clicked();
    return false;
}

EM_BOOL onVisibilityChange(int, const EmscriptenVisibilityChangeEvent* event, void* userData) {
    shellOf(userData).visibilityChanged(event->hidden);
    return false;
}

EM_BOOL onResize(int, const EmscriptenUiEvent*, void* userData) {
    shellOf(userData).viewportChanged();
    return false;
}

bool pageHidden() {
    EmscriptenVisibilityChangeEvent status{};
    return emscripten_get_visibility_status(&status) == EMSCRIPTEN_RESULT_SUCCESS && status.hidden;
}

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void plonta_interval(void* userData) {
    shellOf(userData).intervalFired();
}

void WebShell::start() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, onKeyDown);
    emscripten_set_click_callback("#stage", this, false, onClick);
    emscripten_set_visibilitychange_callback(this, false, onVisibilityChange);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, false, onResize);
    playAfresh();
}

void WebShell::playAfresh() {
    PageFiles files(recording_);
    const std::vector<std::string_view> arguments{"--record", recordingFile};
    Launch launch = prepareLaunch(arguments, webProgramName, OptionSet{}, files);
    pageSay("text", "");
    play(launch);
}

void WebShell::openRecording(const std::string& name, std::string bytes) {
    PageFiles files(recording_);
    files.offer(name, std::move(bytes));
    const std::vector<std::string_view> arguments{"--replay", name, "--record", recordingFile};
    Launch launch = prepareLaunch(arguments, webProgramName, OptionSet{}, files);
    if (!launch.play) {
        tell(Trouble::Launch, launch.error);
        return;
    }
    pageSay("playingBack", name.c_str());
    play(launch);
}

void WebShell::play(Launch& launch) {
    if (frontEnd_ && frontEnd_->running()) frontEnd_->shutDown();
    auto next = std::make_unique<FrontEnd>(*this, display_);
    if (frontEnd_) next->carryOverFrom(*frontEnd_);
    frontEnd_ = std::move(next);
    frontEnd_->nameProgram(std::string(webProgramName));
    handRecordingsTo(launch, *frontEnd_, webProgramName);
    frontEnd_->minimised(pageHidden());
    reportViewport();
    frontEnd_->startUp();
    touch_.reset();
    keepAwakeWhilePlaying();
}

void WebShell::reportViewport() {
    // As the display measures it: the scale it picks follows the pixel ratio too.
    const FitSize viewport = webViewport();
    frontEnd_->clientAreaChanged(viewport.width, viewport.height);
}

void WebShell::ended() {
    frontEnd_->shutDown();
    keepAwakeWhilePlaying();
    pageSay("ended", "");
}

bool WebShell::keyDown(std::string_view code, std::string_view key, bool repeat, bool modified) {
    // The browser's own shortcuts stay the browser's.
    if (modified || !frontEnd_) return false;
    const std::optional<KeyAction> action = actionForCode(code, key);
    if (!frontEnd_->running()) {
        // A held Escape repeats: only a fresh press of another key starts the next game.
        if (!repeat && action != quitKey) playAfresh();
        return action.has_value();
    }
    if (!action) return false;
    frontEnd_->key(*action);
    if (!frontEnd_->running()) ended();
    keepAwakeWhilePlaying();
    return true;
}

void WebShell::clicked() {
    if (frontEnd_ && !frontEnd_->running()) playAfresh();
}

void WebShell::pointer(PointerPhase phase, int id, double x, double y) {
    // After Escape the click that follows starts the next game.
    if (!frontEnd_ || !frontEnd_->running()) return;
    touch_.pointer(*frontEnd_, phase, id, x, y);
    keepAwakeWhilePlaying();
}

void WebShell::pausePressed() {
    if (!frontEnd_) return;
    // After Escape, as any key: the next game.
    if (!frontEnd_->running()) {
        playAfresh();
        return;
    }
    frontEnd_->key(playKey(Command::TogglePause));
    keepAwakeWhilePlaying();
}

void WebShell::settingPressed(KeyAction action) {
    // A front end that Escape stopped still keeps the setting and hands it to the next game.
    if (frontEnd_) frontEnd_->key(action);
}

void WebShell::visibilityChanged(bool hidden) {
    if (!frontEnd_) return;
    // A phone's call or another app hides the page: the game comes back paused, as by P and
    // in the recording, before the ticks stop. The desktop's minimise only stops them.
    if (hidden && frontEnd_->running()) frontEnd_->pauseLivePlay();
    frontEnd_->minimised(hidden);
    keepAwakeWhilePlaying();
}

void WebShell::keepAwakeWhilePlaying() {
    const bool awake = frontEnd_ && frontEnd_->conveyorRuns();
    if (awake == awake_) return;
    awake_ = awake;
    pageKeepAwake(awake ? 1 : 0);
}

void WebShell::viewportChanged() {
    if (frontEnd_) reportViewport();
}

void WebShell::intervalFired() {
    if (!frontEnd_) return;
    frontEnd_->timerTick();
    keepAwakeWhilePlaying();
}

bool WebShell::padRead(int slot, bool connected, std::uint32_t buttons, double stickX) {
    if (!frontEnd_) return false;
    const auto nowMs = static_cast<std::uint32_t>(std::fmod(emscripten_get_now(), 4294967296.0));
    // After Escape the game is over: a press starts the next one, as a key does.
    const bool over = !frontEnd_->running();
    if (frontEnd_->pad(slot, webPadState(connected, buttons, stickX), nowMs) && over) playAfresh();
    keepAwakeWhilePlaying();
    return frontEnd_->anyPadConnected();
}

std::string WebShell::bestGames() const {
    std::string text;
    if (!frontEnd_) return text;
    for (const BestGame& game : frontEnd_->bestGames())
        text += game.name + "\t" + std::to_string(game.score) + "\t" + std::to_string(game.level) +
                "\t" + textDate(game.playedAt) + "\n";
    return text;
}

void WebShell::pageGoing() {
    if (frontEnd_ && frontEnd_->running()) frontEnd_->sessionEnding();
}

std::uint32_t WebShell::tickCount() {
    return static_cast<std::uint32_t>(std::fmod(emscripten_date_now(), 4294967296.0));
}

void WebShell::startTimer(std::uint32_t periodMs) {
    pageStartTimer(periodMs, this);
}

void WebShell::stopTimer() {
    pageStopTimer();
}

void WebShell::toggleFullscreen() {
    pageToggleFullscreen();
}

void WebShell::setTitle(const std::string& title) {
    pageSetTitle(title.c_str());
}

void WebShell::tell(Trouble trouble, const std::string& text) {
    switch (trouble) {
    case Trouble::Launch: pageSay("text", text.c_str()); break;
    case Trouble::NoPicture: pageSay("noPicture", text.c_str()); break;
    case Trouble::RecordingStopped:
    case Trouble::DataFolder: pageSay("text", text.c_str()); break;
    case Trouble::NoSound: break;
    }
}

Language WebShell::preferredLanguage() {
    return pageBrowserSpeaksGerman() != 0 ? Language::German : Language::English;
}

void WebShell::settingsShown(bool marks, Language language) {
    pageSettingsShown(marks ? 1 : 0, std::string(languageCode(language)).c_str());
}

void WebShell::announce(const std::string& text) {
    pageAnnounce(text.c_str());
}

} // namespace plonta
