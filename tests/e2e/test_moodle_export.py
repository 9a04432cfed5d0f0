"""The quiz as a Moodle question bank, as an author makes one: quizpack moodle writes the example picture quiz,
from its source or from the player built of it, as Moodle XML with its pictures inside, or as GIFT without them
(and says so); a quiz that would not build is refused in the build's words and nothing is written. Atelier
Vetra's Fichier > Exporter pour Moodle writes, byte for byte, what quizpack moodle writes: Moodle XML for a name
typed with .xml, GIFT when the Save dialog's file type says so."""
import os
import shutil
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

import harness
from harness import wait_for, windows_path
from test_editor import EXAMPLE, FILE_NAME_EDIT, Editor, choose_file

_E = harness.EDITOR_IDS
FILE_TYPE_COMBO = 0x470  # the file type list (cmb1) of the platform's file dialog
CB_SETCURSEL, CBN_SELCHANGE, CBN_SELENDOK = 0x014E, 1, 9
GIFT_LEFT_OUT = "les images et les extraits ne vont pas dans un fichier GIFT"


def bank_questions(path):
    """The short-answer questions of a Moodle XML bank: (name, answers, embedded files)."""
    quiz = ElementTree.parse(path).getroot()
    return [(q.findtext("name/text"), [a.findtext("text") for a in q.findall("answer")],
             len(q.findall("questiontext/file"))) for q in quiz if q.get("type") == "shortanswer"]


class QuizpackMoodleTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="vetra-moodle-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        shutil.copytree(EXAMPLE, self.folder, dirs_exist_ok=True)

    def test_banks_from_the_source_and_from_the_player(self):
        written = harness.run_quizpack("moodle", "formes.toml", cwd=self.folder)
        self.assertIn("banque de questions Moodle XML \u00e9crite dans formes.xml (3 questions)", written.stdout)
        self.assertEqual(written.stderr, "")
        from_source = bank_questions(os.path.join(self.folder, "formes.xml"))
        self.assertEqual([files for _, _, files in from_source], [1, 1, 1], "each question carries its picture")

        gift = harness.run_quizpack("moodle", "formes.toml", "--gift", cwd=self.folder)
        self.assertIn("banque de questions GIFT \u00e9crite dans formes.gift (3 questions)", gift.stdout)
        self.assertIn(GIFT_LEFT_OUT, gift.stderr)
        with open(os.path.join(self.folder, "formes.gift"), encoding="utf-8") as f:
            self.assertTrue(f.read().startswith("$CATEGORY: $course$/top/Formes g\u00e9om\u00e9triques\n"))

        harness.run_quizpack("build", "formes.toml", cwd=self.folder)
        harness.run_quizpack("moodle", "formes.exe", "-o", "du lecteur.xml", cwd=self.folder)
        self.assertEqual(bank_questions(os.path.join(self.folder, "du lecteur.xml")), from_source)

    def test_a_quiz_that_would_not_build_writes_no_bank(self):
        with open(os.path.join(self.folder, "formes.toml"), encoding="utf-8") as f:
            text = f.read()
        with open(os.path.join(self.folder, "formes.toml"), "w", encoding="utf-8") as f:
            f.write(text.replace('answer = "cercle"', 'answer = ""'))
        built = harness.run_quizpack("build", "formes.toml", cwd=self.folder, check=False)
        for options in ((), ("--gift",)):
            bank = harness.run_quizpack("moodle", "formes.toml", *options, cwd=self.folder, check=False)
            self.assertEqual((built.returncode, bank.returncode), (1, 1), options)
            self.assertEqual(bank.stderr, built.stderr, options)
        self.assertEqual(sorted(f for f in os.listdir(self.folder) if f.endswith((".xml", ".gift"))), [])


class EditorMoodleTest(unittest.TestCase):
    def quizpack_moodle(self, editor, name, *options):
        reference = os.path.join(editor.root, "quizpack")
        os.makedirs(reference, exist_ok=True)
        harness.run_quizpack("moodle", "formes.toml", *options, "-o", windows_path(os.path.join(reference, name)),
                             cwd=editor.quiz)
        with open(os.path.join(reference, name), "rb") as f:
            return f.read()

    def test_the_export_is_what_quizpack_moodle_writes(self):
        editor = Editor(self)
        editor.command(_E.cmdExportMoodle)
        choose_file(os.path.join(editor.quiz, "banque.xml"))
        path = os.path.join(editor.quiz, "banque.xml")
        wait_for(lambda: os.path.exists(path) and "banque.xml" in editor.text(_E.idStatus), "the XML bank")
        self.assertIn("banque de questions Moodle XML \u00e9crite dans", editor.text(_E.idStatus))
        with open(path, "rb") as f:
            self.assertTrue(f.read() == self.quizpack_moodle(editor, "banque.xml"),
                            "the editor's bank differs from quizpack's")

        # GIFT chosen in the dialog's list of types, the name typed without an extension.
        editor.command(_E.cmdExportMoodle)
        dialog = int(harness.probe("wait", "#32770", "-", 30000).strip())
        controls = [harness.Control(l) for l in harness.probe("tree", dialog).splitlines() if l.strip()]
        types = [c for c in controls if c.id == FILE_TYPE_COMBO and c.cls.lower() == "combobox"]
        names = [c for c in controls if c.id == FILE_NAME_EDIT and c.cls.lower() == "edit"]
        self.assertTrue(types and names, controls)
        harness.probe("send", types[0].handle, CB_SETCURSEL, 1, 0)
        # As a click in the list: the selection, then its notifications (the dialog acts on the last).
        for notification in (CBN_SELCHANGE, CBN_SELENDOK):
            harness.probe("send", dialog, harness.WM_COMMAND, (notification << 16) | FILE_TYPE_COMBO, types[0].handle)
        harness.probe("settext", names[0].handle, windows_path(os.path.join(editor.quiz, "banque")))
        harness.probe("post", dialog, harness.WM_COMMAND, 1, 0)
        # The pictures stay out of GIFT: the author hears of it in a box.
        box = editor.box_text()
        self.assertIn("banque de questions GIFT \u00e9crite dans", box)
        self.assertIn(GIFT_LEFT_OUT, box)
        editor.answer_box(1)
        with open(os.path.join(editor.quiz, "banque.gift"), "rb") as f:
            self.assertTrue(f.read() == self.quizpack_moodle(editor, "banque.gift", "--gift"),
                            "the editor's GIFT bank differs from quizpack's")

        # A quiz with a problem is refused in the build's words, and nothing is written.
        editor.set_text(_E.idTitle, "Formes | couleurs")
        editor.command(_E.cmdExportMoodle)
        self.assertIn("1 probl\u00e8me ", editor.box_text())
        editor.answer_box(1)
        self.assertEqual(sorted(f for f in os.listdir(editor.quiz) if f.endswith((".xml", ".gift"))),
                         ["banque.gift", "banque.xml"])


if __name__ == "__main__":
    harness.main()
