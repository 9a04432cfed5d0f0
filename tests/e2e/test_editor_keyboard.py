"""Atelier Vetra from the keyboard and its files: Tab and Shift+Tab go round every control in reading order,
the Problems list included; Alt and a label's underlined letter reach its field; a build says it is done in the
status line; "Essayer une réponse" starts empty for another quiz; the Save dialog offers the title's name in
the pictures' folder or the last opened quiz's, never the imported table's; a CSV dropped on the window is
imported; the quiz exported as a web page or a SCORM package is, byte for byte, what quizpack web writes."""
import os
import shutil
import unittest

import harness
from harness import wait_for, windows_path
from test_editor import BOX, EXAMPLE, Editor, choose_file

_E = harness.EDITOR_IDS
WS_TABSTOP, WS_DISABLED = 0x00010000, 0x08000000
# The accented letters a French keyboard types without a dead key, as X names them.
KEYSYMS = {"\u00e9": "eacute", "\u00e8": "egrave", "\u00e0": "agrave", "\u00e7": "ccedilla", "\u00f9": "ugrave"}
OFFERED_NAME = 0x47C  # the file name box of the platform's file dialog, as test_editor fills it


def focused_id(editor):
    handle = int(harness.probe("focused", editor.main).strip())
    return harness.Control(harness.probe("info", handle).splitlines()[0]).id if handle else None


def accept_offered_file():
    """Presses the Save dialog's OK on what it offers, and returns the name it offered."""
    dialog = int(harness.probe("wait", "#32770", "-", 30000).strip())
    controls = [harness.Control(l) for l in harness.probe("tree", dialog).splitlines() if l.strip()]
    offered = [c.text for c in controls if c.id == OFFERED_NAME and c.cls.lower() == "edit"]
    harness.probe("post", dialog, harness.WM_COMMAND, 1, 0)
    wait_for(lambda: not harness.probe_ok("info", dialog), "the file dialog closed")
    return offered[0] if offered else None


class EditorKeyboardTest(unittest.TestCase):
    def test_tab_goes_round_every_control_in_reading_order(self):
        editor = Editor(self)
        # Reading order: the list, the quiz's column top to bottom, the codes, the question's column with each
        # "Parcourir..." after its field, the trials, the problems. The disabled ones are passed by.
        reading = [_E.idQuestionList, _E.idKind, _E.idTitle, _E.idAuthor, _E.idExplanations, _E.idLink,
                   _E.idAnswersPerQuestion, _E.idCaption1, _E.idCaption2, _E.idReveal, _E.idColourChoose,
                   _E.idRewardCodes, _E.idAnswer, _E.idOtherAnswers, _E.idAnswer2, _E.idOtherAnswers2, _E.idPrompt,
                   _E.idComment, _E.idComment2,
                   _E.idPicture, _E.idBrowsePicture, _E.idSolution, _E.idBrowseSolution, _E.idClip, _E.idBrowseClip,
                   _E.idTryAnswer, _E.idTryAnswer2, _E.idProblemList]
        expected = [i for i in reading if editor.enabled(i)]
        self.assertIn(_E.idRewardCodes, expected)
        self.assertNotIn(_E.idClip, expected, "a picture quiz has no clip")
        editor.click(_E.idQuestionList)
        wait_for(lambda: focused_id(editor) == _E.idQuestionList, "the list has the focus")
        visited = []
        for _ in expected:
            harness.key("Tab")
            visited.append(focused_id(editor))
        self.assertEqual(visited, expected[1:] + expected[:1], "Tab goes round and comes back to the list")
        back = []
        for _ in range(3):
            harness.key("shift+Tab")
            back.append(focused_id(editor))
        self.assertEqual(back, [expected[-1], expected[-2], expected[-3]], "Shift+Tab goes back round")
        # Tab in the codes box moves on rather than writing a tab into the codes.
        self.assertEqual(editor.text(_E.idRewardCodes), "CARRE-1\r\nCARRE-2\r\nCARRE-3")

    def test_alt_and_the_underlined_letter_reach_the_field(self):
        editor = Editor(self)
        tree = [harness.Control(l) for l in harness.probe("tree", editor.main).splitlines() if l.strip()]
        labels = {}
        for c in tree:
            if c.cls.lower() == "static" and "&" in c.text.replace("&&", ""):
                labels[c.text] = c.text[c.text.index("&") + 1].lower()
        self.assertEqual(len(set(labels.values())), len(labels), "no two labels share a letter: %r" % labels)
        self.assertFalse(set(labels.values()) & {"f", "d", "a"}, "the menu bar keeps its letters")
        # Every field's label has one; the previews' labels name no control, and the trials' take the letters
        # the fields leave.
        plain = [c.text for c in tree if c.cls.lower() == "static" and c.text.endswith(" :") and "&" not in c.text]
        self.assertLessEqual(set(plain), {"Image :", "Image solution :", "Essayer une r\u00e9ponse :",
                                          "Essayer la r\u00e9ponse 2 :", "Autres r\u00e9ponses accept\u00e9es :"})
        harness.focus_keyboard("Atelier Vetra")
        rows = [("Titre :", _E.idTitle), ("Auteur :", _E.idAuthor), ("Codes de r\u00e9compense :", _E.idRewardCodes),
                ("Couleur :", _E.idColourChoose), ("R\u00e9ponse :", _E.idAnswer), ("Questions :", _E.idQuestionList),
                ("Probl\u00e8mes :", _E.idProblemList), ("Type :", _E.idKind), ("Explications :", _E.idExplanations)]
        for text, control in rows:
            with self.subTest(label=text):
                keyed = [k for k in labels if k.replace("&", "") == text]
                self.assertEqual(len(keyed), 1, labels)
                letter = labels[keyed[0]]
                harness.key("alt+" + KEYSYMS.get(letter, letter))
                wait_for(lambda: focused_id(editor) == control, "Alt+%s went to %s" % (letter, text))
        # The menu bar's own letters still open it.
        harness.key("alt+f")
        wait_for(lambda: harness.probe_ok("wait", "#32768", "-", 0), "Alt+F opened Fichier")
        harness.key("Escape", "Escape")

    def test_a_build_is_said_in_the_status_line_and_trials_start_empty(self):
        editor = Editor(self)
        editor.set_text(_E.idTryAnswer, "cercel")
        wait_for(lambda: editor.text(_E.idTryVerdict) == "Anagramme", "a verdict for the trial")
        editor.command(_E.cmdBuild)
        editor.wait_built("3 questions mises dans")
        self.assertTrue(editor.text(_E.idStatus).startswith("3 questions, 0 probl\u00e8me \u2014 3 questions mises dans"))
        self.assertTrue(os.path.exists(os.path.join(editor.quiz, "formes.exe")))
        # The long path at the narrowest: one line, its middle given up to "..." (see the screenshot).
        harness.probe("move", editor.main, 0, 0, 900, 640)
        harness.screenshot("editor-status-after-build")

        # A new quiz, then an opened one, start with empty trials ("?" is the player's word for an empty box).
        editor.command(_E.cmdNew)
        wait_for(lambda: editor.title() == "Sans titre \u2014 Atelier Vetra", "a new quiz")
        self.assertEqual((editor.text(_E.idTryAnswer), editor.text(_E.idTryVerdict)), ("", "?"))
        editor.set_text(_E.idTryAnswer, "essai")
        editor.command(_E.cmdOpen)
        choose_file(editor.source)
        wait_for(lambda: editor.title() == "formes.toml \u2014 Atelier Vetra", "the quiz opened")
        self.assertEqual((editor.text(_E.idTryAnswer), editor.text(_E.idTryVerdict)), ("", "?"))


class EditorFilesTest(unittest.TestCase):
    def test_save_offers_the_titles_name_in_the_pictures_or_the_last_opened_folder(self):
        for case in ("pictures", "table"):
            with self.subTest(case=case):
                editor = Editor(self, open_source=False)
                elsewhere = os.path.join(editor.root, "tableaux" if case == "table" else "photos")
                os.makedirs(elsewhere)
                if case == "pictures":
                    photo = os.path.join(elsewhere, "1.png")
                    shutil.copyfile(os.path.join(EXAMPLE, "media", "2.png"), photo)
                    harness.probe("drop", editor.main, 30, 30, windows_path(photo))
                    expected = elsewhere
                else:
                    table = os.path.join(elsewhere, "questions.csv")
                    with open(table, "w", encoding="utf-8") as f:
                        f.write("r\u00e9ponse;\u00e9nonc\u00e9\nParis;France\n")
                    editor.command(_E.cmdImportTable)
                    choose_file(table)
                    # Started in the quiz folder, with nothing opened since: the table's folder is no reason.
                    expected = editor.quiz
                wait_for(lambda: editor.title() == "Sans titre* \u2014 Atelier Vetra", "something to save")
                harness.probe("settextw", editor.child(_E.idTitle), "\u00c9t\u00e9 : formes?")
                editor.command(_E.cmdSave)
                self.assertEqual(accept_offered_file(), "\u00c9t\u00e9 formes.toml")
                wait_for(lambda: editor.title() == "\u00c9t\u00e9 formes.toml \u2014 Atelier Vetra", "saved")
                self.assertTrue(os.path.exists(os.path.join(expected, "\u00c9t\u00e9 formes.toml")),
                                os.listdir(expected))
                editor.kill()

    def test_a_table_dropped_on_the_window_is_imported(self):
        editor = Editor(self)
        good = os.path.join(editor.root, "bons.csv")
        with open(good, "w", encoding="utf-8") as f:
            f.write("answer;picture\nlosange;media/1.jpg\n\u00e9toile;media/2.png\n")
        harness.probe("drop", editor.main, 30, 30, windows_path(good))
        wait_for(lambda: len(editor.items(_E.idQuestionList)[0]) == 5, "two questions were added")
        self.assertEqual(editor.items(_E.idQuestionList)[0][3:],
                         ["4. 1.jpg \u2014 losange (!)", "5. 2.png \u2014 \u00e9toile (!)"])
        self.assertIn("2 questions import\u00e9es", editor.text(_E.idStatus))

    def export(self, editor, command, name):
        """Exports through the menu command into the quiz's folder under `name`; returns the bytes written."""
        editor.command(command)
        choose_file(os.path.join(editor.quiz, name))
        path = os.path.join(editor.quiz, name)
        wait_for(lambda: os.path.exists(path) and name in editor.text(_E.idStatus), "the export of " + name)
        with open(path, "rb") as f:
            return f.read()

    def quizpack_web(self, editor, name, *options):
        reference = os.path.join(editor.root, "quizpack")
        os.makedirs(reference, exist_ok=True)
        source = [f for f in os.listdir(editor.quiz) if f.endswith(".toml")][0]
        harness.run_quizpack("web", source, *options, "-o", windows_path(os.path.join(reference, name)),
                             cwd=editor.quiz)
        with open(os.path.join(reference, name), "rb") as f:
            return f.read()

    def test_the_exports_are_what_quizpack_web_writes(self):
        editor = Editor(self)
        page = self.export(editor, _E.cmdExportWeb, "formes.html")
        self.assertIn("page web \u00e9crite dans", editor.text(_E.idStatus))
        self.assertFalse(harness.probe_ok("wait", "#32770", BOX, 0), "a page without a warning needs no box")
        self.assertTrue(page == self.quizpack_web(editor, "formes.html"), "the editor's page differs from quizpack's")
        package = self.export(editor, _E.cmdExportScorm, "plateforme.zip")
        self.assertIn("paquet SCORM \u00e9crit dans", editor.text(_E.idStatus))
        self.assertTrue(package == self.quizpack_web(editor, "plateforme.zip", "--scorm"),
                        "the editor's package differs from quizpack's")

        # A quiz with a problem is refused in the build's words, and nothing is written.
        editor.set_text(_E.idTitle, "Formes | couleurs")
        editor.command(_E.cmdExportWeb)
        self.assertIn("1 probl\u00e8me ", editor.box_text())
        editor.answer_box(1)
        self.assertEqual(sorted(f for f in os.listdir(editor.quiz) if f.endswith((".html", ".zip"))),
                         ["formes.html", "plateforme.zip"])

    def test_what_browsers_do_not_show_is_said_in_a_box(self):
        editor = Editor(self, open_source=False)
        video = os.path.join(harness.EXAMPLES, "video")
        shutil.copytree(os.path.join(video, "media"), os.path.join(editor.quiz, "clips"))
        with open(os.path.join(video, "couleurs.toml"), encoding="utf-8") as f:
            text = f.read().replace('"media/', '"clips/')
        source = os.path.join(editor.quiz, "couleurs.toml")
        with open(source, "w", encoding="utf-8") as f:
            f.write(text)
        harness.probe("drop", editor.main, 30, 30, windows_path(source))
        wait_for(lambda: editor.title() == "couleurs.toml \u2014 Atelier Vetra", "the video quiz opened")
        editor.command(_E.cmdExportWeb)
        offered = accept_offered_file()
        self.assertEqual(offered, "Couleurs en mouvement.html")
        box = editor.box_text()
        self.assertIn("page web \u00e9crite dans", box)
        self.assertIn("les navigateurs ne montrent pas", box)
        editor.answer_box(1)
        page = os.path.join(editor.quiz, "Couleurs en mouvement.html")
        with open(page, "rb") as f:
            self.assertTrue(f.read() == self.quizpack_web(editor, "Couleurs en mouvement.html"))


if __name__ == "__main__":
    harness.main()
