"""Answering as a person does: typing into the boxes with the real keyboard,
verdicts on the release of Enter or when a box is left, the score and its
reward code in the header, the three ways of saving the answers, and the next
start that gives every box, verdict, score and comment back."""
import os

import harness
from harness import EXAMPLES, SAVE_ID, PlayerTest, Sheet, focus_keyboard, key, type_text, wait_for_value

VK_F2 = 0x71

CAPITALS = """
kind = "text"
title = "Capitales"
reveal = "none"
reward_codes = ["ROUGE", "ORANGE", "JAUNE", "VERT", "BLEU"]

[[question]]
prompt = "France"
answer = "Paris"

[[question]]
prompt = "Italie"
answer = "Rome"

[[question]]
prompt = "Espagne"
answer = "Madrid"

[[question]]
prompt = "Autriche"
answer = "Vienne"

[[question]]
prompt = "Pays-Bas"
answer = "Amsterdam"
"""


def shapes(reveal):
    """A pictures quiz of three questions with a comment each."""
    return """
kind = "pictures"
title = "Formes"
reveal = "%s"
reward_codes = ["UN", "DEUX", "TROIS"]

[[question]]
answer = "cercle"
comment = "Aucun coin."
picture = "media/1.jpg"

[[question]]
answer = "triangle"
comment = "Trois cotes."
picture = "media/2.png"

[[question]]
answer = "losange"
comment = "Quatre cotes egaux."
picture = "media/3.png"
""" % reveal


def shape_pictures():
    media = {}
    for name in ("1.jpg", "2.png", "3.png"):
        with open(os.path.join(EXAMPLES, "pictures", "media", name), "rb") as f:
            media["media/" + name] = f.read()
    return media


class JudgingTest(PlayerTest):
    def start(self, toml, media=None, name="quiz.exe", workdir=None, files=None):
        exe = harness.pack_quiz(toml, media, name)
        player = harness.Player(exe=exe, name=name, workdir=workdir, files=files)
        player.packed = exe
        self.addCleanup(player.kill)
        player.start()
        focus_keyboard(player.info(player.main).text)
        return player, Sheet(player)

    def restart(self, player, name="quiz.exe"):
        again = harness.Player(exe=player.packed, name=name, workdir=player.workdir)
        self.addCleanup(again.kill)
        again.start()
        focus_keyboard(again.info(again.main).text)
        return again, Sheet(again)

    def test_verdict_on_enter_release_and_focus_loss(self):
        player, sheet = self.start(CAPITALS)
        self.assertEqual(sheet.verdicts(5), ["?"] * 5)
        self.assertEqual(sheet.score(), " 0 / 5")

        sheet.click(4001)
        type_text("paris")
        self.assertEqual(wait_for_value(lambda: sheet.box(1), "paris"), "paris")
        self.assertEqual(sheet.verdict(1), "?", "typing alone judges nothing")
        key("Return")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(1), "BRAVO"), "BRAVO")
        self.assertEqual(sheet.box(1), "paris", "Enter inserts nothing")
        self.assertEqual(sheet.score(), " 1 / 5")
        self.assertEqual(sheet.reward(), "ROUGE")

        key("Tab")
        type_text("Rom")
        self.assertEqual(wait_for_value(lambda: sheet.box(2), "Rom"), "Rom")
        self.assertEqual(sheet.verdict(2), "?")
        key("Tab")  # leaving the box judges it
        self.assertEqual(wait_for_value(lambda: sheet.verdict(2), "Quasiment"), "Quasiment")
        self.assertEqual(sheet.score(), " 1 / 5")

        type_text("madrid")
        key("shift+Tab")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(3), "BRAVO"), "BRAVO")
        self.assertEqual(sheet.score(), " 2 / 5")
        self.assertEqual(sheet.reward(), "ORANGE")
        harness.screenshot("judging-typed")

        self.assertEqual(player.close(), 0)
        self.assertEqual(player.file("quiz.txt"), b"paris\r\nRom\r\nmadrid\r\n\r\n\r\n")

    def test_save_paths_write_the_same_file_and_the_next_start_restores_it(self):
        player, sheet = self.start(CAPITALS)
        expected = b"Paris\r\n\r\n madrid\r\nVienna\r\nAmsterdam\r\n"
        sheet.click(4001)
        type_text("Paris")
        key("Tab", "Tab")
        type_text(" madrid")
        key("Tab")
        type_text("Vienna")
        key("Tab")
        type_text("Amsterdam")
        self.assertEqual(wait_for_value(lambda: sheet.box(5), "Amsterdam"), "Amsterdam")

        key("F2")
        self.assertEqual(wait_for_value(lambda: player.file("quiz.txt"), expected), expected, "F2")
        os.remove(os.path.join(player.workdir, "quiz.txt"))
        sheet.click(SAVE_ID, sheet.header)
        self.assertEqual(wait_for_value(lambda: player.file("quiz.txt"), expected), expected, "Sauver")
        os.remove(os.path.join(player.workdir, "quiz.txt"))
        self.assertEqual(player.close(), 0)
        self.assertEqual(player.file("quiz.txt"), expected, "closing")
        self.assertFalse(os.path.exists(os.path.join(player.workdir, "quiz.txt.tmp")))

        again, sheet = self.restart(player)
        self.assertEqual([sheet.box(k) for k in range(1, 6)], ["Paris", "", " madrid", "Vienna", "Amsterdam"])
        self.assertEqual(sheet.verdicts(5), ["BRAVO", "?", "BRAVO", "Quasiment", "BRAVO"])
        self.assertEqual(sheet.score(), " 3 / 5")
        self.assertEqual(sheet.reward(), "JAUNE")
        self.assertEqual(again.close(), 0)
        self.assertEqual(again.file("quiz.txt"), expected, "a restart changes nothing")

    def test_a_renamed_program_keeps_its_own_file(self):
        player, sheet = self.start(CAPITALS, name="histoire.exe")
        harness.probe("settext", player.child(sheet.sheet, 4002), "Rome")
        self.assertEqual(player.close(), 0)
        self.assertEqual(player.file("histoire.txt"), b"\r\nRome\r\n\r\n\r\n\r\n")
        self.assertIsNone(player.file("quiz.txt"))

    def test_restored_answers_show_their_comments(self):
        files = {"quiz.txt": b"cercle\r\ntri\r\n LOSANGE \r\n"}
        player, sheet = self.start(shapes("comment"), shape_pictures(), files=files)
        self.assertEqual(sheet.verdicts(3), ["BRAVO", "FAUX", "BRAVO"])
        self.assertEqual([sheet.comment_shown(n) for n in (1, 2, 3)], [True, False, True])
        self.assertEqual(sheet.score(), " 2 / 3")
        self.assertEqual(sheet.reward(), "DEUX")

        sheet.click(4001)
        key("Tab")  # a box reached with Tab has its whole text selected
        type_text("triangle")
        key("Return")
        self.assertEqual(wait_for_value(lambda: sheet.comment_shown(2), True), True)
        key("shift+Tab")
        type_text("x")
        key("Return")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(1), "FAUX"), "FAUX")
        self.assertFalse(sheet.comment_shown(1))
        harness.screenshot("judging-comments")
        self.assertEqual(player.close(), 0)

    def test_all_comments_after_a_restart_when_every_box_is_right(self):
        files = {"quiz.txt": b"cercle\r\ntriangle\r\nlosange\r\n"}
        player, sheet = self.start(shapes("all-comments"), shape_pictures(), files=files)
        self.assertEqual(sheet.verdicts(3), ["BRAVO"] * 3)
        self.assertEqual([sheet.comment_shown(n) for n in (1, 2, 3)], [True, True, True])
        self.assertEqual(sheet.reward(), "TROIS")

        sheet.click(4001)  # the third column lies beyond the window's right edge
        key("Tab", "Tab")
        type_text("s")
        key("Return")
        self.assertEqual(wait_for_value(lambda: sheet.comment_shown(3), False), False)
        self.assertEqual([sheet.comment_shown(n) for n in (1, 2)], [True, True])
        self.assertEqual(player.close(), 0)


if __name__ == "__main__":
    harness.main()
