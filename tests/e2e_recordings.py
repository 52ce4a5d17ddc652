"""Recordings in the end-to-end scripts of both programs: what a recording file may hold, play
that catches and drops a tile, and plonta-sim's dump and frame of a recording."""

import json
import os
import re
import subprocess
import tempfile
import time

from e2e_support import (LANE_STEP, Failure, Image, conveyor_tiles, expect, is_black,
                         is_white, paddle_lane)

WORDS = re.compile(r"(tick [1-9][0-9]*|space|left|right|pause)")


def check_recording(text, program):
    """The file's lines as a recording writes them: a comment naming the program, the seed, then
    one word per command with each stretch of ticks on one line. Returns the lines after the
    seed."""
    expect(text.endswith("\n"), "the recording does not end with a whole line: %r" % text[-40:])
    lines = text[:-1].split("\n")
    expect(len(lines) >= 2 and lines[0].startswith("# ") and program in lines[0],
           "no comment naming %s first: %r" % (program, lines[:1]))
    expect(re.fullmatch(r"seed [0-9]+", lines[1]) is not None,
           "no seed second: %r" % lines[1:2])
    body = lines[2:]
    for before, line in zip([""] + body, body):
        expect(WORDS.fullmatch(line) is not None, "not a recorded line: %r" % line)
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


def sim_replay(sim, text):
    """plonta-sim's dump and frame at the end of a recording."""
    with tempfile.TemporaryDirectory() as tmp:
        png = os.path.join(tmp, "frame.png")
        done = subprocess.run([sim], input=(text + "dump\nshot %s\n" % png).encode(),
                              capture_output=True, timeout=60)
        expect(done.returncode == 0, "plonta-sim refused the recording (%d): %s" % (
            done.returncode, done.stderr.decode(errors="replace")))
        return json.loads(done.stdout.decode().splitlines()[-1]), Image.from_file(png)


def same_pixels(a, b):
    return (a.width, a.height, a.pixels) == (b.width, b.height, b.pixels)


def differing(a, b, limit=8):
    """Where two images differ, for a failure message."""
    found = []
    for y in range(min(a.height, b.height)):
        for x in range(min(a.width, b.width)):
            if a.at(x, y) != b.at(x, y):
                found.append(((x, y), a.at(x, y), b.at(x, y)))
                if len(found) >= limit:
                    return found
    return found


def catch_and_drop(s):
    """Stands the paddle under the first tile on its way, waits for the paddle to catch it and
    drops it. A key late on a loaded machine may miss the tile: the recording holds what
    happened, and that is all the cases compare."""
    tiles = s.wait_for(lambda: conveyor_tiles(s.shot("a tile to catch")), 10,
                       "a tile on the conveyor")
    lane, cell = max(tiles, key=lambda tile: tile[1])
    here = paddle_lane(s.wait_for_shot("the paddle", lambda image: paddle_lane(image) is not None,
                                       5, "the paddle"))
    s.key(*(["Right"] * (lane - here) + ["Left"] * (here - lane)))
    s.wait_for_lane(lane, "under the tile")
    def gone_by(image):
        return not any(l == lane and c >= cell for l, c in conveyor_tiles(image))
    # At most eleven cells to the end, one a tick; the seconds bound a loaded machine.
    s.wait_for_shot("catching", gone_by, 8, "the tile to reach the paddle")

    def empty(image):
        # The bar stands a cell lower for each tile on it; its ends reach past the tiles.
        return is_white(image.at(45 + LANE_STEP * lane, 270))
    try:
        # Caught at the tick after it left the visible cells.
        s.wait_for_shot("caught", lambda image: not empty(image), 2, "the tile on the paddle")
    except Failure:
        print("the tile got away")
        return
    def column(image):
        return sum(not is_black(image.at(75 + LANE_STEP * lane, 357 + 18 * row))
                   for row in range(5))
    before = column(s.shots[-1][1])
    s.key("Down")
    # Later screenshots show the drop, however late the key arrives: the tile in the bin, or
    # at least off the paddle (the next tile down the lane may be caught soon after).
    s.wait_for_shot("dropped", lambda image: column(image) > before or empty(image), 5,
                    "the tile to drop")


def wait_for_frame(s, frame, seconds, what):
    """The window shows frame, pixel for pixel."""
    try:
        return s.wait_for_shot(what, lambda image: same_pixels(image, frame), seconds, what)
    except Failure:
        last = s.shots[-1][1]
        raise Failure("%s: the window shows another frame, differing at %r" % (
            what, differing(last, frame)))
