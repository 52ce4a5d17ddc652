// Choosing SDL's video driver: only one that can show a window here, and a clear reason when
// none can.
#pragma once

#include <string>
#include <string_view>

namespace plonta {

// Without a reachable display SDL falls back on drivers that show nothing (offscreen, dummy and
// its evdev variant), and the game would run unseen with no way to quit it.
bool videoDriverShowsWindows(std::string_view driver);
// Whether the Wayland client library has anything to connect to; asked without, it complains
// on standard error.
bool waylandReachable(const char* waylandDisplay, const char* waylandSocket,
                      const char* runtimeDir);
// The drivers SDL may try, in its own order, when the user chose none by SDL_VIDEODRIVER:
// comma-separated, empty when none of them can show a window here.
std::string windowDriverList();
// Why no window can be opened, from the DISPLAY and WAYLAND_DISPLAY variables.
std::string noDisplayReason(const char* x11Display, const char* waylandDisplay);
// A message of SDL's on one line of ours.
std::string oneLine(std::string_view text);

// SDL's video system on a driver that shows windows. False, with the reason in error (one
// line, without "plonta: "), when there is none.
bool startVideo(std::string& error);

} // namespace plonta
