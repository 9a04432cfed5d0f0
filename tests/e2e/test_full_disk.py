"""Saving onto a full disk: the player runs from a small file system (a tmpfs
mounted by the test, which needs root) that is then filled. A save says
"Impossible d'enregistrer les réponses." once, leaves the previous file
whole and no temporary file, keeps every answer in its box, and the next
save once space is freed writes them all."""
import errno
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import harness
from harness import PlayerTest
from test_killed_save import QUIZ, answer_boxes

SAVE_FAILED = "Impossible d'enregistrer les r\xe9ponses."
WM_KEYUP, VK_F2 = 0x0101, 0x71
FIRST = ["un", "deux", "trois", "quatre"]
SECOND = ["Un \xe9t\xe9", "deux", "Trois fr\xe8res", "quatre " + "x" * 200]


def contents(texts):
    return "\r\n".join(texts).encode("cp1252") + b"\r\n"


def fill(path):
    """Writes zeros to `path` until the file system has no byte left."""
    block = b"\0" * 65536
    with open(path, "wb", buffering=0) as f:
        while True:
            try:
                f.write(block)
            except OSError as e:
                if e.errno != errno.ENOSPC:
                    raise
                if len(block) == 1:
                    return
                block = block[: len(block) // 2]


@unittest.skipUnless(os.geteuid() == 0, "mounting the small file system needs root")
class FullDiskTest(PlayerTest):
    def setUp(self):
        self.mount = tempfile.mkdtemp(prefix="vetra-full-")
        self.addCleanup(shutil.rmtree, self.mount, True)
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", self.mount], check=True)
        self.addCleanup(subprocess.run, ["umount", "-l", self.mount])

    def set_answers(self, player, texts):
        boxes = answer_boxes(player)
        for k, text in enumerate(texts, start=1):
            harness.probe("settext", boxes[k].handle, text)
        return boxes

    def save(self, player):
        harness.probe("post", answer_boxes(player)[1].handle, WM_KEYUP, VK_F2, 0)  # keys act on release

    def wait_file(self, path, expected, timeout=10):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if os.path.exists(path):
                with open(path, "rb") as f:
                    if f.read() == expected:
                        return True
            time.sleep(0.1)
        return False

    def test_a_save_onto_a_full_disk_keeps_the_old_file_and_every_answer(self):
        exe = harness.pack_quiz(QUIZ, name="sauve.exe")
        player = harness.Player(exe=exe, name="sauve.exe", workdir=self.mount)
        self.addCleanup(player.kill)
        player.start()
        progress = os.path.join(self.mount, "sauve.txt")

        self.set_answers(player, FIRST)
        self.save(player)
        self.assertTrue(self.wait_file(progress, contents(FIRST)), "the first save, with room")

        filler = os.path.join(self.mount, "filler")
        fill(filler)
        self.set_answers(player, SECOND)
        self.save(player)
        text = harness.probe("msgbox", "Vetra", 10000).strip()
        self.assertEqual(harness.decode_text(text), SAVE_FAILED)
        self.assertTrue(harness.probe_ok("dismiss", "Vetra", 1000))
        self.assertFalse(harness.probe_ok("msgbox", "Vetra", 3000), "the message comes once")
        with open(progress, "rb") as f:
            self.assertEqual(f.read(), contents(FIRST), "the previous file is intact")
        self.assertFalse(os.path.exists(progress + ".tmp"), "no temporary file is left")
        self.assertEqual([b.text for _, b in sorted(answer_boxes(player).items())], SECOND)

        os.remove(filler)
        self.save(player)
        self.assertTrue(self.wait_file(progress, contents(SECOND)), "the save after space is freed")
        self.assertEqual(player.close(), 0)
        with open(progress, "rb") as f:
            self.assertEqual(f.read(), contents(SECOND))


if __name__ == "__main__":
    harness.main()
