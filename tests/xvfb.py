"""Starts a private Xvfb on the first free display, for the end-to-end tests and the
measuring scripts."""

import os
import subprocess
import time


def start_xvfb(env, size="1024x768x24", timeout=30):
    """Starts Xvfb with the given screen, sets DISPLAY in env and returns the process."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", size,
                             "-nolisten", "tcp", "-noreset"],
                            pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, env=env)
    os.close(write_end)
    try:
        number, deadline = b"", time.monotonic() + timeout
        # Xvfb writes the display number once it accepts clients.
        while not number.endswith(b"\n"):
            if time.monotonic() > deadline or xvfb.poll() is not None:
                raise RuntimeError("Xvfb did not start")
            chunk = os.read(read_end, 16)
            if not chunk:
                raise RuntimeError("Xvfb closed its display pipe")
            number += chunk
    except BaseException:
        xvfb.kill()
        raise
    finally:
        os.close(read_end)
    env["DISPLAY"] = ":" + number.decode().strip()
    return xvfb
