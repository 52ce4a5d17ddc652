#!/usr/bin/env python3
"""plonta.exe under Wine in Xvfb: keys through xdotool, pixels from screenshots of its client area.

Usage: plonta_win_e2e.py PLONTA_EXE PLONTA_CTL_EXE ARTIFACT_DIR CASE [PLONTA_SIM]

The Wine prefix comes from WINEPREFIX, made beforehand by wine_prefix.sh (Direct3D renderer
gdi, Comic Neue for Comic Sans MS). Each case starts its own Xvfb; screenshots of a failed case
are kept in ARTIFACT_DIR. CASE is first_frame, play, pause, minimise, escape or close.
first_frame also compares the frame with plonta-sim's when PLONTA_SIM is given and exists.
"""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
from xvfb import start_xvfb  # noqa: E402

LANE_STEP = 60
TICK = 0.25
TILE_COLOURS = {(255, 255, 255), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)}
RED = (255, 0, 0)
DARK_RED = (180, 0, 0)
WHITE = (255, 255, 255)
GREY = (180, 180, 180)
BLACK = (0, 0, 0)
SKIP = 77


class Failure(Exception):
    pass


class Image:
    """RGB pixels from a binary PPM."""

    def __init__(self, data):
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise Failure("unexpected image format %r" % fields[:4])
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[pos + 1:]
        self.raw = data

    def at(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise Failure("(%d, %d) lies outside the %dx%d image" % (x, y, self.width, self.height))
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def ink_box(self, left, top, right, bottom):
        """The bounding box of red text ink inside a region, or None."""
        xs, ys = [], []
        for y in range(top, min(bottom, self.height)):
            for x in range(left, min(right, self.width)):
                r, g, b = self.at(x, y)
                if r >= 90 and g <= 80 and b <= 80:
                    xs.append(x)
                    ys.append(y)
        return (min(xs), min(ys), max(xs), max(ys)) if xs else None


def conveyor_tiles(image):
    """Lowest tile pixel row in the conveyor band (cells 0 to 10), or None."""
    lowest = None
    for lane in range(5):
        x = 80 + LANE_STEP * lane
        for y in range(53, 220):
            if image.at(x, y) in TILE_COLOURS:
                lowest = y if lowest is None else max(lowest, y)
    return lowest


def paddle_lane(image, carried=0):
    y = 270 + 15 * carried
    lanes = [lane for lane in range(5) if image.at(75 + LANE_STEP * lane, y) == WHITE]
    return lanes[0] if len(lanes) == 1 else None


class Session:
    def __init__(self, exe, ctl, artifacts, name):
        self.exe, self.ctl, self.artifacts, self.name = exe, ctl, artifacts, name
        self.procs, self.shots = [], []
        self.program = None
        self.env = dict(os.environ)
        self.env.setdefault("WINEDEBUG", "-all")
        self.env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
        if "WINEPREFIX" not in self.env:
            raise Failure("WINEPREFIX is not set: make one with wine_prefix.sh")
        self.client = None

    def start_x(self):
        try:
            self.procs.append(start_xvfb(self.env))
        except RuntimeError as e:
            raise Failure(str(e))

    def run(self, args, timeout=30):
        done = subprocess.run(args, env=self.env, capture_output=True, timeout=timeout)
        if done.returncode != 0:
            raise Failure("%s failed (%d): %s" % (" ".join(args), done.returncode,
                                                  done.stderr.decode(errors="replace")))
        return done.stdout.decode(errors="replace")

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

    def where(self):
        x, y, w, h, iconic, foreground = (int(v) for v in self.control("where").split())
        self.foreground = foreground == 1
        return (x, y, w, h), iconic == 1

    def wait_for(self, test, seconds, what):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            value = test()
            if value:
                return value
            time.sleep(0.05)
        raise Failure("timed out waiting for " + what)

    def shot(self, label):
        x, y, w, h = self.client
        for _ in range(3):
            done = subprocess.run(["import", "-window", "root", "-depth", "8", "-crop",
                                   "%dx%d+%d+%d" % (w, h, x, y), "+repage", "ppm:-"],
                                  env=self.env, capture_output=True, timeout=20)
            if done.returncode == 0 and done.stdout.startswith(b"P6"):
                image = Image(done.stdout)
                self.shots.append((label, image))
                del self.shots[:-12]
                return image
            time.sleep(0.2)
        raise Failure("no screenshot")

    def start_program(self):
        self.errors = tempfile.TemporaryFile()
        self.program = subprocess.Popen(["wine", self.exe], env=self.env,
                                        stdout=subprocess.DEVNULL, stderr=self.errors)
        self.procs.append(self.program)
        self.client, iconic = self.where()
        if iconic or self.client[2] <= 0:
            raise Failure("unexpected window at start: %r iconic %r" % (self.client, iconic))
        # The first frame: the paddle of a fresh game stands in lane 2.
        self.wait_for(lambda: paddle_lane(self.shot("start")) == 2, 20, "the first frame")
        self.focus()

    def focus(self):
        ids = self.run(["xdotool", "search", "--name", "^Plonta-Test$"]).split()
        if not ids:
            raise Failure("no X window named Plonta-Test")
        x, y, w, h = self.client
        self.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2)])
        self.run(["xdotool", "windowfocus", "--sync", ids[-1]])
        time.sleep(0.2)

    def key(self, *names):
        for name in names:
            self.run(["xdotool", "key", "--clearmodifiers", name])
            time.sleep(0.05)

    def exit_status(self, seconds=10):
        try:
            return self.program.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise Failure("plonta.exe did not end within %d s" % seconds)

    def keep_shots(self):
        os.makedirs(self.artifacts, exist_ok=True)
        for i, (label, image) in enumerate(self.shots):
            path = os.path.join(self.artifacts, "%s-%02d-%s.ppm" % (self.name, i, label))
            with open(path, "wb") as f:
                f.write(image.raw)
        print("screenshots kept in", self.artifacts)

    def close(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()


def expect(condition, message):
    if not condition:
        raise Failure(message)


def start_and_wait_for_tile(s):
    s.key("space")
    return s.wait_for(lambda: conveyor_tiles(s.shot("running")), 6, "a tile on the conveyor")


# -- the cases ----------------------------------------------------------------------------

def case_first_frame(s, sim):
    s.start_program()
    image = s.shot("first")
    expect(image.at(35, 400) == RED and image.at(355, 400) == RED, "bin walls are not red")
    expect(image.at(200, 449) == RED, "the bin floor is not red")
    expect(image.at(30, 400) == DARK_RED and image.at(200, 50) == DARK_RED,
           "outlines and conveyor lines are not dark red")
    expect(image.at(195, 270) == WHITE and image.at(195, 265) == GREY, "no white paddle in lane 2")
    expect(conveyor_tiles(image) is None, "tiles on the conveyor before the start")
    box = image.ink_box(0, 110, image.width, 145)
    expect(box is not None and abs((box[0] + box[2]) / 2 - 200) <= 4,
           "'Start mit Leertaste.' is not centred on x 200: %r" % (box,))
    if sim:
        compare_with_sim(s, image, sim)


def compare_with_sim(s, gdi, sim):
    """The Cairo frame of the same state: shapes pixel for pixel, texts by their ink boxes."""
    with tempfile.TemporaryDirectory() as tmp:
        png = os.path.join(tmp, "ready.png")
        subprocess.run([sim], input=("seed 1\nshot %s\n" % png).encode(), check=True, timeout=30)
        cairo = Image(subprocess.run(["convert", png, "-depth", "8", "ppm:-"], check=True,
                                     capture_output=True, timeout=30).stdout)
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
    print("pixels differing outside the texts: %d" % differing)
    expect(differing <= 200, "%d pixels differ outside the texts" % differing)
    # Each text by its ink box: the aligned edge, the top and the height agree.
    regions = [  # left, top, right, bottom, aligned edge
        (0, 8, 83, 27, "left"), (0, 27, 83, 47, "left"), (83, 8, 250, 27, "left"),
        (83, 27, 250, 47, "left"), (250, 8, 394, 27, "right"), (250, 27, 394, 47, "right"),
        (0, 110, 394, 145, "centre")]
    for left, top, right, bottom, edge in regions:
        a, b = gdi.ink_box(left, top, right, bottom), cairo.ink_box(left, top, right, bottom)
        expect(a is not None and b is not None, "text missing in %r: GDI %r Cairo %r" %
               ((left, top), a, b))
        anchor = {"left": lambda k: k[0], "right": lambda k: k[2],
                  "centre": lambda k: (k[0] + k[2]) / 2}[edge]
        print("text at %r: GDI %r Cairo %r" % ((left, top), a, b))
        expect(abs(anchor(a) - anchor(b)) <= 3, "text %s edges differ: %r %r" % (edge, a, b))
        expect(abs(a[1] - b[1]) <= 3 and abs(a[3] - b[3]) <= 3,
               "text rows differ: GDI %r Cairo %r" % (a, b))
        width_a, width_b = a[2] - a[0] + 1, b[2] - b[0] + 1
        expect(0.7 <= width_a / width_b <= 1.4, "text widths differ: %r %r" % (a, b))


def case_play(s, sim):
    s.start_program()
    start_and_wait_for_tile(s)
    s.key("Right")
    s.wait_for(lambda: paddle_lane(s.shot("right")) == 3, 2, "the paddle in lane 3")
    s.key("Left", "Left", "Left")
    s.wait_for(lambda: paddle_lane(s.shot("left")) == 0, 2, "the paddle in lane 0")
    s.key("Left")
    time.sleep(0.3)
    expect(paddle_lane(s.shot("left again")) == 0, "the paddle left lane 0")


def case_pause(s, sim):
    s.start_program()
    start_and_wait_for_tile(s)
    s.key("KP_0")
    s.wait_for(lambda: conveyor_tiles(s.shot("paused")) is None, 2, "the tiles to hide")
    # "P A U S E" blinks with the ticks: shown in some frames, not in others.
    seen = set()
    for i in range(10):
        seen.add(s.shot("blink").ink_box(100, 110, 300, 145) is not None)
        time.sleep(TICK / 2)
    expect(seen == {True, False}, "the pause text does not blink: %r" % seen)
    # The editing block's Insert is no keypad 0.
    s.key("Insert")
    time.sleep(0.6)
    expect(conveyor_tiles(s.shot("insert")) is None, "Insert resumed the game")
    # Keypad 0 with NumLock off arrives as Insert without the extended flag: it resumes.
    s.key("KP_Insert")
    s.wait_for(lambda: conveyor_tiles(s.shot("resumed")) is not None, 2, "the tiles to return")


def case_minimise(s, sim):
    s.start_program()
    s.key("space")
    # Catch the first tile while it is high on the conveyor.
    before = s.wait_for(lambda: conveyor_tiles(s.shot("running")), 6, "a tile on the conveyor")
    s.where()
    print("foreground before minimising:", s.foreground)
    s.control("minimise")
    s.wait_for(lambda: s.where()[1], 5, "the window to be minimised")
    # Longer than a spawn period: a game still ticking would have moved and spawned.
    time.sleep(3.6)
    s.control("restore")
    s.wait_for(lambda: not s.where()[1], 5, "the window to be restored")
    time.sleep(0.1)
    after = s.wait_for(lambda: conveyor_tiles(s.shot("restored")), 3, "the tiles after restore")
    expect(after - before <= 2 * 15, "the game ran while minimised: lowest tile row %d, then %d"
           % (before, after))
    # And it ticks again.
    s.wait_for(lambda: conveyor_tiles(s.shot("ticking")) > after, 3, "the tiles to move on")


def case_escape(s, sim):
    s.start_program()
    s.key("Escape")
    status = s.exit_status()
    expect(status == 27, "exit status %d after Escape, not 27" % status)


def case_close(s, sim):
    s.start_program()
    s.control("close")
    status = s.exit_status()
    expect(status == 0, "exit status %d after closing, not 0" % status)


CASES = {"first_frame": case_first_frame, "play": case_play, "pause": case_pause,
         "minimise": case_minimise, "escape": case_escape, "close": case_close}


def main():
    if len(sys.argv) not in (5, 6) or sys.argv[4] not in CASES:
        print(__doc__, file=sys.stderr)
        return 2
    exe, ctl, artifacts, name = sys.argv[1:5]
    sim = sys.argv[5] if len(sys.argv) == 6 else None
    if sim and not os.path.exists(sim):
        print("no plonta-sim at %s: comparing without it" % sim)
        sim = None
    s = Session(exe, ctl, artifacts, name)
    try:
        # Wine's desktop stays bound to the X display of the program that started it: let the
        # server of an earlier program end first.
        subprocess.run(["wineserver", "-w"], env=s.env, timeout=60)
        s.start_x()
        CASES[name](s, sim)
        print("%s: passed" % name)
        return 0
    except (Failure, subprocess.SubprocessError) as failure:
        print("%s: FAILED: %s" % (name, failure))
        s.keep_shots()
        if s.program is not None and s.program.poll() is not None:
            s.errors.seek(0)
            print("plonta.exe ended with", s.program.returncode, s.errors.read().decode())
        return 1
    finally:
        s.close()
        subprocess.run(["wineserver", "-w"], env=s.env, timeout=60)


if __name__ == "__main__":
    sys.exit(main())
