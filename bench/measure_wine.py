#!/usr/bin/env python3
"""The Windows program under Wine and Xvfb (Direct3D renderer gdi): 20 s of play with the
blocking loop (at scale 1, then at scale 2) and with the busy loop it replaced, one after the
other in one run.

Usage: bench/measure_wine.py [BUILD_DIR] [SECONDS]     (default build/windows, 20)

Reports CPU seconds of the program and of its wineserver, the median paint time (from the
PLONTA_PAINT_STATS timings of plonta.exe and of bench/plonta-busyloop.exe) and the size of
plonta.exe.
Uses BUILD_DIR/wine-prefix, made by tests/win/wine_prefix.sh when it is missing.
"""

import json
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests"))
from xvfb import start_xvfb  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def cpu_seconds_of(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def start_screen(env):
    # Room for the window at scale 2.
    return start_xvfb(env, "1600x1200x24")


def xdotool(env, *args):
    subprocess.run(["xdotool", *args], env=env, check=False, capture_output=True, timeout=20)


def play(build, env, busy, seconds, scale=1):
    """One run of the program; returns program CPU, wineserver CPU, paint times (µs)."""
    subprocess.run(["wineserver", "-w"], env=env, timeout=60)
    server = subprocess.Popen(["wineserver", "-f", "-p"], env=env)
    time.sleep(1.0)
    log = tempfile.NamedTemporaryFile(suffix=".json", delete=False)
    log.close()
    run_env = dict(env, PLONTA_PAINT_STATS="Z:" + log.name.replace("/", "\\"))
    server_before = cpu_seconds_of(server.pid)
    exe = os.path.join(build, "bench", "plonta-busyloop.exe") if busy else \
        os.path.join(build, "shell", "win32", "plonta.exe")
    options = ["--scale", str(scale)] if scale != 1 else []
    program = subprocess.Popen(["wine", exe] + options, env=run_env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    window = None
    for _ in range(200):
        out = subprocess.run(["xdotool", "search", "--name", "^Plonta-Test$"], env=env,
                             capture_output=True, timeout=20).stdout.split()
        if out:
            window = out[-1].decode()
            break
        time.sleep(0.1)
    if window is None:
        raise SystemExit("no Plonta-Test window")
    time.sleep(1.0)
    xdotool(env, "mousemove", "300", "400")
    xdotool(env, "windowfocus", "--sync", window)
    xdotool(env, "key", "space")
    play_before = (cpu_seconds_of(program.pid), cpu_seconds_of(server.pid))
    # Play: walk the paddle to and fro and drop now and then, as a player would.
    started = time.monotonic()
    step = 0
    while time.monotonic() - started < seconds:
        xdotool(env, "key", ["Left", "Left", "space", "Right", "Right", "space"][step % 6])
        step += 1
        time.sleep(0.5)
    play_cpu = (cpu_seconds_of(program.pid) - play_before[0],
                cpu_seconds_of(server.pid) - play_before[1])
    xdotool(env, "key", "Escape")
    _, status, usage = os.wait4(program.pid, 0)
    program.returncode = os.waitstatus_to_exitcode(status)
    server_cpu = cpu_seconds_of(server.pid) - server_before
    server.terminate()
    server.wait(timeout=10)
    with open(log.name) as f:
        paints = [ns / 1000 for ns in json.load(f)["paint_ns"]]
    os.unlink(log.name)
    return usage.ru_utime + usage.ru_stime, server_cpu, play_cpu, paints, program.returncode


def median(values):
    ordered = sorted(values)
    return ordered[len(ordered) // 2] if ordered else float("nan")


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build",
                                                                                  "windows"))
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20.0
    env = dict(os.environ, WINEPREFIX=os.path.join(build, "wine-prefix"), WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    if not os.path.exists(os.path.join(env["WINEPREFIX"], "user.reg")):
        subprocess.run(["bash", os.path.join(ROOT, "tests", "win", "wine_prefix.sh"),
                        env["WINEPREFIX"]], env=env, check=True)
    xvfb = start_screen(env)
    try:
        rows = []
        for name, busy, scale in (("blocking", False, 1), ("scale 2", False, 2),
                                  ("busy (old)", True, 1)):
            cpu, server, during, paints, status = play(build, env, busy, seconds, scale)
            rows.append((name, cpu, server, during, paints, status))
    finally:
        xvfb.terminate()
        xvfb.wait()
    print("%.0f s of play under Wine %s, Xvfb, Direct3D renderer gdi" % (
        seconds, subprocess.run(["wine", "--version"], capture_output=True,
                                text=True).stdout.strip()))
    print("CPU seconds: whole run (start-up included) / the %.0f s of play alone" % seconds)
    print("%-11s %16s %18s %7s %18s %5s" % ("loop", "program CPU", "wineserver CPU", "paints",
                                           "median paint (ms)", "exit"))
    for name, cpu, server, during, paints, status in rows:
        print("%-11s %7.2f / %6.2f %8.2f / %7.2f %7d %18.3f %5d" % (
            name, cpu, during[0], server, during[1], len(paints), median(paints) / 1000, status))
    exe = os.path.join(build, "shell", "win32", "plonta.exe")
    print("plonta.exe: %d bytes (%.2f MB)" % (os.path.getsize(exe), os.path.getsize(exe) / 2**20))


if __name__ == "__main__":
    main()
