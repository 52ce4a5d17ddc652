"""The two programs the end-to-end cases run on, each behind the same small adapter: the SDL
program as an X client, and plonta.exe under Wine. Session holds what both share: a private X
server, tools run with retries, keys through xdotool and screenshots of the client area."""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from screen import (RED, Failure, Image, conveyor_tiles, differing, edge, expect,
                    gdi_differences, odometer, paddle_lane)

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from xvfb import start_xvfb  # noqa: E402


# The game's title, and what a replay adds to it.
TITLE = "^Plonta-Test( - |$)"


class Session:
    """One X server and the runs of one program in it, for one case.

    An adapter gives: start_program(*args), back once the first frame shows and the window has
    the keyboard; locate() and focus(); minimise() and restore(), back once the window is seen
    so; close_window(); actions(), what the window's frame offers; refused(args), a start that
    must fail; run_to_end(args), one that prints and ends; told_at_exit(), after a key that
    ends the program; end_from_outside(how) for each of ENDINGS; frame_differences() from
    plonta-sim's frame of the same game; path(), a file's name as the program takes it;
    hear(server), the sound to a PulseAudio server from the next start; program_errors(), what
    the ended program wrote to standard error."""

    NAME = None  # as the program names itself
    CLIENT = None  # the client area at the start, where the program alone places it
    FULL_DISK = None  # a file whose writes fail with a full disk
    # The system's words for a failure, where they are the same from machine to machine.
    REASONS = {}
    KEY_OPTIONS = ()

    def __init__(self, args, needs):
        self.artifacts, self.name, self.sim, self.needs = args.artifacts, args.case, args.sim, needs
        self.procs, self.shots = [], []
        self.program = self.client = None  # client: (left, top, width, height) on the screen
        self.x_running = False
        self.tmp = tempfile.mkdtemp(prefix="plonta-e2e-")
        self.env = dict(os.environ)
        # The best games and settings of this case alone, never the player's.
        self.env["XDG_DATA_HOME"] = os.path.join(self.tmp, "data")
        # Where the frame lies in the client area and at which scale: shot() reads it back at
        # scale 1, one pixel from the middle of each block.
        self.frame = (0, 0, 1)

    def prepare(self):
        if self.needs.x:
            try:
                self.procs.append(start_xvfb(self.env, self.needs.screen or self.SCREEN))
            except RuntimeError as e:
                raise Failure(str(e))
            self.x_running = True

    def spawn(self, args, **kwargs):
        """Starts a process that close() ends."""
        kwargs.setdefault("env", self.env)
        proc = subprocess.Popen(args, **kwargs)
        self.procs.append(proc)
        return proc

    def kept_games(self):
        """The recordings the program keeps among its best games."""
        folder = os.path.join(self.data_folder(), "best")
        names = os.listdir(folder) if os.path.isdir(folder) else []
        return sorted(os.path.join(folder, name) for name in names if name.endswith(".sim"))

    def kept_settings(self):
        return os.path.join(self.data_folder(), "settings.txt")

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
        """A screenshot of the client area (or of the whole screen); the last dozen are kept
        for a failure's artifacts."""
        args = ["import", "-window", "root", "-depth", "8"]
        if not whole:
            left, top, width, height = self.client
            args += ["-crop", "%dx%d+%d+%d" % (width, height, left, top), "+repage"]
        for attempt in range(3):
            start = time.monotonic()
            done = subprocess.run(args + ["ppm:-"], env=self.env, capture_output=True,
                                  timeout=20)
            if done.returncode == 0 and done.stdout.startswith(b"P6"):
                self.shots = self.shots[-11:] + [(label, Image(done.stdout,
                                                                (start, time.monotonic())))]
                image = self.shots[-1][1]
                return image if whole or self.frame == (0, 0, 1) else at_scale_one(image,
                                                                                   *self.frame)
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
        # Keys reach a program on a loaded machine late; 5 s only bound one that ignores them.
        return self.wait_for_shot(label, lambda image: paddle_lane(image) == lane, 5,
                                  "the paddle in lane %d" % lane)

    def wait_for_tiles(self, label, seconds=10):
        # The first tile comes ten ticks after the start.
        return self.wait_for_shot(label, conveyor_tiles, seconds, "a tile on the conveyor")

    def exit_status(self, seconds=20):
        # A program ends within a frame of its last key; the seconds bound the teardown of a
        # loaded machine's Wine or sanitizer run, not the program.
        try:
            return self.program.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end within %d s" % seconds)

    def escape(self):
        self.key("Escape")
        status = self.exit_status()
        expect(status == 27, "Escape ended with %r, not 27" % status)

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


class Sdl(Session):
    """plonta as an X client, found by its title; openbox only for the cases that need one."""

    NAME, SCREEN, CLIENT, FULL_DISK = "plonta", "640x720x24", (100, 150, 400, 500), "/dev/full"
    REASONS = {"missing": "No such file or directory", "directory": "Is a directory",
               "denied": "Permission denied", "full": "No space left on device"}
    KEY_OPTIONS = ("--delay", "40")
    ENDINGS = ("SIGINT", "SIGTERM", "SIGKILL")

    def __init__(self, args, needs):
        super().__init__(args, needs)
        self.plonta = os.path.abspath(args.plonta)
        self.window = self.windows_made = None
        for variable in ("SDL_VIDEODRIVER", "WAYLAND_DISPLAY"):
            self.env.pop(variable, None)
        # The cases that listen choose a server; the rest have SDL's silent device.
        self.env["SDL_AUDIODRIVER"] = "dummy"
        self.env["XDG_RUNTIME_DIR"] = self.tmp

    def prepare(self):
        super().prepare()
        if not self.needs.wm:
            return
        config = os.path.join(self.tmp, "rc.xml")
        with open("/etc/xdg/openbox/rc.xml") as f:
            rc = f.read()
        # The iconify animation moves the frame about while the tests read positions.
        with open(config, "w") as f:
            f.write(rc.replace("<animateIconify>yes</animateIconify>",
                               "<animateIconify>no</animateIconify>"))
        self.spawn(["openbox", "--config-file", config], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
        self.wait_for(lambda: "_NET_SUPPORTING_WM_CHECK" in self.tool(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False),
            10, "openbox to manage the screen")
        # Openbox announces itself a moment before it handles map requests.
        time.sleep(0.5)

    def start_program(self, *args):
        self.program = self.spawn([self.plonta] + list(args), stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE)

        def find():
            if self.program.poll() is not None:
                raise Failure("plonta ended early with %d: %s" % (
                    self.program.returncode, self.program.stderr.read().decode()))
            ids = self.tool(["xdotool", "search", "--name", TITLE], check=False).split()
            return ids[-1] if ids else None

        # A cold start on a loaded machine can take a while: the waits only bound a hang.
        self.window = self.wait_for(find, 30, "the Plonta-Test window")
        started = time.monotonic()

        def shown():
            self.locate()
            image = self.shot("waiting for the first frame")
            if image.at(35, 400) == RED and image.at(200, 450) == RED:
                return True
            # A map request that reached a window manager still starting up can get lost.
            if time.monotonic() - started > 3 and "IsUnMapped" in self.locate():
                self.tool(["xdotool", "windowmap", self.window], check=False)
                time.sleep(0.5)
            return False

        self.wait_for(shown, 30, "the first frame")
        self.focus()
        expect(self.windows_made is None or self.windows_made() > 0,
               "the window watch saw no window made")

    def locate(self):
        info = self.tool(["xwininfo", "-id", self.window])
        self.client = tuple(int(re.search(pattern + r":\s+(-?\d+)", info).group(1)) for pattern in
                            ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))
        return info

    def focus(self):
        x, y = self.client[:2]
        self.tool(["xdotool", "mousemove", str(x + 200), str(y + 250)])
        self.tool(["xdotool", "windowactivate", "--sync", self.window] if self.needs.wm else
                  ["xdotool", "windowfocus", self.window], check=False)
        time.sleep(0.1)

    def minimise(self):
        self.tool(["xdotool", "windowminimize", "--sync", self.window], check=False)
        # Openbox answers within a frame; 10 s only bound a hang.
        self.wait_for(lambda: "IsUnMapped" in self.tool(["xwininfo", "-id", self.window]), 10,
                      "the window to be minimised")

    def restore(self):
        self.tool(["xdotool", "windowactivate", "--sync", self.window], check=False)
        self.wait_for(lambda: "IsViewable" in self.locate(), 10, "the window to come back")

        def still():
            before = self.client
            self.locate()
            return self.client == before
        self.wait_for(still, 5, "the window to stand still")
        self.focus()

    def close_window(self):
        # The window manager's close, as the title bar's button does it.
        self.tool(["xdotool", "key", "alt+F4"])

    def actions(self):
        offered = self.tool(["xprop", "-id", self.window, "_NET_WM_ALLOWED_ACTIONS"])
        return {name for name, atom in (("minimise", "_NET_WM_ACTION_MINIMIZE"),
                                        ("maximise", "MAXIMIZE"),
                                        ("resize", "_NET_WM_ACTION_RESIZE")) if atom in offered}

    def refused(self, args):
        if not self.windows_made:
            # Every top-level window made on the X server, as xev sees them created.
            log = os.path.join(self.tmp, "xev.log")
            with open(log, "w") as out:
                self.spawn(["stdbuf", "-oL", "xev", "-root", "-event", "substructure"],
                           stdout=out)
            time.sleep(0.5)

            def windows_made():
                with open(log) as f:
                    return f.read().count("CreateNotify")
            self.windows_made = windows_made
        status, printed, said = self.run_to_end(args)
        # Any window since the first refusal: xev may tell of one a moment after its program
        # ended, and then the next refusal reports it.
        return status, said.splitlines(), printed, self.windows_made() > 0

    def data_folder(self):
        return os.path.join(self.env["XDG_DATA_HOME"], "plonta")

    def kept_path(self, path):
        """A path the program printed, as this machine finds it."""
        return path

    def run_to_end(self, args):
        done = subprocess.run([self.plonta] + args, env=self.env, capture_output=True,
                              timeout=30)
        return done.returncode, done.stdout, done.stderr.decode(errors="replace")

    def told_at_exit(self):
        """Standard error leads to no terminal: a failed recording is told in a box too."""
        # SDL names its box in UTF-8 only, which xdotool's search does not read.
        box = self.wait_for(lambda: re.findall(r'^\s+(0x[0-9a-f]+) "Plonta":', self.tool(
            ["xwininfo", "-root", "-tree"]), re.M), 20, "the message box")
        self.tool(["xdotool", "windowfocus", "--sync", box[-1]], check=False)
        self.tool(["xdotool", "key", "Return"])
        return self.exit_status(), self.program.stderr.read().decode(errors="replace")

    def program_errors(self):
        return self.program.stderr.read().decode(errors="replace")

    def end_from_outside(self, how):
        """Stops the program, takes its last frame, then sends the signal."""
        self.program.send_signal(signal.SIGSTOP)
        last = self.shot("stopped")
        self.program.send_signal(getattr(signal, how))
        self.program.send_signal(signal.SIGCONT)
        return last

    def frame_differences(self, image, cairo, tiles=0):
        # The window draws through Cairo as plonta-sim does: pixel for pixel.
        return differing(image, cairo)

    def path(self, path):
        return path

    def hear(self, server):
        """The sound goes to server (a PULSE_SERVER address) through SDL as it finds it."""
        self.env.pop("SDL_AUDIODRIVER", None)
        self.env["PULSE_SERVER"] = server

    def diagnose(self):
        if self.program is not None and self.program.poll() is not None:
            print("plonta stderr:", self.program.stderr.read().decode(errors="replace"))
        if self.window and self.x_running:
            print(self.tool(["xwininfo", "-id", self.window], check=False),
                  self.tool(["xprop", "-id", self.window, "WM_STATE", "_NET_WM_STATE"],
                            check=False))


def at_scale_one(image, left, top, scale):
    """The frame at scale 1 from a picture of it drawn scale times as large at (left, top), one
    pixel from the middle of each block; black where the picture cuts it off."""
    pixels = bytearray(400 * 500 * 3)
    middles = [(edge(p, scale) + edge(p + 1, scale)) // 2 for p in range(500)]
    for y in range(500):
        if top + middles[y] >= image.height:
            break
        row = (top + middles[y]) * image.width
        for x in range(400):
            if left + middles[x] >= image.width:
                break
            source = (row + left + middles[x]) * 3
            pixels[(y * 400 + x) * 3:(y * 400 + x + 1) * 3] = image.pixels[source:source + 3]
    return Image(b"P6\n400 500\n255\n" + bytes(pixels), image.taken)


class Wine(Session):
    """plonta.exe started through wine, and located, minimised, restored and closed from inside
    Wine by plonta_ctl. The prefix comes from WINEPREFIX, made beforehand by wine_prefix.sh."""

    NAME, SCREEN, FULL_DISK = "plonta.exe", "1024x768x24", "Z:\\dev\\full"
    REASONS = {"directory": "is a directory"}  # Wine words the system's from version to version
    KEY_OPTIONS = ("--clearmodifiers",)
    ENDINGS = ("logoff",)

    def __init__(self, args, needs):
        expect("WINEPREFIX" in os.environ, "WINEPREFIX is not set: make one with wine_prefix.sh")
        super().__init__(args, needs)
        self.exe, self.ctl = args.plonta, args.ctl
        if self.sim and not os.path.exists(self.sim):
            print("no plonta-sim at %s: comparing without it" % self.sim)
            self.sim = None
        self.env.setdefault("WINEDEBUG", "-all")
        self.env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
        self.iconic = self.foreground = None

    def prepare(self):
        # Wine's desktop stays bound to the X display of the program that started it: let the
        # server of an earlier program end first.
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        # The prefix serves every case: each starts without the best games and settings of
        # the last.
        shutil.rmtree(self.data_folder(), ignore_errors=True)
        super().prepare()

    def close(self):
        super().close()
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)

    def run(self, args):
        """Starts a wine program with its output in files, not pipes: a wineserver it starts
        would hold a pipe open for good. Returns the process, and then its output and errors."""
        out, err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
        proc = self.spawn(["wine"] + args, stdout=out, stderr=err)

        def output():
            out.seek(0)
            err.seek(0)
            return out.read(), err.read().decode(errors="replace").replace("\r\n", "\n")
        return proc, output

    def control(self, command):
        proc, output = self.run([self.ctl, command])
        status = proc.wait(timeout=30)
        said, error = output()
        expect(status == 0, "plonta_ctl %s failed (%d): %s" % (command, status, error))
        return said.decode()

    def locate(self):
        x, y, w, h, iconic, foreground = (int(v) for v in self.control("where").split())
        self.iconic, self.foreground = iconic == 1, foreground == 1
        # A minimised window reports an empty client area; keep where it stood.
        if not self.iconic:
            self.client = (x, y, w, h)
        return self.iconic

    def set_dpi(self, dpi):
        """The prefix's DPI, for the programs started from now on; whatever a failed case left
        running ends first."""
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)
        proc, _ = self.run(["reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels",
                            "/t", "REG_DWORD", "/d", str(dpi), "/f"])
        expect(proc.wait(timeout=60) == 0, "reg add LogPixels failed")
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)

    def launch(self, *args):
        """Starts plonta.exe, or another wine program that starts it."""
        self.program, self.output = self.run(list(args or [self.exe]))

    def wait_for_window(self):
        def located():
            try:
                self.locate()
                return True
            except Failure:
                # plonta_ctl waits five seconds for the window: a cold Wine on a loaded machine
                # can take longer.
                if self.program.poll() is not None:
                    raise
                return False
        self.wait_for(located, 30, "the Plonta-Test window")

    def start_program(self, *args):
        self.launch(self.exe, *args)
        self.wait_for_window()
        expect(not self.iconic and self.client[2] > 0,
               "unexpected window at start: %r iconic %r" % (self.client, self.iconic))
        # The first frame: the bin's red walls (a replay may have moved the paddle already).
        self.wait_for_shot("start", lambda image: image.at(35, 400) == RED and
                           image.at(200, 450) == RED, 30, "the first frame")
        self.focus()

    def focus(self):
        ids = self.tool(["xdotool", "search", "--name", TITLE]).split()
        expect(ids, "no X window named Plonta-Test")
        x, y, w, h = self.client
        self.tool(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2)])
        self.tool(["xdotool", "windowfocus", "--sync", ids[-1]])
        time.sleep(0.2)

    def minimise(self):
        self.control("minimise")
        # Each plonta_ctl call starts a Wine process: seconds on a loaded machine.
        self.wait_for(self.locate, 10, "the window to be minimised")

    def restore(self):
        self.control("restore")
        self.wait_for(lambda: not self.locate(), 10, "the window to be restored")
        self.focus()

    def close_window(self):
        self.control("close")

    def actions(self):
        return set(self.control("actions").split())

    def answer_message(self):
        """The text of the message box plonta.exe shows, and whether its game window was open."""
        said = self.control("message").replace("\r\n", "\n")
        text, _, window = said.rstrip("\n").rpartition("\n")
        return text.strip("\n"), window == "game window: yes"

    def refused(self, args):
        self.launch(self.exe, *args)
        text, window = self.answer_message()
        status = self.exit_status()
        printed, said = self.output()
        expect(said.rstrip("\n") == text, "standard error said %r, the box %r" % (said, text))
        return status, text.split("\n"), printed, window

    def run_to_end(self, args):
        self.launch(self.exe, *args)
        return (self.exit_status(),) + self.output()

    def told_at_exit(self):
        text, _ = self.answer_message()
        return self.exit_status(), text + "\n"

    def program_errors(self):
        # Wine's ALSA driver, looking for a card in the same process, writes its own lines.
        said = self.output()[1].splitlines(keepends=True)
        return "".join(line for line in said if not line.startswith("ALSA lib "))

    def end_from_outside(self, how):
        expect(self.control("logoff").strip() == "agreed", "the game held logging off up")

    def frame_differences(self, image, cairo, tiles=0):
        return gdi_differences(image, cairo, tiles)

    def data_folder(self):
        """Plonta in the roaming application data of the prefix's user."""
        users = os.path.join(self.env["WINEPREFIX"], "drive_c", "users")
        for user in sorted(os.listdir(users)):
            roaming = os.path.join(users, user, "AppData", "Roaming")
            if user != "Public" and os.path.isdir(roaming):
                return os.path.join(roaming, "Plonta")
        raise Failure("no roaming application data in %s" % users)

    def kept_path(self, path):
        """A C: path the program printed, inside the prefix."""
        drive, rest = path.split(":", 1)
        expect(drive.upper() == "C", "not on C: %r" % path)
        return os.path.join(self.env["WINEPREFIX"], "drive_c", *rest.strip("\\").split("\\"))

    def path(self, path):
        """A Linux path as Wine's Z: drive shows it."""
        return "Z:" + path.replace("/", "\\")

    def hear(self, server):
        """Wine's PulseAudio driver plays to server."""
        self.env["PULSE_SERVER"] = server

    def diagnose(self):
        print("last seen: iconic %r, foreground %r" % (self.iconic, self.foreground))
        if self.program is not None and self.program.poll() is not None:
            print("plonta.exe ended with", self.program.returncode, self.output()[1])


def write_whole(path, text):
    """Hands a running program a file: written beside it under another name, then renamed over
    it, so that the program reads the old text or the new, never an emptied or half-written
    file."""
    handle, temporary = tempfile.mkstemp(dir=os.path.dirname(path), prefix=".new-")
    with os.fdopen(handle, "w") as f:
        f.write(text)
    os.replace(temporary, path)


PROGRAMS = {"linux": Sdl, "windows": Wine}
