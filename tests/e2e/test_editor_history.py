"""Atelier Vetra's document side, driven from outside: Annuler and Rétablir
(Ctrl+Z, Ctrl+Y) for typing, grouped by word, for the question operations
(Delete in the question list deletes without asking), a drop and
"Compléter les codes", with the unsaved mark following; the score beside
each reward code, and the codes a count lacks named; the question list
naming each question's picture; F5 trying a quiz with problems without
them, while Construire still refuses."""
import os
import unittest

import harness
from harness import EDITOR_IDS as _E
from harness import wait_for, windows_path
from test_editor import (CMD_ADD, CMD_BUILD, CMD_DOWN, CMD_DUPLICATE, ID_ANSWER, ID_PROBLEMS, ID_QUESTIONS, ID_STATUS,
                         ID_TITLE, Editor)
from test_editor_media import RED, make_picture, select_question

CMD_UNDO, CMD_REDO, CMD_TRY, CMD_COMPLETE_CODES = _E.cmdUndo, _E.cmdRedo, _E.cmdTry, _E.cmdCompleteCodes
ID_REWARD_CODES, ID_REWARD_SCORES = _E.idRewardCodes, _E.idRewardScores
EM_GETFIRSTVISIBLELINE, WM_VSCROLL, SB_BOTTOM, EN_CHANGE = 0x00CE, 0x0115, 7, 0x0300
FORMES = ["1. 1.jpg \u2014 cercle", "2. 2.png \u2014 triangle", "3. 3.png \u2014 carr\u00e9"]
CLEAN, DIRTY = "formes.toml \u2014 Atelier Vetra", "formes.toml* \u2014 Atelier Vetra"


def focus(editor, control_id, at_end=True):
    """The keyboard in a control, through a real click (the window given the focus first)."""
    editor.click(control_id)
    if at_end:
        harness.xdotool("key", "End")


def send(editor, command_id):
    """A menu command, done when this returns (no box may come of it)."""
    harness.probe("send", editor.main, harness.WM_COMMAND, command_id, 0)


def set_codes(editor, text):
    """The codes box given a text; a multi-line box sends no EN_CHANGE for WM_SETTEXT, so it is sent as typing would."""
    editor.set_text(ID_REWARD_CODES, text)
    harness.probe("send", editor.main, harness.WM_COMMAND, (EN_CHANGE << 16) | ID_REWARD_CODES,
                  editor.child(ID_REWARD_CODES))


def first_line(editor, control_id):
    return int(harness.probe("send", editor.child(control_id), EM_GETFIRSTVISIBLELINE, 0, 0).strip())


class EditorHistoryTest(unittest.TestCase):
    def test_typing_is_undone_word_by_word_and_the_mark_follows(self):
        editor = Editor(self)
        focus(editor, ID_TITLE)
        harness.xdotool("type", "--delay", "60", " bis")
        wait_for(lambda: editor.text(ID_TITLE) == "Formes g\u00e9om\u00e9triques bis", "the typed text")
        self.assertEqual(editor.title(), DIRTY)
        # (key, the title, the window's title)
        steps = [
            ("ctrl+z", "Formes g\u00e9om\u00e9triques ", DIRTY),
            ("ctrl+z", "Formes g\u00e9om\u00e9triques", CLEAN),
            ("ctrl+y", "Formes g\u00e9om\u00e9triques ", DIRTY),
            ("ctrl+y", "Formes g\u00e9om\u00e9triques bis", DIRTY),
            ("ctrl+z", "Formes g\u00e9om\u00e9triques ", DIRTY),
        ]
        for key, text, title in steps:
            with self.subTest(key=key, text=text):
                harness.xdotool("key", key)
                wait_for(lambda: editor.text(ID_TITLE) == text, "the title became %r" % text)
                self.assertEqual(editor.title(), title)

    def test_question_operations_are_undone_and_delete_does_not_ask(self):
        editor = Editor(self)
        focus(editor, ID_QUESTIONS, at_end=False)
        select_question(editor, 1)
        harness.xdotool("key", "Delete")
        wait_for(lambda: editor.items(ID_QUESTIONS) == ([FORMES[0], "2. 3.png \u2014 carr\u00e9"], 1),
                 "Delete deleted the second question")
        self.assertFalse(harness.probe_ok("wait", "#32770", "Atelier Vetra", 0), "no question asked")
        harness.xdotool("key", "ctrl+z")
        wait_for(lambda: editor.items(ID_QUESTIONS) == (FORMES, 1), "the question came back, shown")
        self.assertEqual(editor.text(ID_ANSWER), "triangle")
        self.assertEqual(editor.title(), CLEAN)

        # Each operation, then each undone in turn back to the quiz as saved, then redone.
        states = [(FORMES, 1)]
        for command in (CMD_DUPLICATE, CMD_DOWN, CMD_ADD):
            send(editor, command)
            states.append(editor.items(ID_QUESTIONS))
        self.assertEqual(len(states[-1][0]), 5)
        self.assertEqual(editor.title(), DIRTY)
        for state in reversed(states[:-1]):
            send(editor, CMD_UNDO)
            self.assertEqual(editor.items(ID_QUESTIONS), state)
        self.assertEqual(editor.title(), CLEAN)
        for state in states[1:]:
            send(editor, CMD_REDO)
            self.assertEqual(editor.items(ID_QUESTIONS), state)
        self.assertEqual(editor.title(), DIRTY)

    def test_a_drop_and_the_codes_completed_are_undone_and_the_codes_show_their_scores(self):
        editor = Editor(self, open_source=False)
        photos = os.path.join(editor.root, "photos")
        names = ["chat.png", "chien.png", "merle.png"]
        for name in names:
            make_picture(os.path.join(photos, name), 40, 30, RED)
        questions = editor.rect(editor.child(ID_QUESTIONS))
        harness.probe("drop", editor.main, questions.x + 20, questions.y + 20,
                      *[windows_path(os.path.join(photos, n)) for n in names])
        wait_for(lambda: len(editor.items(ID_QUESTIONS)[0]) == 3, "three questions")
        self.assertEqual(editor.items(ID_QUESTIONS)[0], ["1. chat.png (!)", "2. chien.png (!)", "3. merle.png (!)"])
        editor.set_text(ID_ANSWER, "chat")
        self.assertEqual(editor.items(ID_QUESTIONS)[0][0], "1. chat.png \u2014 chat")
        self.assertEqual(editor.text(ID_REWARD_SCORES),
                         "1 bonne r\u00e9ponse\r\n2 bonnes r\u00e9ponses\r\n3 bonnes r\u00e9ponses")

        set_codes(editor, "UN")
        problems = editor.items(ID_PROBLEMS)[0]
        self.assertIn("Codes de r\u00e9compense : 1 codes pour 3 questions : il manque les codes des scores 2 et 3",
                      problems)
        set_codes(editor, "UN")
        send(editor, CMD_COMPLETE_CODES)
        self.assertEqual(len(editor.text(ID_REWARD_CODES).split("\r\n")), 3, "the codes completed")
        send(editor, CMD_UNDO)
        self.assertEqual(editor.text(ID_REWARD_CODES), "UN", "the completed codes undone")
        # Back through the codes typed (how many steps depends on the pauses) to the answer's step.
        for _ in range(4):
            send(editor, CMD_UNDO)
            if editor.items(ID_QUESTIONS)[0][0] == "1. chat.png (!)":
                break
        self.assertEqual(editor.items(ID_QUESTIONS)[0], ["1. chat.png (!)", "2. chien.png (!)", "3. merle.png (!)"])
        self.assertEqual(editor.text(ID_REWARD_CODES), "")
        send(editor, CMD_UNDO)
        self.assertEqual(editor.items(ID_QUESTIONS)[0], ["1. (sans r\u00e9ponse) (!)"], "the drop undone")
        self.assertEqual(editor.title(), "Sans titre \u2014 Atelier Vetra")

    def test_the_score_column_scrolls_with_the_codes(self):
        editor = Editor(self)
        for _ in range(9):
            send(editor, CMD_DUPLICATE)
        self.assertEqual(len(editor.items(ID_QUESTIONS)[0]), 12)
        set_codes(editor, "\r\n".join("CODE-%d" % n for n in range(1, 41)))
        self.assertIn("40 codes pour 12 questions : 28 codes en trop", editor.text(ID_STATUS) + "".join(
            editor.items(ID_PROBLEMS)[0]))
        harness.probe("send", editor.child(ID_REWARD_CODES), WM_VSCROLL, SB_BOTTOM, 0)
        codes = first_line(editor, ID_REWARD_CODES)
        self.assertGreater(codes, 0, "forty codes do not fit the box")
        self.assertEqual(first_line(editor, ID_REWARD_SCORES), codes)
        # The caret moved to the top by the keyboard brings both back.
        focus(editor, ID_REWARD_CODES, at_end=False)
        harness.xdotool("key", "ctrl+Home")
        wait_for(lambda: first_line(editor, ID_REWARD_CODES) == 0, "the codes at their top")
        self.assertEqual(first_line(editor, ID_REWARD_SCORES), 0)

    def test_f5_tries_the_quiz_without_the_questions_that_have_problems(self):
        editor = Editor(self)
        select_question(editor, 1)
        editor.set_text(ID_ANSWER, "")
        self.assertEqual(editor.text(ID_STATUS).split(" \u2014 ")[0], "3 questions, 1 probl\u00e8me")
        editor.command(CMD_TRY)
        player = wait_for(lambda: harness.probe("wait", "WindowsApp", "-", 500, check=False).strip(),
                          "the player's window")
        self.addCleanup(harness.probe_ok, "post", player, harness.WM_CLOSE, 0, 0)
        wait_for(lambda: "question 2 laiss\u00e9e de c\u00f4t\u00e9 : elle a des probl\u00e8mes" in editor.text(ID_STATUS),
                 "the status line names the question left out")
        shown = [harness.Control(l) for l in harness.probe("tree", player).splitlines() if l.strip()]
        self.assertTrue([c for c in shown if "Formes g\u00e9om\u00e9triques" in c.text], "the quiz is played")
        harness.probe("post", player, harness.WM_CLOSE, 0, 0)
        # Building still asks for the problem to be fixed.
        editor.command(CMD_BUILD)
        self.assertIn("1 probl\u00e8me ", editor.box_text())
        editor.answer_box(1)
        self.assertFalse(os.path.exists(os.path.join(editor.quiz, "formes.exe")))


if __name__ == "__main__":
    harness.main()
