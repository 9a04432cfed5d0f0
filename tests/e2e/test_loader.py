"""The quiz a player carries, as a user meets it: each example shows its own
title, a player without a quiz shows the sample, broken resources give their
message boxes, and a quiz extracted from a player packs back the same."""
import os
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

import harness
from harness import EXAMPLES, PlayerTest, pe_resources, quiz_resources

EXAMPLE_TITLES = {
    "text/capitales.toml": "Capitales d'Europe",
    "pictures/formes.toml": "Formes g\u00e9om\u00e9triques",
    "audio/villes.toml": "Villes \u00e0 l'\u00e9coute",
    "video/couleurs.toml": "Couleurs en mouvement",
}


def overwrite_resource(path, key, byte=0xFF):
    """Overwrites a resource's bytes in place: same size, content that is no LZW stream."""
    r = pe_resources(path)[key]
    with open(path, "r+b") as f:
        f.seek(r.at)
        f.write(bytes([byte]) * r.size)


def renumber_resource(path, key, new_id):
    """Gives a resource another number in place, so that the old number is absent (ids stay in order when
    new_id is above every id of its type)."""
    entry = pe_resources(path)[key].entry
    with open(path, "r+b") as f:
        f.seek(entry)
        f.write(struct.pack("<I", new_id))


def pack_example(relative, folder, name):
    out = os.path.join(folder, name)
    harness.run_quizpack("build", os.path.join(EXAMPLES, relative), "-o", out, "--player",
                         os.path.abspath(harness.PLAYER), cwd=folder)
    return out


class LoaderTest(PlayerTest):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="vetra-loader-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def start(self, exe):
        player = harness.Player(exe=exe, name=os.path.basename(exe))
        self.addCleanup(player.kill)
        return player.start(wait=False)

    def wait_main(self, player, timeout=60):
        """The main window's handle. Messages of other parts met while the sheet is built (missing pictures of
        the sample, no media player under Wine) are not what this test is about: they are dismissed."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            handle = harness.probe("wait", "WindowsApp", "-", 500, check=False).strip()
            if handle:
                player.main = int(handle)
                return player.main
            for caption in ("APPNAME", "Information"):
                harness.probe_ok("dismiss", caption, 100)
        self.fail("the main window did not appear")

    def answer_boxes(self, player):
        return [c for c in player.controls() if 4001 <= c.id < 5000 and c.cls.lower() == "edit"]

    def test_each_example_shows_its_title(self):
        for relative, title in EXAMPLE_TITLES.items():
            with self.subTest(relative):
                player = self.start(pack_example(relative, self.folder, os.path.basename(relative)[:-5] + ".exe"))
                self.wait_main(player)
                self.assertEqual(player.info(player.main).text, title)
                harness.screenshot("loader-" + os.path.basename(relative)[:-5])
                self.assertEqual(player.close(), 0)

    def test_player_without_quiz_shows_the_sample(self):
        player = self.start(harness.PLAYER)
        self.wait_main(player)
        self.assertEqual(player.info(player.main).text, "Nom du vetra")
        self.assertEqual(player.close(), 0)

    def test_corrupt_quiz_tells_the_answers_message_then_shows_an_empty_quiz(self):
        exe = pack_example("text/capitales.toml", self.folder, "corrupt.exe")
        overwrite_resource(exe, ("PATCH", 104))
        player = self.start(exe)
        text = harness.decode_text(harness.probe("msgbox", "Vetra", 30000).strip())
        self.assertEqual(text, "Erreur dans le d\u00e9cryptage des reponses")
        self.assertTrue(harness.probe_ok("dismiss", "Vetra", 1000))
        self.wait_main(player)
        # Construction values: the title of an unloaded quiz, and no question at all.
        self.assertEqual(player.info(player.main).text, "nom du vetra")
        self.assertEqual(self.answer_boxes(player), [])
        self.assertFalse(harness.probe_ok("msgbox", "Vetra", 500), "the codes are not read after a failure")
        self.assertEqual(player.close(), 0)

    def test_missing_codes_tell_the_codes_message_once(self):
        for case in ("absent", "unreadable"):
            with self.subTest(case):
                self.check_codes_message(case)

    def check_codes_message(self, case):
        exe = pack_example("text/capitales.toml", self.folder, case + ".exe")
        if case == "absent":
            renumber_resource(exe, ("PATCH", 105), 999)
            self.assertNotIn(("PATCH", 105), pe_resources(exe))
        else:
            overwrite_resource(exe, ("PATCH", 105))
        player = self.start(exe)
        text = harness.decode_text(harness.probe("msgbox", "Vetra", 30000).strip())
        self.assertEqual(text, "Erreur dans le d\u00e9cryptage des codes")
        self.assertTrue(harness.probe_ok("dismiss", "Vetra", 1000))
        self.wait_main(player)
        self.assertEqual(player.info(player.main).text, "Capitales d'Europe")
        self.assertEqual(len(self.answer_boxes(player)), 5)
        self.assertFalse(harness.probe_ok("msgbox", "Vetra", 1000), "one codes message only")
        self.assertEqual(player.close(), 0)

    def test_build_extract_build_gives_the_same_resources(self):
        for relative in EXAMPLE_TITLES:
            with self.subTest(relative):
                first = pack_example(relative, self.folder, "first.exe")
                harness.run_quizpack("extract", "first.exe", "-o", "back.toml", "--media", "back-media",
                                     cwd=self.folder)
                harness.run_quizpack("build", "back.toml", "-o", "second.exe", "--player",
                                     os.path.abspath(harness.PLAYER), cwd=self.folder)
                original = quiz_resources(first)
                again = quiz_resources(os.path.join(self.folder, "second.exe"))
                self.assertIn(("PATCH", 104), original)
                self.assertIn(("PATCH", 105), original)
                self.assertEqual(sorted(original, key=repr), sorted(again, key=repr))
                for key in original:
                    self.assertEqual(original[key], again[key], key)
                shutil.rmtree(os.path.join(self.folder, "back-media"), True)

    def test_bad_source_writes_nothing(self):
        source = os.path.join(self.folder, "bad.toml")
        with open(source, "w", encoding="utf-8") as f:
            f.write('kind = "text"\ntitle = "a|b"\nreward_codes = ["x"]\n[[question]]\nanswer = "\u0100"\n')
        result = harness.run_quizpack("build", "bad.toml", "-o", "bad.exe", "--player",
                                      os.path.abspath(harness.PLAYER), cwd=self.folder, check=False)
        self.assertEqual(result.returncode, 1)
        self.assertIn("bad.toml:2: title: contient \u00ab | \u00bb, que le lecteur prend pour la fin d'un texte",
                      result.stderr)
        self.assertIn("bad.toml:5: question 1, answer: contient un caract\u00e8re que Windows-1252 n'a pas (U+0100)",
                      result.stderr)
        self.assertEqual(sorted(os.listdir(self.folder)), ["bad.toml"])


if __name__ == "__main__":
    harness.main()
