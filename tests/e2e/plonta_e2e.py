#!/usr/bin/env python3
"""The real plonta program in a real X server: keys through xdotool, pixels from screenshots.

Usage: plonta_e2e.py PLONTA ARTIFACT_DIR CASE

Each case starts its own Xvfb on a free display (and openbox where a window manager is
needed), runs the program, and reads the screen back at the playfield's coordinates.
Screenshots of a failed case are kept in ARTIFACT_DIR.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from xvfb import start_xvfb  # noqa: E402

SCREEN = (640, 720)
LANE_STEP = 60
TICK = 0.25


class Failure(Exception):
    pass


class Image:
    """A screenshot as RGB bytes, read from a binary PPM."""

    def __init__(self, data):
        fields = []
        pos = 0
        while len(fields) < 4:
            while data[pos : pos + 1].isspace():
                pos += 1
            if data[pos : pos + 1] == b"#":
                pos = data.index(b"\n", pos)
                continue
            end = pos
            while not data[end : end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise Failure("unexpected screenshot format %r" % fields)
        self.width = int(fields[1])
        self.height = int(fields[2])
        self.pixels = data[pos + 1 :]
        self.raw = data

    def at(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise Failure("(%d, %d) lies off the screen" % (x, y))
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i : i + 3])


def is_red(p):
    return p[0] >= 150 and p[1] <= 60 and p[2] <= 60


def is_ink(p):
    """Anti-aliased red text."""
    return p[0] >= 90 and p[1] <= 80 and p[2] <= 80


def is_white(p):
    return min(p) >= 240


def is_black(p):
    return max(p) <= 20


class Session:
    """One X server, optionally a window manager, and one run of the program."""

    def __init__(self, plonta, artifacts, name, wm=False):
        self.plonta = plonta
        self.artifacts = artifacts
        self.name = name
        self.wm = wm
        self.procs = []
        self.shots = []
        self.program = None
        self.window = None
        self.origin = (100, 150)
        self.tmp = tempfile.mkdtemp(prefix="plonta-e2e-")
        self.env = dict(os.environ)
        self.env.pop("SDL_VIDEODRIVER", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env["XDG_RUNTIME_DIR"] = self.tmp

    # -- the X server and its tools --------------------------------------------------------

    def start_x(self):
        try:
            self.procs.append(start_xvfb(self.env, "%dx%dx24" % SCREEN))
        except RuntimeError as e:
            raise Failure(str(e))
        if self.wm:
            config = os.path.join(self.tmp, "rc.xml")
            with open("/etc/xdg/openbox/rc.xml") as f:
                rc = f.read()
            # The iconify animation moves the frame about while the tests read positions.
            rc = rc.replace("<animateIconify>yes</animateIconify>",
                            "<animateIconify>no</animateIconify>")
            with open(config, "w") as f:
                f.write(rc)
            wm = subprocess.Popen(["openbox", "--config-file", config],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                  env=self.env)
            self.procs.append(wm)
            self.wait_for(lambda: "_NET_SUPPORTING_WM_CHECK" in self.tool(
                ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False),
                10, "openbox to manage the screen")
            # Openbox announces itself a moment before it handles map requests.
            time.sleep(0.5)

    def tool(self, args, check=True, timeout=20):
        for attempt in range(3):
            try:
                done = subprocess.run(args, env=self.env, capture_output=True,
                                      timeout=timeout)
            except subprocess.TimeoutExpired:
                continue
            if done.returncode == 0 or not check:
                return done.stdout.decode(errors="replace")
            time.sleep(0.2)
        raise Failure("%s failed" % " ".join(args))

    def wait_for(self, test, seconds, what):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            value = test()
            if value:
                return value
            time.sleep(0.05)
        raise Failure("timed out waiting for " + what)

    def shot(self, label=""):
        for attempt in range(3):
            done = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                                  env=self.env, capture_output=True, timeout=20)
            if done.returncode == 0 and done.stdout.startswith(b"P6"):
                image = Image(done.stdout)
                self.shots.append((label, image))
                del self.shots[:-12]
                return image
            time.sleep(0.2)
        raise Failure("no screenshot")

    # -- the program --------------------------------------------------------------------

    def start_program(self, extra_env=None):
        env = dict(self.env)
        env.update(extra_env or {})
        self.program = subprocess.Popen([self.plonta], env=env, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE)
        self.procs.append(self.program)

        def find():
            if self.program.poll() is not None:
                raise Failure("plonta ended early with %d: %s" % (
                    self.program.returncode, self.program.stderr.read().decode()))
            out = self.tool(["xdotool", "search", "--name", "^Plonta-Test$"], check=False)
            ids = out.split()
            return ids[-1] if ids else None

        self.window = self.wait_for(find, 20, "the Plonta-Test window")
        started = time.monotonic()

        def shown():
            if self.first_frame_shown():
                return True
            # A map request that reached a window manager still starting up can get lost.
            if time.monotonic() - started > 3 and "IsUnMapped" in self.locate():
                self.tool(["xdotool", "windowmap", self.window], check=False)
                time.sleep(0.5)
            return False

        self.wait_for(shown, 20, "the first frame")
        self.focus()

    def locate(self):
        info = self.tool(["xwininfo", "-id", self.window])
        x = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", info).group(1))
        y = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", info).group(1))
        self.origin = (x, y)
        return info

    def position(self):
        self.locate()
        return self.origin

    def first_frame_shown(self):
        self.locate()
        image = self.shot("waiting for the first frame")
        return is_red(self.px(image, 35, 400)) and is_red(self.px(image, 200, 450))

    def focus(self):
        x, y = self.origin
        self.tool(["xdotool", "mousemove", str(x + 200), str(y + 250)])
        if self.wm:
            self.tool(["xdotool", "windowactivate", "--sync", self.window], check=False)
        else:
            self.tool(["xdotool", "windowfocus", self.window], check=False)
        time.sleep(0.1)

    def key(self, *names):
        for name in names:
            self.tool(["xdotool", "key", "--delay", "40", name])
        time.sleep(0.1)

    def px(self, image, x, y):
        """A pixel of the client area."""
        return image.at(self.origin[0] + x, self.origin[1] + y)

    def finish(self, timeout=15):
        try:
            return self.program.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("plonta did not end")

    def keep_shots(self):
        os.makedirs(self.artifacts, exist_ok=True)
        for i, (label, image) in enumerate(self.shots):
            path = os.path.join(self.artifacts, "%s-%02d.ppm" % (self.name, i))
            with open(path, "wb") as f:
                f.write(image.raw)
            print("kept %s (%s)" % (path, label))

    def close(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
                try:
                    proc.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)


# -- reading the playfield ----------------------------------------------------------------


def paddle_lane(s, image):
    """The lane whose paddle bar (no carried tiles) is white."""
    lanes = [lane for lane in range(5) if is_white(s.px(image, 75 + LANE_STEP * lane, 270))]
    return lanes[0] if len(lanes) == 1 else None


def paddle_left(s, image):
    for x in range(0, 400):
        if is_white(s.px(image, x, 270)):
            return x
    return None


def conveyor_tiles(s, image):
    """(lane, cell) of every tile drawn on the conveyor, found down each lane's middle."""
    tiles = []
    for lane in range(5):
        x = 80 + LANE_STEP * lane
        y = 54
        while y < 218:
            # A tile is a solid band 50 wide; message text over the conveyor is not.
            if not is_black(s.px(image, x, y)) and y + 8 < 220 and all(
                    not is_black(s.px(image, x + dx, y + 7)) for dx in range(-18, 19, 3)):
                cell = (y - 55 + 7) // 15
                tiles.append((lane, cell))
                y = 55 + 15 * (cell + 1)
            else:
                y += 1
    return tiles


def message_ink(s, image, y_top=116, y_bottom=138):
    count = 0
    for y in range(y_top, y_bottom):
        for x in range(120, 281):
            if is_ink(s.px(image, x, y)):
                count += 1
    return count


def wait_for_tile(s, seconds=8, max_cell=None):
    def found():
        tiles = conveyor_tiles(s, s.shot("waiting for a tile"))
        if max_cell is not None:
            tiles = [t for t in tiles if t[1] <= max_cell]
        return tiles
    return s.wait_for(found, seconds, "a tile on the conveyor")


def expect(condition, message):
    if not condition:
        raise Failure(message)


# -- the cases ----------------------------------------------------------------------------


def case_first_frame(s):
    s.start_x()
    s.start_program()
    image = s.shot("first frame")
    expect(s.origin == (100, 150), "window client at %r, not (100, 150)" % (s.origin,))
    for x, y in [(35, 345), (35, 440), (355, 345), (355, 440), (60, 450), (200, 450),
                 (330, 450)]:
        expect(is_red(s.px(image, x, y)), "bin wall or floor not red at (%d, %d): %r" % (
            x, y, s.px(image, x, y)))
    expect(is_black(s.px(image, 200, 400)), "inside of the bin not black")
    expect(paddle_lane(s, image) == 2, "paddle not in lane 2")
    expect(paddle_left(s, image) is not None and 158 <= paddle_left(s, image) <= 164,
           "paddle's left end at %r, not about 160" % paddle_left(s, image))
    expect(message_ink(s, image) >= 30, "no 'Start mit Leertaste.' ink around (200, 120)")
    expect(message_ink(s, image, 76, 98) == 0, "ink on the empty message line at y 80")
    expect(not conveyor_tiles(s, image), "tiles on the conveyor before the start")
    s.key("Escape")
    expect(s.finish() == 27, "Escape did not end with 27")


def case_play(s):
    s.start_x()
    s.start_program()
    s.key("space")
    image = s.shot("after Space")
    expect(message_ink(s, image) == 0, "start message still shown while running")
    left_before = paddle_left(s, image)
    s.key("Right", "Right")
    image = s.shot("after Right, Right")
    expect(paddle_lane(s, image) == 4, "Right twice did not reach lane 4")
    expect(paddle_left(s, image) - left_before == 2 * LANE_STEP,
           "paddle moved %d px, not 120" % (paddle_left(s, image) - left_before))
    # Held down, the key repeats until the paddle stands at the far end.
    s.tool(["xdotool", "keydown", "Left"])
    time.sleep(1.6)
    s.tool(["xdotool", "keyup", "Left"])
    time.sleep(0.1)
    image = s.shot("after holding Left")
    expect(paddle_lane(s, image) == 0, "holding Left did not reach lane 0")
    s.tool(["xdotool", "keydown", "Right"])
    time.sleep(1.6)
    s.tool(["xdotool", "keyup", "Right"])
    time.sleep(0.1)
    expect(paddle_lane(s, s.shot("after holding Right")) == 4,
           "holding Right did not reach lane 4")
    tiles = wait_for_tile(s)
    expect(all(lane <= 3 for lane, _ in tiles), "a tile in lane 4: %r" % tiles)
    s.key("Escape")
    expect(s.finish() == 27, "Escape did not end with 27")


def case_pause(s):
    s.start_x()
    s.start_program()
    s.key("space")
    wait_for_tile(s, max_cell=5)
    s.key("KP_0")
    before = conveyor_tiles(s, s.shots[-1][1])
    shown = hidden = 0
    start = time.monotonic()
    while time.monotonic() - start < 2.0:
        image = s.shot("paused")
        ink = message_ink(s, image)
        if time.monotonic() - start > 0.4:
            expect(not conveyor_tiles(s, image), "conveyor tiles drawn while paused")
            shown += ink >= 20
            hidden += ink == 0
    expect(shown and hidden, "'P A U S E' did not blink (%d shown, %d hidden)" % (
        shown, hidden))
    s.key("KP_0")
    after = wait_for_tile(s, 3)
    lane, cell = before[0]
    moved = [c - cell for l, c in after if l == lane]
    expect(moved and 0 <= min(moved) <= 3,
           "play did not resume where it stood: %r before, %r after" % (before, after))
    s.key("Escape")
    expect(s.finish() == 27, "Escape did not end with 27")


def case_minimise(s):
    s.wm = True
    s.start_x()
    s.start_program()
    s.key("space")
    before = wait_for_tile(s, max_cell=4)
    s.tool(["xdotool", "windowminimize", "--sync", s.window], check=False)
    s.wait_for(lambda: "IsUnMapped" in s.tool(["xwininfo", "-id", s.window]), 10,
               "the window to be minimised")
    time.sleep(2.5)
    s.tool(["xdotool", "windowactivate", "--sync", s.window], check=False)
    s.wait_for(lambda: "IsViewable" in s.locate(), 10, "the window to come back")
    s.wait_for(lambda: s.origin == s.position(), 5, "the window to stand still")
    time.sleep(0.15)
    after = conveyor_tiles(s, s.shot("restored"))
    lane, cell = before[0]
    moved = [c - cell for l, c in after if l == lane]
    # Ten ticks went by while minimised; a ticking game would have moved the tile ten cells.
    expect(moved and 0 <= min(moved) <= 3,
           "conveyor advanced while minimised: %r before, %r after" % (before, after))
    later = s.wait_for(lambda: [c for l, c in conveyor_tiles(s, s.shot("ticking again"))
                                if l == lane and c > min(moved) + cell], 3,
                       "ticks to resume after restoring")
    expect(later, "ticks did not resume")
    s.focus()
    s.key("Escape")
    expect(s.finish() == 27, "Escape did not end with 27")


def case_escape(s):
    s.start_x()
    s.start_program()
    s.key("Right")
    s.key("Escape")
    expect(s.finish() == 27, "Escape ended with %r, not 27" % s.program.returncode)


def case_close(s):
    s.wm = True
    s.start_x()
    s.start_program()
    info = s.locate()
    expect("400" in re.search(r"Width:\s+(\d+)", info).group(0), "client width not 400")
    expect("500" in re.search(r"Height:\s+(\d+)", info).group(0), "client height not 500")
    actions = s.tool(["xprop", "-id", s.window, "_NET_WM_ALLOWED_ACTIONS"])
    expect("_NET_WM_ACTION_MINIMIZE" in actions, "window cannot be minimised: " + actions)
    expect("MAXIMIZE" not in actions, "window can be maximised: " + actions)
    expect("_NET_WM_ACTION_RESIZE" not in actions, "window can be resized: " + actions)
    s.key("space")
    # The window manager's close, as the title bar's button does it.
    s.tool(["xdotool", "key", "alt+F4"])
    expect(s.finish() == 0, "closing ended with %r, not 0" % s.program.returncode)


CASES = {
    "first_frame": case_first_frame,
    "play": case_play,
    "pause": case_pause,
    "minimise": case_minimise,
    "escape": case_escape,
    "close": case_close,
}


def main():
    if len(sys.argv) != 4 or sys.argv[3] not in CASES:
        sys.stderr.write("usage: plonta_e2e.py PLONTA ARTIFACT_DIR {%s}\n" % "|".join(CASES))
        return 2
    plonta, artifacts, name = sys.argv[1:]
    session = Session(os.path.abspath(plonta), artifacts, name)
    try:
        CASES[name](session)
    except Exception as error:  # every failure keeps its screenshots
        print("FAIL %s: %s: %s (window at %r)" % (name, type(error).__name__, error,
                                                 session.origin))
        if session.program is not None and session.program.poll() is not None:
            print("plonta stderr:", session.program.stderr.read().decode(errors="replace"))
        session.keep_shots()
        if session.window:
            for args in (["xwininfo", "-id", session.window],
                         ["xprop", "-id", session.window, "WM_STATE", "_NET_WM_STATE"]):
                print(session.tool(args, check=False))
        return 1
    finally:
        session.close()
    print("ok %s" % name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
