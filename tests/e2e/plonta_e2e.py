#!/usr/bin/env python3
"""The real plonta program in a real X server: keys through xdotool, pixels from screenshots.

Usage: plonta_e2e.py PLONTA ARTIFACT_DIR CASE [PLONTA_SIM]

Each case starts its own Xvfb on a free display (and openbox where a window manager is
needed), runs the program, and reads the screen back at the playfield's coordinates.
Screenshots of a failed case are kept in ARTIFACT_DIR. The recording cases replay what the
program recorded in PLONTA_SIM.
"""

import os
import re
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from e2e_support import (FROZEN_SECONDS, LANE_STEP, Failure, Image,  # noqa: E402
                         Session, check_standstill, conveyor_tiles, expect, is_black, is_red,
                         is_white, main, message_ink, paddle_lane)
from e2e_recordings import (catch_and_drop, check_recording, differing,  # noqa: E402
                            same_pixels, sim_replay, wait_for_frame, without_last_tick)


class SdlSession(Session):
    """plonta as an X client, found by its title; openbox only for the cases that need one."""

    SCREEN = "640x720x24"
    ARGUMENTS = (("plonta", "the plonta program"),)
    OPTIONAL = (("sim", "plonta-sim, which the recording cases replay recordings in"),)
    KEY_OPTIONS = ("--delay", "40")

    def __init__(self, args):
        super().__init__(args)
        self.plonta = os.path.abspath(args.plonta)
        self.sim = args.sim
        self.wm = False
        self.window = None
        self.env.pop("SDL_VIDEODRIVER", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env["XDG_RUNTIME_DIR"] = self.tmp
        # Where the frame lies in the client area and at which scale: shot() reads it back at
        # scale 1, one pixel from the middle of each block.
        self.frame = (0, 0, 1)

    def start_x(self):
        super().start_x()
        if not self.wm:
            return
        config = os.path.join(self.tmp, "rc.xml")
        with open("/etc/xdg/openbox/rc.xml") as f:
            rc = f.read()
        # The iconify animation moves the frame about while the tests read positions.
        rc = rc.replace("<animateIconify>yes</animateIconify>",
                        "<animateIconify>no</animateIconify>")
        with open(config, "w") as f:
            f.write(rc)
        self.spawn(["openbox", "--config-file", config], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
        self.wait_for(lambda: "_NET_SUPPORTING_WM_CHECK" in self.tool(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False),
            10, "openbox to manage the screen")
        # Openbox announces itself a moment before it handles map requests.
        time.sleep(0.5)

    def start_program(self, extra_env=None, args=()):
        env = dict(self.env)
        env.update(extra_env or {})
        self.program = self.spawn([self.plonta] + list(args), env=env, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE)

        def find():
            if self.program.poll() is not None:
                raise Failure("plonta ended early with %d: %s" % (
                    self.program.returncode, self.program.stderr.read().decode()))
            out = self.tool(["xdotool", "search", "--name", "^Plonta-Test$"], check=False)
            ids = out.split()
            return ids[-1] if ids else None

        # A cold start on a loaded machine can take a while: the waits only bound a hang.
        self.window = self.wait_for(find, 30, "the Plonta-Test window")
        started = time.monotonic()

        def shown():
            if self.first_frame_shown():
                return True
            # A map request that reached a window manager still starting up can get lost.
            if time.monotonic() - started > 3 and "IsUnMapped" in self.locate():
                self.tool(["xdotool", "windowmap", self.window], check=False)
                time.sleep(0.5)
            return False

        self.wait_for(shown, 30, "the first frame")
        self.focus()

    def locate(self):
        info = self.tool(["xwininfo", "-id", self.window])
        self.client = tuple(int(re.search(pattern + r":\s+(-?\d+)", info).group(1)) for pattern in
                            ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))
        return info

    def position(self):
        self.locate()
        return self.client[:2]

    def shot(self, label="", whole=False):
        image = super().shot(label, whole)
        return image if whole or self.frame == (0, 0, 1) else at_scale_one(image, *self.frame)

    def first_frame_shown(self):
        self.locate()
        image = self.shot("waiting for the first frame")
        return is_red(image.at(35, 400)) and is_red(image.at(200, 450))

    def focus(self):
        x, y = self.client[:2]
        self.tool(["xdotool", "mousemove", str(x + 200), str(y + 250)])
        if self.wm:
            self.tool(["xdotool", "windowactivate", "--sync", self.window], check=False)
        else:
            self.tool(["xdotool", "windowfocus", self.window], check=False)
        time.sleep(0.1)

    def diagnose(self):
        if self.program is not None and self.program.poll() is not None:
            print("plonta stderr:", self.program.stderr.read().decode(errors="replace"))
        if self.window and self.x_running:
            for args in (["xwininfo", "-id", self.window],
                         ["xprop", "-id", self.window, "WM_STATE", "_NET_WM_STATE"]):
                print(self.tool(args, check=False))


# -- reading the playfield ----------------------------------------------------------------


def at_scale_one(image, left, top, scale):
    """The frame at scale 1 from a picture of it drawn scale times as large at (left, top)."""
    pixels = bytearray(400 * 500 * 3)
    for y in range(500):
        row = (top + scale * y + scale // 2) * image.width
        for x in range(400):
            source = (row + left + scale * x + scale // 2) * 3
            pixels[(y * 400 + x) * 3:(y * 400 + x + 1) * 3] = image.pixels[source:source + 3]
    return Image(b"P6\n400 500\n255\n" + bytes(pixels), image.taken)


def is_dark_red(p):
    return 150 <= p[0] <= 210 and p[1] <= 30 and p[2] <= 30


def paddle_left(image):
    for x in range(0, 400):
        if is_white(image.at(x, 270)):
            return x
    return None


# -- the cases ----------------------------------------------------------------------------


def case_first_frame(s):
    s.start_x()
    s.start_program()
    image = s.shot("first frame")
    expect(s.client[:2] == (100, 150), "window client at %r, not (100, 150)" % (s.client[:2],))
    for x, y in [(35, 345), (35, 440), (355, 345), (355, 440), (60, 450), (200, 450),
                 (330, 450)]:
        expect(is_red(image.at(x, y)), "bin wall or floor not red at (%d, %d): %r" % (
            x, y, image.at(x, y)))
    expect(is_black(image.at(200, 400)), "inside of the bin not black")
    expect(paddle_lane(image) == 2, "paddle not in lane 2")
    expect(paddle_left(image) is not None and 158 <= paddle_left(image) <= 164,
           "paddle's left end at %r, not about 160" % paddle_left(image))
    expect(message_ink(image) >= 30, "no 'Start mit Leertaste.' ink around (200, 120)")
    expect(message_ink(image, 76, 98) == 0, "ink on the empty message line at y 80")
    expect(not conveyor_tiles(image), "tiles on the conveyor before the start")
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")


def case_play(s):
    s.start_x()
    s.start_program()
    s.key("space")
    image = s.wait_for_shot("after Space", lambda image: message_ink(image) == 0, 5,
                            "the start message to go")
    left_before = paddle_left(image)
    s.key("Right", "Right")
    image = s.wait_for_lane(4, "after Right, Right")
    expect(paddle_left(image) - left_before == 2 * LANE_STEP,
           "paddle moved %d px, not 120" % (paddle_left(image) - left_before))
    # Held down, the key repeats until the paddle stands at the far end: the X server repeats
    # after 660 ms, 25 times a second. Without repeats the paddle stops one lane on, however
    # long the key is held; 6 s only leaves a loaded machine time.
    s.hold("Left", lambda: paddle_lane(s.shot("holding Left")) == 0, 6,
           "holding Left to reach lane 0")
    s.hold("Right", lambda: paddle_lane(s.shot("holding Right")) == 4, 6,
           "holding Right to reach lane 4")
    tiles = s.wait_for(lambda: conveyor_tiles(s.shot("waiting for a tile")), 10,
                       "a tile on the conveyor")
    expect(all(lane <= 3 for lane, _ in tiles), "a tile in lane 4: %r" % tiles)
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")


def case_pause(s):
    s.start_x()
    s.start_program()
    s.to_lane_4()
    s.key("space")
    before = s.ticks_shown("running", 10)
    s.key("KP_0")
    paused = s.wait_for_shot("pausing", lambda image: not conveyor_tiles(image), 5,
                             "the conveyor to hide")
    frozen_from = paused.taken[1]
    s.watch_pause(frozen_from, FROZEN_SECONDS)
    frozen_until = time.monotonic()
    s.key("KP_0")
    after = s.ticks_shown("resumed")
    check_standstill(before, after, frozen_from, frozen_until, "paused")
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")


def case_pause_keys(s):
    """Without a numeric keypad: P and Pause pause and resume like keypad 0."""
    s.start_x()
    s.start_program()
    s.key("space")
    for key in ("p", "Pause"):
        s.pause_and_resume_with(key)
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")


def case_minimise(s):
    s.wm = True
    s.start_x()
    s.start_program()
    s.to_lane_4()
    s.key("space")
    before = s.ticks_shown("running", 10)
    s.tool(["xdotool", "windowminimize", "--sync", s.window], check=False)
    # Openbox answers within a frame; 10 s only bound a hang. The time they take counts as
    # ticking time in check_standstill.
    s.wait_for(lambda: "IsUnMapped" in s.tool(["xwininfo", "-id", s.window]), 10,
               "the window to be minimised")
    frozen_from = time.monotonic()
    time.sleep(FROZEN_SECONDS)
    frozen_until = time.monotonic()
    s.tool(["xdotool", "windowactivate", "--sync", s.window], check=False)
    s.wait_for(lambda: "IsViewable" in s.locate(), 10, "the window to come back")
    s.wait_for(lambda: s.client[:2] == s.position(), 5, "the window to stand still")
    after = s.ticks_shown("restored")
    check_standstill(before, after, frozen_from, frozen_until, "minimised")
    s.wait_for_ticks_after(after)
    s.focus()
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")


def case_escape(s):
    s.start_x()
    s.start_program()
    s.key("Right")
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape ended with %r, not 27" % s.program.returncode)


def case_exit_statuses(s):
    """Under a window manager, after a minimise and a restore, Escape ends with 27 and closing
    with 0, time after time: a window destroyed while one of SDL's wake-up events was still on
    its way to it once turned some of these exits into an X error and status 1."""
    s.wm = True
    s.start_x()
    for round in range(6):
        s.start_program()
        s.key("space")
        s.tool(["xdotool", "windowminimize", "--sync", s.window], check=False)
        s.tool(["xdotool", "windowactivate", "--sync", s.window], check=False)
        s.focus()
        if round % 2 == 0:
            s.key("Escape")
            wanted = 27
        else:
            s.tool(["xdotool", "key", "alt+F4"])
            wanted = 0
        status = s.exit_status()
        expect(status == wanted, "round %d ended with %r, not %d: %s" % (
            round, status, wanted, s.program.stderr.read().decode(errors="replace")))


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
    expect(s.exit_status() == 0, "closing ended with %r, not 0" % s.program.returncode)


def case_no_display(s):
    """No X server and no Wayland to reach: one line on standard error and status 1 at once,
    never a game running unseen on SDL's offscreen driver."""
    for what, variables, reason in (
            ("nothing set", {}, "DISPLAY and WAYLAND_DISPLAY are not set"),
            ("a display nobody serves", {"DISPLAY": ":%d" % free_display(),
                                         "XDG_RUNTIME_DIR": s.tmp}, "cannot reach DISPLAY=:")):
        env = {k: v for k, v in s.env.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "SDL_VIDEODRIVER",
                            "XDG_RUNTIME_DIR")}
        env.update(variables)
        try:
            done = subprocess.run([s.plonta], env=env, capture_output=True, timeout=20)
        except subprocess.TimeoutExpired:
            raise Failure("%s: still running after 20 s, with nothing to show it on" % what)
        said = done.stderr.decode(errors="replace")
        print("%s: status %d, said %r" % (what, done.returncode, said))
        expect(done.returncode == 1, "%s: status %d, not 1" % (what, done.returncode))
        expect(said.count("\n") == 1 and said.endswith("\n"),
               "%s: not one line: %r" % (what, said))
        expect(said.startswith("plonta: no display to open a window on (") and reason in said,
               "%s: %r does not say %r" % (what, said, reason))


def free_display():
    """A display number no X server listens on."""
    number = 90 + os.getpid() % 400
    while os.path.exists("/tmp/.X11-unix/X%d" % number) or os.path.exists(
            "/tmp/.X%d-lock" % number):
        number += 1
    return number


def case_keypad(s):
    """With NumLock off the keypad's 4, 6 and 2 move and drop as the arrows do; with it on they
    do nothing. Keypad 0 pauses either way."""
    s.start_x()
    s.start_program()
    expect(num_lock(s) is False, "NumLock is on at the start")
    # X sends keycode 83 for KP_Left; with NumLock on the same key reads as KP_4.
    s.key("KP_Left")
    s.wait_for_lane(1, "keypad 4")
    s.key("KP_Right", "KP_Right")
    s.wait_for_lane(3, "keypad 6, twice")
    s.key("KP_Down")
    s.wait_for_shot("keypad 2", lambda image: message_ink(image) == 0, 5,
                    "keypad 2 to start the game")
    s.key("Num_Lock")
    s.wait_for(lambda: num_lock(s), 5, "NumLock to come on")
    # Had keypad 4 moved the paddle, the arrow after it would bring it back to lane 3.
    s.key("KP_Left", "KP_Left", "Right")
    image = s.wait_for_shot("keypad 4 with NumLock", lambda image: paddle_lane(image) != 3, 5,
                            "the paddle to move on")
    expect(paddle_lane(image) == 4, "keypad 4 moved the paddle with NumLock on: lane %r, not 4"
           % paddle_lane(image))
    # Keypad 2 does not drop either: a drop would need something carried, so instead keypad 0
    # shows it pauses with NumLock on, and the tiles hide.
    s.wait_for(lambda: conveyor_tiles(s.shot("waiting for a tile")), 10, "a tile on the conveyor")
    s.key("KP_Insert")
    s.wait_for_shot("keypad 0 with NumLock", lambda image: not conveyor_tiles(image), 5,
                    "keypad 0 to pause")
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")


def num_lock(s):
    match = re.search(r"Num Lock:\s+(on|off)", s.tool(["xset", "q"]))
    expect(match is not None, "xset q tells no NumLock state")
    return match.group(1) == "on"


def expect_first_frame(image):
    for x, y in [(35, 345), (355, 440), (200, 450)]:
        expect(is_red(image.at(x, y)), "bin wall or floor not red at (%d, %d): %r" % (
            x, y, image.at(x, y)))
    expect(is_black(image.at(200, 400)), "inside of the bin not black")
    expect(paddle_lane(image) == 2, "paddle not in lane 2")
    expect(message_ink(image) >= 30, "no 'Start mit Leertaste.' ink around (200, 120)")


def expect_frame_edge(image, left, top, scale):
    """The frame's pixels exactly where the scale puts them: the left bin wall's outline starts
    at x 29 and the upper conveyor line at y 49, black before them."""
    wall_y, line_x = top + scale * 400, left + scale * 200
    for (x, y), dark in [((left + scale * 29, wall_y), True), ((left + scale * 29 - 1, wall_y),
                                                                  False),
                         ((line_x, top + scale * 49), True), ((line_x, top + scale * 49 - 1),
                                                              False)]:
        p = image.at(x, y)
        expect(is_dark_red(p) if dark else is_black(p), "(%d, %d) is %r, expected %s" % (
            x, y, p, "dark red" if dark else "black"))


def case_default_scale(s):
    # 80% of 3840x2160 takes the window three times as large, at its usual place.
    s.SCREEN = "3840x2160x24"
    s.frame = (0, 0, 3)
    s.start_x()
    s.start_program()
    expect(s.client == (100, 150, 1200, 1500), "window client %r, not 1200x1500 at (100, 150)"
           % (s.client,))
    expect_first_frame(s.shot("first frame"))
    expect_frame_edge(s.shot("first frame, as drawn", whole=True), 100, 150, 3)
    s.key("Right")
    s.wait_for_lane(3, "after Right")
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")


# -- recordings ---------------------------------------------------------------------------


def needs_sim(s):
    expect(s.sim and os.path.exists(s.sim), "no plonta-sim given: %r" % s.sim)


def read(path):
    with open(path) as f:
        return f.read()


def case_record_replay(s):
    """A game recorded in the window replays, in plonta-sim and in the window, to the frame the
    window showed; from the replay's end play goes on live, recorded into the same file."""
    needs_sim(s)
    game = os.path.join(s.tmp, "game.sim")
    s.start_x()
    s.start_program(args=["--record", game])
    s.key("space")
    catch_and_drop(s)
    s.key("Left", "Right", "Right")
    # Paused ticks are recorded too; each frame drawn while paused flips the blink.
    s.key("KP_0")
    time.sleep(0.8)
    s.key("KP_0")
    catch_and_drop(s)
    s.key("KP_0")
    s.wait_for_shot("pausing", lambda image: not conveyor_tiles(image), 5, "the pause to show")
    time.sleep(0.6)
    last = s.shot("the last frame")
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")
    recorded = read(game)
    body = check_recording(recorded, "plonta")
    print("recorded %d lines: %s" % (len(body), " / ".join(body)))
    state, frame = sim_replay(s.sim, recorded)
    s.shots.append(("plonta-sim", frame))
    expect(state["state"] == 4, "the recording does not end paused: %r" % state)
    # Paused, the window went on blinking between the screenshot and Escape: the frame is one
    # of the blink's two.
    _, other = sim_replay(s.sim, recorded + "tick 1\n")
    expect(same_pixels(last, frame) or same_pixels(last, other),
           "plonta-sim's frame differs from the window's last at %r" % differing(last, frame))

    # Into the same file it comes from, at twice the pace; game keys wait for the end.
    s.start_program(args=["--replay", game, "--record", game, "--speed", "2"])
    s.key("Left", "Left", "Down")
    wait_for_frame(s, frame, 60, "the replay's end")
    time.sleep(1.0)
    expect(same_pixels(s.shot("a second later"), frame), "the window went on after the replay")
    s.key("KP_0")
    first = s.wait_for_shot("live", conveyor_tiles, 10, "tiles after resuming")
    s.wait_for_shot("live", lambda image: conveyor_tiles(image) not in (None, [],
                                                                      conveyor_tiles(first)),
                    5, "the tiles to move on")
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")
    went_on = read(game)
    new_body = check_recording(went_on, "plonta")
    expect(went_on.split("\n")[1] == recorded.split("\n")[1], "the seed changed")
    expect(new_body[:len(body)] == body and new_body[len(body):len(body) + 1] == ["pause"],
           "the new file is not the old game and then the new play: %r" % new_body)
    sim_replay(s.sim, went_on)


def case_kill(s):
    """Killed mid-game, the program leaves a recording complete to within its last tick."""
    needs_sim(s)
    game = os.path.join(s.tmp, "game.sim")
    s.start_x()
    s.start_program(args=["--record", game])
    s.key("space", "Right")
    s.wait_for_shot("running", conveyor_tiles, 10, "a tile on the conveyor")
    time.sleep(0.4)
    s.program.send_signal(signal.SIGSTOP)
    last = s.shot("stopped")
    s.program.kill()
    s.program.wait()
    recorded = read(game)
    check_recording(recorded, "plonta")
    # The write follows the frame: stopped between the two, the file lacks the tick shown.
    _, frame = sim_replay(s.sim, recorded)
    _, ahead = sim_replay(s.sim, recorded + "tick 1\n")
    s.shots.append(("plonta-sim", frame))
    expect(same_pixels(last, frame) or same_pixels(last, ahead),
           "the recording is more than a tick off the window: %r" % differing(last, frame))


def case_signals(s):
    """SIGINT and SIGTERM end the game as closing the window does, the recording complete."""
    needs_sim(s)
    s.start_x()
    for sig in (signal.SIGINT, signal.SIGTERM):
        game = os.path.join(s.tmp, "game-%d.sim" % sig)
        s.start_program(args=["--record", game])
        s.key("space", "Left")
        s.wait_for_shot("running", conveyor_tiles, 10, "a tile on the conveyor")
        s.program.send_signal(signal.SIGSTOP)
        last = s.shot("stopped")
        s.program.send_signal(sig)
        s.program.send_signal(signal.SIGCONT)
        expect(s.exit_status() == 0, "%s ended with %r, not 0" % (sig.name,
                                                                  s.program.returncode))
        recorded = read(game)
        check_recording(recorded, "plonta")
        # A tick due while stopped may still run before the signal is seen.
        frames = [sim_replay(s.sim, text)[1]
                  for text in (recorded, without_last_tick(recorded)) if text]
        expect(any(same_pixels(last, frame) for frame in frames),
               "after %s the recording is off the window's frame: %r" % (
                   sig.name, differing(last, frames[0])))


def case_disk_full(s):
    """A recording that cannot be written says so once, and the game goes on."""
    s.start_x()
    s.start_program(args=["--record", "/dev/full"])
    s.to_lane_4()
    s.key("space")
    s.wait_for_ticks_after(s.ticks_shown("running", 10))
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")
    said = s.program.stderr.read().decode(errors="replace")
    expect(said == "plonta: /dev/full: No space left on device; recording stopped, the game "
           "goes on\n", "not one line about the full disk: %r" % said)


class WindowWatch:
    """Every top-level window made on the X server, as xev sees them created."""

    def __init__(self, s):
        self.log = os.path.join(s.tmp, "xev.log")
        with open(self.log, "w") as out:
            s.spawn(["stdbuf", "-oL", "xev", "-root", "-event", "substructure"], stdout=out)
        time.sleep(0.5)

    def created(self):
        return read(self.log).count("CreateNotify")


def case_bad_input(s):
    """Each bad command line or file: status 2, a message, no window, no file written."""
    s.start_x()
    tmp = s.tmp
    files = {
        "game.sim": "# a good one\nseed 3\nspace\ntick 4\n",
        "sets.sim": "seed 3\nspace\nset lives 99\ntick 4\n",
        "dumps.sim": "seed 3\ndump\n",
        "shoots.sim": "seed 3\nshot %s/shot.png\n" % tmp,
        "picture.sim": "\x89PNG\r\n\x1a\n",
    }
    for name, text in files.items():
        with open(os.path.join(tmp, name), "w", encoding="latin-1") as f:
            f.write(text)
    never = os.path.join(tmp, "never.sim")
    usage = "usage: plonta "
    # The command line, the words the one line says, and whether the usage follows.
    cases = [
        (["--replay", tmp + "/missing.sim"], tmp + "/missing.sim: No such file or directory",
         False),
        (["--replay", tmp], tmp + ": Is a directory", False),
        (["--replay", tmp + "/picture.sim"], "picture.sim: line 1: unknown command '?PNG'",
         False),
        (["--replay", tmp + "/sets.sim"], "sets.sim: line 3: set is not allowed in a recording",
         False),
        (["--replay", tmp + "/dumps.sim"], "dumps.sim: line 2: dump is not allowed", False),
        (["--replay", tmp + "/shoots.sim"], "shoots.sim: line 2: shot is not allowed", False),
        (["--record", tmp + "/no/such/dir.sim"], "dir.sim: No such file or directory", False),
        (["--record", tmp], tmp + ": Is a directory", False),
        (["--replay", tmp + "/game.sim", "--speed", "0"], "--speed takes a whole number", True),
        (["--replay", tmp + "/game.sim", "--speed", "x"], "not 'x'", True),
        (["--fast"], "unknown option '--fast'", True),
        (["--replay"], "--replay needs a value", True),
    ]
    if os.geteuid() != 0:  # root reads any file
        locked = os.path.join(tmp, "locked.sim")
        with open(locked, "w") as f:
            f.write("seed 1\n")
        os.chmod(locked, 0)
        cases.append((["--replay", locked], "locked.sim: Permission denied", False))
    else:
        print("running as root: no unreadable file to try")
    watch = WindowWatch(s)
    for args, words, with_usage in cases:
        if "--record" not in args:
            args = ["--record", never] + args
        done = subprocess.run([s.plonta] + args, env=s.env, capture_output=True, timeout=30)
        said = done.stderr.decode(errors="replace").splitlines()
        print("%s -> %d: %s" % (" ".join(args), done.returncode, said[:1]))
        expect(done.returncode == 2, "%r ended with %d, not 2" % (args, done.returncode))
        expect(said and said[0].startswith("plonta: ") and words in said[0],
               "%r said %r, not %r" % (args, said, words))
        expect(len(said) == 1 or (with_usage and said[1].startswith(usage)),
               "%r said more than one line and the usage: %r" % (args, said))
        expect(done.stdout == b"", "%r wrote to standard output" % args)
        expect(not os.path.exists(never), "%r made the record file" % args)
    expect(not os.path.exists(os.path.join(tmp, "shot.png")), "a recording wrote a picture")
    for option, start in (("--help", usage), ("--version", "plonta ")):
        done = subprocess.run([s.plonta, option], env=s.env, capture_output=True, timeout=30)
        expect(done.returncode == 0 and done.stdout.decode().startswith(start) and
               done.stderr == b"", "%s: %d %r %r" % (option, done.returncode, done.stdout,
                                                     done.stderr))
    expect(watch.created() == 0, "a bad start made a window")
    # The watch sees the window of a good start.
    s.start_program(args=["--replay", tmp + "/game.sim"])
    expect(watch.created() > 0, "the window watch saw no window made")
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")


def case_fullscreen(s):
    s.wm = True
    s.SCREEN = "3840x2160x24"
    s.frame = (0, 0, 3)
    s.start_x()
    s.start_program()
    # Openbox puts its frame, not the client area, at (100, 150).
    windowed = s.client
    expect(windowed[2:] == (1200, 1500), "window client %r, not 1200x1500" % (windowed,))
    s.key("F11")
    s.wait_for(lambda: s.locate() and s.client == (0, 0, 3840, 2160), 10,
               "the window to fill the screen")
    # 2160 / 500: scale 4, the frame 1600 by 2000 in the middle.
    s.frame = (1120, 80, 4)
    expect_first_frame(s.wait_for_shot("fullscreen", lambda image: paddle_lane(image) == 2, 10,
                                       "the frame in the middle of the screen"))
    screen = s.shot("fullscreen, whole", whole=True)
    expect_frame_edge(screen, 1120, 80, 4)
    for x, y in [(0, 0), (1119, 1000), (2720, 1000), (3839, 2159), (1900, 79), (1900, 2080)]:
        expect(is_black(screen.at(x, y)), "not black around the frame at (%d, %d): %r" % (
            x, y, screen.at(x, y)))
    s.key("Right")
    s.wait_for_lane(3, "after Right, fullscreen")
    s.key("F11")
    s.wait_for(lambda: s.locate() and s.client == windowed, 10,
               "the window back at %r" % (windowed,))
    s.frame = (0, 0, 3)
    s.wait_for_lane(3, "back in the window")
    expect_frame_edge(s.shot("back, as drawn", whole=True), windowed[0], windowed[1], 3)
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")


def case_bad_option(s):
    done = subprocess.run([s.plonta, "--scale", "5"], env=s.env, capture_output=True,
                          timeout=20)
    expect(done.returncode == 2, "--scale 5 ended with %d, not 2" % done.returncode)
    said = done.stderr.decode(errors="replace")
    expect("--scale" in said and "usage: plonta" in said, "no usage for --scale 5: " + said)


CASES = {
    "first_frame": case_first_frame,
    "play": case_play,
    "pause": case_pause,
    "pause_keys": case_pause_keys,
    "minimise": case_minimise,
    "escape": case_escape,
    "close": case_close,
    "exit_statuses": case_exit_statuses,
    "no_display": case_no_display,
    "keypad": case_keypad,
    "default_scale": case_default_scale,
    "fullscreen": case_fullscreen,
    "bad_option": case_bad_option,
    "record_replay": case_record_replay,
    "kill": case_kill,
    "signals": case_signals,
    "disk_full": case_disk_full,
    "bad_input": case_bad_input,
}


if __name__ == "__main__":
    sys.exit(main(SdlSession, CASES, __doc__))
