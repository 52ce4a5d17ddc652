#!/usr/bin/env python3
"""Measures the SDL program under Xvfb while it is played.

Usage: measure_sdl.py PLONTA [--seconds 20] [--starts 5] [--scale N] [--fullscreen WxH]
       measure_sdl.py PLONTA --against OLD_PLONTA [--scales 1,2] [--rounds 5] [--seconds 12]
                      [--null-sink]
       measure_sdl.py PLONTA --sound [--rounds 5] [--seconds 10]

Starts the real program in its own Xvfb with PLONTA_PAINT_STATS set, plays it with xdotool
for the given time (a key every 300 ms), quits with Escape and reports:
  - CPU seconds of the whole run (user + system, from wait4),
  - peak resident set size (wait4's ru_maxrss),
  - median and 90th percentile of a paint (compose + present, timed in the program),
  - median time from the loop waking with a key event to the frame being presented,
  - time from exec to the first presented frame (median over several warm starts; the
    program's steady clock is CLOCK_MONOTONIC, the same clock as time.monotonic_ns()).

With --against, two builds are measured side by side in one X server, the runs taking turns
(the old build at its one scale, then the new one at each scale, round after round), and a
table gives for each the median over the rounds of every run's own figures, and of a warm
start's time to the first frame. A shared machine
is noisy: the turns spread its noise over both. "sent" counts the paints that sent pixels to
the X server (their present took over 10 us; one that changed nothing sends nothing), and
"paint, sent" is the median paint of those. With --null-sink both play to a PulseAudio null
sink of their own, as with --sound: a build with sound is then measured making it.

With --sound, the program plays to a PulseAudio null sink of its own, runs with the sound on
and with --mute taking turns in one X server; the table gives each one's median CPU seconds
and peak RSS, and the difference in CPU per 10 s of play. While the sound is on, pactl reads
the stream's latency (what is queued in the server and the sink) every half second from 2.5 s
on; SDL's own buffer of 512 frames (23 ms) comes on top.
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


def start_screen(env, size="640x720x24"):
    return start_xvfb(env, size)


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


def run_once(plonta, env, seconds, options=(), fullscreen=False):
    """One run: returns (stats, rusage, started_ns, exit status, keys sent)."""
    stats_path = tempfile.mktemp(prefix="plonta-stats-", suffix=".json")
    run_env = dict(env, PLONTA_PAINT_STATS=stats_path)
    started = time.monotonic_ns()
    proc = subprocess.Popen([plonta, *options], env=run_env)
    window = wait_window(env, proc)
    xdotool(env, "mousemove", "300", "400")
    xdotool(env, "windowfocus", window)
    if fullscreen:
        # F11 and a moment to settle: the paints measured are those of the filled screen.
        xdotool(env, "key", "F11")
        time.sleep(1)
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


SENT_NS = 10_000


def figures(stats, usage):
    """One run's own figures, in microseconds, seconds and megabytes."""
    paints, presents = stats["paint_ns"], stats["present_ns"]
    sent = [paint for paint, present in zip(paints, presents) if present > SENT_NS]
    latency = stats["key_to_frame_ns"]
    return {
        "paint": micro(statistics.median(paints)),
        "p90": micro(statistics.quantiles(paints, n=10)[-1]),
        "compose": micro(statistics.median(stats["compose_ns"])),
        "present": micro(statistics.median(presents)),
        "paint, sent": micro(statistics.median(sent)) if sent else 0.0,
        "sent": len(sent),
        "paints": len(paints),
        "key to frame": micro(statistics.median(latency)) if latency else 0.0,
        "CPU s": usage.ru_utime + usage.ru_stime,
        "RSS MB": usage.ru_maxrss / 1024.0,
    }


def compare(args):
    """Old and new side by side, taking turns in one X server."""
    builds = [("old", os.path.abspath(args.against), ())]
    for scale in args.scales.split(","):
        builds.append(("new, scale " + scale, os.path.abspath(args.plonta), ("--scale", scale)))
    env = dict(os.environ)
    env.pop("SDL_VIDEODRIVER", None)
    server_proc = None
    if args.null_sink:
        folder = tempfile.mkdtemp(prefix="plonta-sound-")
        server_proc, env["PULSE_SERVER"] = start_sound_server(folder)
        env.pop("SDL_AUDIODRIVER", None)
    # Room for a scale-2 window at its usual place.
    xvfb = start_screen(env, "1920x1200x24")
    runs = {name: [] for name, _, _ in builds}
    try:
        for _, plonta, options in builds:
            run_once(plonta, env, 0, options)  # fills the font and page caches
        for round_ in range(args.rounds):
            for name, plonta, options in builds:
                stats, _, started, _, _ = run_once(plonta, env, 0, options)
                first_frame = (stats["first_frame_monotonic_ns"] - started) / 1e6
                stats, usage, _, status, _ = run_once(plonta, env, args.seconds, options)
                if status != 27:
                    raise SystemExit("%s ended with %d" % (name, status))
                runs[name].append(dict(figures(stats, usage), **{"first frame ms": first_frame}))
            print("round %d of %d done" % (round_ + 1, args.rounds), file=sys.stderr)
    finally:
        xvfb.terminate()
        xvfb.wait()
        if server_proc:
            server_proc.terminate()
            server_proc.wait()

    keys = list(runs["old"][0])
    print("%d rounds of %.0f s of play; medians over the rounds (times in us)" % (
        args.rounds, args.seconds))
    print("%-16s" % "" + "".join("%14s" % name for name, _, _ in builds))
    for key in keys:
        cells = []
        for name, _, _ in builds:
            value = statistics.median(run[key] for run in runs[name])
            cells.append("%14.3f" % value if key == "CPU s" else "%14.1f" % value
                         if key in ("RSS MB", "first frame ms") else "%14.0f" % value)
        print("%-16s" % key + "".join(cells))
    return 0


def start_sound_server(folder):
    """pulseaudio with one null sink, in folder; returns the process and its address."""
    socket = os.path.join(folder, "native")
    env = dict(os.environ, HOME=folder, XDG_RUNTIME_DIR=folder, PULSE_RUNTIME_PATH=folder)
    proc = subprocess.Popen(
        ["pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
         "--load=module-null-sink sink_name=plonta",
         "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket],
        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    server = "unix:" + socket
    for _ in range(100):
        if subprocess.run(["pactl", "--server", server, "info"], capture_output=True).returncode == 0:
            return proc, server
        time.sleep(0.1)
    proc.terminate()
    raise SystemExit("the sound server did not start")


def stream_latencies(server, seconds, found):
    """Reads the playing stream's latency from pactl every half second, in ms. The null sink
    reports a second or more for the first moments of a stream: the readings start later."""
    time.sleep(2.5)
    end = time.monotonic() + seconds - 2.5
    while time.monotonic() < end:
        said = subprocess.run(["pactl", "--server", server, "list", "sink-inputs"],
                              capture_output=True, text=True).stdout
        # A resting device's stream is corked: its latency then means nothing.
        for block in said.split("Sink Input #")[1:]:
            fields = dict(line.strip().split(": ", 1) for line in block.splitlines()
                          if ": " in line)
            if fields.get("Corked") == "no":
                found.append((float(fields["Buffer Latency"].split()[0]) +
                              float(fields["Sink Latency"].split()[0])) / 1000.0)
        time.sleep(0.5)


def sound(args):
    """Sound on against --mute, taking turns."""
    import threading
    folder = tempfile.mkdtemp(prefix="plonta-sound-")
    server_proc, server = start_sound_server(folder)
    env = dict(os.environ, PULSE_SERVER=server)
    env.pop("SDL_VIDEODRIVER", None)
    env.pop("SDL_AUDIODRIVER", None)
    xvfb = start_screen(env)
    plonta = os.path.abspath(args.plonta)
    runs = {"sound on": [], "--mute": []}
    latencies = []
    try:
        for round_ in range(args.rounds):
            for name, options in (("sound on", ()), ("--mute", ("--mute",))):
                watcher = None
                if not options:
                    watcher = threading.Thread(target=stream_latencies,
                                               args=(server, args.seconds, latencies))
                    watcher.start()
                _, usage, _, status, _ = run_once(plonta, env, args.seconds, options)
                if watcher:
                    watcher.join()
                if status != 27:
                    raise SystemExit("%s ended with %d" % (name, status))
                runs[name].append((usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024.0))
            print("round %d of %d done" % (round_ + 1, args.rounds), file=sys.stderr)
    finally:
        xvfb.terminate()
        xvfb.wait()
        server_proc.terminate()
        server_proc.wait()
    on = statistics.median(cpu for cpu, _ in runs["sound on"])
    off = statistics.median(cpu for cpu, _ in runs["--mute"])
    print("%d rounds of %.0f s of play, medians" % (args.rounds, args.seconds))
    for name, values in runs.items():
        print("%-10s CPU %.3f s  peak RSS %.1f MB" % (
            name, statistics.median(c for c, _ in values), statistics.median(r for _, r in values)))
    print("sound costs %.1f ms of CPU per 10 s of play" % ((on - off) * 1000 * 10 / args.seconds))
    if latencies:
        print("stream latency in the server (buffer + sink): median %.1f ms, p90 %.1f ms, max "
              "%.1f ms (%d readings); SDL's buffer adds up to 23 ms" % (
                  statistics.median(latencies), statistics.quantiles(latencies, n=10)[-1],
                  max(latencies), len(latencies)))
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("plonta")
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--starts", type=int, default=5)
    parser.add_argument("--scale", help="passed on to the program")
    parser.add_argument("--fullscreen", metavar="WxH",
                        help="play fullscreen (F11) on a screen of this size")
    parser.add_argument("--against", metavar="OLD_PLONTA",
                        help="measure this build too, side by side")
    parser.add_argument("--scales", default="1,2",
                        help="with --against: the new build's scales, comma-separated")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--sound", action="store_true",
                        help="sound on against --mute, through a null sink of its own")
    parser.add_argument("--null-sink", action="store_true",
                        help="with --against: both play to a PulseAudio null sink of their own")
    args = parser.parse_args()
    if args.sound:
        return sound(args)
    if args.against:
        return compare(args)
    plonta = os.path.abspath(args.plonta)
    options = ("--scale", args.scale) if args.scale else ()

    env = dict(os.environ)
    env.pop("SDL_VIDEODRIVER", None)
    screen = "1920x1200x24" if args.scale else "640x720x24"
    xvfb = start_screen(env, args.fullscreen + "x24" if args.fullscreen else screen)
    # SDL goes fullscreen through the window manager.
    manager = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL) if args.fullscreen else None
    try:
        # Warm start times: the first run fills the font cache and the page cache.
        first_frames = []
        for _ in range(args.starts + 1):
            stats, _, started, _, _ = run_once(plonta, env, 0, options)
            first_frames.append((stats["first_frame_monotonic_ns"] - started) / 1e6)
        first_frames = first_frames[1:]

        stats, usage, _, status, keys = run_once(plonta, env, args.seconds, options,
                                                 bool(args.fullscreen))
    finally:
        if manager:
            manager.terminate()
            manager.wait()
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
