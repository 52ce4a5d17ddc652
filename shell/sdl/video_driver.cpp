// SDL's video driver, chosen so the window is seen.
#include "shell/sdl/video_driver.h"

#include <SDL.h>
#include <cstdlib>

namespace plonta {

namespace {

bool isSet(const char* variable) {
    return variable != nullptr && *variable != '\0';
}

} // namespace

bool videoDriverShowsWindows(std::string_view driver) {
    return driver != "offscreen" && driver != "dummy" && driver != "evdev";
}

bool waylandReachable(const char* waylandDisplay, const char* waylandSocket,
                      const char* runtimeDir) {
    // An absolute WAYLAND_DISPLAY or an inherited socket need no runtime directory.
    return isSet(waylandSocket) || (isSet(waylandDisplay) && waylandDisplay[0] == '/') ||
           isSet(runtimeDir);
}

std::string windowDriverList() {
    const bool wayland =
        waylandReachable(std::getenv("WAYLAND_DISPLAY"), std::getenv("WAYLAND_SOCKET"),
                         std::getenv("XDG_RUNTIME_DIR"));
    std::string list;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string_view driver = SDL_GetVideoDriver(i);
        if (!videoDriverShowsWindows(driver) || (driver == "wayland" && !wayland)) continue;
        if (!list.empty()) list += ',';
        list += driver;
    }
    return list;
}

std::string noDisplayReason(const char* x11Display, const char* waylandDisplay) {
    const bool x11 = isSet(x11Display);
    const bool wayland = isSet(waylandDisplay);
    std::string reason = "no display to open a window on (";
    if (!x11 && !wayland) return reason + "DISPLAY and WAYLAND_DISPLAY are not set)";
    reason += "cannot reach ";
    if (x11) reason += "DISPLAY=" + oneLine(x11Display);
    if (x11 && wayland) reason += " or ";
    if (wayland) reason += "WAYLAND_DISPLAY=" + oneLine(waylandDisplay);
    return reason + ")";
}

std::string oneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

bool startVideo(std::string& error) {
    // The window's surface in shared memory rather than a texture through OpenGL: a tenth of
    // the time and memory.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A small window game has no reason to switch a compositor off.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Unless the user asked for a driver, only one that can show the window will do.
    const bool driverChosen = isSet(std::getenv("SDL_VIDEODRIVER"));
    const std::string drivers = driverChosen ? std::string() : windowDriverList();
    if (!driverChosen) SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    if ((driverChosen || !drivers.empty()) && SDL_Init(SDL_INIT_VIDEO) == 0) return true;
    error = driverChosen ? "cannot start the video system: " + oneLine(SDL_GetError())
                         : noDisplayReason(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
    return false;
}

} // namespace plonta
