"""Faults of the authoring tools, each seen as the author meets it: a table
imported into a quiz just begun gives questions 1..N with their codes at
their scores; a file that is no picture, chosen with "Parcourir..." or
dropped, is a problem at once; a build into a folder that cannot be written
says so and names the folder, in the editor and in quizpack; what the editor
cannot read survives saving; a spreadsheet with comments builds as it comes;
quizpack and the editor name a spreadsheet's row and column alike; the same
picture on two questions is worth a warning."""
import os
import shutil
import tempfile
import unittest

import harness
from test_editor import (CMD_BUILD, CMD_IMPORT, CMD_SAVE, EXAMPLE, ID_PICTURE, ID_PROBLEMS, ID_QUESTIONS, ID_STATUS,
                         ID_TITLE, IDYES, LB_SETCURSEL, Editor, choose_file, wait_for, windows_path)

ID_REWARD_CODES, ID_BROWSE_PICTURE = harness.EDITOR_IDS.idRewardCodes, harness.EDITOR_IDS.idBrowsePicture
LBN_DBLCLK = 2
NOT_A_PICTURE = "n'est pas une image"
CANNOT_WRITE_FOLDER = "impossible d'\u00e9crire dans le dossier"


def write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


class AuthoringFaultsTest(unittest.TestCase):
    def test_a_table_imported_into_a_quiz_just_begun_replaces_its_empty_question(self):
        editor = Editor(self, open_source=False)
        answers = ["r\u00e9ponse %d" % n for n in range(1, 11)]
        codes = ["CODE-%d" % n for n in range(1, 11)]
        table = os.path.join(editor.quiz, "dix.csv")
        write(table, "answer;code\n" + "".join("%s;%s\n" % row for row in zip(answers, codes)))
        editor.command(CMD_IMPORT)
        choose_file(table)
        wait_for(lambda: editor.text(ID_STATUS).endswith("10 questions import\u00e9es"), "the import's notice")
        lines, selected = editor.items(ID_QUESTIONS)
        self.assertEqual([line.split(". ", 1)[1].replace(" (!)", "") for line in lines], answers)
        self.assertEqual(selected, 0)
        self.assertEqual(editor.text(ID_REWARD_CODES), "\r\n".join(codes), "each code at its question's score")
        self.assertFalse([p for p in editor.items(ID_PROBLEMS)[0] if "code" in p.lower()])

        # A quiz with questions keeps them and gets the new one after them.
        one = os.path.join(editor.quiz, "une.csv")
        write(one, "answer\nonzi\u00e8me\n")
        editor.command(CMD_IMPORT)
        choose_file(one)
        wait_for(lambda: editor.text(ID_STATUS).endswith("1 question import\u00e9e"), "the second import's notice")
        lines, selected = editor.items(ID_QUESTIONS)
        self.assertEqual(len(lines), 11)
        self.assertEqual((lines[0], lines[10], selected), ("1. r\u00e9ponse 1", "11. onzi\u00e8me", 10))

    def test_a_file_that_is_no_picture_is_a_problem_as_soon_as_it_is_named(self):
        editor = Editor(self)
        self.assertEqual(editor.text(ID_STATUS), "3 questions, 0 probl\u00e8me")
        fake = os.path.join(editor.root, "photo.png")
        write(fake, "ceci est du texte\n")
        editor.click(ID_BROWSE_PICTURE)
        choose_file(fake)
        wait_for(lambda: editor.text(ID_PICTURE) == windows_path(fake), "the chosen file in the field")
        wait_for(lambda: editor.text(ID_STATUS).startswith("3 questions, 1 probl\u00e8me"), "one problem")
        problems, _ = editor.items(ID_PROBLEMS)
        self.assertEqual(len(problems), 1, problems)
        self.assertTrue(problems[0].startswith("Question 1, image : "), problems)
        self.assertIn(NOT_A_PICTURE, problems[0])
        self.assertEqual(editor.items(ID_QUESTIONS)[0][0], "1. photo.png \u2014 cercle (!)")

        # Dropped on a quiz just begun, the same file is the same problem.
        fresh = Editor(self, open_source=False)
        questions = fresh.rect(fresh.child(ID_QUESTIONS))
        harness.probe("drop", fresh.main, questions.x + 20, questions.y + 20, windows_path(fake))
        wait_for(lambda: any(NOT_A_PICTURE in p for p in fresh.items(ID_PROBLEMS)[0]), "the dropped file's problem")

    def test_a_build_into_a_folder_that_cannot_be_written_names_the_folder(self):
        # The quiz's folder goes away under the open editor (a removed stick,
        # a folder moved): its pictures are kept elsewhere, so that only the
        # writing can fail.
        pictures = tempfile.mkdtemp(prefix="vetra-images-")
        self.addCleanup(shutil.rmtree, pictures, True)
        for name in os.listdir(os.path.join(EXAMPLE, "media")):
            shutil.copy(os.path.join(EXAMPLE, "media", name), pictures)
        with open(os.path.join(EXAMPLE, "formes.toml"), encoding="utf-8") as f:
            text = f.read().replace('"media/', '"' + windows_path(pictures).replace("\\", "/") + "/")
        editor = Editor(self, source_text=text)
        self.assertEqual(editor.text(ID_STATUS), "3 questions, 0 probl\u00e8me")
        shutil.move(editor.quiz, editor.quiz + " parti")
        editor.command(CMD_BUILD)
        box = editor.box_text()
        self.assertIn(CANNOT_WRITE_FOLDER + ' "' + windows_path(editor.quiz) + '"', box)
        self.assertNotIn("lecteur", box)
        editor.answer_box(1)

    def test_quizpack_names_the_folder_it_cannot_write_to(self):
        folder = tempfile.mkdtemp(prefix="vetra-faults-")
        self.addCleanup(shutil.rmtree, folder, True)
        write(os.path.join(folder, "quiz.toml"),
              'kind = "text"\ntitle = "T"\nreward_codes = ["a"]\n[[question]]\nanswer = "un"\n')
        write(os.path.join(folder, "fichier"), "un fichier, pas un dossier\n")
        for name, target in (("a folder that does not exist", os.path.join("absent", "sous")),
                             ("a file in the folder's place", "fichier")):
            with self.subTest(name):
                output = windows_path(os.path.join(folder, target, "quiz.exe"))
                result = harness.run_quizpack("build", "quiz.toml", "-o", output, cwd=folder, check=False)
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stderr.splitlines(), ['%s: %s "%s"' % (
                    output, CANNOT_WRITE_FOLDER, windows_path(os.path.join(folder, target)))])
                self.assertEqual(sorted(os.listdir(folder)), ["fichier", "quiz.toml"])

    def test_what_the_editor_cannot_read_survives_saving_until_deleted(self):
        with open(os.path.join(EXAMPLE, "formes.toml"), encoding="utf-8") as f:
            text = f.read()
        text = text.replace("reveal =", 'titel = "Ma dict\u00e9e"\nreveal =', 1)
        text = text.replace("[[question]]\n", '[[question]]\npromt = "Le chien"\n', 1)
        editor = Editor(self, source_text=text, wait=False)
        self.assertIn("titel", editor.box_text())
        editor.answer_box(1)
        editor.wait_main()
        problems, _ = editor.items(ID_PROBLEMS)
        kept = [p for p in problems if "inconnue" in p]
        self.assertEqual(len(kept), 2, problems)
        self.assertTrue(kept[0].startswith("Cl\u00e9 \u00ab titel \u00bb : cl\u00e9 inconnue"), kept)
        self.assertTrue(kept[1].startswith("Question 1, cl\u00e9 \u00ab promt \u00bb : cl\u00e9 inconnue"), kept)
        for line in problems:
            self.assertNotIn(" = ", line, "the form's words, not the source's")

        editor.set_text(ID_TITLE, "Formes revues")
        editor.command(CMD_SAVE)
        wait_for(lambda: b"Formes revues" in editor.saved(), "the source saved")
        saved = editor.saved().decode("utf-8")
        self.assertIn('titel = "Ma dict\u00e9e"\n', saved)
        self.assertIn('promt = "Le chien"\n', saved.split("[[question]]")[1], "kept in its own question")

        # A double click on the problem offers to delete the key; the next save leaves it out.
        listbox = editor.child(ID_PROBLEMS)
        harness.probe("send", listbox, LB_SETCURSEL, problems.index(kept[0]), 0)
        harness.probe("post", editor.main, harness.WM_COMMAND, (LBN_DBLCLK << 16) | ID_PROBLEMS, listbox)
        self.assertIn("titel", editor.box_text())
        editor.answer_box(IDYES)
        wait_for(lambda: len([p for p in editor.items(ID_PROBLEMS)[0] if "inconnue" in p]) == 1, "one key left")
        editor.command(CMD_SAVE)
        wait_for(lambda: b"titel" not in editor.saved(), "the deleted key gone from the source")
        self.assertIn(b'promt = "Le chien"', editor.saved())

    def test_a_table_with_comments_builds_and_rows_are_named_alike(self):
        folder = tempfile.mkdtemp(prefix="vetra-faults-")
        self.addCleanup(shutil.rmtree, folder, True)
        write(os.path.join(folder, "capitales.csv"),
              "r\u00e9ponse;\u00c9nonc\u00e9;commentaire;code\nParis;France;Sur la Seine;A\nRome;Italie;Antique;B\n")
        result = harness.run_quizpack("import", "capitales.csv", cwd=folder)
        self.assertIn('reveal = "comment"', result.stdout)
        built = harness.run_quizpack("build", "capitales.toml", cwd=folder, check=False)
        self.assertEqual(built.returncode, 0, built.stderr)
        self.assertIn("ne montre pas les commentaires", built.stderr, "a text quiz shows no comment: a warning")
        self.assertTrue(os.path.exists(os.path.join(folder, "capitales.exe")))

        # A broken cell: quizpack and the editor name the same row and the column as the file does.
        bad = os.path.join(folder, "abime.csv")
        write(bad, 'r\u00e9ponse;\u00c9nonc\u00e9\nParis;France\nRome;"Italie"x\n')
        refused = harness.run_quizpack("import", "abime.csv", cwd=folder, check=False)
        self.assertEqual(refused.returncode, 1)
        where = "question 2, colonne \u00ab \u00c9nonc\u00e9 \u00bb"
        self.assertIn(where, refused.stderr)
        self.assertIn("(1 probl\u00e8me)", refused.stderr)
        editor = Editor(self, open_source=False)
        editor.command(CMD_IMPORT)
        choose_file(bad)
        self.assertIn(where, editor.box_text())
        editor.answer_box(1)

    def test_the_same_picture_on_two_questions_is_a_warning(self):
        folder = tempfile.mkdtemp(prefix="vetra-faults-")
        self.addCleanup(shutil.rmtree, folder, True)
        shutil.copytree(os.path.join(EXAMPLE, "media"), os.path.join(folder, "media"))
        with open(os.path.join(EXAMPLE, "formes.toml"), encoding="utf-8") as f:
            text = f.read()
        first = text.split('picture = "')[1].split('"')[0]
        second = text.split('picture = "')[2].split('"')[0]
        write(os.path.join(folder, "formes.toml"), text.replace(second, first))
        built = harness.run_quizpack("build", "formes.toml", cwd=folder, check=False)
        self.assertEqual(built.returncode, 0, built.stderr)
        self.assertIn('question 2, picture: "%s" sert d\u00e9j\u00e0 \u00e0 la question 1' % first, built.stderr)


if __name__ == "__main__":
    harness.main()
