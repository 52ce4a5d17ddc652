#!/usr/bin/env python3
"""The real program as a player uses it, each case in its own X server: keys through xdotool,
pixels from screenshots of the client area. One list of cases, run on the SDL program (linux)
and on plonta.exe under Wine (windows, in the prefix WINEPREFIX names); a case only one program
has names it. Screenshots of a failed case are kept in the artifacts folder.

Usage: plonta_e2e.py PROGRAM --list
       plonta_e2e.py PROGRAM CASE --plonta FILE --artifacts DIR [--sim SIM] [--ctl CTL]
"""

import argparse
import collections
import http.server
import json
import os
import queue
import re
import shutil
import signal
import subprocess
import sys
import threading
import time
import urllib.parse

import sound
from programs import PROGRAMS, write_whole
from screen import (DARK_RED, GREY, LANE_STEP, RED, WHITE, Failure,
                    check_recording, check_standstill, conveyor_tiles, differing, drop_bar, edge,
                    expect, frozen_seconds, game_shown, is_black, is_white, message_ink,
                    paddle_lane, paddle_left, looks_differing, read, same_pixels, sim_replay,
                    tiles_drawn,
                    without_last_tick)

Needs = collections.namedtuple("Needs", "run programs wm screen x")
SKIPPED = 77  # the tests' SKIP_RETURN_CODE
CASES = {}


def case(*programs, wm=False, screen=None, x=True):
    """A case for the programs named (every one when none is), needing a window manager, a
    screen other than the program's usual one, or no X server at all."""
    def register(run):
        CASES[run.__name__] = Needs(run, programs or tuple(PROGRAMS), wm, screen, x)
        return run
    return register


# -- steps the cases share ----------------------------------------------------------------


def expect_ready(image):
    """The first frame of a game: the bin, the paddle in lane 2, the start message centred, the
    conveyor empty."""
    for x, y in [(35, 345), (35, 400), (35, 440), (355, 345), (355, 400), (355, 440), (60, 450),
                 (200, 449), (200, 450), (330, 450)]:
        expect(image.at(x, y) == RED, "bin wall or floor not red at (%d, %d): %r" % (
            x, y, image.at(x, y)))
    expect(image.at(30, 400) == DARK_RED and image.at(200, 50) == DARK_RED,
           "outlines and conveyor lines are not dark red")
    expect(is_black(image.at(200, 400)), "inside of the bin not black")
    expect(image.at(195, 270) == WHITE and image.at(195, 265) == GREY and
           paddle_lane(image) == 2, "no white paddle in lane 2")
    left = paddle_left(image)
    expect(left is not None and 158 <= left <= 164, "paddle's left end at %r, not about 160" % left)
    box = image.ink_box(0, 110, image.width, 145)
    expect(message_ink(image) >= 30 and box and abs((box[0] + box[2]) / 2 - 200) <= 4,
           "'Start mit Leertaste.' is not centred on x 200: %r" % (box,))
    expect(message_ink(image, 76, 98) == 0, "ink on the empty message line at y 80")
    expect(not conveyor_tiles(image), "tiles on the conveyor before the start")


def expect_same_frame(s, image, frames, tiles, what):
    """The window shows the game of one of plonta-sim's frames, drawn as closely as its
    renderer draws them."""
    found = [(["the window shows %r, plonta-sim %r" % (game_shown(image), game_shown(frame))]
              if game_shown(image) != game_shown(frame) else []) +
             s.frame_differences(image, frame, tiles) for frame in frames]
    expect(not all(found), "%s differs from plonta-sim's: %r" % (what, found[0]))


def ended_and_still(s, ended):
    """A replay's end on the frame plonta-sim ended on: the same pieces (a life lost shows them
    too), and a second later the same pixels."""
    def still(image):
        if game_shown(image) != game_shown(ended):
            return False
        time.sleep(1.0)
        return same_pixels(image, s.shot("a second later"))
    return still


def to_lane_4(s):
    """No tile enters lane 4: with the paddle there every tile is missed, which the odometer
    counts on."""
    s.key("Right", "Right")
    s.wait_for_lane(4, "to lane 4")


def watch_pause(s, since, at_least):
    """Screenshots of a paused game until "P A U S E" was seen both shown and hidden, and at
    least at_least seconds since the pause; the conveyor stays hidden throughout."""
    shown = hidden = 0
    # It shows in every other frame, one per tick. Screenshots on a loaded machine can fall in
    # step with the blink for a while: look for up to 6 s more before calling it steady.
    while not (shown and hidden and time.monotonic() - since >= at_least):
        expect(time.monotonic() - since < at_least + 6,
               "'P A U S E' did not blink (%d shown, %d hidden)" % (shown, hidden))
        image = s.shot("paused")
        expect(not conveyor_tiles(image), "conveyor tiles drawn while paused")
        shown += message_ink(image) >= 20
        hidden += message_ink(image) == 0


def catch_and_drop(s):
    """Stands the paddle under the first tile on its way, waits for the paddle to catch it and
    drops it. A key late on a loaded machine may miss the tile: the recording holds what
    happened, and that is all the cases compare."""
    lane, cell = max(conveyor_tiles(s.wait_for_tiles("a tile to catch")), key=lambda t: t[1])
    here = paddle_lane(s.wait_for_shot("the paddle", lambda image: paddle_lane(image) is not None,
                                       5, "the paddle"))
    s.key(*(["Right"] * (lane - here) + ["Left"] * (here - lane)))
    s.wait_for_lane(lane, "under the tile")
    # At most eleven cells to the end, one a tick; the seconds bound a machine so loaded that
    # its ticks come late.
    s.wait_for_shot("catching", lambda image: not any(
        l == lane and c >= cell for l, c in conveyor_tiles(image)), 20,
        "the tile to reach the paddle")

    def empty(image):
        # The bar stands a cell lower for each tile on it; its ends reach past the tiles.
        return is_white(image.at(45 + LANE_STEP * lane, 270))

    def column(image):
        return sum(not is_black(image.at(75 + LANE_STEP * lane, 357 + 18 * row))
                   for row in range(5))
    try:
        # Caught at the tick after it left the visible cells.
        s.wait_for_shot("caught", lambda image: not empty(image), 2, "the tile on the paddle")
    except Failure:
        print("the tile got away")
        return
    before = column(s.shots[-1][1])
    s.key("Down")
    # Later screenshots show the drop, however late the key arrives: the tile in the bin, or
    # at least off the paddle (the next tile down the lane may be caught soon after).
    s.wait_for_shot("dropped", lambda image: column(image) > before or empty(image), 5,
                    "the tile to drop")


# -- the cases of both programs -----------------------------------------------------------


@case()
def first_frame(s):
    """The first frame, as plonta-sim draws the same state; Escape ends with 27."""
    s.start_program()
    image = s.shot("first frame")
    expect(not s.CLIENT or s.client == s.CLIENT, "window client %r, not %r" % (s.client,
                                                                            s.CLIENT))
    expect_ready(image)
    expect(drop_bar(image) == 10, "%d drop bar glyphs, not 10" % drop_bar(image))
    if s.sim:
        s.shots.append(("plonta-sim", sim_replay(s.sim, "seed 1\n")[1]))
        expect_same_frame(s, image, [s.shots[-1][1]], 0, "the first frame")
    s.escape()


@case()
def seeds(s):
    """Games started a few hundred milliseconds apart are different games: the seed is a
    millisecond count that goes on from one start to the next."""
    seeds = []
    for start in range(2):
        game = os.path.join(s.tmp, "seed-%d.sim" % start)
        s.start_program("--record", s.path(game))
        s.escape()
        seeds.append(int(read(game).split("\n")[1].split()[1]))
        time.sleep(0.3)
    apart = (seeds[1] - seeds[0]) % 2**32
    expect(300 <= apart < 60000,
           "seeds %r are not the 300 ms or more apart that the starts were" % seeds)


@case()
def play(s):
    """Space starts; an arrow moves the paddle a lane, held down it repeats, at the wall it does
    nothing; no tile enters lane 4."""
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
    # At the wall Left does nothing: the Right after it then takes the paddle to lane 1. A
    # paddle that wrapped round or left the field would stand elsewhere.
    s.key("Left", "Right")
    image = s.wait_for_shot("left again, right", lambda image: paddle_lane(image) != 0, 5,
                            "the paddle to leave lane 0")
    expect(paddle_lane(image) == 1, "Left at lane 0, then Right: paddle in lane %r, not 1" %
           paddle_lane(image))
    s.hold("Right", lambda: paddle_lane(s.shot("holding Right")) == 4, 6,
           "holding Right to reach lane 4")
    tiles = conveyor_tiles(s.wait_for_tiles("waiting for a tile"))
    expect(all(lane <= 3 for lane, _ in tiles), "a tile in lane 4: %r" % tiles)
    s.escape()


@case()
def pause(s):
    """Keypad 0 pauses: the conveyor hides, "P A U S E" blinks, and the game stands still until
    keypad 0 (NumLock off) resumes it. The editing block's Insert is no keypad 0. Without a
    numeric keypad P and Pause do the same."""
    s.start_program()
    to_lane_4(s)
    s.key("space")
    before = s.ticks_shown("running", 10)
    s.key("KP_0")
    frozen_from = s.wait_for_shot("pausing", lambda image: not conveyor_tiles(image), 5,
                                  "the conveyor to hide").taken[1]
    # A game that took Insert for keypad 0 would draw the conveyor at its next tick.
    s.key("Insert")
    watch_pause(s, frozen_from, frozen_seconds(before))
    frozen_until = time.monotonic()
    # Keypad 0 with NumLock off: KP_Insert to X, Insert without the extended flag to Windows.
    s.key("KP_Insert")
    check_standstill(before, s.ticks_shown("resumed"), frozen_from, frozen_until, "paused")
    for key in ("p", "Pause"):
        # Both show at the next tick; 5 s bound a loaded machine.
        s.wait_for_tiles("running")
        s.key(key)
        s.wait_for_shot("paused by " + key, lambda image: not conveyor_tiles(image), 5,
                        "%s to pause the game" % key)
        s.key(key)
        s.wait_for_shot("resumed by " + key, conveyor_tiles, 5, "%s to resume the game" % key)
    s.escape()


@case(wm=True)
def minimise(s):
    """Minimised, the conveyor stops until the window is back; then play goes on."""
    s.start_program()
    to_lane_4(s)
    s.key("space")
    before = s.ticks_shown("running", 10)
    # The time minimising and restoring take counts as ticking time in check_standstill.
    s.minimise()
    frozen_from = time.monotonic()
    time.sleep(frozen_seconds(before))
    frozen_until = time.monotonic()
    s.restore()
    after = s.ticks_shown("restored")
    check_standstill(before, after, frozen_from, frozen_until, "minimised")
    s.wait_for_ticks_after(after)
    s.escape()


@case(wm=True)
def close(s):
    """A window of a fixed size that can be minimised; Escape ends with 27 and closing the
    window with 0, time after time, after a minimise and a restore too: a window destroyed while
    one of SDL's wake-up events was still on its way to it once turned some of these exits into
    an X error and status 1."""
    for round in range(8):
        s.start_program()
        if round == 0:
            expect(not s.CLIENT or s.client[2:] == s.CLIENT[2:], "window client %r, not 400x500"
                   % (s.client,))
            expect(s.actions() == {"minimise"}, "the window offers %r, not a minimise alone" %
                   s.actions())
        s.key("space")
        if round >= 2:
            s.minimise()
            s.restore()
        if round % 2:
            s.close_window()
        else:
            s.key("Escape")
        status = s.exit_status()
        expect(status == (0 if round % 2 else 27), "round %d ended with %r" % (round, status))


@case()
def record_replay(s):
    """A game recorded in the window replays, in plonta-sim and in the window, to the frame the
    window showed; from the replay's end play goes on live, recorded into the same file. A
    second program recording into the file meanwhile stops before its window."""
    game = os.path.join(s.tmp, "game.sim")
    s.start_program("--record", s.path(game))
    first = s.program
    status, said, _, _ = s.refused(["--record", s.path(game)])
    s.program = first
    expect(status == 2 and said == ["plonta: %s: another program is recording into it" %
                                    s.path(game)], "a second recorder: %d %r" % (status, said))
    s.focus()
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
    s.escape()
    recorded = read(game)
    body = check_recording(recorded, s.NAME)
    print("recorded %d lines: %s" % (len(body), " / ".join(body)))
    state, frame = sim_replay(s.sim, recorded)
    s.shots.append(("plonta-sim", frame))
    tiles = tiles_drawn(state)
    expect(state["state"] == 4, "the recording does not end paused: %r" % state)
    # Paused, the window went on blinking between the screenshot and Escape: the frame is one
    # of the blink's two.
    expect_same_frame(s, last, [frame, sim_replay(s.sim, recorded + "tick 1\n")[1]], tiles,
                      "the last frame")

    # Into the same file it comes from, four times as fast; game keys wait for the end.
    s.start_program("--replay", s.path(game), "--record", s.path(game), "--speed", "4")
    s.key("Left", "Left", "Down")

    def at_the_end(image):
        # Once the window shows plonta-sim's last frame and then stands still. A renderer
        # matched loosely matches an earlier pause too, with another score.
        if game_shown(image) != game_shown(frame) or s.frame_differences(image, frame, tiles):
            return False
        time.sleep(1.0)
        return same_pixels(image, s.shot("a second later"))
    what = "the replay to end on plonta-sim's frame and stay"
    try:
        s.wait_for_shot("replaying", at_the_end, 60, what)
    except Failure:
        expect_same_frame(s, s.shots[-1][1], [frame], tiles, "the window at the end")
        raise
    s.key("KP_0")
    first = s.wait_for_tiles("live")
    s.wait_for_shot("live", lambda image: conveyor_tiles(image) not in ([], conveyor_tiles(first)),
                    5, "the tiles to move on")
    s.key("Right")
    s.wait_for_lane(min(state["paddleLane"] + 1, 4), "live, Right")
    s.escape()
    went_on = read(game)
    new_body = check_recording(went_on, s.NAME)
    expect(went_on.split("\n")[1] == recorded.split("\n")[1], "the seed changed")
    expect(new_body[:len(body)] == body and new_body[len(body):len(body) + 1] == ["pause"],
           "the new file is not the old game and then the new play: %r" % new_body)
    sim_replay(s.sim, went_on)


@case()
def new_game(s):
    """F2 starts a new game at once at game over (a replay's end), running and paused. The
    recording, begun as a copy of the replay, goes on with each new game's seed and replays
    them all in plonta-sim to the frame the window showed."""
    over, game = os.path.join(s.tmp, "over.sim"), os.path.join(s.tmp, "game.sim")
    with open(over, "w") as f:
        # Three lives lost with the paddle where no tile comes, Space after each of the first two.
        f.write("seed 1\nspace\nright\nright\ntick 111\nspace\ntick 110\nspace\ntick 120\n")
    state, ended = sim_replay(s.sim, read(over))
    expect(state["state"] == 3, "the replayed game does not end over: %r" % state)
    s.start_program("--replay", s.path(over), "--speed", "16", "--record", s.path(game))
    s.wait_for_shot("game over", ended_and_still(s, ended), 30, "the replay to end over")
    for label, keys in (("at game over", ()), ("running", ("space", "Right")),
                        ("paused", ("space", "Right", "KP_0"))):
        if keys:
            s.key(*keys)
            s.wait_for_lane(3, label)
        s.key("F2")
        # The paddle was off lane 2 in every state before F2.
        expect_ready(s.wait_for_shot("F2 " + label, lambda image: paddle_lane(image) == 2 and
                                     not conveyor_tiles(image), 5, "the new game's first frame"))
    last = s.shot("the last frame")
    s.escape()
    recorded = read(game)
    body = check_recording(recorded, s.NAME)
    seeds = [line for line in body if line.startswith("seed ")]
    expect(len(seeds) == 3, "%d seed lines after the first, not one per F2: %r" % (
        len(seeds), body))
    state, frame = sim_replay(s.sim, recorded)
    s.shots.append(("plonta-sim", frame))
    expect(state["state"] == 0, "the recording does not end in a new game: %r" % state)
    expect_same_frame(s, last, [frame], 0, "the last frame")


@case()
def best_games(s):
    """A replayed game that ends after one live key enters the best games with its whole
    recording, and the game over frame says its place; --scores lists it with the score
    plonta-sim gives the kept recording, and again after the next start, with the mute set by M
    still kept. A recording copied in with one command changed is listed with its own score."""
    nearly = os.path.join(s.tmp, "nearly.sim")
    # Two ticks short of the last lost tile, with two tiles on the paddle.
    write_whole(nearly, "seed 3\nspace\ntick 300\nspace\ntick 300\nspace\ntick 128\n")
    state, ended = sim_replay(s.sim, read(nearly))
    expect(state["state"] == 1 and state["score"] > 0, "not a scored game running: %r" % state)
    s.start_program("--replay", s.path(nearly), "--speed", "16")
    s.wait_for_shot("replayed", ended_and_still(s, ended), 60, "the replay to end")
    s.key("m", "space")
    kept = s.wait_for(lambda: s.kept_games(), 10, "the game to be kept")
    expect(len(kept) == 1, "kept: %r" % kept)
    recording = read(kept[0])
    check_recording(recording, s.NAME)
    expect(recording.split("\n", 1)[1].startswith(read(nearly) + "space\n"),
           "not the replayed game and the live key: %r" % recording)
    final, frame = sim_replay(s.sim, recording)
    expect(final["state"] == 3, "the kept game does not end over: %r" % final)
    over = s.shot("game over")
    # The place, under the game over line, where plonta-sim's frame has none.
    expect(message_ink(over, 136, 158) >= message_ink(frame, 136, 158) + 30,
           "no place shown under the game over line")

    def table_shown(label):
        """H shows the table in the frame; Escape takes it away, leaving the game as it was."""
        before = s.shot("before H")
        s.key("h")
        table = s.wait_for_shot(label, lambda image: not same_pixels(image, before), 5,
                                "the best games to show")
        s.key("Escape")
        s.wait_for_shot("back", lambda image: same_pixels(image, before), 5,
                        "the game as it was")
        # Below the status lines, which tell the game underneath.
        return table.pixels[55 * table.width * 3:330 * table.width * 3]
    table = table_shown("the best games")
    s.escape()

    def rows():
        status, printed, said = s.run_to_end(["--scores"])
        expect(status == 0, "--scores ended with %r: %s" % (status, said))
        lines = printed.decode().splitlines()
        return [(int(line.split()[1]), s.kept_path(line.split()[-1])) for line in lines]
    listed = rows()
    expect(listed == [(final["score"], kept[0])], "--scores: %r" % listed)
    s.start_program()
    expect(table_shown("the best games again") == table, "another table at the next start")
    s.escape()
    expect(rows() == listed, "the table changed at the next start")
    expect("mute=1" in read(s.kept_settings()).split(), "the mute was not kept")

    # One command changed: listed with what its moves make, not what the first one made.
    copied = os.path.join(os.path.dirname(kept[0]), "copied.sim")
    write_whole(copied, recording.replace("\nspace\ntick 300\n", "\nleft\ntick 300\n", 1))
    changed = sim_replay(s.sim, read(copied))[0]["score"]
    expect(dict((path, score) for score, path in rows()) == {kept[0]: final["score"],
                                                             copied: changed},
           "the copy is not listed with its own score")


def score_stand_in(answers):
    """A score server on 127.0.0.1 in a thread: each POST's path, names and body go into the
    queue it returns; it answers with the next of answers (status, JSON) once the semaphore it
    returns is released; its address last."""
    got, release = queue.Queue(), threading.Semaphore(0)

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_POST(self):
            url = urllib.parse.urlsplit(self.path)
            body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
            status, answer = answers.pop(0)
            got.put((url.path, urllib.parse.parse_qs(url.query).get("name"), body))
            release.acquire(timeout=60)
            data = json.dumps(answer).encode()
            self.send_response(status)
            self.send_header("Content-Type", "application/json")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return got, release, "http://127.0.0.1:%d" % server.server_address[1]


@case()
def send_score(s):
    """S on the best games sends the chosen game's kept recording, byte for byte, under --name,
    and the frame shows the rank the server answers, then the next answer's; without --server
    S changes nothing."""
    recording = "# plonta e2e\nseed 3\nspace\ntick 300\nspace\ntick 300\nspace\ntick 128\n"
    best = os.path.join(s.data_folder(), "best")
    os.makedirs(best)
    write_whole(os.path.join(best, "game.sim"), recording)
    name = "Anna \u00dcnal"
    got, release, url = score_stand_in([(201, {"id": 1, "score": 5, "level": 1, "rank": 3}),
                               (200, {"id": 1, "score": 5, "level": 1, "rank": 12})])

    def table(*args):
        s.start_program(*args)
        before = s.shot("before H")
        s.key("h")
        return s.wait_for_shot("the best games", lambda image: not same_pixels(image, before),
                               5, "the best games to show")

    def rows_changed(image, other):
        row = 3 * image.width
        return [y for y in range(image.height)
                if image.pixels[y * row:(y + 1) * row] != other.pixels[y * row:(y + 1) * row]]

    def outcome_changed(label, since):
        """A frame that differs from since in the outcome's line alone, under the hint."""
        def changed(image):
            rows = rows_changed(image, since)
            return rows and min(rows) >= 330 and max(rows) < 400
        return s.wait_for_shot(label, changed, 15, label)

    shown = table("--server", url, "--name", name)
    sending = None
    for rank in (3, 12):
        s.key("s")
        path, names, body = got.get(timeout=15)
        expect(path == "/api/games" and names == [name], "sent to %s as %r" % (path, names))
        expect(body == recording.encode(), "not the kept recording: %r" % body)
        # The answer waits until the frame says the game is on its way.
        if sending is None:
            sending = outcome_changed("sending", shown)
        else:
            s.wait_for_shot("sending again", lambda image: same_pixels(image, sending), 15,
                            "the same line while sending")
        release.release()
        ranked = outcome_changed("rank %d shown" % rank, sending)
        expect(rows_changed(ranked, shown), "rank %d shows as rank 3 did" % rank)
        shown = ranked
    # The first Escape leaves the best games, the second the program.
    s.key("Escape")
    s.escape()

    plain = table()
    s.key("s", "l")
    s.wait_for_shot("in English", lambda image: not same_pixels(image, plain), 5, "English")
    s.key("l")
    s.wait_for_shot("as before S", lambda image: same_pixels(image, plain), 5,
                    "the best games as they were before S")
    expect(got.empty(), "sent without --server")
    s.key("Escape")
    s.escape()


@case()
def marks_and_english(s):
    """C and L turn the tile marks on and the texts into English, as plonta-sim draws them, and
    each key keeps its own setting; --lang holds for its run only."""
    nearly = os.path.join(s.tmp, "nearly.sim")
    # Every colour shows: on the conveyor, on the paddle and in the bin.
    write_whole(nearly, "seed 1\nspace\ntick 10\nright\ntick 11\nleft\ntick 1\nleft\ntick 1\n"
                "left\ntick 7\nspace\ntick 10\nspace\ntick 1\nright\ntick 1\nright\ntick 8\n"
                "space\ntick 1\nleft\ntick 1\nleft\ntick 8\nspace\n")
    state, plain = sim_replay(s.sim, read(nearly))

    def drawn(*options):
        s.shots.append(("plonta-sim " + " ".join(options),
                        sim_replay(s.sim, read(nearly), options=options)[1]))
        return s.shots[-1][1]

    def replayed_to(wanted, label, looks=lambda image: True):
        """The replay's end as plonta-sim draws it, still a second later, and as looks wants."""

        def shown(image):
            if s.frame_differences(image, wanted, tiles_drawn(state)) or not looks(image):
                return False
            time.sleep(1.0)
            return same_pixels(image, s.shot("a second later"))
        return s.wait_for_shot(label, shown, 60, "the frame plonta-sim draws " + label)

    s.start_program("--replay", s.path(nearly), "--speed", "16")
    german = replayed_to(plain, "in German without marks")
    marked = drawn("--marks", "--lang", "en")
    s.key("c", "l")
    # frame_differences allows GDI more than the marks make, and Wine's face draws the texts: the
    # playfield is nearer the marked frame than the plain one, the texts unlike the German ones.
    english = replayed_to(marked, "in English with marks", lambda image: (
        looks_differing(image, marked)[0] + 150 <= looks_differing(image, plain)[0] and
        looks_differing(image, german)[1] >= 300))
    s.escape()
    kept = read(s.kept_settings()).split()
    expect("marks=1" in kept and "lang=en" in kept, "not kept: %r" % kept)
    s.start_program("--replay", s.path(nearly), "--speed", "16", "--lang", "de")
    # C keeps the marks alone, not this run's language.
    s.key("c", "c")
    replayed_to(drawn("--marks"), "in German with the kept marks", lambda image: (
        looks_differing(image, english)[0] == 0 and looks_differing(image, german)[1] == 0))
    s.escape()
    expect("lang=en" in read(s.kept_settings()).split(), "--lang de was kept")


@case()
def ended_from_outside(s):
    """Ended from outside (SIGINT, SIGTERM, logging off: status 0, as closing the window does;
    killed), the program leaves its recording complete to within the tick it showed."""
    for how in s.ENDINGS:
        game = os.path.join(s.tmp, "game-%s.sim" % how)
        s.start_program("--record", s.path(game))
        s.key("space", "Left")
        s.wait_for_tiles("running")
        last = s.end_from_outside(how)
        status, wanted = s.exit_status(), -signal.SIGKILL if how == "SIGKILL" else 0
        expect(status == wanted, "%s ended with %r, not %d" % (how, status, wanted))
        recorded = read(game)
        check_recording(recorded, s.NAME)
        state, _ = sim_replay(s.sim, recorded)
        # The first tile enters at the tenth tick: the file holds at least those.
        expect(state["state"] == 1 and any(any(lane) for lane in state["conveyor"]),
               "the recording stops short: %r" % state)
        if last:
            # Killed, the file may lack the tick shown: the write follows the frame. Signalled,
            # a tick due while stopped may still run before the signal is seen.
            other = recorded + "tick 1\n" if how == "SIGKILL" else without_last_tick(recorded)
            frames = [sim_replay(s.sim, text)[1] for text in (recorded, other) if text]
            s.shots.append(("plonta-sim", frames[0]))
            expect(any(same_pixels(last, frame) for frame in frames),
                   "after %s the recording is off the window's frame: %r" % (
                       how, differing(last, frames[0])))


# Seed 7's first tile comes down lane 2, where the paddle stands: a catch at tick 21, then a
# drop, then the tiles after it missed.
HEARD_GAME = "seed 7\nspace\ntick 22\nspace\ntick 30\n"


@case()
def sound_heard(s):
    """The game's sounds reach a real sound server at the moments plonta-sim's rendering of the
    same game has them (a catch, the drop a tick later, the misses after); M silences them."""
    game = os.path.join(s.tmp, "game.sim")
    with open(game, "w") as f:
        f.write(HEARD_GAME)
    made = os.path.join(s.tmp, "made.wav")
    subprocess.run([s.sim], input=(HEARD_GAME + "sound %s\n" % made).encode(), check=True,
                   timeout=30)
    made = sound.onsets(sound.envelope(sound.read_wav(made)))
    server = sound.start_server(s)
    s.hear(server)
    heard = []
    for mute in (False, True):
        raw = os.path.join(s.tmp, "heard-%d.raw" % mute)
        recorder = sound.record(s, server, raw)
        s.start_program("--replay", s.path(game))
        if mute:
            s.key("m")
        # The replay's 52 ticks, and the last sound's end.
        time.sleep(52 * 0.25 + 1.5)
        s.escape()
        heard.append(sound.envelope(sound.stop(recorder, raw)))
    # Each sound after the first as long after it as in plonta-sim's: a late tick on a loaded
    # machine may shift one by some tens of ms, a sound at the wrong tick by 250.
    # A dropout on a loaded machine (Wine's sound above all) splits a sound in two: a start
    # within half the closest distance of plonta-sim's sounds is the same sound going on.
    heard_at = sound.onsets(heard[0], apart=min(b - a for a, b in zip(made, made[1:])) // 2)
    print("sounds heard at %r, made at %r (10 ms blocks)" % (heard_at, made))
    expect(len(heard_at) == len(made) and all(
        abs((h - heard_at[0]) - (m - made[0])) <= 8 for h, m in zip(heard_at, made)),
        "the sounds heard are not plonta-sim's: at %r, not %r" % (heard_at, made))
    expect(max(heard[1]) < 50, "M did not silence the game: %r" % max(heard[1]))


@case()
def sound_server_missing(s):
    """Without a sound server the game plays on, saying so in one line at most (the Windows
    program in no message box)."""
    s.hear("unix:" + os.path.join(s.tmp, "no-server"))
    s.start_program()
    s.key("space")
    s.wait_for_tiles("playing without sound")
    s.escape()
    said = s.program_errors()
    expect(said.count("\n") <= 1 and ("sound" in said or not said),
           "more than one line about the sound: %r" % said)


@case()
def disk_full(s):
    """A recording that cannot be written says so once, when the game is over; play goes on."""
    s.start_program("--record", s.FULL_DISK)
    to_lane_4(s)
    s.key("space")
    s.wait_for_ticks_after(s.ticks_shown("running", 10))
    s.key("Escape")
    status, said = s.told_at_exit()
    expect(status == 27, "Escape ended with %r, not 27" % status)
    start, end = "plonta: %s: " % s.FULL_DISK, "; recording stopped, the game goes on\n"
    reason = s.REASONS.get("full")
    expect(said == start + reason + end if reason else
           said.startswith(start) and said.endswith(end) and said.count("\n") == 1,
           "not one line about the full disk: %r" % said)


@case("linux")
def disk_fills_up(s):
    """A disk that fills up mid-game leaves a recording of whole lines, which replays."""
    disk, replay = os.path.join(s.tmp, "disk"), os.path.join(s.tmp, "long.sim")
    os.mkdir(disk)
    # Two pages: one taken by another file, one for the recording.
    done = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=8k", "e2e", disk],
                          capture_output=True)
    if done.returncode != 0:
        print("skipped: cannot mount a small tmpfs: %s" % done.stderr.decode().strip())
        sys.exit(SKIPPED)
    try:
        with open(os.path.join(disk, "other"), "wb") as other, open(replay, "w") as f:
            other.write(bytes(4096))
            # The replayed game fills the recording's page to within a few lines of its end.
            f.write("seed 5\n" + "left\nright\n" * 366)
        game = os.path.join(disk, "game.sim")
        s.start_program("--replay", replay, "--record", game)
        for key in ["Right", "Left"] * 5:
            time.sleep(0.3)
            s.key(key)
        s.key("Escape")
        status, said = s.told_at_exit()
        expect(status == 27 and said == "plonta: %s: No space left on device; recording "
               "stopped, the game goes on\n" % game, "at the end: %d %r" % (status, said))
        check_recording(read(game), s.NAME)
        sim_replay(s.sim, read(game))
    finally:
        subprocess.run(["umount", "-l", disk])


@case()
def bad_input(s):
    """Each bad command line or file: status 2, one line (and the usage, for an option) on
    standard error, on Windows in a message box too; no window, no file written."""
    tmp, usage = s.tmp, "usage: %s " % s.NAME
    for name, text in (("game.sim", "# a good one\nseed 3\nspace\ntick 4\n"),
                       ("sets.sim", "seed 3\nspace\nset lives 99\ntick 4\n"),
                       ("dumps.sim", "seed 3\ndump\n"),
                       ("shoots.sim", "seed 3\nshot %s/shot.png\n" % tmp),
                       ("picture.sim", "\x89PNG\r\n\x1a\n"), ("locked.sim", "seed 1\n")):
        with open(os.path.join(tmp, name), "w", encoding="latin-1") as f:
            f.write(text)

    def path(name=""):
        return s.path(os.path.join(tmp, name) if name else tmp)

    def failed(name, reason):
        return path(name) + ": " + s.REASONS.get(reason, "")
    # The command line, the words the one line says, and whether the usage follows.
    cases = [
        (["--replay", path("missing.sim")], failed("missing.sim", "missing"), False),
        (["--replay", path()], failed("", "directory"), False),
        (["--replay", path("picture.sim")], "picture.sim: line 1: unknown command '?PNG'", False),
        (["--replay", path("sets.sim")], "sets.sim: line 3: set is not allowed in a recording",
         False),
        (["--replay", path("dumps.sim")], "dumps.sim: line 2: dump is not allowed", False),
        (["--replay", path("shoots.sim")], "shoots.sim: line 2: shot is not allowed", False),
        (["--record", path("no/such/dir.sim")], failed("no/such/dir.sim", "missing"), False),
        (["--record", path()], failed("", "directory"), False),
        (["--replay", path("game.sim"), "--speed", "0"],
         "--speed takes a whole number from 1 to 16, not '0'", True),
        (["--replay", path("game.sim"), "--speed", "x"], "not 'x'", True),
        (["--fast"], "unknown option '--fast'", True),
        (["--replay"], "--replay needs a value", True),
        (["--scale", "5"], "--scale takes a number from 1 to 4 (such as 2 or 1.5), not '5'", True),
    ]
    if os.geteuid() != 0:  # root reads any file
        os.chmod(os.path.join(tmp, "locked.sim"), 0)
        cases.append((["--replay", path("locked.sim")], failed("locked.sim", "denied"), False))
    else:
        print("running as root: no unreadable file to try")
    for args, words, with_usage in cases:
        args = args if "--record" in args else ["--record", path("never.sim")] + args
        status, said, printed, window = s.refused(args)
        print("%s -> %d: %s" % (" ".join(args), status, said[:1]))
        expect(status == 2, "%r ended with %d, not 2" % (args, status))
        expect(said and said[0].startswith("plonta: ") and words in said[0],
               "%r said %r, not %r" % (args, said, words))
        expect(len(said) == 1 or (with_usage and said[1].startswith(usage)),
               "%r said more than one line and the usage: %r" % (args, said))
        expect(printed == b"", "%r wrote to standard output" % args)
        expect(not window, "%r opened the game window" % args)
        expect(not os.path.exists(os.path.join(tmp, "never.sim")), "%r made the record file" % args)
    expect(not os.path.exists(os.path.join(tmp, "shot.png")), "a recording wrote a picture")
    for option, start in (("--help", usage), ("--version", s.NAME + " ")):
        status, printed, said = s.run_to_end([option])
        expect(status == 0 and printed.decode().startswith(start) and said == "",
               "%s: %d %r %r" % (option, status, printed, said))
    s.start_program("--replay", path("game.sim"))
    s.escape()


# -- the SDL program's own cases ----------------------------------------------------------


@case("linux", x=False)
def no_display(s):
    """No X server and no Wayland to reach: one line on standard error and status 1 at once,
    never a game running unseen on SDL's offscreen driver."""
    # A display number no X server listens on.
    free = 90 + os.getpid() % 400
    while os.path.exists("/tmp/.X11-unix/X%d" % free) or os.path.exists("/tmp/.X%d-lock" % free):
        free += 1
    for what, variables, reason in (
            ("nothing set", {}, "DISPLAY and WAYLAND_DISPLAY are not set"),
            ("a display nobody serves", {"DISPLAY": ":%d" % free, "XDG_RUNTIME_DIR": s.tmp},
             "cannot reach DISPLAY=:")):
        env = {k: v for k, v in s.env.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "SDL_VIDEODRIVER",
                            "XDG_RUNTIME_DIR")}
        env.update(variables)
        try:
            done = subprocess.run([s.plonta], env=env, capture_output=True, timeout=20)
        except subprocess.TimeoutExpired:
            raise Failure("%s: still running after 20 s, with nothing to show it on" % what)
        said = done.stderr.decode(errors="replace")
        expect(done.returncode == 1, "%s: status %d, not 1" % (what, done.returncode))
        expect(said.count("\n") == 1 and said.endswith("\n"),
               "%s: not one line: %r" % (what, said))
        expect(said.startswith("plonta: no display to open a window on (") and reason in said,
               "%s: %r does not say %r" % (what, said, reason))


@case("linux")
def keypad(s):
    """With NumLock off the keypad's 4, 6 and 2 move and drop as the arrows do; with it on they
    do nothing. Keypad 0 pauses either way."""
    def num_lock():
        match = re.search(r"Num Lock:\s+(on|off)", s.tool(["xset", "q"]))
        expect(match, "xset q tells no NumLock state")
        return match.group(1) == "on"
    s.start_program()
    expect(not num_lock(), "NumLock is on at the start")
    # X sends keycode 83 for KP_Left; with NumLock on the same key reads as KP_4.
    s.key("KP_Left")
    s.wait_for_lane(1, "keypad 4")
    s.key("KP_Right", "KP_Right")
    s.wait_for_lane(3, "keypad 6, twice")
    s.key("KP_Down")
    s.wait_for_shot("keypad 2", lambda image: message_ink(image) == 0, 5,
                    "keypad 2 to start the game")
    s.key("Num_Lock")
    s.wait_for(num_lock, 5, "NumLock to come on")
    # Had keypad 4 moved the paddle, the arrow after it would bring it back to lane 3.
    s.key("KP_Left", "KP_Left", "Right")
    image = s.wait_for_shot("keypad 4 with NumLock", lambda image: paddle_lane(image) != 3, 5,
                            "the paddle to move on")
    expect(paddle_lane(image) == 4, "keypad 4 moved the paddle with NumLock on: lane %r, not 4"
           % paddle_lane(image))
    # Keypad 2 does not drop either: a drop would need something carried, so instead keypad 0
    # shows it pauses with NumLock on, and the tiles hide.
    s.wait_for_tiles("waiting for a tile")
    s.key("KP_Insert")
    s.wait_for_shot("keypad 0 with NumLock", lambda image: not conveyor_tiles(image), 5,
                    "keypad 0 to pause")
    s.escape()


def expect_frame_edge(image, left, top, scale):
    """The frame's pixels exactly where the scale puts them: the left bin wall's outline starts
    at x 29 and the upper conveyor line at y 49, dark red, black before them."""
    for (x, y), (dx, dy) in [((left + edge(29, scale), top + edge(400, scale)), (-1, 0)),
                             ((left + edge(200, scale), top + edge(49, scale)), (0, -1))]:
        p, before = image.at(x, y), image.at(x + dx, y + dy)
        expect(150 <= p[0] <= 210 and p[1] <= 30 and p[2] <= 30 and is_black(before),
               "(%d, %d) is %r after %r, not dark red after black" % (x, y, p, before))


@case("linux", wm=True, screen="3840x2160x24")
def big_screen(s):
    """On a big screen the window opens as large as suits it, at its usual place: 80% of
    3840x2160 takes it three times as large."""
    s.frame = (0, 0, 3)
    s.start_program()
    windowed = s.client
    # Openbox puts its frame, not the client area, at (100, 150).
    left, _, top, _ = (int(n) for n in re.findall(r"\d+", s.tool(
        ["xprop", "-id", s.window, "_NET_FRAME_EXTENTS"]).split("=")[1]))
    expect(windowed == (100 + left, 150 + top, 1200, 1500),
           "window client %r, not 1200x1500 at (100, 150) in a frame %d, %d wide" % (
               windowed, left, top))
    expect_ready(s.shot("first frame"))
    expect_frame_edge(s.shot("first frame, as drawn", whole=True), windowed[0], windowed[1], 3)
    s.escape()


@case(wm=True, screen="1280x800x24")
def fullscreen(s):
    """F11 (and Alt+Enter on Windows) each way on a handheld's 1280x800: the frame fills the
    screen's height at scale 1.6, in its middle, black around it, its shapes pixel for pixel as
    plonta-sim draws them at 1.6, no pointer; then the window as it was."""
    s.start_program()
    windowed = s.client
    sim = sim_replay(s.sim, "seed 1\n", 1.6)[1]
    s.shots.append(("plonta-sim 1.6", sim))
    # The texts' bands: their glyphs come from each system's own fonts.
    texts = [(edge(5, 1.6), edge(47, 1.6)), (edge(110, 1.6), edge(145, 1.6))]
    ways = [("F11", "F11")] if s.NAME == "plonta" else [("F11", "alt+Return"),
                                                         ("alt+Return", "F11")]
    for there, back in ways:
        s.key(there)
        s.wait_for(lambda: (s.locate(), s.client)[1] == (0, 0, 1280, 800), 10,
                   "%s to fill the screen" % there)
        s.frame = (320, 0, 1.6)
        expect_ready(s.wait_for_shot("fullscreen", lambda image: paddle_lane(image) == 2, 10,
                                     "the frame in the middle of the screen"))
        if s.NAME == "plonta.exe":
            expect(s.control("pointer").strip() == "hidden", "a pointer over the fullscreen game")
        screen = s.shot("fullscreen, whole", whole=True)
        expect_frame_edge(screen, 320, 0, 1.6)
        wrong = [(x, y) for y in range(sim.height) for x in range(sim.width)
                 if not any(a <= y < b for a, b in texts) and
                 screen.at(320 + x, y) != sim.at(x, y)]
        expect(not wrong, "%d pixels differ from plonta-sim's at 1.6, as at %r" % (
            len(wrong), wrong[:5]))
        for x, y in [(0, 0), (319, 400), (960, 400), (1279, 799)]:
            expect(is_black(screen.at(x, y)), "not black around the frame at (%d, %d): %r" % (
                x, y, screen.at(x, y)))
        s.key(back)
        s.wait_for(lambda: (s.locate(), s.client)[1] == windowed, 10,
                   "%s to bring back the window at %r" % (back, windowed))
        s.frame = (0, 0, 1)
        expect_ready(s.wait_for_shot("back", lambda image: paddle_lane(image) == 2, 10,
                                     "the frame back in the window"))
    s.escape()


# -- plonta.exe's own cases ---------------------------------------------------------------


@case("windows")
def minimised_start(s):
    """Started minimised, as a "Run: Minimized" shortcut or start /min does it: after the restore
    the playfield shows and the game plays."""
    s.launch("start", "/min", "/wait", "/unix", s.exe)
    s.wait_for_window()
    s.wait_for(s.locate, 10, "the window to start minimised")
    s.restore()
    expect_ready(s.wait_for_shot("restored", lambda image: paddle_lane(image) == 2, 10,
                                 "the playfield after the restore"))
    s.key("space")
    s.wait_for_tiles("running")
    s.key("Right")
    s.wait_for_lane(3, "right")
    s.escape()


@case("windows")
def display_failure(s):
    """A display that cannot be set up is told in one message box naming the call and its code;
    then the game goes on without a picture."""
    standin = os.path.join(os.path.dirname(os.path.abspath(s.ctl)), "ddraw.dll")
    expect(os.path.exists(standin), "no stand-in ddraw.dll at %s" % standin)
    # Beside the program, loaded in place of the system's, failing SetHWnd as DirectDraw does
    # for a bad clipper.
    exe = os.path.join(s.tmp, "plonta.exe")
    shutil.copy(s.exe, exe)
    shutil.copy(standin, os.path.join(s.tmp, "ddraw.dll"))
    s.env["WINEDLLOVERRIDES"] += ";ddraw=n"
    s.env["PLONTA_DDRAW_FAILURE"] = "clipper.SetHWnd 0x88760082"
    s.launch(exe)
    s.wait_for_window()

    def message_box():
        return s.tool(["xdotool", "search", "--name", "^Plonta$"], check=False)
    s.wait_for(message_box, 30, "the message box")
    expect(s.shot("no picture").at(35, 400) != RED, "a bin drawn without a display")
    # Read, then answered with OK.
    text, window = s.answer_message()
    expect(window, "no game window beside the box")
    expect("SetHWnd" in text and "0x88760082" in text,
           "the box does not name SetHWnd and 0x88760082: %r" % text)
    s.wait_for(lambda: not message_box(), 10, "the message box to go")
    # Play goes on unseen: Space starts it, Escape ends it as ever.
    s.focus()
    s.key("space", "Right")
    time.sleep(1)
    expect(s.program.poll() is None, "plonta.exe ended after the box")
    s.escape()


@case("windows", screen="1600x1200x24")
def high_dpi(s):
    """At 144 and 192 DPI the window opens 1.5 and 2 times as large by itself, showing what it
    shows at 96 DPI: shapes pixel for pixel as plonta-sim draws them at that scale, texts aside;
    --scale 1 brings back the 96-DPI size."""
    s.start_program()
    at_96 = s.client
    s.escape()
    try:
        for dpi, scale in [(144, 1.5), (192, 2)]:
            s.set_dpi(dpi)
            s.frame = (0, 0, scale)
            s.start_program()
            size = (edge(at_96[2], scale), edge(at_96[3], scale))
            expect(s.client[2:] == size, "client %r at %d DPI, not %r: %g times the %r of 96 DPI"
                   % (s.client, dpi, size, scale, at_96))
            s.frame = (0, 0, 1)
            image = s.shot("scale %g" % scale)
            s.shots.append(("plonta-sim %g" % scale, sim_replay(s.sim, "seed 1\n", scale)[1]))
            sim = s.shots[-1][1]
            texts = [(edge(5, scale), edge(47, scale)), (edge(110, scale), edge(145, scale))]
            wrong = [(x, y) for y in range(image.height) for x in range(image.width)
                     if not any(a <= y < b for a, b in texts) and image.at(x, y) != sim.at(x, y)]
            expect(not wrong, "%d pixels differ from plonta-sim's at %g, as at %r" % (
                len(wrong), scale, wrong[:5]))
            s.escape()
        s.start_program("--scale", "1")
        expect(s.client[2:] == at_96[2:], "--scale 1: client %r, not %r" % (s.client, at_96))
        s.escape()
    finally:
        s.set_dpi(96)


@case("windows")
def gamepad(s):
    """A pad of a stand-in xinput1_4.dll (beside the program, described by a file): no pad
    costs a look at the slots every two seconds, no more; one plugged in is found. A starts,
    the D-pad and the stick move and repeat, unplugging pauses, Start resumes, Back starts a
    new game."""
    standin = os.path.join(os.path.dirname(os.path.abspath(s.ctl)), "xinput1_4.dll")
    shutil.copy(standin, s.tmp)
    s.exe = shutil.copy(s.exe, os.path.join(s.tmp, "plonta.exe"))
    pad, log = os.path.join(s.tmp, "pad"), os.path.join(s.tmp, "calls")
    s.env["WINEDLLOVERRIDES"] += ";xinput1_4=n"
    s.env.update(PLONTA_XINPUT_PAD=pad, PLONTA_XINPUT_LOG=log)

    def press(*words):
        # The stand-in reads the file every 16 ms: one emptied for a moment is a pad unplugged.
        write_whole(pad, " ".join(("connected",) + words))

    s.start_program()
    open(log, "w").close()
    time.sleep(4.5)
    looks = len(read(log).split())
    expect(4 <= looks <= 12, "%d looks at the four slots in 4.5 s without a pad" % looks)
    press("south")
    s.wait_for_shot("A", lambda image: message_ink(image) == 0, 5, "A to start the game")
    press("right")
    s.wait_for_lane(4, "D-pad right held")
    press("stick", "-0.9")
    s.wait_for_lane(0, "stick left held")
    press()
    s.wait_for_tiles("running")
    os.remove(pad)
    s.wait_for_shot("unplugged", lambda image: not conveyor_tiles(image), 5, "a pause")
    press("start")
    s.wait_for_shot("Start", conveyor_tiles, 5, "Start to resume the game")
    press("back")
    s.wait_for_shot("Back", lambda image: not conveyor_tiles(image) and message_ink(image) >= 30,
                    5, "Back to start a new game")
    s.escape()


@case("windows")
def code_pages(s):
    """The status lines pixel for pixel the same on a Russian system (ANSI code page 1251) and in
    the C locale, both with a font that has Cyrillic (prefixes made under each locale, named by
    PLONTA_WINE_PREFIX_RU and _C): the bar's 0xD8 is an O with stroke on both, not a Cyrillic
    letter on one."""
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
        s.escape()
        subprocess.run(["wineserver", "-w"], env=s.env, timeout=60)
    differing = sum(a != b for a, b in zip(*bands))
    expect(len(bands[0]) == len(bands[1]) and differing == 0,
           "%d status pixels differ between the locales" % differing)


def main():
    """Lists a program's cases, or runs one; 0 when it passed, 1 when it failed."""
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("program", choices=list(PROGRAMS))
    parser.add_argument("case", nargs="?")
    parser.add_argument("--list", action="store_true", help="print the program's cases")
    parser.add_argument("--plonta", help="the program: plonta, or plonta.exe")
    parser.add_argument("--artifacts", help="where the screenshots of a failed case are kept")
    parser.add_argument("--sim", help="plonta-sim, which replays what the program recorded")
    parser.add_argument("--ctl", help="plonta_ctl.exe, with the stand-in ddraw.dll beside it")
    args = parser.parse_args()
    cases = [name for name, needs in CASES.items() if args.program in needs.programs]
    if args.list or args.case not in cases or not (args.plonta and args.artifacts):
        print("\n".join(cases))
        return 0 if args.list else 2
    session = None
    try:
        session = PROGRAMS[args.program](args, CASES[args.case])
        session.prepare()
        CASES[args.case].run(session)
    except Exception as error:  # every failure keeps its screenshots
        print("FAIL %s: %s: %s" % (args.case, type(error).__name__, error))
        if session:
            print("client area %r" % (session.client,))
            try:
                session.diagnose()
            finally:
                session.keep_shots()
        return 1
    finally:
        if session:
            session.close()
    print("ok %s" % args.case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
