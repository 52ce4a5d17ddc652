#!/usr/bin/env python3
"""plonta.exe under Wine in Xvfb: keys through xdotool, pixels from screenshots of its client area.

Usage: plonta_win_e2e.py PLONTA_EXE PLONTA_CTL_EXE ARTIFACT_DIR CASE [PLONTA_SIM]

The Wine prefix comes from WINEPREFIX, made beforehand by wine_prefix.sh (Direct3D renderer
gdi, Comic Neue for Comic Sans MS). Each case starts its own Xvfb; screenshots of a failed case
are kept in ARTIFACT_DIR. CASE is first_frame, play, pause, minimise, escape, close,
record_replay, bad_input, logoff, disk_full, minimised_start, display_failure or code_pages.
first_frame also compares the frame with plonta-sim's when PLONTA_SIM is given and exists;
record_replay needs it, to replay what plonta.exe recorded on Linux. display_failure needs the
stand-in ddraw.dll beside PLONTA_CTL_EXE; code_pages two more prefixes, made under ru_RU.UTF-8
and C.UTF-8 with a font that has Cyrillic, in PLONTA_WINE_PREFIX_RU and PLONTA_WINE_PREFIX_C.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
from e2e_support import (FROZEN_SECONDS, Failure, Image, Session,  # noqa: E402
                         check_standstill, conveyor_tiles, drop_bar, expect, main, paddle_lane)
from e2e_recordings import (catch_and_drop, check_recording, same_pixels,  # noqa: E402
                            sim_replay)

RED = (255, 0, 0)
DARK_RED = (180, 0, 0)
WHITE = (255, 255, 255)
GREY = (180, 180, 180)


class WineSession(Session):
    """plonta.exe started through wine, and located, minimised, restored and closed from inside
    Wine by plonta_ctl."""

    ARGUMENTS = (("exe", "plonta.exe"), ("ctl", "plonta_ctl.exe"))
    OPTIONAL = (("sim", "plonta-sim of a Linux build, to compare the first frame with"),)
    KEY_OPTIONS = ("--clearmodifiers",)

    def __init__(self, args):
        if "WINEPREFIX" not in os.environ:
            raise Failure("WINEPREFIX is not set: make one with wine_prefix.sh")
        super().__init__(args)
        self.exe, self.ctl, self.sim = args.exe, args.ctl, args.sim
        if self.sim and not os.path.exists(self.sim):
            print("no plonta-sim at %s: comparing without it" % self.sim)
            self.sim = None
        self.env.setdefault("WINEDEBUG", "-all")
        self.env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
        self.errors = None
        self.iconic = self.foreground = None

    def prepare(self):
        # Wine's desktop stays bound to the X display of the program that started it: let the
        # server of an earlier program end first.
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        self.start_x()

    def close(self):
        super().close()
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)

    def control(self, command):
        # Files, not pipes: a wineserver started by this call would hold a pipe open for good.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            status = subprocess.run(["wine", self.ctl, command], env=self.env, stdout=out,
                                    stderr=err, timeout=30).returncode
            out.seek(0)
            err.seek(0)
            if status != 0:
                raise Failure("plonta_ctl %s failed (%d): %s" % (command, status,
                                                                 err.read().decode()))
            return out.read().decode()

    def locate(self):
        x, y, w, h, iconic, foreground = (int(v) for v in self.control("where").split())
        self.iconic, self.foreground = iconic == 1, foreground == 1
        # A minimised window reports an empty client area; keep where it stood.
        if not self.iconic:
            self.client = (x, y, w, h)
        return self.iconic

    def launch(self, before=(), exe=None, args=()):
        """Starts plonta.exe (or a copy of it), through a wine program before it if given;
        returns once its window exists."""
        self.errors = tempfile.TemporaryFile()
        self.program = self.spawn(["wine"] + list(before) + [exe or self.exe] + list(args),
                                  stdout=subprocess.DEVNULL, stderr=self.errors)

        def located():
            try:
                self.locate()
                return True
            except Failure:
                # plonta_ctl waits five seconds for the window: a cold Wine on a loaded machine
                # can take longer.
                if self.program.poll() is not None:
                    raise
                return False

        self.wait_for(located, 30, "the Plonta-Test window")

    def start_program(self, args=()):
        self.launch(args=args)
        if self.iconic or self.client[2] <= 0:
            raise Failure("unexpected window at start: %r iconic %r" % (self.client, self.iconic))
        # The first frame: the paddle of a fresh game stands in lane 2.
        self.wait_for_shot("start", lambda image: paddle_lane(image) == 2, 30, "the first frame")
        self.focus()

    def focus(self):
        ids = self.tool(["xdotool", "search", "--name", "^Plonta-Test$"]).split()
        if not ids:
            raise Failure("no X window named Plonta-Test")
        x, y, w, h = self.client
        self.tool(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2)])
        self.tool(["xdotool", "windowfocus", "--sync", ids[-1]])
        time.sleep(0.2)

    def diagnose(self):
        print("last seen: iconic %r, foreground %r" % (self.iconic, self.foreground))
        if self.program is not None and self.program.poll() is not None:
            self.errors.seek(0)
            print("plonta.exe ended with", self.program.returncode,
                  self.errors.read().decode(errors="replace"))


def start_and_wait_for_tile(s):
    s.key("space")
    # The first tile comes ten ticks after the start.
    return s.wait_for_shot("running", conveyor_tiles, 10, "a tile on the conveyor")


# -- the cases ----------------------------------------------------------------------------

def case_first_frame(s):
    s.start_program()
    image = s.shot("first")
    expect(image.at(35, 400) == RED and image.at(355, 400) == RED, "bin walls are not red")
    expect(image.at(200, 449) == RED, "the bin floor is not red")
    expect(image.at(30, 400) == DARK_RED and image.at(200, 50) == DARK_RED,
           "outlines and conveyor lines are not dark red")
    expect(image.at(195, 270) == WHITE and image.at(195, 265) == GREY, "no white paddle in lane 2")
    expect(not conveyor_tiles(image), "tiles on the conveyor before the start")
    box = image.ink_box(0, 110, image.width, 145)
    expect(box is not None and abs((box[0] + box[2]) / 2 - 200) <= 4,
           "'Start mit Leertaste.' is not centred on x 200: %r" % (box,))
    if s.sim:
        compare_with_sim(s, image, s.sim)


def compare_with_sim(s, gdi, sim):
    """The Cairo frame of the same state: shapes pixel for pixel, texts by their ink boxes."""
    with tempfile.TemporaryDirectory() as tmp:
        png = os.path.join(tmp, "ready.png")
        subprocess.run([sim], input=("seed 1\nshot %s\n" % png).encode(), check=True, timeout=30)
        cairo = Image.from_file(png)
    compare_frames(s, gdi, cairo)


def compare_frames(s, gdi, cairo, tiles=0):
    """A GDI frame against the Cairo frame of the same game, with this many tiles drawn."""
    s.shots.append(("cairo", cairo))
    # The shapes' insides and the straight parts of their outlines, pixel for pixel.
    points = [(35, 400), (355, 400), (200, 449), (195, 270)]
    points += [(x, 400) for x in (28, 29, 30, 31, 38, 39, 40, 41, 348, 349, 350, 351, 358, 359, 360)]
    points += [(35, y) for y in (338, 339, 340, 341)] + [(200, y) for y in range(442, 457)]
    points += [(200, y) for y in range(47, 54)] + [(200, y) for y in range(217, 224)]
    points += [(195, y) for y in range(262, 278)] + [(x, 50) for x in (6, 100, 300, 388)]
    wrong = [(p, gdi.at(*p), cairo.at(*p)) for p in points if gdi.at(*p) != cairo.at(*p)]
    expect(not wrong, "GDI and Cairo differ at %r" % wrong[:8])
    # Everywhere outside the text bands: the rounded ends may differ by a few pixels.
    texts = [(5, 47), (110, 145)]
    differing = 0
    for y in range(min(gdi.height, cairo.height)):
        if any(top <= y < bottom for top, bottom in texts):
            continue
        for x in range(min(gdi.width, cairo.width)):
            differing += gdi.at(x, y) != cairo.at(x, y)
    # The rounded ends of each tile differ by some fifty pixels more.
    allowed = 200 + 60 * tiles
    print("pixels differing outside the texts: %d of %d allowed" % (differing, allowed))
    expect(differing <= allowed, "%d pixels differ outside the texts" % differing)
    # Each text by its ink box: the aligned edge, the top and the height agree.
    regions = [  # left, top, right, bottom, aligned edge
        (0, 8, 83, 27, "left"), (0, 27, 83, 47, "left"), (83, 8, 250, 27, "left"),
        (83, 27, 250, 47, "left"), (250, 8, 394, 27, "right"), (250, 27, 394, 47, "right"),
        (0, 110, 394, 145, "centre")]
    for left, top, right, bottom, edge in regions:
        a, b = gdi.ink_box(left, top, right, bottom), cairo.ink_box(left, top, right, bottom)
        expect((a is None) == (b is None), "text missing in %r: GDI %r Cairo %r" %
               ((left, top), a, b))
        if a is None:  # a line with no message in this state
            continue
        anchor = {"left": lambda k: k[0], "right": lambda k: k[2],
                  "centre": lambda k: (k[0] + k[2]) / 2}[edge]
        print("text at %r: GDI %r Cairo %r" % ((left, top), a, b))
        expect(abs(anchor(a) - anchor(b)) <= 3, "text %s edges differ: %r %r" % (edge, a, b))
        expect(abs(a[1] - b[1]) <= 3 and abs(a[3] - b[3]) <= 3,
               "text rows differ: GDI %r Cairo %r" % (a, b))
        width_a, width_b = a[2] - a[0] + 1, b[2] - b[0] + 1
        expect(0.7 <= width_a / width_b <= 1.4, "text widths differ: %r %r" % (a, b))


def case_play(s):
    s.start_program()
    start_and_wait_for_tile(s)
    s.key("Right")
    s.wait_for_lane(3, "right")
    s.key("Left", "Left", "Left")
    s.wait_for_lane(0, "left")
    # At the wall Left does nothing: the Right after it then takes the paddle to lane 1. A
    # paddle that wrapped round or left the field would stand elsewhere.
    s.key("Left", "Right")
    image = s.wait_for_shot("left again, right", lambda image: paddle_lane(image) != 0, 5,
                            "the paddle to leave lane 0")
    expect(paddle_lane(image) == 1, "Left at lane 0, then Right: paddle in lane %r, not 1" %
           paddle_lane(image))


def case_pause(s):
    s.start_program()
    s.to_lane_4()
    s.key("space")
    before = s.ticks_shown("running", 10)
    s.key("KP_0")
    paused = s.wait_for_shot("paused", lambda image: not conveyor_tiles(image), 5,
                             "the tiles to hide")
    frozen_from = paused.taken[1]
    s.watch_pause(frozen_from, 0)
    # The editing block's Insert is no keypad 0. A game that took it for one would draw the
    # conveyor at its next tick; should a loaded machine take longer than 1 s to get there, the
    # ticks it then makes in the pause still fail check_standstill below.
    s.key("Insert")
    time.sleep(1.0)
    expect(not conveyor_tiles(s.shot("insert")), "Insert resumed the game")
    time.sleep(max(0.0, frozen_from + FROZEN_SECONDS - time.monotonic()))
    frozen_until = time.monotonic()
    # Keypad 0 with NumLock off arrives as Insert without the extended flag: it resumes.
    s.key("KP_Insert")
    after = s.ticks_shown("resumed")
    check_standstill(before, after, frozen_from, frozen_until, "paused")


def case_pause_keys(s):
    """Without a numeric keypad: P and Pause pause and resume like keypad 0."""
    s.start_program()
    s.key("space")
    for key in ("p", "Pause"):
        s.pause_and_resume_with(key)


def case_minimise(s):
    s.start_program()
    s.to_lane_4()
    s.key("space")
    before = s.ticks_shown("running", 10)
    s.control("minimise")
    # Each plonta_ctl call starts a Wine process: seconds on a loaded machine, in which a correct
    # game still ticks. check_standstill counts that time as ticking, and 10 s leave room for
    # a few such calls.
    s.wait_for(s.locate, 10, "the window to be minimised")
    frozen_from = time.monotonic()
    time.sleep(FROZEN_SECONDS)
    frozen_until = time.monotonic()
    s.control("restore")
    s.wait_for(lambda: not s.locate(), 10, "the window to be restored")
    after = s.ticks_shown("restored")
    check_standstill(before, after, frozen_from, frozen_until, "minimised")
    s.wait_for_ticks_after(after)


def case_escape(s):
    s.start_program()
    s.key("Escape")
    status = s.exit_status()
    expect(status == 27, "exit status %d after Escape, not 27" % status)


def case_close(s):
    s.start_program()
    s.control("close")
    status = s.exit_status()
    expect(status == 0, "exit status %d after closing, not 0" % status)


def case_minimised_start(s):
    """Started minimised, as a "Run: Minimized" shortcut or start /min does it: after the restore
    the playfield shows and the game plays."""
    s.launch(before=["start", "/min", "/wait", "/unix"])
    s.wait_for(s.locate, 10, "the window to start minimised")
    s.control("restore")
    s.wait_for(lambda: not s.locate(), 10, "the window to be restored")
    image = s.wait_for_shot("restored", lambda image: paddle_lane(image) == 2, 10,
                            "the playfield after the restore")
    expect(image.at(35, 400) == RED and image.at(200, 449) == RED, "no red bin after the restore")
    s.focus()
    start_and_wait_for_tile(s)
    s.key("Right")
    s.wait_for_lane(3, "right")
    s.key("Escape")
    status = s.exit_status()
    expect(status == 27, "exit status %d after Escape, not 27" % status)


def case_display_failure(s):
    """A display that cannot be set up is told in one message box naming the call and its code;
    then the game goes on without a picture."""
    standin = os.path.join(os.path.dirname(os.path.abspath(s.ctl)), "ddraw.dll")
    expect(os.path.exists(standin), "no stand-in ddraw.dll at %s" % standin)
    # Beside the program, loaded in place of the system's, failing SetHWnd as DirectDraw does
    # for a bad clipper.
    exe = os.path.join(s.tmp, "plonta.exe")
    shutil.copy(s.exe, exe)
    shutil.copy(standin, os.path.join(s.tmp, "ddraw.dll"))
    s.env["WINEDLLOVERRIDES"] = s.env["WINEDLLOVERRIDES"] + ";ddraw=n"
    s.env["PLONTA_DDRAW_FAILURE"] = "clipper.SetHWnd 0x88760082"
    s.launch(exe=exe)
    s.wait_for(lambda: s.tool(["xdotool", "search", "--name", "^Plonta$"], check=False), 30,
               "the message box")
    image = s.shot("no picture")
    expect(image.at(35, 400) != RED, "a bin drawn without a display")

    # Read, then answered with OK.
    text, window = answer_message(s)
    print("message box: %r" % text)
    expect(window, "no game window beside the box")
    expect("SetHWnd" in text and "0x88760082" in text,
           "the box does not name SetHWnd and 0x88760082: %r" % text)
    s.wait_for(lambda: s.tool(["xdotool", "search", "--name", "^Plonta$"], check=False) == "",
               10, "the message box to go")
    # Play goes on unseen: Space starts it, Escape ends it as ever.
    s.focus()
    s.key("space", "Right")
    time.sleep(1)
    expect(s.program.poll() is None, "plonta.exe ended after the box")
    s.key("Escape")
    status = s.exit_status()
    expect(status == 27, "exit status %d after Escape, not 27" % status)


def case_code_pages(s):
    """The status lines pixel for pixel the same on a Russian system (ANSI code page 1251) and in
    the C locale, both with a font that has Cyrillic: the bar's 0xD8 is an O with stroke on
    both, not a Cyrillic letter on one."""
    bands = []
    for variable, locale in (("PLONTA_WINE_PREFIX_RU", "ru_RU.UTF-8"),
                             ("PLONTA_WINE_PREFIX_C", "C.UTF-8")):
        prefix = os.environ.get(variable)
        expect(prefix and os.path.isdir(prefix), "%s names no prefix: %r" % (variable, prefix))
        s.env.update(WINEPREFIX=prefix, LANG=locale, LC_ALL=locale)
        s.env.pop("LOCPATH", None)
        if os.path.isdir(prefix + "-locales"):
            s.env["LOCPATH"] = prefix + "-locales"
        s.start_program()
        image = s.shot("status under " + locale)
        expect(drop_bar(image) == 10, "%d bar glyphs under %s, not 10" % (drop_bar(image), locale))
        bands.append([image.at(x, y) for y in range(0, 50) for x in range(image.width)])
        s.key("Escape")
        status = s.exit_status()
        expect(status == 27, "exit status %d after Escape, not 27" % status)
        subprocess.run(["wineserver", "-w"], env=s.env, timeout=60)
    differing = sum(a != b for a, b in zip(*bands))
    print("status pixels differing between ru_RU.UTF-8 and C.UTF-8: %d" % differing)
    expect(len(bands[0]) == len(bands[1]) and differing == 0,
           "%d status pixels differ between the locales" % differing)


# -- recordings ---------------------------------------------------------------------------


def wine_path(path):
    """A Linux path as Wine's Z: drive shows it."""
    return "Z:" + path.replace("/", "\\")


def read(path):
    with open(path, newline="") as f:
        return f.read()


def bin_cells(image):
    """The colour at the middle of each bin cell: a tile's fill, or the black of an empty one."""
    return [image.at(75 + 60 * column, 357 + 18 * row) for column in range(5) for row in range(5)]


def tiles_drawn(state):
    """Tiles a frame of a running game shows: on the visible cells of the conveyor, in the bin,
    on the paddle."""
    return (sum(tile != 0 for lane in state["conveyor"] for tile in lane[:11]) +
            sum(tile != 0 for column in state["bin"] for tile in column) + state["carriedCount"])


def answer_message(s):
    """The text of the message box plonta.exe shows, and whether its game window was open."""
    said = s.control("message").replace("\r\n", "\n")
    text, _, window = said.rstrip("\n").rpartition("\n")
    return text.strip("\n"), window == "game window: yes"


def case_record_replay(s):
    """A game recorded by plonta.exe replays, in plonta-sim on Linux and in plonta.exe itself,
    to the same game; from the replay's end play goes on."""
    expect(s.sim, "no plonta-sim: a Linux build makes it")
    game = os.path.join(s.tmp, "game.sim")
    s.start_program(["--record", wine_path(game)])
    s.key("space")
    catch_and_drop(s)
    # A pause, with the ticks it lasted.
    s.key("KP_0")
    time.sleep(0.8)
    s.key("KP_0")
    catch_and_drop(s)
    last = s.wait_for_shot("the last frame", conveyor_tiles, 10, "a tile on the conveyor")
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")
    recorded = read(game)
    body = check_recording(recorded, "plonta.exe")
    print("recorded %d lines: %s" % (len(body), " / ".join(body)))
    state, frame = sim_replay(s.sim, recorded)
    # Ticks after the screenshot move tiles along; the paddle and the bin only keys change.
    expect(paddle_lane(last) == state["paddleLane"], "the paddle stood in lane %r, plonta-sim "
           "has it in %d" % (paddle_lane(last), state["paddleLane"]))
    expect(bin_cells(last) == bin_cells(frame), "the bin differs: %r in the window, %r in "
           "plonta-sim" % (bin_cells(last), bin_cells(frame)))

    s.start_program(["--replay", wine_path(game), "--speed", "4"])
    s.key("Left")
    ended = [None]

    def at_the_end(image):
        # The replay has ended once the frame shows plonta-sim's game and then stands still.
        if (paddle_lane(image), conveyor_tiles(image), bin_cells(image)) != (
                paddle_lane(frame), conveyor_tiles(frame), bin_cells(frame)):
            return False
        time.sleep(1.0)
        ended[0] = s.shot("a second later")
        return same_pixels(image, ended[0])
    s.wait_for_shot("replaying", at_the_end, 60, "the replay to end on plonta-sim's game")
    compare_frames(s, ended[0], frame, tiles_drawn(state))
    s.key("Right")
    s.wait_for_lane(state["paddleLane"] + 1 if state["paddleLane"] < 4 else 4, "live again")
    s.wait_for_shot("live", lambda image: conveyor_tiles(image) != conveyor_tiles(frame), 5,
                    "the tiles to move on")
    s.key("Escape")
    expect(s.exit_status() == 27, "Escape did not end with 27")


def case_bad_input(s):
    """Each bad command line or file: a message box and the same words on standard error,
    status 2, no game window, no file written."""
    tmp = s.tmp
    for name, text in (("game.sim", "seed 3\nspace\ntick 4\n"),
                       ("sets.sim", "seed 3\nspace\nset lives 99\n")):
        with open(os.path.join(tmp, name), "w") as f:
            f.write(text)
    never = os.path.join(tmp, "never.sim")
    cases = [  # the arguments, the words, whether the usage follows
        (["--replay", wine_path(tmp + "/missing.sim")], "missing.sim: ", False),
        (["--replay", wine_path(tmp)], ": is a directory", False),
        (["--replay", wine_path(tmp + "/sets.sim")],
         "sets.sim: line 3: set is not allowed in a recording", False),
        (["--record", wine_path(tmp + "/no/such/dir.sim")], "dir.sim: ", False),
        (["--replay", wine_path(tmp + "/game.sim"), "--speed", "0"],
         "--speed takes a whole number from 1 to 16, not '0'", True),
    ]
    for args, words, with_usage in cases:
        if "--record" not in args:
            args = ["--record", wine_path(never)] + args
        s.errors = tempfile.TemporaryFile()
        s.program = s.spawn(["wine", s.exe] + args, stdout=subprocess.DEVNULL, stderr=s.errors)
        text, window = answer_message(s)
        status = s.exit_status()
        s.errors.seek(0)
        said = s.errors.read().decode(errors="replace").replace("\r\n", "\n")
        print("%s -> %d: %r" % (" ".join(args), status, text))
        expect(status == 2, "%r ended with %d, not 2" % (args, status))
        lines = text.split("\n")
        expect(lines[0].startswith("plonta: ") and words in lines[0],
               "%r showed %r, not %r" % (args, text, words))
        expect(len(lines) == 1 or (with_usage and lines[1].startswith("usage: plonta.exe ")),
               "%r showed more than one line and the usage: %r" % (args, text))
        expect(said.rstrip("\n") == text, "standard error said %r, the box %r" % (said, text))
        expect(not window, "%r opened the game window" % args)
        expect(not os.path.exists(never), "%r made the record file" % args)
    for option, start in (("--help", "usage: plonta.exe "), ("--version", "plonta.exe ")):
        with tempfile.TemporaryFile() as out:
            s.program = s.spawn(["wine", s.exe, option], stdout=out, stderr=subprocess.DEVNULL)
            status = s.exit_status()
            out.seek(0)
            printed = out.read().decode()
        expect(status == 0 and printed.startswith(start), "%s: %d %r" % (option, status, printed))


def case_logoff(s):
    """Logging off ends the game with its recording complete."""
    expect(s.sim, "no plonta-sim: a Linux build makes it")
    game = os.path.join(s.tmp, "game.sim")
    s.start_program(["--record", wine_path(game)])
    s.key("space")
    s.wait_for_shot("running", conveyor_tiles, 10, "a tile on the conveyor")
    expect(s.control("logoff").strip() == "agreed", "the game held logging off up")
    expect(s.exit_status() == 0, "logging off ended with %r, not 0" % s.program.returncode)
    recorded = read(game)
    check_recording(recorded, "plonta.exe")
    state, _ = sim_replay(s.sim, recorded)
    # The first tile enters at the tenth tick: the file holds at least those.
    expect(state["state"] == 1 and any(any(lane) for lane in state["conveyor"]),
           "the recording stops short: %r" % state)


def case_disk_full(s):
    """A recording that cannot be written is told once the game is over; play goes on."""
    s.start_program(["--record", "Z:\\dev\\full"])
    s.key("space")
    s.wait_for_shot("running", conveyor_tiles, 10, "a tile on the conveyor")
    s.key("Escape")
    text, _ = answer_message(s)
    expect(text.startswith("plonta: Z:\\dev\\full: ") and
           text.endswith("; recording stopped, the game goes on"), "the box said %r" % text)
    expect(s.exit_status() == 27, "Escape did not end with 27")


CASES = {"first_frame": case_first_frame, "play": case_play, "pause": case_pause,
         "pause_keys": case_pause_keys,
         "minimise": case_minimise, "escape": case_escape, "close": case_close,
         "record_replay": case_record_replay, "bad_input": case_bad_input,
         "logoff": case_logoff, "disk_full": case_disk_full,
         "minimised_start": case_minimised_start, "display_failure": case_display_failure,
         "code_pages": case_code_pages}


if __name__ == "__main__":
    sys.exit(main(WineSession, CASES, __doc__))
