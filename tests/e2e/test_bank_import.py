"""Question banks from Moodle through the real programs: quizpack import turns a Moodle XML bank whose every
question has a picture into a pictures quiz whose media folder it writes and which then builds, and refuses a
bank that declares entities without writing anything; the editor's Fichier > Importer des questions reads a
GIFT bank into a new quiz, named after its category, and says in a box what it left out; a Moodle XML bank
dropped on the window comes in with its pictures; a broken bank adds nothing and names its line."""
import os
import shutil
import tempfile
import tomllib
import unittest

import harness
from harness import wait_for, windows_path
from test_editor import BOX, Editor, choose_file

_E = harness.EDITOR_IDS
BANKS = os.path.join(harness.SOURCE, "tests", "data", "banks")

GIFT = """// Exported by Moodle: Banque de questions > Exporter, format GIFT
$CATEGORY: $course$/top/G\u00e9ographie

::Capitale::Quelle est la capitale de la France ? {=Paris =la ville de Paris#Bravo !}

::Choix::Quelle ville est en Bretagne ? {=Rennes ~Lille ~Nice}

::Ann\u00e9e::[html]<p>En quelle ann\u00e9e fut prise la <b>Bastille</b> ?</p>{#1789}
"""


class QuizpackBankImportTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="vetra-bank-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def test_a_bank_of_pictures_becomes_a_pictures_quiz_that_builds(self):
        shutil.copyfile(os.path.join(BANKS, "moodle", "drapeaux.xml"), os.path.join(self.folder, "drapeaux.xml"))
        result = harness.run_quizpack("import", "drapeaux.xml", cwd=self.folder, check=False)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("3 questions import\u00e9es dans drapeaux.toml", result.stdout)
        with open(os.path.join(self.folder, "drapeaux.toml"), "rb") as f:
            source = tomllib.loads(f.read().decode("utf-8"))
        self.assertEqual((source["kind"], source["title"]), ("pictures", "Drapeaux"))
        self.assertEqual([(q["answer"], q["picture"]) for q in source["question"]],
                         [("rouge", "drapeaux-media/rouge.png"), ("bleu", "drapeaux-media/bleu.png"),
                          ("point", "drapeaux-media/point.gif")])
        self.assertEqual(sorted(os.listdir(os.path.join(self.folder, "drapeaux-media"))),
                         ["bleu.png", "point.gif", "rouge.png"])
        harness.run_quizpack("build", "drapeaux.toml", "--player", windows_path(os.path.abspath(harness.PLAYER)),
                             cwd=self.folder)
        self.assertTrue(os.path.exists(os.path.join(self.folder, "drapeaux.exe")))

    def test_a_bank_declaring_entities_is_refused_and_nothing_is_written(self):
        attack = ('<?xml version="1.0"?>\n<!DOCTYPE quiz [<!ENTITY x SYSTEM "file:///C:/windows/win.ini">]>\n'
                  '<quiz><question type="shortanswer"><questiontext><text>&x;</text></questiontext>'
                  '<answer fraction="100"><text>a</text></answer></question></quiz>\n')
        with open(os.path.join(self.folder, "piege.xml"), "w", encoding="utf-8") as f:
            f.write(attack)
        result = harness.run_quizpack("import", "piege.xml", cwd=self.folder, check=False)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("piege.xml:2: le fichier d\u00e9clare des entit\u00e9s", result.stderr)
        self.assertEqual(os.listdir(self.folder), ["piege.xml"])


class EditorBankImportTest(unittest.TestCase):
    def test_a_gift_bank_comes_in_and_the_box_says_what_it_left_out(self):
        editor = Editor(self, open_source=False)
        bank = os.path.join(editor.root, "banque.gift")
        with open(bank, "w", encoding="utf-8") as f:
            f.write(GIFT)
        editor.command(_E.cmdImportTable)
        choose_file(bank)
        said = editor.box_text()
        self.assertIn("2 questions import\u00e9es, mais :", said)
        self.assertIn("1 question \u00e0 choix multiples laiss\u00e9e de c\u00f4t\u00e9", said)
        editor.answer_box(1)
        wait_for(lambda: len(editor.items(_E.idQuestionList)[0]) == 2, "two questions in the list")
        self.assertEqual(editor.text(_E.idTitle), "G\u00e9ographie")
        self.assertEqual(editor.text(_E.idAnswer), "Paris")
        self.assertEqual(editor.text(_E.idOtherAnswers), "la ville de Paris")
        self.assertEqual(editor.text(_E.idComment), "Bravo !")
        self.assertIn("2 questions import\u00e9es", editor.text(_E.idStatus))
        self.assertEqual(editor.title(), "Sans titre* \u2014 Atelier Vetra")

        # A broken bank adds nothing and says on which line it breaks.
        broken = os.path.join(editor.root, "casse.gift")
        with open(broken, "w", encoding="utf-8") as f:
            f.write("::A::Bon {=oui}\n\n::B::Jamais ferm\u00e9e {=non\n")
        editor.command(_E.cmdImportTable)
        choose_file(broken)
        self.assertIn("casse.gift:3:", editor.box_text())
        editor.answer_box(1)
        self.assertEqual(len(editor.items(_E.idQuestionList)[0]), 2)

    def test_a_moodle_xml_bank_dropped_on_the_window_brings_its_pictures(self):
        editor = Editor(self, open_source=False)
        bank = os.path.join(editor.root, "drapeaux.xml")
        shutil.copyfile(os.path.join(BANKS, "moodle", "drapeaux.xml"), bank)
        harness.probe("drop", editor.main, 30, 30, windows_path(bank))
        wait_for(lambda: len(editor.items(_E.idQuestionList)[0]) == 3, "three questions in the list")
        self.assertEqual(editor.text(_E.idAnswer), "rouge")
        self.assertTrue(editor.text(_E.idPicture).endswith("/drapeaux-media/rouge.png"), editor.text(_E.idPicture))
        self.assertEqual(sorted(os.listdir(os.path.join(editor.root, "drapeaux-media"))),
                         ["bleu.png", "point.gif", "rouge.png"])
        self.assertIn("3 questions import\u00e9es", editor.text(_E.idStatus))


if __name__ == "__main__":
    harness.main()
