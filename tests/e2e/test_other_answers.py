"""A box that accepts several answers, in the real player: any of them reads
"BRAVO" and counts in the score, the hint comes from the first one that gives
one, F1 still offers the box's own text, and the next start judges the kept
answers against all of them."""
import harness
from harness import PlayerTest, Sheet, focus_keyboard, key, type_text, wait_for_value

DATES = """
kind = "text"
title = "Dates"
reward_codes = ["UN", "DEUX", "TROIS"]

[[question]]
prompt = "Prise de la Bastille"
answer = ["1789", "en 1789"]

[[question]]
prompt = "Sacre de Napoleon"
answer = "1804"

[[question]]
prompt = "Capitale des Pays-Bas"
answer = ["Amsterdam", "Amsterdam aux Pays-Bas"]
"""


class OtherAnswersTest(PlayerTest):
    def start(self, before=None):
        packed = before.packed if before else harness.pack_quiz(DATES)
        player = harness.Player(exe=packed, name="quiz.exe", workdir=before.workdir if before else None)
        player.packed = packed
        self.addCleanup(player.kill)
        player.start()
        focus_keyboard(player.info(player.main).text)
        return player, Sheet(player)

    def answer(self, sheet, k, text):
        """Types over the text of box k, which has the focus, and presses Enter."""
        key("Home", "shift+End")
        type_text(text)
        self.assertEqual(wait_for_value(lambda: sheet.box(k), text), text)
        key("Return")

    def test_any_accepted_answer_is_right_and_counts(self):
        player, sheet = self.start()
        sheet.click(4001)
        # The main answer gives no hint, the second does.
        self.answer(sheet, 1, "en 1798")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(1), "Anagramme"), "Anagramme")
        self.answer(sheet, 1, "en 1789")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(1), "BRAVO"), "BRAVO", "the second accepted answer")
        self.assertEqual(sheet.score(), " 1 / 3")
        self.assertEqual(sheet.reward(), "UN")

        # Both give a hint: the main one's comes first.
        key("Tab", "Tab")
        self.answer(sheet, 3, "amsterdam aux pays")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(3), "Trop long"), "Trop long")
        self.answer(sheet, 3, "AMSTERDAM AUX PAYS-BAS")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(3), "BRAVO"), "BRAVO")
        self.assertEqual(sheet.score(), " 2 / 3")

        # F1 offers the box's text to the boxes not yet right, judged against their own answers.
        key("shift+Tab", "shift+Tab")
        key("F1")
        self.assertEqual(wait_for_value(lambda: sheet.box(2), "en 1789"), "en 1789")
        self.assertEqual(sheet.box(3), "AMSTERDAM AUX PAYS-BAS", "a right box keeps its text")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(2), "FAUX"), "FAUX")
        self.assertEqual(sheet.score(), " 2 / 3")

        self.assertEqual(player.close(), 0)
        self.assertEqual(player.file("quiz.txt"), b"en 1789\r\nen 1789\r\nAMSTERDAM AUX PAYS-BAS\r\n")
        again, sheet = self.start(player)
        self.assertEqual(sheet.verdicts(3), ["BRAVO", "FAUX", "BRAVO"])
        self.assertEqual(sheet.score(), " 2 / 3")
        self.assertEqual(sheet.reward(), "DEUX")


if __name__ == "__main__":
    harness.main()
