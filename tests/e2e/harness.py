"""End-to-end harness: starts the real player under Wine on the test display
and looks at it from outside, through vetraprobe, xdotool and screenshots."""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

BUILD = os.environ.get("VETRA_BUILD", os.path.join(os.path.dirname(__file__), "..", "..", "build", "win32"))
SOURCE = os.environ.get("VETRA_SOURCE", os.path.join(os.path.dirname(__file__), "..", ".."))
ARTIFACTS = os.path.join(BUILD, "e2e-artifacts")
PLAYER = os.path.join(BUILD, "vetra.exe")
PROBE = os.path.join(BUILD, "vetraprobe.exe")
QUIZPACK = os.path.join(BUILD, "quizpack.exe")

WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
WM_VSCROLL = 0x0115
WM_KEYDOWN = 0x0100
WM_KEYUP = 0x0101


class Control:
    """One window as the probe saw it."""

    FIELDS = ("depth", "handle", "parent", "id", "cls", "style", "exstyle", "sx", "sy", "w", "h", "x", "y",
              "cw", "ch", "visible", "text")

    def __init__(self, line):
        parts = line.rstrip("\n").split("\t")
        parts += [""] * (len(self.FIELDS) - len(parts))
        for name, value in zip(self.FIELDS, parts):
            setattr(self, name, value)
        for name in ("depth", "handle", "parent", "id", "sx", "sy", "w", "h", "x", "y", "cw", "ch", "visible"):
            setattr(self, name, int(getattr(self, name)))
        self.style = int(self.style, 16)
        self.exstyle = int(self.exstyle, 16)
        self.text = decode_text(self.text)

    def __repr__(self):
        return "<%s id=%d %r at (%d,%d) %dx%d>" % (self.cls, self.id, self.text, self.x, self.y, self.w, self.h)


def decode_text(escaped):
    out = bytearray()
    i = 0
    while i < len(escaped):
        c = escaped[i]
        if c == "\\" and i + 1 < len(escaped):
            n = escaped[i + 1]
            if n == "x":
                out.append(int(escaped[i + 2:i + 4], 16))
                i += 4
                continue
            out += {"\\": b"\\", "t": b"\t", "r": b"\r", "n": b"\n"}[n]
            i += 2
            continue
        out.append(ord(c))
        i += 1
    return out.decode("cp1252", errors="replace")


def wine(*args, check=True, timeout=60):
    # Output goes through files, not pipes: Wine may start helper processes
    # that inherit the pipe and keep it open long after the program ended.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run(["wine"] + list(args), stdout=out, stderr=err, stdin=subprocess.DEVNULL,
                              timeout=timeout).returncode
        out.seek(0)
        err.seek(0)
        result = subprocess.CompletedProcess(args, code, out.read(), err.read())
    if check and result.returncode != 0:
        raise RuntimeError("wine %s failed (%d): %s" % (" ".join(args), result.returncode,
                                                        result.stderr.decode(errors="replace")))
    return result


def probe(*args, check=True):
    result = wine(PROBE, *[str(a) for a in args], check=check)
    return result.stdout.decode("latin-1")


def probe_ok(*args):
    return wine(PROBE, *[str(a) for a in args], check=False).returncode == 0


def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, capture_output=True)


def screenshot(name):
    os.makedirs(ARTIFACTS, exist_ok=True)
    path = os.path.join(ARTIFACTS, name + ".png")
    subprocess.run(["import", "-window", "root", path], check=True, capture_output=True)
    return path


def pixel(path, x, y):
    out = subprocess.run(["convert", path, "-format", "%[fx:int(255*p{%d,%d}.r)],%[fx:int(255*p{%d,%d}.g)],"
                          "%[fx:int(255*p{%d,%d}.b)]" % (x, y, x, y, x, y), "info:"],
                         check=True, capture_output=True).stdout.decode()
    return tuple(int(v) for v in out.split(","))


class Player:
    """The player running in its own working folder."""

    def __init__(self, exe=PLAYER, name="vetra.exe", workdir=None, files=None):
        self.workdir = workdir or tempfile.mkdtemp(prefix="vetra-e2e-")
        self.exe = os.path.join(self.workdir, name)
        shutil.copyfile(exe, self.exe)
        for fname, data in (files or {}).items():
            with open(os.path.join(self.workdir, fname), "wb") as f:
                f.write(data)
        self.process = None
        self.main = None

    def start(self, wait=True):
        self.process = subprocess.Popen(["wine", self.exe], cwd=self.workdir, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        if wait:
            self.main = int(probe("wait", "WindowsApp", "-", 30000).strip())
        return self

    def controls(self, handle=None):
        lines = probe("tree", handle or self.main).splitlines()
        return [Control(l) for l in lines if l.strip()]

    def info(self, handle):
        return Control(probe("info", handle).splitlines()[0])

    def child(self, parent, control_id):
        out = probe("child", parent, control_id, check=False).strip()
        return int(out) if out else None

    def top_children(self):
        return [c for c in self.controls() if c.depth == 0]

    def dialog(self, dialog_id_check):
        return [c for c in self.top_children() if dialog_id_check(c)]

    def file(self, name):
        path = os.path.join(self.workdir, name)
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def close(self, timeout=30):
        if self.process and self.process.poll() is None:
            if self.main:
                probe("post", self.main, WM_CLOSE, 0, 0, check=False)
            try:
                return self.process.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                self.process.kill()
                raise
        return self.process.returncode if self.process else None

    def kill(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class PlayerTest(unittest.TestCase):
    players = []

    def launch(self, **kwargs):
        player = Player(**kwargs).start()
        self.addCleanup(player.kill)
        return player


def main():
    unittest.main(verbosity=2)


# ---- Packing quizzes --------------------------------------------------------

def run_quizpack(*args, cwd=None, check=True, timeout=120):
    """Runs QUIZPACK under Wine in cwd; returns the CompletedProcess (stdout and stderr as text)."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run(["wine", QUIZPACK] + [str(a) for a in args], cwd=cwd, stdout=out, stderr=err,
                              stdin=subprocess.DEVNULL, timeout=timeout).returncode
        out.seek(0)
        err.seek(0)
        result = subprocess.CompletedProcess(args, code, out.read().decode("utf-8", "replace"),
                                             err.read().decode("utf-8", "replace"))
    if check and result.returncode != 0:
        raise RuntimeError("quizpack %s failed (%d):\n%s%s" % (" ".join(str(a) for a in args), result.returncode,
                                                              result.stdout, result.stderr))
    return result


def pack_quiz(toml_text, media=None, name="quiz.exe", player=PLAYER):
    """Packs a quiz source (text, UTF-8) and its media files ({relative name: bytes}) with quizpack into a
    copy of the player; returns the path of the packed executable, in a fresh temporary folder."""
    folder = tempfile.mkdtemp(prefix="vetra-pack-")
    with open(os.path.join(folder, "quiz.toml"), "w", encoding="utf-8") as f:
        f.write(toml_text)
    for fname, data in (media or {}).items():
        path = os.path.join(folder, fname)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    run_quizpack("build", "quiz.toml", "-o", name, "--player", os.path.abspath(player), cwd=folder)
    return os.path.join(folder, name)


def launch_quiz(toml_text, media=None, name="quiz.exe", test=None, wait=True, **player_kwargs):
    """Packs a quiz and starts the packed player in its own working folder; with `test` (a TestCase) the
    player is killed at the test's cleanup. Returns the started Player."""
    exe = pack_quiz(toml_text, media, name)
    player = Player(exe=exe, name=name, **player_kwargs)
    if test is not None:
        test.addCleanup(player.kill)
    return player.start(wait=wait)


# ---- Players started where they lie ------------------------------------------

class PlayerInPlace(Player):
    """A player started from its own folder without being copied (an unpacked release, for one)."""

    def __init__(self, path):
        self.exe = os.path.abspath(path)
        self.workdir = os.path.dirname(self.exe)
        self.process = None
        self.main = None


def wait_main_window(player, timeout=60, dismiss=("APPNAME", "Information")):
    """Waits for the player's main window and returns its handle; message boxes with the given captions
    (missing pictures of the sample, no media player under Wine) are dismissed on the way."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        handle = probe("wait", "WindowsApp", "-", 500, check=False).strip()
        if handle:
            player.main = int(handle)
            return player.main
        for caption in dismiss:
            probe_ok("dismiss", caption, 100)
    raise AssertionError("the main window of %s did not appear" % player.exe)


# ---- The sheet and the header bar, seen from outside --------------------------

SHEET_SCROLL_STYLES = 0x00300000  # WS_VSCROLL | WS_HSCROLL: only the quiz sheet has them


def start_answering(player, captions=("Information",), timeout=60):
    """Starts the player and waits for its main window, answering on the way any message box with one of
    these captions (the build may say that the media player is missing). Returns the player."""
    player.start(wait=False)
    deadline = time.time() + timeout
    while time.time() < deadline:
        handle = probe("wait", "WindowsApp", "-", 500, check=False).strip()
        if handle:
            player.main = int(handle)
            return player
        for caption in captions:
            probe_ok("dismiss", caption, 100)
    raise RuntimeError("the main window did not appear")


def sheet_and_header(player):
    """The quiz sheet and the header bar (Controls) among the main window's children."""
    dialogs = [c for c in player.top_children() if c.cls == "#32770"]
    sheets = [c for c in dialogs if c.style & SHEET_SCROLL_STYLES]
    headers = [c for c in dialogs if not c.style & SHEET_SCROLL_STYLES]
    if len(sheets) != 1 or len(headers) != 1:
        raise RuntimeError("expected one sheet and one header bar, found %r" % dialogs)
    return sheets[0], headers[0]


def region_pixels(path, x, y, w, h):
    """The pixels of a w x h rectangle of a screenshot, as a list of rows of (r, g, b)."""
    out = subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", "-depth", "8",
                          "rgb:-"], check=True, capture_output=True).stdout
    return [[tuple(out[(row * w + col) * 3:(row * w + col) * 3 + 3]) for col in range(w)] for row in range(h)]


def crop(path, x, y, w, h, out):
    """Writes the rectangle of a screenshot to `out` as a small PNG."""
    subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", "-strip", out],
                   check=True, capture_output=True)
    return out


def pixel_at(path, x, y):
    """One pixel of a screenshot as (r, g, b)."""
    return region_pixels(path, x, y, 1, 1)[0][0]
