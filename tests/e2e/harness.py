"""End-to-end harness: starts the real player under Wine on the test display
and looks at it from outside, through vetraprobe, xdotool and screenshots."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import types
import unittest

import peresources

# The Windows build under test and the Wine loader that starts it: the 32-bit
# one, or where this machine runs no 32-bit code the 64-bit one under Wine's
# 64-bit loader (scripts/lib/world.sh decides, scripts/lib/session.sh exports).
WINDOWS_BUILD = os.environ.get("VETRA_WINDOWS_BUILD", os.environ.get("VETRA_WINDOWS_RUNNING", "win32"))
BUILD = os.environ.get("VETRA_BUILD", os.path.join(os.path.dirname(__file__), "..", "..", "build", WINDOWS_BUILD))
WINE = os.environ.get("VETRA_WINE", "wine")
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

EXAMPLES = os.path.join(SOURCE, "examples")
RT_RCDATA = 10

# This machine may have no sound card, and Wine 8's player control crashes in
# play when it cannot render a clip (no sound output is enough). A null ALSA
# device lets it render the audio clips silently.
ALSA_NULL = """</usr/share/alsa/alsa.conf>
pcm.!default { type null }
"""


# ---- The programs' own numbers, read from their headers ---------------------

_DECLARATION = re.compile(r"^\s*(?:#define\s+(\w+)\s+([^/]+?)|constexpr\s+int\s+(\w+)\s*=\s*([^;]+);|(\w+)\s*=\s*([^,;/]+),?)"
                          r"\s*(?://.*)?$")
# An entry of an X-macro list, V(name, number, ...): the editor's commands.
_LIST_ENTRY = re.compile(r"^\s*V\((\w+),\s*(\d+),")


def _evaluate(expression, known):
    """A sum of numbers and names declared before (a + 1, a - b); None for anything else."""
    tokens = re.findall(r"\w+|[-+]|\S", expression)
    total, sign, expect_term = 0, 1, True
    for token in tokens:
        if expect_term and re.fullmatch(r"\d\w*", token):
            total += sign * int(token, 0)
        elif expect_term and token in known:
            total += sign * known[token]
        elif not expect_term and token in "+-":
            sign = 1 if token == "+" else -1
        else:
            return None
        expect_term = not expect_term
    return None if expect_term else total


def header_constants(relative):
    """The integer constants a C++ header of the source tree declares (#define, constexpr int, enum
    entries, the entries of an X-macro list), as attributes named as in the header; a name the header
    lost fails where it is used."""
    values = {}
    with open(os.path.join(SOURCE, relative), encoding="utf-8") as f:
        for line in f:
            entry = _LIST_ENTRY.match(line)
            if entry:
                values[entry.group(1)] = int(entry.group(2))
                continue
            found = _DECLARATION.match(line)
            if not found:
                continue
            name = found.group(1) or found.group(3) or found.group(5)
            value = _evaluate(found.group(2) or found.group(4) or found.group(6), values)
            if value is not None:
                values[name] = value
    return types.SimpleNamespace(**values)


def _model_fields():
    """The names of ModelField, in the order of authoring/quizModel.h (the rows of the table of fields)."""
    with open(os.path.join(SOURCE, "authoring/quizModel.h"), encoding="utf-8") as f:
        body = re.search(r"enum class ModelField\s*\{(.*?)\};", f.read(), re.S).group(1)
    body = re.sub(r"//[^\n]*", "", body)
    return [name.strip() for name in body.split(",") if name.strip()]


def editor_constants():
    """The editor's numbers: its commands and controls as editor/editorCommands.h declares them, plus
    each field's control, numbered by its row of the table of fields: id<Field> (idCaption1 and
    idCaption2 for the pair, idColourSwatch for the colour, idOtherAnswers and idOtherAnswers2 for the
    other answers each answer box accepts), idBrowse<Field> or idColourChoose for its
    button and idPreview<Field> for its preview."""
    ids = header_constants("editor/editorCommands.h")
    for row, name in enumerate(_model_fields()):
        at = ids.fieldControlBase + ids.fieldControlStride * row
        title = name[0].upper() + name[1:]
        names = {"captions": ["idCaption1", "idCaption2"], "colour": ["idColourSwatch"],
                 "answer": ["idAnswer", "idOtherAnswers"], "answer2": ["idAnswer2", "idOtherAnswers2"]}.get(
                     name, ["id" + title])
        for item, control in enumerate(names):
            setattr(ids, control, at + item)
        button = "idColourChoose" if name == "colour" else "idBrowse" + title
        setattr(ids, button, at + ids.fieldButtonOffset)
        setattr(ids, "idPreview" + title, at + ids.fieldPreviewOffset)
    return ids


PLAYER_IDS = header_constants("resources/resource.h")
EDITOR_IDS = editor_constants()
SCORE_ID, REWARD_ID, SAVE_ID = PLAYER_IDS.headerScoreId, PLAYER_IDS.headerRewardCodeId, PLAYER_IDS.headerSaveButtonId


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
        code = subprocess.run([WINE] + list(args), stdout=out, stderr=err, stdin=subprocess.DEVNULL,
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
        self.process = subprocess.Popen([WINE, self.exe], cwd=self.workdir, stdout=subprocess.DEVNULL,
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
        code = subprocess.run([WINE, QUIZPACK] + [str(a) for a in args], cwd=cwd, stdout=out, stderr=err,
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
    wait_main_window(player, timeout, captions)
    return player


def find_sheet_and_header(dialogs):
    """The quiz sheet and the header bar among the dialogs (Controls of class #32770) of the main window;
    None unless there is exactly one of each."""
    dialogs = [c for c in dialogs if c.cls == "#32770"]
    sheets = [c for c in dialogs if c.style & SHEET_SCROLL_STYLES]
    headers = [c for c in dialogs if not c.style & SHEET_SCROLL_STYLES]
    return (sheets[0], headers[0]) if len(sheets) == 1 and len(headers) == 1 else None


def sheet_and_header(player):
    """The quiz sheet and the header bar (Controls) among the main window's children."""
    dialogs = player.top_children()
    found = find_sheet_and_header(dialogs)
    if not found:
        raise RuntimeError("expected one sheet and one header bar, found %r" % dialogs)
    return found


class Sheet:
    """The running player's quiz sheet and header bar, read from outside."""

    def __init__(self, player):
        self.player = player
        sheet, header = sheet_and_header(player)
        self.sheet, self.header = sheet.handle, header.handle

    def controls(self):
        return {c.id: c for c in self.player.controls(self.sheet)}

    def text(self, control_id, parent=None):
        handle = self.player.child(parent or self.sheet, control_id)
        return None if handle is None else self.player.info(handle).text

    def box(self, k):
        return self.text(PLAYER_IDS.answerBoxIdBase + k)

    def verdict(self, k):
        return self.text(PLAYER_IDS.verdictLabelIdBase + k)

    def verdicts(self, count):
        return [self.verdict(k) for k in range(1, count + 1)]

    def score(self):
        return self.text(SCORE_ID, self.header)

    def reward(self):
        return self.text(REWARD_ID, self.header)

    def comment_shown(self, n):
        return self.player.info(self.player.child(self.sheet, PLAYER_IDS.commentLabelIdBase + n)).visible == 1

    def click(self, control_id, parent=None):
        """A real mouse click in the middle of a control."""
        control = self.player.info(self.player.child(parent or self.sheet, control_id))
        xdotool("mousemove", control.sx + control.w // 2, control.sy + control.h // 2)
        xdotool("click", "1")


# ---- Keyboard through X ---------------------------------------------------------

def focus_keyboard(title):
    """Gives the player's X window the keyboard focus: without a window manager a click alone does not."""
    found = subprocess.run(["xdotool", "search", "--name", title], capture_output=True, text=True).stdout.split()
    if not found:
        raise AssertionError("no X window titled %r" % title)
    xdotool("windowfocus", "--sync", found[0])


def type_text(text):
    xdotool("type", "--delay", "60", text)


def key(*names):
    xdotool("key", "--delay", "60", *names)


# ---- Waiting for a program that runs on its own time ------------------------------

def wait_for(condition, what, attempts=300):
    """Polls `condition` until it holds and returns its value; the bound only keeps a broken run from
    hanging."""
    for _ in range(attempts):
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError("never happened: " + what)


def _poll(read, done, timeout):
    deadline = time.monotonic() + timeout
    value = read()
    while not done(value) and time.monotonic() < deadline:
        time.sleep(0.1)
        value = read()
    return value


def wait_for_value(read, expected, timeout=10.0):
    """Polls until read() gives expected (the player handles input on its own time); returns the last value."""
    return _poll(read, lambda value: value == expected, timeout)


def wait_until(condition, seconds=15):
    """Whether condition() came to hold within the time."""
    return bool(_poll(condition, bool, seconds))


# ---- Files and resources -------------------------------------------------------------

def windows_path(path):
    """A Linux path as Wine's Z: drive shows it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def pe_resources(path):
    """{(type, name): peresources.Resource} of an executable, first language of each; types and names are
    ints or upper-case strings."""
    return peresources.first_languages(peresources.read(path))


def quiz_resources(path):
    """The quiz part of an executable, {(type, id): bytes}: its PATCH texts, its IMG media and the pictures
    kept as raw data."""
    data = peresources.read(path)
    return {key: data[r.at:r.at + r.size] for key, r in peresources.first_languages(data).items()
            if key[0] in ("PATCH", "IMG") or (key[0] == RT_RCDATA and isinstance(key[1], int)
                                               and key[1] >= PLAYER_IDS.pictureResourceIdBase)}


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
