"""A real sound server for the end-to-end cases: a PulseAudio null sink of the case's own, its
monitor recorded with parec, and the loudness envelopes a recording is compared by."""

import array
import math
import os
import subprocess
import time
import wave

from screen import Failure

RATE = 22050
BLOCK = RATE // 100  # 10 ms


def start_server(s):
    """pulseaudio in the case's folder with one null sink; returns its PULSE_SERVER address."""
    home = os.path.join(s.tmp, "pulse")
    os.makedirs(home)
    socket = os.path.join(home, "native")
    env = dict(s.env, HOME=home, XDG_RUNTIME_DIR=home, PULSE_RUNTIME_PATH=home)
    s.spawn(["pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
             "--load=module-null-sink sink_name=plonta",
             "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    server = "unix:" + socket
    s.wait_for(lambda: subprocess.run(["pactl", "info"], env=dict(env, PULSE_SERVER=server),
                                      capture_output=True).returncode == 0,
               10, "the sound server")
    return server


def record(s, server, path):
    """parec on the sink's monitor into path, raw mono 16-bit; returns the process."""
    out = open(path, "wb")
    proc = s.spawn(["parec", "--server", server, "-d", "plonta.monitor", "--format=s16le",
                    "--rate=%d" % RATE, "--channels=1", "--latency-msec=10"], stdout=out)
    time.sleep(0.5)
    return proc


def stop(proc, path):
    proc.terminate()
    proc.wait(timeout=10)
    samples = array.array("h")
    with open(path, "rb") as f:
        samples.frombytes(f.read()[:os.path.getsize(path) // 2 * 2])
    return samples


def read_wav(path):
    with wave.open(path) as f:
        if f.getframerate() != RATE:
            raise Failure("plonta-sim's sound is at %d Hz" % f.getframerate())
        return array.array("h", f.readframes(f.getnframes()))


def envelope(samples):
    return [math.sqrt(sum(x * x for x in samples[i:i + BLOCK]) / BLOCK)
            for i in range(0, len(samples) - BLOCK + 1, BLOCK)]


def onsets(envelope, loud=1500, apart=0):
    """The blocks where a sound starts: loud after quiet, more than apart blocks after the last
    start. Sooner is the same sound going on after a dropout, a buffer late on a loaded machine."""
    found, quiet = [], True
    for i, level in enumerate(envelope):
        if quiet and level > loud:
            if not found or i - found[-1] > apart:
                found.append(i)
            quiet = False
        elif level < loud / 4:
            quiet = True
    return found
