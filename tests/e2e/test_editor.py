"""Atelier Vetra, the quiz editor, driven from outside: it opens the quiz
named on its command line, shows its questions, marks an unsaved change in
its title, lists a problem as soon as a field holds one and then refuses to
build, saves the source, builds the same player quizpack builds from it, and
asks before closing with unsaved changes (each of the three answers); F5 plays the quiz as it stands."""
import os
import shutil
import subprocess
import tempfile
import tomllib
import unittest

import harness
from harness import wait_for, windows_path

EXAMPLE = os.path.join(harness.SOURCE, "examples", "pictures")
EDITOR = os.path.join(harness.BUILD, "atelier.exe")
# The editor's own numbers, as editor/editorCommands.h declares them.
_E = harness.EDITOR_IDS
CMD_NEW, CMD_OPEN, CMD_SAVE, CMD_BUILD, CMD_IMPORT, CMD_ABOUT = (_E.cmdNew, _E.cmdOpen, _E.cmdSave, _E.cmdBuild,
                                                                 _E.cmdImportTable, _E.cmdAbout)
FILE_NAME_EDIT = 0x47C  # the edit box inside the file name combo (cmb13) of the platform's file dialog
CMD_ADD, CMD_DUPLICATE, CMD_DELETE, CMD_UP, CMD_DOWN = (_E.cmdAddQuestion, _E.cmdDuplicateQuestion,
                                                        _E.cmdDeleteQuestion, _E.cmdMoveUp, _E.cmdMoveDown)
ID_TITLE, ID_ANSWERS_PER_QUESTION, ID_QUESTIONS, ID_PROBLEMS, ID_STATUS = (_E.idTitle, _E.idAnswersPerQuestion,
                                                                           _E.idQuestionList, _E.idProblemList,
                                                                           _E.idStatus)
ID_ANSWER, ID_ANSWER2, ID_PICTURE, ID_CLIP = _E.idAnswer, _E.idAnswer2, _E.idPicture, _E.idClip
WS_DISABLED = 0x08000000
CB_SETCURSEL, CBN_SELCHANGE, LB_SETCURSEL, LBN_SELCHANGE = 0x014E, 1, 0x0186, 1
IDYES, IDNO, IDCANCEL = 6, 7, 2
BOX = "Atelier Vetra"


def choose_file(path):
    """Types a path into the platform's file dialog and presses its OK button."""
    dialog = int(harness.probe("wait", "#32770", "-", 30000).strip())
    controls = [harness.Control(l) for l in harness.probe("tree", dialog).splitlines() if l.strip()]
    names = [c for c in controls if c.id == FILE_NAME_EDIT and c.cls.lower() == "edit"]
    if not names:
        raise AssertionError("no file name box in %r" % controls)
    harness.probe("settext", names[0].handle, windows_path(path))
    harness.probe("post", dialog, harness.WM_COMMAND, 1, 0)
    wait_for(lambda: not harness.probe_ok("info", dialog), "the file dialog closed")


class Editor:
    def __init__(self, test, source_text=None, wait=True, open_source=True, env=None):
        self.root = tempfile.mkdtemp(prefix="vetra-editor-")
        test.addCleanup(shutil.rmtree, self.root, True)
        # The editor and its player in a folder of their own, the quiz in another.
        self.program = os.path.join(self.root, "Atelier Vetra")
        self.quiz = os.path.join(self.root, "mes quiz")
        os.makedirs(self.program)
        shutil.copytree(EXAMPLE, self.quiz)
        for name in ("atelier.exe", "vetra.exe"):
            shutil.copyfile(os.path.join(harness.BUILD, name), os.path.join(self.program, name))
        self.source = os.path.join(self.quiz, "formes.toml")
        if source_text is not None:
            with open(self.source, "w", encoding="utf-8") as f:
                f.write(source_text)
        with open(self.source, "rb") as f:
            self.original = f.read()
        arguments = ["formes.toml"] if open_source else []
        self.process = subprocess.Popen([harness.WINE, os.path.join(self.program, "atelier.exe")] + arguments,
                                        cwd=self.quiz, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        env=env)
        test.addCleanup(self.kill)
        self.main = None
        if wait:
            self.wait_main()

    def wait_main(self):
        self.main = int(harness.probe("wait", "AtelierVetra", "-", 60000).strip())

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def child(self, control_id):
        return int(harness.probe("child", self.main, control_id).strip())

    def title(self):
        return harness.Control(harness.probe("info", self.main).splitlines()[0]).text

    def text(self, control_id):
        return harness.Control(harness.probe("info", self.child(control_id)).splitlines()[0]).text

    def items(self, control_id):
        lines = harness.probe("items", self.child(control_id)).splitlines()
        selected = int(lines[-1].split("\t")[1])
        return [harness.decode_text(l) for l in lines[:-1]], selected

    def set_text(self, control_id, text):
        # WM_SETTEXT on an edit control sends its parent EN_CHANGE, as typing does.
        harness.probe("settext", self.child(control_id), text)

    def command(self, command_id):
        harness.probe("post", self.main, harness.WM_COMMAND, command_id, 0)

    def box_text(self, caption=BOX):
        return harness.decode_text(harness.probe("msgbox", caption, 30000).strip())

    def answer_box(self, button, caption=BOX):
        harness.probe("answer", caption, button, 30000)
        # Without a window manager a box takes a moment to go.
        wait_for(lambda: not harness.probe_ok("wait", "#32770", caption, 0), "the message box went away")

    def rect(self, handle):
        return harness.Control(harness.probe("info", handle).splitlines()[0])

    def enabled(self, control_id):
        return not harness.Control(harness.probe("info", self.child(control_id)).splitlines()[0]).style & WS_DISABLED

    def click(self, control_id):
        """A real click through X in the middle of a control, the editor's window given the focus first
        (without a window manager a click alone does not give it)."""
        found = subprocess.run(["xdotool", "search", "--name", "Atelier Vetra"], capture_output=True,
                               text=True).stdout.split()
        harness.xdotool("windowfocus", "--sync", found[0])
        where = self.rect(self.child(control_id))
        harness.xdotool("mousemove", where.sx + where.w // 2, where.sy + where.h // 2)
        harness.xdotool("click", "1")

    def select(self, combo_id, index):
        """Chooses an item of a drop-down list as the mouse would: the selection, then its notification."""
        combo = self.child(combo_id)
        harness.probe("send", combo, CB_SETCURSEL, index, 0)
        harness.probe("send", self.main, harness.WM_COMMAND, (CBN_SELCHANGE << 16) | combo_id, combo)

    def saved(self):
        with open(self.source, "rb") as f:
            return f.read()

    def wait_built(self, done):
        """A build that succeeds says so in the status line (`done`, "3 questions mises dans"), in no box."""
        wait_for(lambda: done in self.text(ID_STATUS), "the status line says " + done)
        if harness.probe_ok("wait", "#32770", BOX, 0):
            raise AssertionError("a box came after a successful build: %r" % self.box_text())


class EditorTest(unittest.TestCase):
    def test_edit_check_save_and_build(self):
        editor = Editor(self)
        self.assertEqual(editor.title(), "formes.toml \u2014 Atelier Vetra")
        self.assertEqual(editor.items(ID_QUESTIONS), (["1. 1.jpg \u2014 cercle", "2. 2.png \u2014 triangle", "3. 3.png \u2014 carr\u00e9"], 0))
        self.assertEqual(editor.text(ID_TITLE), "Formes g\u00e9om\u00e9triques")
        self.assertEqual(editor.text(ID_STATUS), "3 questions, 0 probl\u00e8me")
        self.assertEqual(editor.items(ID_PROBLEMS), ([], -1))
        shot = harness.screenshot("editor")
        self.assertGreater(os.path.getsize(shot), 0)

        editor.set_text(ID_TITLE, "Formes et couleurs")
        self.assertEqual(editor.title(), "formes.toml* \u2014 Atelier Vetra")

        editor.set_text(ID_TITLE, "Formes | couleurs")
        problems, _ = editor.items(ID_PROBLEMS)
        self.assertEqual(len(problems), 1, problems)
        self.assertTrue(problems[0].startswith("Titre : contient \u00ab | \u00bb"), problems)
        self.assertEqual(editor.text(ID_STATUS), "3 questions, 1 probl\u00e8me")
        editor.command(CMD_BUILD)
        refusal = editor.box_text()
        self.assertIn("1 probl\u00e8me ", refusal)
        editor.answer_box(1)
        self.assertFalse(os.path.exists(os.path.join(editor.quiz, "formes.exe")), "a refused build writes nothing")

        editor.set_text(ID_TITLE, "Formes et couleurs")
        self.assertEqual(editor.items(ID_PROBLEMS), ([], -1))
        self.assertEqual(editor.saved(), editor.original, "nothing saved before Enregistrer")
        editor.command(CMD_SAVE)
        wait_for(lambda: editor.title() == "formes.toml \u2014 Atelier Vetra", "the unsaved mark went away")
        saved = tomllib.loads(editor.saved().decode("utf-8"))
        self.assertEqual(saved["title"], "Formes et couleurs")
        self.assertEqual([q["answer"] for q in saved["question"]], ["cercle", "triangle", "carr\u00e9"])
        self.assertEqual(saved["reward_codes"], ["CARRE-1", "CARRE-2", "CARRE-3"])
        self.assertFalse(os.path.exists(editor.source + ".tmp"))

        editor.command(CMD_BUILD)
        editor.wait_built("3 questions mises dans")
        built = os.path.join(editor.quiz, "formes.exe")
        with open(built, "rb") as f:
            ours = f.read()
        harness.run_quizpack("build", "formes.toml", "-o", "reference.exe", "--player",
                             os.path.join(editor.program, "vetra.exe"), cwd=editor.quiz)
        with open(os.path.join(editor.quiz, "reference.exe"), "rb") as f:
            reference = f.read()
        self.assertEqual(len(ours), len(reference))
        self.assertTrue(ours == reference, "the editor's build differs from quizpack's")

    def test_typing_and_the_keyboard_shortcuts(self):
        editor = Editor(self)
        title = harness.Control(harness.probe("info", editor.child(ID_TITLE)).splitlines()[0])
        found = subprocess.run(["xdotool", "search", "--name", "Atelier Vetra"], capture_output=True,
                               text=True).stdout.split()
        self.assertTrue(found, "the editor's X window")
        # Without a window manager a click alone does not give the keyboard focus.
        harness.xdotool("windowfocus", "--sync", found[0])
        harness.xdotool("mousemove", title.sx + title.w - 5, title.sy + title.h // 2)
        harness.xdotool("click", "1")
        harness.xdotool("key", "End")
        harness.xdotool("type", "--delay", "60", " bis")
        wait_for(lambda: editor.text(ID_TITLE) == "Formes géométriques bis", "the typed text")
        self.assertEqual(editor.title(), "formes.toml* — Atelier Vetra")
        harness.xdotool("key", "ctrl+s")
        wait_for(lambda: editor.title() == "formes.toml — Atelier Vetra", "Ctrl+S saved")
        self.assertEqual(tomllib.loads(editor.saved().decode("utf-8"))["title"], "Formes géométriques bis")
        harness.xdotool("key", "ctrl+b")
        editor.wait_built("3 questions mises dans")
        self.assertTrue(os.path.exists(os.path.join(editor.quiz, "formes.exe")))

    def test_trying_plays_the_unsaved_quiz_away_from_its_source(self):
        editor = Editor(self)
        editor.set_text(ID_TITLE, "Essai des formes")
        found = subprocess.run(["xdotool", "search", "--name", "Atelier Vetra"], capture_output=True,
                               text=True).stdout.split()
        harness.xdotool("windowfocus", "--sync", found[0])
        harness.xdotool("key", "F5")
        player = wait_for(lambda: harness.probe("wait", "WindowsApp", "-", 500, check=False).strip(),
                          "the player's window")
        self.addCleanup(harness.probe_ok, "post", player, harness.WM_CLOSE, 0, 0)
        shown = [harness.Control(l) for l in harness.probe("tree", player).splitlines() if l.strip()]
        header = [c for c in shown if "Essai des formes" in c.text]
        self.assertTrue(header, "the player shows the title not yet saved")
        self.assertEqual(sorted(os.listdir(editor.quiz)), ["formes.toml", "media"], "nothing beside the source")
        self.assertEqual(editor.saved(), editor.original)
        harness.probe("post", player, harness.WM_CLOSE, 0, 0)

    def choose_file(self, editor, path):
        choose_file(path)

    def test_opening_another_quiz_asks_about_the_changes_first(self):
        editor = Editor(self)
        other = os.path.join(editor.quiz, "capitales.toml")
        shutil.copyfile(os.path.join(harness.SOURCE, "examples", "text", "capitales.toml"), other)
        editor.set_text(ID_TITLE, "Perdu")
        editor.command(CMD_OPEN)
        self.assertEqual(editor.box_text(), "Enregistrer les modifications ?")
        editor.answer_box(IDNO)
        self.choose_file(editor, other)
        wait_for(lambda: editor.title() == "capitales.toml \u2014 Atelier Vetra", "the other quiz opened")
        with open(other, "rb") as f:
            expected = tomllib.load(f)
        self.assertEqual(editor.text(ID_TITLE), expected["title"])
        self.assertEqual(len(editor.items(ID_QUESTIONS)[0]), len(expected["question"]))
        self.assertEqual(editor.saved(), editor.original, "Non left the first quiz as it was")

    def test_importing_questions_from_a_table(self):
        editor = Editor(self)
        with open(os.path.join(editor.quiz, "questions.csv"), "w", encoding="utf-8") as f:
            f.write("answer;picture\nlosange;media/1.jpg\n\u00e9toile;media/2.png\n")
        editor.command(CMD_IMPORT)
        self.choose_file(editor, os.path.join(editor.quiz, "questions.csv"))
        wait_for(lambda: len(editor.items(ID_QUESTIONS)[0]) == 5, "two questions were added")
        self.assertEqual(editor.items(ID_QUESTIONS),
                         (["1. 1.jpg \u2014 cercle", "2. 2.png \u2014 triangle", "3. 3.png \u2014 carr\u00e9", "4. 1.jpg \u2014 losange (!)",
                          "5. 2.png \u2014 \u00e9toile (!)"], 3))
        self.assertEqual(editor.text(ID_PICTURE), "media/1.jpg")
        self.assertEqual(editor.title(), "formes.toml* \u2014 Atelier Vetra")

        # A table with a problem adds nothing and says where the problem is.
        with open(os.path.join(editor.quiz, "faux.csv"), "w", encoding="utf-8") as f:
            f.write("answer;couleur\nlosange;rouge\n")
        editor.command(CMD_IMPORT)
        self.choose_file(editor, os.path.join(editor.quiz, "faux.csv"))
        self.assertIn("faux.csv:1", editor.box_text())
        editor.answer_box(1)
        self.assertEqual(len(editor.items(ID_QUESTIONS)[0]), 5)

    def test_question_operations_and_the_fields_they_use(self):
        editor = Editor(self)
        # A pictures quiz with one answer: a picture, no second answer, no clip.
        self.assertEqual([editor.enabled(i) for i in (ID_ANSWER, ID_ANSWER2, ID_PICTURE, ID_CLIP)],
                         [True, False, True, False])
        editor.command(CMD_ADD)
        wait_for(lambda: len(editor.items(ID_QUESTIONS)[0]) == 4, "the question was added")
        self.assertEqual(editor.items(ID_QUESTIONS),
                         (["1. 1.jpg \u2014 cercle", "2. (sans réponse) (!)", "3. 2.png \u2014 triangle", "4. 3.png \u2014 carré"], 1))
        # No answer, no picture, no solution picture, one reward code short.
        # Four pictures leave the last row of three incomplete: quizpack's warning follows the counts.
        self.assertEqual(editor.text(ID_STATUS), "4 questions, 4 problèmes — attention : le lecteur range les images "
                         "trois par ligne et cherche des images jusqu'à la numéro 6 ; avec 4 questions, il signalera "
                         "celles qui manquent")
        self.assertEqual(editor.text(ID_ANSWER), "")
        editor.set_text(ID_ANSWER, "losange")
        self.assertEqual(editor.items(ID_QUESTIONS)[0][1], "2. losange (!)")
        steps = [
            (CMD_DOWN, ["1. 1.jpg \u2014 cercle", "2. 2.png \u2014 triangle", "3. losange (!)", "4. 3.png \u2014 carré"], 2,
             "losange"),
            (CMD_UP, ["1. 1.jpg \u2014 cercle", "2. losange (!)", "3. 2.png \u2014 triangle", "4. 3.png \u2014 carré"], 1,
             "losange"),
            (CMD_DELETE, ["1. 1.jpg \u2014 cercle", "2. 2.png \u2014 triangle", "3. 3.png \u2014 carré"], 1, "triangle"),
            (CMD_DUPLICATE, ["1. 1.jpg \u2014 cercle", "2. 2.png \u2014 triangle", "3. 2.png \u2014 triangle", "4. 3.png \u2014 carré"], 2,
             "triangle"),
        ]
        for command, lines, selected, answer in steps:
            with self.subTest(command=command):
                editor.command(command)
                wait_for(lambda: editor.items(ID_QUESTIONS) == (lines, selected), "the list became %r" % lines)
                self.assertEqual(editor.text(ID_ANSWER), answer)
        # Two answers per question: the second answer field opens, each question now lacks one.
        combo = editor.child(ID_ANSWERS_PER_QUESTION)
        harness.probe("send", combo, CB_SETCURSEL, 1, 0)
        harness.probe("send", editor.main, harness.WM_COMMAND, (CBN_SELCHANGE << 16) | ID_ANSWERS_PER_QUESTION, combo)
        self.assertTrue(editor.enabled(ID_ANSWER2))
        self.assertTrue(editor.text(ID_STATUS).startswith("4 questions, 5 problèmes — attention"))

    def test_any_character_reaches_the_model_and_the_check(self):
        editor = Editor(self)
        # The window is Unicode: a character Windows-1252 lacks is kept, and named as a problem.
        harness.probe("settextw", editor.child(ID_ANSWER), "\u0141\u00f3d\u017a")
        problems, _ = editor.items(ID_PROBLEMS)
        self.assertEqual(len(problems), 1, problems)
        self.assertTrue(problems[0].startswith("Question 1, r\u00e9ponse : contient un caract\u00e8re"), problems)
        self.assertIn("(U+0141)", problems[0])
        self.assertTrue(editor.items(ID_QUESTIONS)[0][0].endswith(" (!)"))
        editor.command(CMD_SAVE)
        wait_for(lambda: editor.title() == "formes.toml \u2014 Atelier Vetra", "saved")
        saved = tomllib.loads(editor.saved().decode("utf-8"))
        self.assertEqual(saved["question"][0]["answer"], "\u0141\u00f3d\u017a")

    def test_layout_follows_the_size_down_to_a_minimum(self):
        editor = Editor(self)
        for width, height in ((1000, 740), (700, 400)):
            with self.subTest(size=(width, height)):
                harness.probe("move", editor.main, 0, 0, width, height)
                window = editor.rect(editor.main)
                self.assertEqual((window.w, window.h), (max(width, 900), max(height, 640)))
                problems = editor.rect(editor.child(ID_PROBLEMS))
                status = editor.rect(editor.child(ID_STATUS))
                self.assertEqual(problems.w, window.cw - 16, "the problems list spans the window")
                self.assertEqual(status.y + status.h, window.ch - 8, "the status line sits at the bottom")
                self.assertLess(problems.y + problems.h, status.y)
                questions = editor.rect(editor.child(ID_QUESTIONS))
                self.assertLess(questions.y + questions.h, problems.y)

    def test_about_names_the_version(self):
        editor = Editor(self)
        editor.command(CMD_ABOUT)
        caption = "\u00c0 propos d'Atelier Vetra"
        self.assertIn("version 2.1.4.3", editor.box_text(caption))
        editor.answer_box(1, caption)

    def test_opening_a_source_that_is_no_toml_or_holds_unknown_keys(self):
        broken = Editor(self, source_text="title = \"sans fin\n", wait=False)
        self.assertIn("formes.toml:1:", broken.box_text())
        broken.answer_box(1)
        broken.wait_main()
        self.assertEqual(broken.title(), "Sans titre \u2014 Atelier Vetra", "nothing opened")
        broken.kill()

        with open(os.path.join(EXAMPLE, "formes.toml"), encoding="utf-8") as f:
            text = f.read().replace("reveal =", "couleur = \"rouge\"\nreveal =")
        unknown = Editor(self, source_text=text, wait=False)
        warning = unknown.box_text()
        self.assertIn("couleur", warning)
        self.assertIn("l'enregistrement les garde telles quelles", warning)
        unknown.answer_box(1)
        unknown.wait_main()
        self.assertEqual(unknown.title(), "formes.toml \u2014 Atelier Vetra")
        self.assertEqual(len(unknown.items(ID_QUESTIONS)[0]), 3)

    def test_closing_with_changes_asks_first(self):
        # (answer, the window stays, the title the file then holds)
        rows = [
            (IDYES, False, "Chang\u00e9 et gard\u00e9"),
            (IDNO, False, "Formes g\u00e9om\u00e9triques"),
            (IDCANCEL, True, "Formes g\u00e9om\u00e9triques"),
        ]
        for button, stays, title in rows:
            with self.subTest(button=button):
                editor = Editor(self)
                editor.set_text(ID_TITLE, "Chang\u00e9 et gard\u00e9")
                harness.probe("post", editor.main, harness.WM_CLOSE, 0, 0)
                self.assertEqual(editor.box_text(), "Enregistrer les modifications ?")
                editor.answer_box(button)
                if stays:
                    self.assertTrue(harness.probe_ok("info", editor.main))
                    self.assertIsNone(editor.process.poll())
                    self.assertEqual(editor.title(), "formes.toml* \u2014 Atelier Vetra")
                else:
                    self.assertEqual(editor.process.wait(timeout=60), 0)
                self.assertEqual(tomllib.loads(editor.saved().decode("utf-8"))["title"], title)
                if button == IDNO:
                    self.assertEqual(editor.saved(), editor.original)
                editor.kill()


if __name__ == "__main__":
    harness.main()
