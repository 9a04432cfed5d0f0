"""quizpack killed (SIGKILL) at random moments while it builds a quiz over a
player built before: the output is always either the old player or the
complete new one, byte for byte, never a cut or half-updated copy.

VETRA_BUILD_KILLS sets the number of kills (default 200); VETRA_KILL_SEED the
seed. A failure names the seed and the kill."""
import os
import random
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

import harness

SOURCE = """
kind = "text"
title = "%s"
reveal = "none"
reward_codes = ["A", "B"]

[[question]]
prompt = "Un"
answer = "%s"

[[question]]
prompt = "Deux"
answer = "deux"
"""


class KilledBuildTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="vetra-killed-build-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.player = os.path.abspath(harness.PLAYER)

    def write(self, name, title, answer):
        with open(os.path.join(self.folder, name), "w", encoding="utf-8") as f:
            f.write(SOURCE % (title, answer))

    def build(self, source, output):
        harness.run_quizpack("build", source, "-o", output, "--player", self.player, cwd=self.folder)
        with open(os.path.join(self.folder, output), "rb") as f:
            return f.read()

    def test_a_killed_build_leaves_the_old_or_the_complete_new_player(self):
        kills = int(os.environ.get("VETRA_BUILD_KILLS", "200"))
        seed = int(os.environ.get("VETRA_KILL_SEED", "20261209"))
        rng = random.Random(seed)
        self.write("ancien.toml", "Ancien quiz", "un")
        self.write("nouveau.toml", "Nouveau quiz \xe9t\xe9", "une")
        new = self.build("nouveau.toml", "reference.exe")
        os.remove(os.path.join(self.folder, "reference.exe"))
        # How long a whole build takes here, so the kills spread over all of it.
        started = time.monotonic()
        old = self.build("ancien.toml", "quiz.exe")
        span = time.monotonic() - started
        self.assertNotEqual(old, new)

        output = os.path.join(self.folder, "quiz.exe")
        replaced = 0
        for n in range(1, kills + 1):
            where = "seed %d, kill %d of %d" % (seed, n, kills)
            before = old if rng.random() < 0.5 else new
            with open(output, "wb") as f:
                f.write(before)
            process = subprocess.Popen(
                [harness.WINE, harness.QUIZPACK, "build", "nouveau.toml", "-o", "quiz.exe", "--player", self.player],
                cwd=self.folder, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(rng.uniform(0.0, span * 1.1))
            os.kill(process.pid, signal.SIGKILL)
            process.wait()
            with open(output, "rb") as f:
                after = f.read()
            self.assertIn(after, (old, new), where)
            self.assertTrue(after == before or after == new, where)
            replaced += before == old and after == new
        leftovers = [name for name in os.listdir(self.folder) if name.lower().startswith("qpk")]
        print("\n%d kills of quizpack build (seed %d, a build takes %.2f s): %d replaced the old player, "
              "%d temporary copies left" % (kills, seed, span, replaced, len(leftovers)))
        # Kills that never let a build finish would prove nothing about the rename.
        self.assertGreater(replaced, 0)


if __name__ == "__main__":
    harness.main()
