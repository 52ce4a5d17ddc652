"""What the end-to-end scripts of both programs share: a private X server per case, screenshots
read back at the playfield's coordinates, tools run with retries, the verdicts on ticks, and the
command line that runs one case.

A script subclasses Session for how its program starts and where its window is, and passes its
cases to main().
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xvfb import start_xvfb  # noqa: E402

TICK = 0.25
LANES = 5
LANE_STEP = 60
CELL = 15
# A tile is spawned every ten ticks and runs ten cells down its lane in that time.
SPAWN_PERIOD = 10


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


# -- pixels -------------------------------------------------------------------------------


class Image:
    """RGB pixels from a binary PPM; taken is the (start, end) of the screenshot on the
    monotonic clock, when it came from the screen."""

    def __init__(self, data, taken=None):
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos)
                continue
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
        self.taken = taken

    @classmethod
    def from_file(cls, path):
        done = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                              capture_output=True, timeout=30)
        return cls(done.stdout)

    def at(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise Failure("(%d, %d) lies outside the %dx%d image" % (x, y, self.width,
                                                                     self.height))
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def ink_box(self, left, top, right, bottom):
        """The bounding box of red text ink inside a region, or None."""
        xs, ys = [], []
        for y in range(top, min(bottom, self.height)):
            for x in range(left, min(right, self.width)):
                if is_ink(self.at(x, y)):
                    xs.append(x)
                    ys.append(y)
        return (min(xs), min(ys), max(xs), max(ys)) if xs else None

    def ink_count(self, left, top, right, bottom):
        return sum(is_ink(self.at(x, y)) for y in range(top, bottom) for x in range(left, right))


def is_red(p):
    return p[0] >= 150 and p[1] <= 60 and p[2] <= 60


def is_ink(p):
    """Anti-aliased red text."""
    return p[0] >= 90 and p[1] <= 80 and p[2] <= 80


def is_white(p):
    return min(p) >= 240


def is_black(p):
    return max(p) <= 20


def is_tile_fill(p):
    """One of the tiles' full colours: every channel at full strength or off."""
    return not is_black(p) and all(c >= 240 or c <= 15 for c in p)


# -- the playfield, read from an image of the client area ---------------------------------


def lane_middle(lane):
    return 80 + LANE_STEP * lane


def paddle_lane(image):
    """The lane of the white paddle bar, which sinks a cell for each tile it carries; carried
    tiles, white ones too, stand in the same lane."""
    lanes = {lane for lane in range(LANES) for carried in range(4)
             if is_white(image.at(lane_middle(lane) - 5, 270 + CELL * carried))}
    return lanes.pop() if len(lanes) == 1 else None


def conveyor_tiles(image):
    """(lane, cell) of every tile on the conveyor, found down each lane's middle."""
    tiles = []
    for lane in range(LANES):
        x, y = lane_middle(lane), 53
        while y < 220:
            if not is_tile_fill(image.at(x, y)):
                y += 1
                continue
            top = y
            while y < 220 and is_tile_fill(image.at(x, y)):
                y += 1
            # A tile is a solid band 50 wide; message text over the conveyor is not.
            middle = (top + y) // 2
            if y - top >= 8 and all(not is_black(image.at(x + dx, middle))
                                    for dx in range(-18, 19, 3)):
                tiles.append((lane, round((top - 56) / CELL)))
    return tiles


def drop_bar(image):
    """How many glyphs the drop bar at the top right still shows."""
    glyphs, inked_before = 0, False
    for x in range(250, min(394, image.width)):
        inked = any(is_ink(image.at(x, y)) for y in range(27, 47))
        glyphs += inked and not inked_before
        inked_before = inked
    return glyphs


def message_ink(image, top=116, bottom=138):
    """Ink of the centred message line that starts at y = top + 4."""
    return image.ink_count(120, top, 281, bottom)


def odometer(image):
    """Ticks of play as the screen shows them, from some fixed start, or None.

    Only while the paddle stands in lane 4, where no tile enters: every tile then runs to the
    end and is missed, so the drop bar counts the tiles gone by and the one tile on the
    conveyor counts the ticks since the last one entered."""
    tiles = conveyor_tiles(image)
    if len(tiles) != 1:
        return None
    return SPAWN_PERIOD * -drop_bar(image) + tiles[0][1]


# -- verdicts on ticks ---------------------------------------------------------------------

# How long a case keeps the game minimised or paused: 16 ticks, so a game that ticks anyway
# moves far beyond the few ticks check_standstill allows around the span.
FROZEN_SECONDS = 4.0

# Ticks a correct program may still make after the screen showed it stopped: the moment it
# notices the minimise or the pause key lags behind what the X server shows (an event through
# a loaded machine), and timers may be a few milliseconds early. 750 ms covers that.
NOTICE_TICKS = 3

# How far beyond the allowance a game that ticks all the time must land for the verdict to be
# worth its time; at 4 s frozen it lands about 9 beyond, a tick or two less when loaded.
MIN_MARGIN = 5


def ticks_within(seconds):
    """The most ticks a correct program makes in a span: its deadlines lie on a 250 ms grid, and
    one late tick from before the span can still fall inside it."""
    return max(0, int(seconds / TICK)) + 2


def check_standstill(before, after, frozen_from, frozen_until, what):
    """The game between two screenshots ticked only while it was not frozen.

    frozen_from and frozen_until bound a span in which the game was seen stopped (minimised,
    paused). A correct game can only have ticked in the time between the screenshots outside
    that span; one that ticks anyway makes one tick per 250 ms of the whole time. Judging by
    the time actually spent, not by a fixed number of cells, keeps a slow machine (each step
    of the case taking a second) from failing a correct game."""
    start, end = odometer(before), odometer(after)
    expect(start is not None and end is not None,
           "the conveyor cannot be read: %r before, %r after" % (conveyor_tiles(before),
                                                                conveyor_tiles(after)))
    moved = end - start
    lead, tail = frozen_from - before.taken[0], after.taken[1] - frozen_until
    allowed = ticks_within(lead) + ticks_within(tail) + NOTICE_TICKS
    ticking = int((after.taken[0] - before.taken[1]) / TICK)
    print("%s: tile %r under %d bar glyphs, then %r under %d: moved %d ticks. %.2f s outside "
          "the frozen %.2f s allow %d; a game ticking throughout makes about %d" % (
              what, conveyor_tiles(before)[0], drop_bar(before), conveyor_tiles(after)[0],
              drop_bar(after), moved, lead + tail, frozen_until - frozen_from, allowed, ticking))
    expect(ticking - allowed >= MIN_MARGIN, "frozen for %.2f s of %.2f: too short to tell" % (
        frozen_until - frozen_from, after.taken[1] - before.taken[0]))
    expect(moved >= 0, "the conveyor went back while %s: %r, then %r" % (
        what, conveyor_tiles(before), conveyor_tiles(after)))
    expect(moved <= allowed, "the game ran while %s: moved %d ticks, at most %d outside the "
           "%.2f s it was stopped" % (what, moved, allowed, frozen_until - frozen_from))
    return moved


# -- one case: an X server, the program, its screenshots -----------------------------------


class Session:
    """One X server and one run of the program. Subclasses say how the program starts and where
    its client area lies on the screen."""

    SCREEN = "1024x768x24"
    # Positional arguments before ARTIFACT_DIR CASE, and optional ones after it: (name, help).
    ARGUMENTS = ()
    OPTIONAL = ()
    KEY_OPTIONS = ()
    KEPT_SHOTS = 12

    def __init__(self, args):
        self.artifacts, self.name = args.artifacts, args.case
        self.procs, self.shots = [], []
        self.program = None
        # (left, top, width, height) of the client area on the screen, once located.
        self.client = None
        self.x_running = False
        self.tmp = tempfile.mkdtemp(prefix="plonta-e2e-")
        self.env = dict(os.environ)

    # -- to be given by each platform ------------------------------------------------------

    def start_program(self):
        raise NotImplementedError

    def locate(self):
        """Sets self.client from where the window stands now."""
        raise NotImplementedError

    def focus(self):
        pass

    def prepare(self):
        """Runs before the case."""

    def diagnose(self):
        """Prints what helps understand a failure."""

    # -- the X server and its tools --------------------------------------------------------

    def start_x(self):
        try:
            self.procs.append(start_xvfb(self.env, self.SCREEN))
        except RuntimeError as e:
            raise Failure(str(e))
        self.x_running = True

    def spawn(self, args, **kwargs):
        """Starts a process that close() ends."""
        kwargs.setdefault("env", self.env)
        proc = subprocess.Popen(args, **kwargs)
        self.procs.append(proc)
        return proc

    def tool(self, args, check=True, timeout=20, tries=3):
        """Runs a tool to its end, again when it fails or hangs; returns its output."""
        error = "timed out"
        for attempt in range(tries):
            try:
                done = subprocess.run(args, env=self.env, capture_output=True, timeout=timeout)
            except subprocess.TimeoutExpired:
                continue
            if done.returncode == 0 or not check:
                return done.stdout.decode(errors="replace")
            error = "status %d: %s" % (done.returncode, done.stderr.decode(errors="replace"))
            time.sleep(0.2)
        raise Failure("%s failed (%s)" % (" ".join(args), error.strip()))

    def wait_for(self, test, seconds, what):
        deadline = time.monotonic() + seconds
        while True:
            value = test()
            if value:
                return value
            if time.monotonic() >= deadline:
                raise Failure("timed out after %g s waiting for %s" % (seconds, what))
            time.sleep(0.05)

    def shot(self, label="", whole=False):
        """A screenshot of the client area (or of the whole screen); the last few are kept for
        a failure's artifacts."""
        args = ["import", "-window", "root", "-depth", "8"]
        if not whole:
            left, top, width, height = self.client
            args += ["-crop", "%dx%d+%d+%d" % (width, height, left, top), "+repage"]
        for attempt in range(3):
            start = time.monotonic()
            done = subprocess.run(args + ["ppm:-"], env=self.env, capture_output=True,
                                  timeout=20)
            if done.returncode == 0 and done.stdout.startswith(b"P6"):
                image = Image(done.stdout, (start, time.monotonic()))
                self.shots.append((label, image))
                del self.shots[:-self.KEPT_SHOTS]
                return image
            time.sleep(0.2)
        raise Failure("no screenshot")

    def key(self, *names):
        for name in names:
            self.tool(["xdotool", "key"] + list(self.KEY_OPTIONS) + [name])
            time.sleep(0.05)

    def hold(self, name, until, seconds, what):
        """Holds a key down until a test on the screen passes."""
        self.tool(["xdotool", "keydown", name])
        try:
            return self.wait_for(until, seconds, what)
        finally:
            self.tool(["xdotool", "keyup", name], check=False)

    def wait_for_shot(self, label, test, seconds, what):
        """The first screenshot that passes a test."""
        def passes():
            image = self.shot(label)
            return image if test(image) else None
        return self.wait_for(passes, seconds, what)

    def ticks_shown(self, label, seconds=5):
        """The first screenshot whose conveyor can be read, see odometer(). Running, one is
        readable all but the tick before the first tile; after the start that tile needs ten
        ticks, so callers waiting for it give 10 s."""
        return self.wait_for_shot(label, lambda image: odometer(image) is not None, seconds,
                                  "one tile on the conveyor")

    def wait_for_ticks_after(self, image, seconds=5):
        """Play goes on: the conveyor moves on from a screenshot's. A tick comes every 250 ms;
        the seconds only bound a loaded machine."""
        def moved_on(now):
            ticks = odometer(now)
            return ticks is not None and ticks > odometer(image)
        return self.wait_for_shot("ticking again", moved_on, seconds, "ticks to go on")

    def wait_for_lane(self, lane, label):
        # Keys reach a program on a loaded machine late; 5 s only bounds one that ignores them.
        return self.wait_for_shot(label, lambda image: paddle_lane(image) == lane, 5,
                                  "the paddle in lane %d" % lane)

    def to_lane_4(self):
        """No tile enters lane 4: with the paddle there every tile is missed, which the odometer
        counts on."""
        self.key("Right", "Right")
        self.wait_for_lane(4, "to lane 4")

    def watch_pause(self, since, at_least):
        """Screenshots of a paused game until "P A U S E" was seen both shown and hidden, and at
        least at_least seconds since the pause; the conveyor stays hidden throughout."""
        shown = hidden = 0
        # It shows in every other frame, one per tick. Screenshots on a loaded machine can fall
        # in step with the blink for a while: look for up to 6 s more before calling it steady.
        while not (shown and hidden and time.monotonic() - since >= at_least):
            expect(time.monotonic() - since < at_least + 6,
                   "'P A U S E' did not blink (%d shown, %d hidden)" % (shown, hidden))
            image = self.shot("paused")
            expect(not conveyor_tiles(image), "conveyor tiles drawn while paused")
            ink = message_ink(image)
            shown += ink >= 20
            hidden += ink == 0

    def pause_and_resume_with(self, key):
        """One key pauses a running game (its conveyor hides) and the same key resumes it (the
        tiles come back). Both show at the next tick; 5 s bound a loaded machine."""
        self.wait_for_shot("running", lambda image: conveyor_tiles(image), 10,
                           "tiles on the conveyor")
        self.key(key)
        self.wait_for_shot("paused by " + key, lambda image: not conveyor_tiles(image), 5,
                           "%s to pause the game" % key)
        self.key(key)
        self.wait_for_shot("resumed by " + key, lambda image: conveyor_tiles(image), 5,
                           "%s to resume the game" % key)

    def exit_status(self, seconds=20):
        # A program ends within a frame of its last key; the seconds bound the teardown of a
        # loaded machine's Wine or sanitizer run, not the program.
        try:
            return self.program.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end within %d s" % seconds)

    # -- after the case --------------------------------------------------------------------

    def keep_shots(self):
        if self.x_running:
            try:
                self.shot("whole screen at the failure", whole=True)
            except Exception as error:
                print("no last screenshot:", error)
        os.makedirs(self.artifacts, exist_ok=True)
        for i, (label, image) in enumerate(self.shots):
            slug = "".join(c if c.isalnum() else "-" for c in label).strip("-")
            path = os.path.join(self.artifacts, "%s-%02d-%s.ppm" % (self.name, i, slug))
            with open(path, "wb") as f:
                f.write(image.raw)
            print("kept %s (%s)" % (path, label))

    def close(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        self.x_running = False
        shutil.rmtree(self.tmp, ignore_errors=True)


def main(session_class, cases, description, argv=None):
    """Runs the one case the command line names; 0 when it passed, 1 when it failed."""
    parser = argparse.ArgumentParser(description=description,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    for name, text in session_class.ARGUMENTS:
        parser.add_argument(name, help=text)
    parser.add_argument("artifacts", metavar="ARTIFACT_DIR",
                        help="where the screenshots of a failed case are kept")
    parser.add_argument("case", metavar="CASE", choices=list(cases),
                        help="one of " + ", ".join(cases))
    for name, text in session_class.OPTIONAL:
        parser.add_argument(name, nargs="?", help=text)
    args = parser.parse_args(argv)
    try:
        session = session_class(args)
    except Failure as error:
        print("FAIL %s: %s" % (args.case, error))
        return 1
    try:
        session.prepare()
        cases[args.case](session)
    except Exception as error:  # every failure keeps its screenshots
        print("FAIL %s: %s: %s (client area %r)" % (args.case, type(error).__name__, error,
                                                   session.client))
        try:
            session.diagnose()
        finally:
            session.keep_shots()
        return 1
    finally:
        session.close()
    print("ok %s" % args.case)
    return 0
