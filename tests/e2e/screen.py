"""What the end-to-end cases read off either program's screenshots, at the playfield's own
coordinates; the verdict on ticks while frozen; recordings and plonta-sim's dump and frame of
one."""

import json
import os
import re
import subprocess
import tempfile

TICK, LANES, LANE_STEP, CELL = 0.25, 5, 60, 15
# A tile is spawned every ten ticks and runs ten cells down its lane in that time.
SPAWN_PERIOD = 10
RED, DARK_RED, WHITE, GREY = (255, 0, 0), (180, 0, 0), (255, 255, 255), (180, 180, 180)


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


class Image:
    """RGB pixels from a binary PPM as ImageMagick writes one; taken is the (start, end) of the
    screenshot on the monotonic clock, when it came from the screen."""

    def __init__(self, data, taken=None):
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        expect(header, "unexpected image format %r" % data[:20])
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.pixels, self.raw, self.taken = data[header.end():], data, taken

    @classmethod
    def from_file(cls, path):
        return cls(subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                                  capture_output=True, timeout=30).stdout)

    def at(self, x, y):
        expect(0 <= x < self.width and 0 <= y < self.height, "(%d, %d) lies outside the %dx%d "
               "image" % (x, y, self.width, self.height))
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def ink(self, left, top, right, bottom):
        """(x, y) of each pixel of red text ink inside a region."""
        return [(x, y) for y in range(top, min(bottom, self.height))
                for x in range(left, min(right, self.width)) if is_ink(self.at(x, y))]

    def ink_box(self, left, top, right, bottom):
        """The bounding box of the ink inside a region, or None."""
        ink = self.ink(left, top, right, bottom)
        if not ink:
            return None
        xs, ys = zip(*ink)
        return min(xs), min(ys), max(xs), max(ys)


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


def same_pixels(a, b):
    return (a.width, a.height, a.pixels) == (b.width, b.height, b.pixels)


def looks_differing(a, b):
    """Pixels of the playfield that differ, and status text ink only one frame has, over the
    part both show (the Windows client area is the frame cut at its right and foot)."""
    width, height = min(a.width, b.width), min(a.height, b.height)
    pixels = sum(a.pixels[(y * a.width + x) * 3:(y * a.width + x) * 3 + 3] !=
                 b.pixels[(y * b.width + x) * 3:(y * b.width + x) * 3 + 3]
                 for y in range(50, height) for x in range(width))
    return pixels, len(set(a.ink(0, 5, width, 47)) ^ set(b.ink(0, 5, width, 47)))


def differing(a, b, limit=8):
    """Where two images differ, at most limit places; empty when they are the same."""
    if same_pixels(a, b):
        return []
    found = [] if (a.width, a.height) == (b.width, b.height) else [
        ("size", (a.width, a.height), (b.width, b.height))]
    for y in range(min(a.height, b.height)):
        for x in range(min(a.width, b.width)):
            if a.at(x, y) != b.at(x, y):
                found.append(((x, y), a.at(x, y), b.at(x, y)))
                if len(found) >= limit:
                    return found
    return found


# -- the playfield ------------------------------------------------------------------------


def lane_middle(lane):
    return 80 + LANE_STEP * lane


def paddle_lane(image):
    """The lane of the white paddle bar, which sinks a cell for each tile it carries; carried
    tiles, white ones too, stand in the same lane."""
    lanes = {lane for lane in range(LANES) for carried in range(4)
             if is_white(image.at(lane_middle(lane) - 5, 270 + CELL * carried))}
    return lanes.pop() if len(lanes) == 1 else None


def paddle_left(image):
    return next((x for x in range(400) if is_white(image.at(x, 270))), None)


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


def bin_cells(image):
    """The colour at the middle of each bin cell: a tile's fill, or the black of an empty one."""
    return [image.at(75 + 60 * column, 357 + 18 * row) for column in range(5) for row in range(5)]


def game_shown(image):
    """The game's pieces as a frame shows them: the paddle, the conveyor, the bin."""
    return paddle_lane(image), conveyor_tiles(image), bin_cells(image)


def drop_bar(image):
    """How many glyphs the drop bar at the top right still shows."""
    columns = [any(is_ink(image.at(x, y)) for y in range(27, 47))
               for x in range(250, min(394, image.width))]
    return sum(inked and not before for before, inked in zip([False] + columns, columns))


def message_ink(image, top=116, bottom=138):
    """Ink of the centred message line that starts at y = top + 4."""
    return len(image.ink(120, top, 281, bottom))


def odometer(image):
    """Ticks of play as the screen shows them, from some fixed start, or None.

    Only while the paddle stands in lane 4, where no tile enters: every tile then runs to the
    end and is missed, so the drop bar counts the tiles gone by and the one tile on the
    conveyor counts the ticks since the last one entered."""
    tiles = conveyor_tiles(image)
    return SPAWN_PERIOD * -drop_bar(image) + tiles[0][1] if len(tiles) == 1 else None


def gdi_differences(gdi, cairo, tiles=0):
    """How a GDI frame differs from the Cairo frame of the same game beyond what the two
    renderers may: shapes pixel for pixel, a few pixels of rounded ends (some fifty more for
    each tile drawn), texts by their ink boxes' aligned edge, top, height and width."""
    points = [(35, 400), (355, 400), (200, 449), (195, 270)]
    points += [(x, 400) for x in (28, 29, 30, 31, 38, 39, 40, 41, 348, 349, 350, 351, 358, 359,
                                  360)]
    points += [(35, y) for y in (338, 339, 340, 341)] + [(200, y) for y in range(442, 457)]
    points += [(200, y) for y in range(47, 54)] + [(200, y) for y in range(217, 224)]
    points += [(195, y) for y in range(262, 278)] + [(x, 50) for x in (6, 100, 300, 388)]
    wrong = [(p, gdi.at(*p), cairo.at(*p)) for p in points if gdi.at(*p) != cairo.at(*p)]
    if wrong:
        return ["shapes differ at %r" % wrong[:8]]
    count = sum(gdi.at(x, y) != cairo.at(x, y) for y in range(min(gdi.height, cairo.height))
                if not (5 <= y < 47 or 110 <= y < 145) for x in range(min(gdi.width, cairo.width)))
    problems = ["%d pixels differ outside the texts" % count] if count > 200 + 60 * tiles else []
    anchor = {"left": lambda k: k[0], "right": lambda k: k[2],
              "centre": lambda k: (k[0] + k[2]) / 2}
    for left, top, right, bottom, edge in [
            (0, 8, 83, 27, "left"), (0, 27, 83, 47, "left"), (83, 8, 250, 27, "left"),
            (83, 27, 250, 47, "left"), (250, 8, 394, 27, "right"), (250, 27, 394, 47, "right"),
            (0, 110, 394, 145, "centre")]:
        a, b = gdi.ink_box(left, top, right, bottom), cairo.ink_box(left, top, right, bottom)
        # Both without a box: a line with no message in this state.
        if (a or b) and not (a and b and abs(anchor[edge](a) - anchor[edge](b)) <= 3 and
                             abs(a[1] - b[1]) <= 3 and abs(a[3] - b[3]) <= 3 and
                             0.7 <= (a[2] - a[0] + 1) / (b[2] - b[0] + 1) <= 1.4):
            problems.append("text at %r: GDI %r Cairo %r" % ((left, top), a, b))
    return problems


# -- the verdict on ticks ------------------------------------------------------------------

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


def frozen_seconds(before):
    """How long a case keeps the game stopped after the screenshot before: FROZEN_SECONDS, and
    as long again as two such screenshots take. The time they take counts for neither side of
    the verdict, and on a loaded machine one takes a second or more."""
    return FROZEN_SECONDS + 2 * (before.taken[1] - before.taken[0])


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


# -- recordings ---------------------------------------------------------------------------


def read(path):
    with open(path, newline="") as f:
        return f.read()


def check_recording(text, program):
    """The file's lines as a recording writes them: a comment naming the program, the seed, then
    one word per command with each stretch of ticks on one line, and a seed for each new game.
    Returns the lines after the first seed."""
    expect(text.endswith("\n"), "the recording does not end with a whole line: %r" % text[-40:])
    lines = text[:-1].split("\n")
    expect(len(lines) >= 2 and lines[0].startswith("# ") and program in lines[0],
           "no comment naming %s first: %r" % (program, lines[:1]))
    expect(re.fullmatch(r"seed [0-9]+", lines[1]), "no seed second: %r" % lines[1:2])
    body = lines[2:]
    for before, line in zip([""] + body, body):
        expect(re.fullmatch(r"tick [1-9][0-9]*|space|left|right|pause|seed [0-9]+", line),
               "not a recorded line: %r" % line)
        expect(not (before.startswith("tick") and line.startswith("tick")),
               "ticks on two lines in a row: %r, %r" % (before, line))
    return body


def without_last_tick(text):
    """The recording one tick shorter, or None when it does not end in ticks."""
    lines = text[:-1].split("\n")
    if not lines[-1].startswith("tick "):
        return None
    ticks = int(lines[-1].split()[1])
    lines[-1:] = ["tick %d" % (ticks - 1)] if ticks > 1 else []
    return "\n".join(lines) + "\n"


def edge(x, scale):
    """The first image pixel of frame pixel x at a scale (1.6 and the like included), to the
    thousandth as the programs place it."""
    return -((-x * round(scale * 1000)) // 1000)


def sim_replay(sim, text, scale=1, options=()):
    """plonta-sim's dump and frame (at a scale, drawn with its options) at the end of a
    recording."""
    expect(sim and os.path.exists(sim), "no plonta-sim (a Linux build makes it): %r" % sim)
    with tempfile.TemporaryDirectory() as tmp:
        png = os.path.join(tmp, "frame.png")
        done = subprocess.run([sim, *options], input=(text + "dump\nshot %s %s\n" % (png, scale)).encode(),
                              capture_output=True, timeout=60)
        expect(done.returncode == 0, "plonta-sim refused the recording (%d): %s" % (
            done.returncode, done.stderr.decode(errors="replace")))
        return json.loads(done.stdout.decode().splitlines()[-1]), Image.from_file(png)


def tiles_drawn(state):
    """Tiles a frame shows at most: on the visible cells of the conveyor, in the bin, on the
    paddle."""
    return (sum(tile != 0 for lane in state["conveyor"] for tile in lane[:11]) +
            sum(tile != 0 for column in state["bin"] for tile in column) + state["carriedCount"])
