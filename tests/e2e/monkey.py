"""Random use of the real player, as a restless person would: a seeded
generator types answers (accents included), deletes, moves with Tab and
Shift+Tab, presses Enter, F1 and F2, turns the wheel, clicks the scroll bars,
the answer boxes and "Sauver", resizes, minimises and restores the window,
and now and then closes the player (WM_CLOSE, the system menu's close, or
Alt+F4) and starts it again. All input goes through X (xdotool) except the
minimise, restore and two of the closes, which have no X path without a
window manager and are posted by the probe.

What is checked, from outside, after every save, after every restart and at
the end of a run:
- the player is alive (a close the monkey asked for must end it with code 0);
- the progress file holds exactly the boxes' texts, one CR LF line each
  (N x M lines); after a close, it holds the texts the boxes had just before;
- after a restart every box holds its line of that file;
- verdict labels equal what verdict_oracle (an independent judge) gives for
  their box's text. Which labels: a label changes only when its box is
  judged, and a box is judged whenever it loses the focus, so the only box
  that may hold text not judged yet is the one holding the keyboard focus
  (edits only ever go there). After a save every label but the focused box's
  is compared; after a restart (every box restored and judged by the build)
  all of them are;
- the header's score reads " K / N" with K the questions whose every label
  reads BRAVO, and the reward code is the K-th code (for K = 0: six spaces,
  or nothing before the first label ever changed);
- no message box is up ("Vetra": the save failed; "Information").

A finding names its kind, seed and event number; the same seed gives the
same events again (`scripts/monkey --replay SEED EVENTS`). The kind is the
seed modulo 4 (text, pictures, audio, video)."""
import os
import random
import re
import subprocess
import sys
import tempfile
import time
import tomllib

import harness
import verdict_oracle as oracle
from harness import ALSA_NULL, EXAMPLES, REWARD_ID, SAVE_ID, SCORE_ID

KINDS = (("text", "capitales.toml"), ("pictures", "formes.toml"), ("audio", "villes.toml"),
         ("video", "couleurs.toml"))
WM_CLOSE, WM_SYSCOMMAND = 0x0010, 0x0112
SC_MINIMIZE, SC_RESTORE, SC_CLOSE = 0xF020, 0xF120, 0xF060
LETTERS = "abcdefghijklmnopqrstuvwxyz\u00e9\u00e8\u00e0\u00e7\u0153\u00ea\u00f4\u00f9\u00ee\u00eb"
ACCENTED = "\u00e9\u00e8\u00e0\u00e7\u0153\u00ea\u00f4\u00f9\u00c9\u00c0\u00c7"


class Finding(AssertionError):
    pass


# VETRA_MONKEY_TRACE=1 names each event as it happens, to follow a replay.
TRACE = bool(os.environ.get("VETRA_MONKEY_TRACE"))


class Quiz:
    """What the monkey needs to know of an example quiz: its packed player and its accepted answers."""

    def __init__(self, kind, source_name):
        folder = os.path.join(EXAMPLES, kind)
        with open(os.path.join(folder, source_name), encoding="utf-8") as f:
            text = f.read()
        data = tomllib.loads(text)
        media = {}
        if os.path.isdir(os.path.join(folder, "media")):
            for name in os.listdir(os.path.join(folder, "media")):
                with open(os.path.join(folder, "media", name), "rb") as f:
                    media["media/" + name] = f.read()
        self.kind = kind
        self.title = data["title"]
        self.questions = data["question"]
        self.n = len(self.questions)
        self.m = data.get("answers_per_question", 1)
        if kind == "text" and self.m != 1:
            raise ValueError("a text quiz lays out one box per question; the monkey expects one answer each")
        self.codes = data["reward_codes"]
        self.accepted = []
        for q in self.questions:
            self.accepted.append(q["answer"].encode("cp1252"))
            if self.m == 2:
                self.accepted.append(q["answer2"].encode("cp1252"))
        self.exe = harness.pack_quiz(text, media, name="monkey.exe")


class State:
    """One reading of the running player: boxes, labels, header, focus."""

    def __init__(self, player):
        controls = player.controls()
        dialogs = [c for c in controls if c.depth == 0 and c.cls == "#32770"]
        found = harness.find_sheet_and_header(dialogs)
        if not found:
            raise Finding("expected one sheet and one header, found %r" % dialogs)
        self.sheet, self.header = found
        mine = [c for c in controls if c.parent == self.sheet.handle]
        self.boxes = {c.id - 4000: c for c in mine if 4001 <= c.id <= 4999}
        self.labels = {c.id - 5000: c.text for c in mine if 5001 <= c.id <= 5999}
        self.media_buttons = [c for c in mine if 6001 <= c.id <= 7999]
        head = {c.id: c for c in controls if c.parent == self.header.handle}
        self.score = head[SCORE_ID].text if SCORE_ID in head else None
        self.reward = head[REWARD_ID].text if REWARD_ID in head else None
        self.save_button = head.get(SAVE_ID)

    def texts(self):
        return [self.boxes[k].text for k in sorted(self.boxes)]


class Monkey:
    def __init__(self, seed, events, log=print, stop_at=None):
        self.seed = seed
        self.kind, source = KINDS[seed % len(KINDS)]
        self.rng = random.Random(seed)
        self.events = events
        self.stop_at = stop_at  # a replay ends its run after this event
        self.log = log
        self.quiz = Quiz(self.kind, source)
        self.event = 0
        self.figures = {"events": 0, "saves": 0, "restarts": 0, "labels checked": 0, "accented boxes": 0}
        self.player = None
        self.xid = None
        self.workdir = tempfile.mkdtemp(prefix="vetra-monkey-")
        self.last_file = None  # the file as the previous run of the player left it

    # ---- the player -----------------------------------------------------

    def where(self):
        return "kind %s, seed %d, event %d" % (self.kind, self.seed, self.event)

    def finding(self, what):
        raise Finding("%s (%s; replay: scripts/monkey --replay %d %d)" % (what, self.where(), self.seed, self.event))

    def start(self):
        self.player = harness.Player(exe=self.quiz.exe, name="monkey.exe", workdir=self.workdir)
        self.player.start(wait=False)
        handle = harness.probe("wait", "WindowsApp", "-", 60000, check=False).strip()
        if not handle:
            self.finding("the main window did not appear")
        self.player.main = int(handle)
        self.xid = self.x_window()
        harness.xdotool("windowmove", self.xid, 0, 0)
        self.focus_keyboard()

    def x_window(self):
        title = self.player.info(self.player.main).text
        for _ in range(50):
            found = subprocess.run(["xdotool", "search", "--name", "^%s$" % re.escape(title)],
                                   capture_output=True, text=True).stdout.split()
            if found:
                return found[-1]
            time.sleep(0.1)
        self.finding("no X window titled %r" % title)

    def focus_keyboard(self):
        subprocess.run(["xdotool", "windowfocus", "--sync", self.xid], capture_output=True, timeout=10)
        self.take_back_keyboard()

    def take_back_keyboard(self):
        """Under Wine a playing video has a top-level window of its own (Wine's renderer, "ActiveMovie
        Window", on another thread) that takes the activation from the player: keys then reach no window
        of the player, Alt+F4 included, and the X focus does not tell. A person clicks the player to go on;
        so does the monkey, on the header's title, where a click changes nothing."""
        if self.kind != "video":
            return
        active = harness.probe("active", self.player.main, check=False).strip()
        if active and int(active) == self.player.main:
            return
        header = State(self.player).header
        harness.xdotool("mousemove", header.sx + header.w // 3, header.sy + 4)
        harness.xdotool("click", "1")
        self.figures["clicks back"] = self.figures.get("clicks back", 0) + 1
        time.sleep(0.2)

    def alive(self):
        if self.player.process.poll() is not None:
            self.finding("the player ended by itself (exit code %s)" % self.player.process.returncode)
        if not harness.probe_ok("info", self.player.main):
            self.finding("the main window is gone")

    def focused(self):
        out = harness.probe("focused", self.player.main, check=False).strip()
        return int(out) if out else 0

    def file(self):
        return self.player.file("monkey.txt")

    def expected_file(self, texts):
        lines = texts + [""] * (self.quiz.n * self.quiz.m - len(texts))
        return b"".join(t.encode("cp1252") + b"\r\n" for t in lines)

    # ---- invariants ------------------------------------------------------

    def settled(self, check):
        """Runs check() until it passes; a failure counts only when it persists for a few seconds (a busy
        player answers the probe late, and a late answer reads as an empty text)."""
        problem = None
        for _ in range(4):
            problem = check()
            if not problem:
                return
            time.sleep(1.0)
        self.finding(problem)

    def check_labels_and_header(self, state, skip_handle=0):
        labels = []
        for k in sorted(state.boxes):
            box = state.boxes[k]
            label = state.labels.get(k)
            labels.append(label)
            if box.handle == skip_handle:
                continue
            want = oracle.verdict(self.quiz.accepted[k - 1], box.text.encode("cp1252"))
            if label != want:
                return "box %d holds %r: its label reads %r, the judge says %r" % (k, box.text, label, want)
        k = oracle.score(labels, self.quiz.m if self.kind != "text" else 1)
        if state.score != " %d / %d" % (k, self.quiz.n):
            return "the score reads %r with %d questions right" % (state.score, k)
        if k > 0:
            want = self.quiz.codes[k - 1]
            if state.reward != want:
                return "the reward code reads %r for score %d, not %r" % (state.reward, k, want)
        elif state.reward != "      " and not (state.reward == "" and all(v == "?" for v in labels)):
            return "the reward code reads %r for score 0" % state.reward
        return None

    def no_message_box(self):
        for caption in ("Vetra", "Information"):
            if harness.probe_ok("msgbox", caption, 0):
                text = harness.probe("msgbox", caption, 0, check=False).strip()
                self.finding("a message box %r is up: %r" % (caption, harness.decode_text(text)))

    def check_after_save(self):
        """Everything is processed once the file has been replaced; nothing moves until the next event."""
        self.alive()
        self.no_message_box()

        def check():
            state = State(self.player)
            data = self.file()
            want = self.expected_file(state.texts())
            if data != want:
                return "the progress file holds %r, the boxes %r" % (data, want)
            problem = self.check_labels_and_header(state, skip_handle=self.focused())
            if not problem:
                self.count(state, skipped=1)
            return problem

        self.settled(check)

    def check_after_restart(self):
        self.alive()
        self.no_message_box()
        lines = self.last_file.split(b"\r\n")[:-1] if self.last_file else []

        def check():
            state = State(self.player)
            restored = [t.encode("cp1252") for t in state.texts()]
            want = (lines + [b""] * len(restored))[:len(restored)]
            if restored != want:
                return "after a restart the boxes hold %r, the file said %r" % (restored, want)
            problem = self.check_labels_and_header(state)
            if not problem:
                self.count(state, skipped=0)
            return problem

        self.settled(check)

    def count(self, state, skipped):
        self.figures["labels checked"] += len(state.boxes) - skipped
        self.figures["accented boxes"] += sum(1 for b in state.boxes.values() if any(ord(c) >= 0x80 for c in b.text))

    # ---- events ----------------------------------------------------------

    def typed_word(self):
        r = self.rng.random()
        answer = self.rng.choice(self.quiz.accepted).decode("cp1252")
        if r < 0.35:
            word = self.rng.choice([answer, answer.lower(), answer.upper(), answer.title()])
            if self.rng.random() < 0.3:
                word = " " * self.rng.randint(0, 2) + word + " " * self.rng.randint(0, 2)
            return word
        if r < 0.6:
            return self.mutated(answer)
        if r < 0.85:
            return "".join(self.rng.choice(LETTERS) for _ in range(self.rng.randint(1, 6)))
        return "".join(self.rng.choice(ACCENTED) for _ in range(self.rng.randint(1, 3)))

    def mutated(self, word):
        i = self.rng.randrange(len(word))
        how = self.rng.randrange(6)
        if how == 0:
            return word[:i] + word[i + 1:]
        if how == 1:
            return word[:i] + self.rng.choice(LETTERS) + word[i:]
        if how == 2:
            return word[:i] + self.rng.choice(LETTERS) + word[i + 1:]
        if how == 3 and len(word) > 1:
            j = min(i + 1, len(word) - 1)
            letters = list(word)
            letters[i], letters[j] = letters[j], letters[i]
            return "".join(letters)
        if how == 4:
            return word[:max(1, i)]
        return word + self.rng.choice([" France", "s", " ville", "-sur-Mer"])

    def key(self, *names):
        harness.xdotool("key", "--delay", "25", *names)

    def on_type(self):
        harness.xdotool("type", "--delay", "25", self.typed_word())

    def on_backspace(self):
        self.key(*["BackSpace"] * self.rng.randint(1, 6))

    def on_tab(self):
        self.key(self.rng.choice(["Tab", "Tab", "shift+Tab"]))

    def on_enter(self):
        self.key("Return")

    def on_f1(self):
        self.key("F1")

    def on_f2(self):
        state = State(self.player)
        in_box = self.focused() in {b.handle for b in state.boxes.values()}
        before = self.file_stamp()
        self.key("F2")
        if in_box:
            self.wait_saved(before, "F2 in an answer box")

    def on_sauver(self):
        button = State(self.player).save_button
        if button is None or not button.visible:
            self.finding("the header has no visible Sauver button")
        if button.sx + button.w > 1024 or button.sy + button.h > 768:
            return  # off the screen after a resize: a person could not click it either
        before = self.file_stamp()
        harness.xdotool("mousemove", button.sx + button.w // 2, button.sy + button.h // 2)
        harness.xdotool("click", "1")
        self.wait_saved(before, "a click on Sauver")

    def file_stamp(self):
        path = os.path.join(self.workdir, "monkey.txt")
        try:
            st = os.stat(path)
            return (st.st_ino, st.st_mtime_ns, st.st_size)
        except FileNotFoundError:
            return None

    def wait_saved(self, before, how):
        deadline = time.monotonic() + 15
        while self.file_stamp() == before:
            if time.monotonic() > deadline:
                self.finding("%s wrote no progress file" % how)
            time.sleep(0.05)
        self.figures["saves"] += 1
        time.sleep(0.1)
        self.check_after_save()

    def sheet_rect(self):
        return State(self.player).sheet

    def on_wheel(self):
        s = self.sheet_rect()
        harness.xdotool("mousemove", s.sx + self.rng.randrange(max(1, s.w - 20)),
                        s.sy + self.rng.randrange(max(1, s.h - 20)))
        harness.xdotool("click", "--repeat", self.rng.randint(1, 3), self.rng.choice(["4", "5"]))

    def on_scroll_bar(self):
        s = self.sheet_rect()
        if self.rng.random() < 0.6:
            x, y = s.sx + s.w - 8, s.sy + self.rng.randrange(max(1, s.h - 18))
        else:
            x, y = s.sx + self.rng.randrange(max(1, s.w - 18)), s.sy + s.h - 8
        if x < 1024 and y < 768:
            harness.xdotool("mousemove", x, y)
            harness.xdotool("click", "--repeat", self.rng.randint(1, 3), "1")

    def on_click_box(self):
        state = State(self.player)
        s = state.sheet
        inside = [b for b in state.boxes.values()
                  if b.visible and b.sx >= s.sx and b.sy >= s.sy and b.sx + b.w <= s.sx + s.w - 18
                  and b.sy + b.h <= s.sy + s.h - 18 and b.sx + b.w < 1024 and b.sy + b.h < 768]
        if inside:
            box = self.rng.choice(sorted(inside, key=lambda b: b.id))
            harness.xdotool("mousemove", box.sx + self.rng.randrange(max(1, box.w)), box.sy + box.h // 2)
            harness.xdotool("click", "1")

    def on_resize(self):
        # Through the program's side, as a window manager's resize arrives: an X resize of a window no
        # manager handles reaches Wine late (not at all while the player is not active), so the monkey
        # would click where the controls were before.
        width, height = self.rng.randint(360, 1000), self.rng.randint(240, 740)
        main = self.player.info(self.player.main)
        harness.probe("move", self.player.main, main.sx, main.sy, width, height)
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            now = self.player.info(self.player.main)
            if (now.w, now.h) == (width, height):
                break
            time.sleep(0.1)
        else:
            self.finding("the window is not %dx%d after a resize" % (width, height))
        time.sleep(0.2)

    def on_minimise(self):
        harness.probe("post", self.player.main, WM_SYSCOMMAND, SC_MINIMIZE, 0)
        time.sleep(0.4)
        harness.probe("post", self.player.main, WM_SYSCOMMAND, SC_RESTORE, 0)
        time.sleep(0.4)
        self.focus_keyboard()

    def on_restart(self):
        before = State(self.player)
        want = self.expected_file(before.texts())
        how = self.rng.choice(["WM_CLOSE", "SC_CLOSE", "alt+F4"])
        if how == "WM_CLOSE":
            harness.probe("post", self.player.main, WM_CLOSE, 0, 0)
        elif how == "SC_CLOSE":
            harness.probe("post", self.player.main, WM_SYSCOMMAND, SC_CLOSE, 0)
        else:
            self.focus_keyboard()
            self.key("alt+F4")
        try:
            code = self.player.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.finding("the player did not end after %s" % how)
        if code != 0:
            self.finding("the player ended with code %d after %s" % (code, how))
        data = self.file()
        if data != want:
            self.finding("after %s the progress file holds %r, the boxes held %r" % (how, data, want))
        self.last_file = data
        self.figures["restarts"] += 1
        self.start()
        self.check_after_restart()

    EVENTS = (("type", 30), ("backspace", 8), ("tab", 14), ("enter", 10), ("f1", 2), ("f2", 5), ("sauver", 3),
              ("wheel", 5), ("scroll_bar", 5), ("click_box", 6), ("resize", 4), ("minimise", 2), ("restart", 2))

    KEYS = {"type", "backspace", "tab", "enter", "f1", "f2"}

    def step(self):
        names = [n for n, _ in self.EVENTS]
        weights = [w for _, w in self.EVENTS]
        name = self.rng.choices(names, weights)[0]
        self.event += 1
        self.figures["events"] += 1
        if TRACE:
            self.log("event %d: %s" % (self.event, name))
        if name in self.KEYS:
            self.take_back_keyboard()
        getattr(self, "on_" + name)()
        return name

    def run(self):
        """One run of `events` events on the seed's kind, then a close, a restart, the checks and a close."""
        self.start()
        self.check_after_restart()
        try:
            for _ in range(self.events):
                if self.stop_at is not None and self.event >= self.stop_at:
                    break
                self.step()
            self.alive()
            self.on_restart()
            self.player.close()
        finally:
            if self.player:
                self.player.kill()
        return self.figures


def run_for(minutes, base_seed, events_per_run=120, out=print):
    """Runs seeds base, base+1, ... (so the kinds in turn) until the time is up; returns the figures."""
    alsa = os.path.join(tempfile.mkdtemp(prefix="vetra-alsa-"), "asound.conf")
    with open(alsa, "w") as f:
        f.write(ALSA_NULL)
    os.environ["ALSA_CONFIG_PATH"] = alsa
    total = {}
    findings = []
    end = time.monotonic() + minutes * 60
    seed = base_seed
    while time.monotonic() < end:
        monkey = Monkey(seed, events_per_run)
        try:
            figures = monkey.run()
        except Finding as f:
            findings.append(str(f))
            out("FINDING: %s" % f)
            figures = monkey.figures
        for k, v in figures.items():
            total[k] = total.get(k, 0) + v
        out("seed %d (%s): %s" % (seed, monkey.kind, ", ".join("%s %d" % kv for kv in figures.items())))
        seed += 1
    total["runs"] = seed - base_seed
    total["findings"] = len(findings)
    return total, findings


def main(argv):
    if len(argv) >= 1 and argv[0] == "--replay":
        seed, events = int(argv[1]), int(argv[2])
        alsa = os.path.join(tempfile.mkdtemp(prefix="vetra-alsa-"), "asound.conf")
        with open(alsa, "w") as f:
            f.write(ALSA_NULL)
        os.environ["ALSA_CONFIG_PATH"] = alsa
        monkey = Monkey(seed, events, stop_at=events)
        try:
            print(monkey.run())
        except Finding as f:
            print("FINDING: %s" % f)
            return 1
        print("replayed %d events of seed %d (%s): no finding" % (events, seed, monkey.kind))
        return 0
    minutes = float(argv[0]) if argv else 10
    seed = int(argv[1]) if len(argv) > 1 else int(time.time()) % 100000 * 4
    print("monkey: %g minutes from seed %d" % (minutes, seed), flush=True)
    total, findings = run_for(minutes, seed, out=lambda s: print(s, flush=True))
    print("figures: " + ", ".join("%s %d" % kv for kv in total.items()))
    for f in findings:
        print("finding: " + f)
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
