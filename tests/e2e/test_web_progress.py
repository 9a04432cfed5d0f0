"""A learner moves between the Windows player and the quiz's web page with
one progress file: the page takes the file the player wrote, and the player
restores the file the page saved, accents included."""
import json
import os
import shutil
import subprocess
import tempfile
import unittest

import harness
from harness import SAVE_ID, Sheet

QUIZ = """
kind = "text"
title = "Villes"
reward_codes = ["UN", "DEUX", "TROIS"]

[[question]]
prompt = "France"
answer = "Paris"

[[question]]
prompt = "Suisse"
answer = "Genève"

[[question]]
prompt = "Canada"
answer = "Québec"
"""
ROUND_TRIP = os.path.join(harness.SOURCE, "web", "tests", "progressRoundTrip.mjs")


class WebProgressTest(harness.PlayerTest):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="vetra-webprogress-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        with open(os.path.join(self.folder, "villes.toml"), "w", encoding="utf-8") as f:
            f.write(QUIZ)
        harness.run_quizpack("build", "villes.toml", "--player", os.path.abspath(harness.PLAYER), cwd=self.folder)
        harness.run_quizpack("web", "villes.toml", cwd=self.folder)

    def player(self, progress):
        player = harness.Player(exe=os.path.join(self.folder, "villes.exe"), name="villes.exe",
                                files={"villes.txt": progress})
        self.addCleanup(player.kill)
        player.start()
        return player, Sheet(player)

    def test_the_page_and_the_player_take_each_others_progress_file(self):
        # The player writes its file: the answers restored, then "Sauver".
        player, sheet = self.player(b"Paris\r\nGen\xe8ve\r\n\r\n")
        os.remove(os.path.join(player.workdir, "villes.txt"))
        sheet.click(SAVE_ID, sheet.header)
        written = harness.wait_for_value(lambda: player.file("villes.txt"), b"Paris\r\nGen\xe8ve\r\n\r\n")
        self.assertEqual(written, b"Paris\r\nGen\xe8ve\r\n\r\n")
        self.assertEqual(player.close(), 0)

        taken, saved = os.path.join(self.folder, "from-player.txt"), os.path.join(self.folder, "from-page.txt")
        with open(taken, "wb") as f:
            f.write(written)
        out = subprocess.run(["node", ROUND_TRIP, os.path.join(self.folder, "villes.html"), taken, saved,
                              json.dumps({"3": "Québec"})], capture_output=True, timeout=120)
        self.assertEqual(out.returncode, 0, out.stderr.decode("utf-8", "replace"))
        verdicts = json.loads(out.stdout)
        self.assertEqual(verdicts["taken"], ["BRAVO", "BRAVO", "?"])
        self.assertEqual(verdicts["typed"], ["BRAVO", "BRAVO", "BRAVO"])
        with open(saved, "rb") as f:
            from_page = f.read()
        self.assertEqual(from_page, b"Paris\r\nGen\xe8ve\r\nQu\xe9bec\r\n")

        again, sheet = self.player(from_page)
        self.assertEqual([sheet.box(k) for k in (1, 2, 3)], ["Paris", "Gen\xe8ve", "Qu\xe9bec"])
        self.assertEqual(sheet.verdicts(3), ["BRAVO"] * 3)
        self.assertEqual(sheet.score(), " 3 / 3")


if __name__ == "__main__":
    harness.main()
