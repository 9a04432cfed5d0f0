"""The player killed (SIGKILL, as a power cut or the task manager would end
it) at random moments while it saves over and over with F2: afterwards the
progress file is always one complete version, the one before or one written
during the burst, never empty, cut or mixed; and the next start restores
exactly that file, whatever temporary file the kill left beside it.

VETRA_KILLS sets the number of kills (default 100); VETRA_KILL_SEED the seed.
A failure names the seed and the kill, so that it can be replayed."""
import os
import random
import shutil
import signal
import string
import subprocess
import tempfile
import time

import harness
from harness import SHEET_SCROLL_STYLES, PlayerTest, Sheet

QUIZ = """
kind = "text"
title = "Sauvegardes"
reveal = "none"
reward_codes = ["A", "B", "C", "D"]

[[question]]
prompt = "Un"
answer = "un"

[[question]]
prompt = "Deux"
answer = "deux"

[[question]]
prompt = "Trois"
answer = "trois"

[[question]]
prompt = "Quatre"
answer = "quatre"
"""
FIXED = ["deux", "Trois \xe9t\xe9", "quatre"]  # boxes 2 to 4, kept through every kill
TITLE = "Sauvegardes"
LETTERS = 16  # letters typed per burst, each followed by F2


def answer_boxes(player):
    """The four answer boxes by number, from one look at the whole window tree."""
    tree = player.controls()
    sheet = next(c.handle for c in tree if c.cls == "#32770" and c.style & SHEET_SCROLL_STYLES)
    return {c.id - 4000: c for c in tree if c.parent == sheet and 4001 <= c.id <= 4004}


def contents(first):
    return "\r\n".join([first] + FIXED).encode("cp1252") + b"\r\n"


class KilledSaveTest(PlayerTest):
    def test_a_kill_during_saves_leaves_one_complete_version(self):
        kills = int(os.environ.get("VETRA_KILLS", "100"))
        seed = int(os.environ.get("VETRA_KILL_SEED", "20261209"))
        rng = random.Random(seed)
        exe = harness.pack_quiz(QUIZ, name="sauve.exe")
        workdir = tempfile.mkdtemp(prefix="vetra-kill-")
        self.addCleanup(shutil.rmtree, workdir, True)
        progress = os.path.join(workdir, "sauve.txt")

        # The first version, written whole before any kill.
        player = self.start(exe, workdir)
        sheet = Sheet(player)
        for k, text in enumerate(FIXED, start=2):
            harness.probe("settext", player.child(sheet.sheet, 4000 + k), text)
        self.assertEqual(player.close(), 0)
        with open(progress, "rb") as f:
            before = f.read()
        self.assertEqual(before, contents(""))

        changed = stray = 0
        for n in range(1, kills + 1):
            where = "seed %d, kill %d of %d" % (seed, n, kills)
            player = self.start(exe, workdir)
            boxes = answer_boxes(player)
            # The next start reads the file the kill left, never the temporary one.
            restored = [boxes[k].text for k in range(1, 5)]
            self.assertEqual("\r\n".join(restored).encode("cp1252") + b"\r\n", before, where)

            # A burst of letters, each saved, after the first box is emptied;
            # a kill lands somewhere in it.
            first = rng.randrange(26)
            typed = "".join(string.ascii_lowercase[(first + i) % 26] for i in range(LETTERS))
            harness.xdotool("search", "--name", TITLE, "windowfocus", "--sync")
            harness.xdotool("mousemove", boxes[1].sx + boxes[1].w // 2, boxes[1].sy + boxes[1].h // 2, "click", "1")
            keys = ["End"] + ["BackSpace"] * LETTERS + [k for letter in typed for k in (letter, "F2")]
            burst = subprocess.Popen(["xdotool", "key", "--delay", "2"] + keys, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
            time.sleep(rng.uniform(0.0, 0.8))
            os.kill(player.process.pid, signal.SIGKILL)
            player.process.wait()
            burst.wait()

            with open(progress, "rb") as f:
                after = f.read()
            versions = {before} | {contents(typed[:i]) for i in range(LETTERS + 1)}
            self.assertIn(after, versions, where)
            changed += after != before
            stray += os.path.exists(progress + ".tmp")
            before = after
        print("\n%d kills (seed %d): the file changed in %d, a temporary file was left by %d"
              % (kills, seed, changed, stray))
        # Kills that never met a save would prove nothing.
        self.assertGreater(changed, kills // 4)

    def start(self, exe, workdir):
        player = harness.Player(exe=exe, name="sauve.exe", workdir=workdir)
        self.addCleanup(player.kill)
        return player.start()



if __name__ == "__main__":
    harness.main()
