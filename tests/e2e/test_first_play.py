"""The play command as a newcomer meets it: headless, on a Wine prefix that
does not exist yet. The prefix must be made completely before the first
window, so the very first run shows the player and saves its screenshot."""
import os
import re
import shutil
import subprocess
import tempfile
import unittest

import harness


class FirstPlayTest(unittest.TestCase):
    def test_first_play_on_a_new_prefix_saves_the_screenshot(self):
        root = tempfile.mkdtemp(prefix="vetra-first-play-")
        self.addCleanup(shutil.rmtree, root, True)
        prefix = os.path.join(root, "wineprefix")
        play_dir = os.path.join(root, "play")
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        for name in ("WINEPREFIX", "WINEARCH", "WINELOADER", "VETRA_WINE", "VETRA_WINDOWS_RUNNING"):
            env.pop(name, None)
        # The build under test is the one played, in the world that runs it.
        env.update(VETRA_WINEPREFIX=prefix, VETRA_PLAY_DIR=play_dir, VETRA_BUILD=harness.BUILD,
                   VETRA_WINDOWS=harness.WINDOWS_BUILD)
        result = subprocess.run([os.path.join(harness.SOURCE, "scripts", "play")], env=env,
                                stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=240)
        output = result.stdout + result.stderr
        self.assertEqual(result.returncode, 0, output)
        self.assertEqual(output.count("Creating the Wine prefix"), 1, output)
        shot = os.path.join(play_dir, "formes.png")
        self.assertRegex(output, "No display: screenshot of formes.exe saved to " + re.escape(shot), output)
        self.assertRegex(output, "To play it live.*DISPLAY", output)
        with open(shot, "rb") as f:
            self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")
        self.assertTrue(os.path.isfile(os.path.join(prefix, "system.reg")))
        # Packed and played in the folder asked for, not in the build tree.
        self.assertTrue(os.path.isfile(os.path.join(play_dir, "formes.exe")))


if __name__ == "__main__":
    unittest.main()
