#!/usr/bin/env python3
"""Measures the SDL program under Xvfb while it is played.

Usage: measure_sdl.py PLONTA [--seconds 20] [--starts 5]

Starts the real program in its own Xvfb with PLONTA_PAINT_STATS set, plays it with xdotool
for the given time (a key every 300 ms), quits with Escape and reports:
  - CPU seconds of the whole run (user + system, from wait4),
  - peak resident set size (wait4's ru_maxrss),
  - median and 90th percentile of a paint (compose + present, timed in the program),
  - median time from the loop waking with a key event to the frame being presented,
  - time from exec to the first presented frame (median over several warm starts; the
    program's steady clock is CLOCK_MONOTONIC, the same clock as time.monotonic_ns()).
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests"))
from xvfb import start_xvfb  # noqa: E402


def start_screen(env):
    return start_xvfb(env, "640x720x24")


def xdotool(env, *args):
    return subprocess.run(["xdotool", *args], env=env, capture_output=True, timeout=20).stdout


def wait_window(env, proc):
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        if proc.poll() is not None:
            raise SystemExit("plonta ended early")
        ids = xdotool(env, "search", "--name", "^Plonta-Test$").split()
        if ids:
            return ids[-1].decode()
        time.sleep(0.02)
    raise SystemExit("no window")


def run_once(plonta, env, seconds):
    """One run: returns (stats, rusage, started_ns)."""
    stats_path = tempfile.mktemp(prefix="plonta-stats-", suffix=".json")
    run_env = dict(env, PLONTA_PAINT_STATS=stats_path)
    started = time.monotonic_ns()
    proc = subprocess.Popen([plonta], env=run_env)
    window = wait_window(env, proc)
    xdotool(env, "mousemove", "300", "400")
    xdotool(env, "windowfocus", window)
    if seconds > 0:
        xdotool(env, "key", "space")
        end = time.monotonic() + seconds
        keys = ["Left", "Left", "space", "Right", "Right", "Right", "Down", "Left"]
        i = 0
        while time.monotonic() < end:
            xdotool(env, "key", keys[i % len(keys)])
            i += 1
            time.sleep(0.3)
    else:
        time.sleep(0.5)
    xdotool(env, "key", "Escape")
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = os.waitstatus_to_exitcode(status)
    with open(stats_path) as f:
        stats = json.load(f)
    os.unlink(stats_path)
    return stats, usage, started, proc.returncode, i if seconds > 0 else 0


def micro(ns):
    return ns / 1000.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("plonta")
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--starts", type=int, default=5)
    args = parser.parse_args()
    plonta = os.path.abspath(args.plonta)

    env = dict(os.environ)
    env.pop("SDL_VIDEODRIVER", None)
    xvfb = start_screen(env)
    try:
        # Warm start times: the first run fills the font cache and the page cache.
        first_frames = []
        for _ in range(args.starts + 1):
            stats, _, started, _, _ = run_once(plonta, env, 0)
            first_frames.append((stats["first_frame_monotonic_ns"] - started) / 1e6)
        first_frames = first_frames[1:]

        stats, usage, _, status, keys = run_once(plonta, env, args.seconds)
    finally:
        xvfb.terminate()
        xvfb.wait()

    paints = stats["paint_ns"]
    latency = stats["key_to_frame_ns"]
    cpu = usage.ru_utime + usage.ru_stime
    print("run of %.0f s, %d keys sent, exit status %d" % (args.seconds, keys, status))
    print("CPU seconds (user + system):   %.3f  (user %.3f, system %.3f)" % (
        cpu, usage.ru_utime, usage.ru_stime))
    print("peak RSS:                      %.1f MB" % (usage.ru_maxrss / 1024.0))
    print("paints:                        %d" % len(paints))
    print("paint median / p90 / max:      %.0f / %.0f / %.0f us" % (
        micro(statistics.median(paints)),
        micro(statistics.quantiles(paints, n=10)[-1]), micro(max(paints))))
    for name in ("compose", "present"):
        values = stats[name + "_ns"]
        print("%-30s%.0f us" % (name + " median:", micro(statistics.median(values))))
    if latency:
        print("key to frame median / max:     %.0f / %.0f us  (%d keys)" % (
            micro(statistics.median(latency)), micro(max(latency)), len(latency)))
    print("exec to first frame median:    %.1f ms  (warm, %s)" % (
        statistics.median(first_frames), ", ".join("%.1f" % t for t in first_frames)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
