// plonta in the browser: the page's host, and the calls the page makes into it.
#include <emscripten/emscripten.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/web/web_shell.h"

namespace {

// Not on main's stack: main returns at once and the page's events go on calling the shell.
plonta::WebShell shell;
std::string bestGamesText;

} // namespace

extern "C" {

// The bytes of a file the player opened (by picker or by dropping it), and its name.
EMSCRIPTEN_KEEPALIVE void plonta_open_recording(const char* name, std::size_t nameSize,
                                                const char* bytes, std::size_t size) {
    shell.openRecording(std::string(name, nameSize), std::string(bytes, size));
}

// How much of a file the game reads: anything longer is refused as too large.
EMSCRIPTEN_KEEPALIVE std::size_t plonta_recording_limit() {
    return plonta::maxRecordingBytes + 1;
}

// The recording of the game being played, or of the last one, for the page to save.
EMSCRIPTEN_KEEPALIVE const char* plonta_recording_data() {
    return shell.recording().data();
}
EMSCRIPTEN_KEEPALIVE std::size_t plonta_recording_size() {
    return shell.recording().size();
}

// The best games, a row a line, for the page to list with their recordings: made by the first
// call, read by the second.
EMSCRIPTEN_KEEPALIVE std::size_t plonta_best_games_size() {
    bestGamesText = shell.bestGames();
    return bestGamesText.size();
}
EMSCRIPTEN_KEEPALIVE const char* plonta_best_games_data() {
    return bestGamesText.data();
}

// The page is going away: a game with a score is kept first.
EMSCRIPTEN_KEEPALIVE void plonta_page_going() {
    shell.pageGoing();
}

// A pointer on the frame: down (0), moved (1) or up (2), at a point given as fractions of the
// frame's width and height on the page.
EMSCRIPTEN_KEEPALIVE void plonta_pointer(int phase, int id, double across, double down) {
    shell.pointer(static_cast<plonta::PointerPhase>(phase), id, across * plonta::frameWidth,
                  down * plonta::frameHeight);
}

// The page's pause control.
EMSCRIPTEN_KEEPALIVE void plonta_pause_pressed() {
    shell.pausePressed();
}

// The page's controls for the tile marks and the language, as keys C and L.
EMSCRIPTEN_KEEPALIVE void plonta_marks_pressed() {
    shell.marksPressed();
}
EMSCRIPTEN_KEEPALIVE void plonta_language_pressed() {
    shell.languagePressed();
}

// How often the page reads its pads while one is connected.
EMSCRIPTEN_KEEPALIVE std::uint32_t plonta_pad_poll_ms() {
    return plonta::Gamepads::pollPeriodMs;
}

// One pad as the page read it; whether any is still connected.
EMSCRIPTEN_KEEPALIVE int plonta_pad(int slot, int connected, std::uint32_t buttons, double stickX) {
    return shell.padRead(slot, connected != 0, buttons, stickX) ? 1 : 0;
}

} // extern "C"

int main() {
    shell.start();
    return 0;
}
