"""quizpack given a quiz source alone, as Windows runs it when a source is
dropped on quizpack.exe: the quiz is built next to its source, named after it,
with the player that sits next to quizpack.exe; in a console window of its own
the program waits for a key before that window closes."""
import os
import shutil
import tempfile
import time
import unittest

import harness
from harness import windows_path

EXAMPLE = os.path.join(harness.SOURCE, "examples", "pictures")
WM_KEYDOWN, WM_KEYUP, VK_SPACE = 0x0100, 0x0101, 0x20


class DroppedSourceTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="vetra-drop-")
        self.addCleanup(shutil.rmtree, self.root, True)
        # Program, quiz and working folders apart, with spaces, as on a desktop.
        self.program = os.path.join(self.root, "Vetra 2")
        self.quiz = os.path.join(self.root, "mes quiz")
        self.elsewhere = os.path.join(self.root, "ailleurs")
        os.makedirs(self.program)
        os.makedirs(self.elsewhere)
        shutil.copytree(os.path.join(EXAMPLE, "media"), os.path.join(self.quiz, "media"))
        shutil.copyfile(os.path.join(EXAMPLE, "formes.toml"), os.path.join(self.quiz, "histoire.toml"))
        for name in ("quizpack.exe", "vetra.exe"):
            shutil.copyfile(os.path.join(harness.BUILD, name), os.path.join(self.program, name))
        self.quizpack = os.path.join(self.program, "quizpack.exe")
        self.source = os.path.join(self.quiz, "histoire.toml")
        self.packed = os.path.join(self.quiz, "histoire.exe")

    def drop(self, source):
        """Runs quizpack with the source's full Windows path as its only argument, from another folder and
        without a console (as a script would)."""
        return harness.wine(self.quizpack, windows_path(source), check=False, timeout=120)

    def reference(self):
        """The same source packed with explicit arguments into the build's own player."""
        out = os.path.join(self.root, "reference.exe")
        harness.run_quizpack("build", self.source, "-o", out, "--player", os.path.abspath(harness.PLAYER),
                             cwd=self.quiz)
        with open(out, "rb") as f:
            return f.read()

    def test_source_alone_is_built_beside_itself_with_the_player_beside_quizpack(self):
        result = self.drop(self.source)
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        self.assertEqual(sorted(os.listdir(self.quiz)), ["histoire.exe", "histoire.toml", "media"])
        self.assertEqual(os.listdir(self.elsewhere), [])
        self.assertEqual(sorted(os.listdir(self.program)), ["quizpack.exe", "vetra.exe"])
        with open(self.packed, "rb") as f:
            self.assertEqual(f.read(), self.reference(), "not the quiz that build writes")

    def test_faulty_source_alone_writes_nothing_and_says_why(self):
        with open(self.source, "a", encoding="utf-8") as f:
            f.write('\n[[question]]\nanswer = "sans image"\n')
        result = self.drop(self.source)
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"histoire.toml", result.stderr)
        self.assertEqual(sorted(os.listdir(self.quiz)), ["histoire.toml", "media"])

    def test_lone_argument_that_is_no_source_shows_the_usage(self):
        result = self.drop(os.path.join(self.quiz, "media", "2.png"))
        self.assertEqual(result.returncode, 2)
        self.assertIn(b"utilisation : quizpack", result.stderr)
        self.assertEqual(sorted(os.listdir(self.quiz)), ["histoire.toml", "media"])

    def console_window(self, timeout_ms):
        handle = harness.probe("wait", "WineConsoleClass", windows_path(self.quizpack), timeout_ms,
                               check=False).strip()
        return int(handle) if handle else None

    def press_key(self, window):
        harness.probe("post", window, WM_KEYDOWN, VK_SPACE, 0x00390001, check=False)
        harness.probe("post", window, WM_KEYUP, VK_SPACE, 0xC0390001 - (1 << 32), check=False)

    def test_dropped_in_its_own_console_waits_for_a_key(self):
        # `start` gives the program a console window of its own, as Explorer does.
        harness.wine("start", "/unix", self.quizpack, windows_path(self.source))
        window = self.console_window(30000)
        self.assertIsNotNone(window, "no console window")
        self.addCleanup(self.press_key, window)
        deadline = time.time() + 120
        while not os.path.exists(self.packed) and time.time() < deadline:
            time.sleep(0.2)
        self.assertTrue(os.path.exists(self.packed), "the quiz was not built")
        # The build is done; the window must stay for the reader until a key comes.
        time.sleep(2)
        self.assertTrue(harness.probe_ok("info", window), "the console closed without waiting")
        self.press_key(window)
        deadline = time.time() + 30
        while harness.probe_ok("info", window) and time.time() < deadline:
            time.sleep(0.2)
        self.assertFalse(harness.probe_ok("info", window), "a key did not close the console")
        with open(self.packed, "rb") as f:
            self.assertEqual(f.read(), self.reference())


if __name__ == "__main__":
    harness.main()
