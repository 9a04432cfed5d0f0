"""Atelier Vetra with an answer to try and with pictures, driven from outside:
the verdict the player would show for a typed answer, on the player's
colours; the pictures previewed as the player fits them; a picture quiz made
from nothing with "Parcourir...", saved (pictures from elsewhere copied beside
the source), built and played; pictures dropped on the window becoming
questions; a packed quiz opened, saved as a source and built back into the
same resources; the quiz colour chosen in the platform's colour chooser."""
import glob
import os
import random
import re
import shutil
import subprocess
import sys
import time
import tomllib
import unittest

import harness
import peresources
from harness import EDITOR_IDS as _E
from harness import quiz_resources, wait_for, windows_path
from test_editor import (CMD_ADD, CMD_BUILD, CMD_OPEN, CMD_SAVE, ID_ANSWER, ID_PICTURE, ID_PROBLEMS, ID_QUESTIONS, ID_STATUS,
                         ID_TITLE, IDNO, LB_SETCURSEL, LBN_SELCHANGE, Editor, choose_file)

ID_KIND, ID_REVEAL, ID_REWARD_CODES, ID_COLOUR_SWATCH, ID_COLOUR_CHOOSE = (_E.idKind, _E.idReveal, _E.idRewardCodes,
                                                                           _E.idColourSwatch, _E.idColourChoose)
ID_SOLUTION, ID_TRY_ANSWER, ID_TRY_VERDICT, ID_TRY_ANSWER2 = (_E.idSolution, _E.idTryAnswer, _E.idTryVerdict,
                                                              _E.idTryAnswer2)
ID_BROWSE_PICTURE, ID_PREVIEW_PICTURE, ID_PREVIEW_SOLUTION = (_E.idBrowsePicture, _E.idPreviewPicture,
                                                              _E.idPreviewSolution)
CMD_COMPLETE_CODES = _E.cmdCompleteCodes
# The player's verdict colours (quiz/quiz.h) as (red, green, blue).
RIGHT, WRONG, ANAGRAM, HINT = (0, 255, 0), (255, 0, 0), (255, 100, 0), (255, 203, 38)
FORMES_COLOUR = (0x35, 0xCB, 0xA3)
RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
# The platform colour chooser's red, green and blue boxes.
COLOR_RED, COLOR_GREEN, COLOR_BLUE = 706, 707, 708


def make_picture(path, width, height, colour):
    """A picture of one colour; PNG or JPEG by the name's extension."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    name = ("PNG24:" if path.endswith(".png") else "") + path
    subprocess.run(["convert", "-size", "%dx%d" % (width, height), "xc:rgb(%d,%d,%d)" % colour, name], check=True)
    return path


def near(pixel, colour, tolerance=6):
    """JPEG and the platform's scaling may move a colour a little."""
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


def keep_screenshot(editor, name):
    """The editor's window alone, kept as an artifact (and in the documentation when asked)."""
    window = editor.rect(editor.main)
    shot = harness.screenshot(name + "-full")
    out = harness.crop(shot, window.sx, window.sy, window.w, window.h, os.path.join(harness.ARTIFACTS, name + ".png"))
    if os.environ.get("VETRA_SCREENSHOTS_TO_DOCS") == "1":
        docs = os.path.join(harness.SOURCE, "docs", "screenshots")
        os.makedirs(docs, exist_ok=True)
        shutil.copyfile(out, os.path.join(docs, name + ".png"))
    return out


def select_question(editor, index):
    harness.probe("send", editor.child(ID_QUESTIONS), LB_SETCURSEL, index, 0)
    harness.probe("send", editor.main, harness.WM_COMMAND, (LBN_SELCHANGE << 16) | ID_QUESTIONS,
                  editor.child(ID_QUESTIONS))


class EditorMediaTest(unittest.TestCase):
    def test_an_answer_tried_shows_the_players_verdict_on_its_colours(self):
        editor = Editor(self)
        self.assertFalse(editor.enabled(ID_TRY_ANSWER2), "one answer per question: no second box")
        # Typed like a person: two letters of "cercle" swapped.
        editor.click(ID_TRY_ANSWER)
        harness.xdotool("type", "--delay", "60", "cerlce")
        wait_for(lambda: editor.text(ID_TRY_VERDICT) == "Anagramme", "the verdict Anagramme")
        keep_screenshot(editor, "editor")
        rows = [
            ("cerlce", 0, "Anagramme", ANAGRAM),
            ("  CERCLE ", 0, "BRAVO", RIGHT),
            ("cerclr", 0, "Quasiment", HINT),
            ("rond", 0, "FAUX", WRONG),
            ("", 0, "?", None),
            # The third question's answer is "carré": the accent counts as one letter, as in the player.
            ("carre", 2, "Quasiment", HINT),
            ("CARR\u00c9", 2, "Quasiment", HINT),
            ("carr\u00e9", 2, "BRAVO", RIGHT),
        ]
        for typed, question, verdict, colour in rows:
            with self.subTest(typed=typed, question=question):
                select_question(editor, question)
                harness.probe("settextw", editor.child(ID_TRY_ANSWER), typed)
                wait_for(lambda: editor.text(ID_TRY_VERDICT) == verdict, "the verdict %r" % verdict)
                if colour:
                    label = editor.rect(editor.child(ID_TRY_VERDICT))
                    shot = harness.screenshot("editor-try")
                    self.assertEqual(harness.pixel_at(shot, label.sx + 4, label.sy + label.h // 2), colour)
        self.assertEqual(editor.title(), "formes.toml \u2014 Atelier Vetra", "trying an answer changes nothing")

    def test_pictures_are_previewed_as_the_player_fits_them(self):
        editor = Editor(self)
        make_picture(os.path.join(editor.quiz, "media", "large.png"), 200, 100, RED)
        make_picture(os.path.join(editor.quiz, "media", "haute.jpg"), 100, 200, BLUE)
        picture = editor.rect(editor.child(ID_PREVIEW_PICTURE))
        solution = editor.rect(editor.child(ID_PREVIEW_SOLUTION))
        self.assertEqual((picture.visible, picture.w, picture.h), (1, 130, 130), "half the player's cell")
        self.assertEqual((solution.visible, solution.w, solution.h), (1, 130, 130))
        editor.set_text(ID_PICTURE, "media/large.png")
        editor.set_text(ID_SOLUTION, "media/haute.jpg")
        shot = harness.screenshot("editor-preview")
        # 200 x 100 fits the 260 cell as 260 x 130, shown at half: 130 x 65, centred (rows 32 to 96).
        x, y = picture.sx, picture.sy
        for dx, dy, colour in ((65, 64, RED), (65, 34, RED), (65, 95, RED), (65, 29, FORMES_COLOUR),
                               (65, 99, FORMES_COLOUR), (2, 64, RED), (127, 64, RED)):
            with self.subTest(picture=(dx, dy)):
                self.assertTrue(near(harness.pixel_at(shot, x + dx, y + dy), colour),
                                (dx, dy, harness.pixel_at(shot, x + dx, y + dy)))
        # 100 x 200 (a JPEG, decoded by the platform) fits as 130 x 260, shown as 65 x 130 (columns 32 to 96).
        x, y = solution.sx, solution.sy
        for dx, dy, colour in ((64, 65, BLUE), (34, 65, BLUE), (95, 65, BLUE), (29, 65, FORMES_COLOUR),
                               (99, 65, FORMES_COLOUR), (64, 2, BLUE)):
            with self.subTest(solution=(dx, dy)):
                self.assertTrue(near(harness.pixel_at(shot, x + dx, y + dy), colour),
                                (dx, dy, harness.pixel_at(shot, x + dx, y + dy)))

        # A file that is no picture, a PNG cut short, a folder: no picture, nothing breaks.
        with open(os.path.join(editor.quiz, "media", "large.png"), "rb") as f:
            cut = f.read()[:120]
        with open(os.path.join(editor.quiz, "media", "coupee.png"), "wb") as f:
            f.write(cut)
        for path in ("formes.toml", "media/coupee.png", "media"):
            with self.subTest(broken=path):
                editor.set_text(ID_PICTURE, path)
                shot = harness.screenshot("editor-preview-broken")
                # Around the note written in the middle, the quiz colour only.
                for dx, dy in ((65, 40), (4, 64), (65, 100)):
                    self.assertTrue(near(harness.pixel_at(shot, picture.sx + dx, picture.sy + dy), FORMES_COLOUR))
                self.assertEqual(editor.text(ID_PICTURE), path)

        # A reveal without the solution picture hides its preview; a text quiz shows none.
        editor.select(ID_REVEAL, 2)  # the comment alone
        self.assertEqual([editor.rect(editor.child(i)).visible for i in (ID_PREVIEW_PICTURE, ID_PREVIEW_SOLUTION)],
                         [1, 0])
        editor.select(ID_KIND, 0)
        self.assertEqual([editor.rect(editor.child(i)).visible for i in (ID_PREVIEW_PICTURE, ID_PREVIEW_SOLUTION)],
                         [0, 0])

    def test_a_picture_quiz_made_from_nothing_is_saved_built_and_played(self):
        editor = Editor(self, open_source=False)
        self.assertEqual(editor.title(), "Sans titre \u2014 Atelier Vetra")
        photos = os.path.join(editor.root, "mes photos")
        rows = [("rouge", make_picture(os.path.join(photos, "rouge.png"), 120, 90, RED)),
                ("vert", make_picture(os.path.join(photos, "vert.png"), 90, 120, GREEN)),
                ("bleu", make_picture(os.path.join(photos, "bleu.jpg"), 100, 100, BLUE))]
        editor.select(ID_KIND, 1)
        editor.set_text(ID_TITLE, "Trois couleurs")
        for n, (answer, photo) in enumerate(rows):
            if n > 0:
                editor.command(CMD_ADD)
                wait_for(lambda: len(editor.items(ID_QUESTIONS)[0]) == n + 1, "question %d added" % (n + 1))
            editor.set_text(ID_ANSWER, answer)
            editor.click(ID_BROWSE_PICTURE)
            choose_file(photo)
            wait_for(lambda: editor.text(ID_PICTURE) == windows_path(photo), "the picture of %s" % answer)
        # One code per line, typed.
        editor.click(ID_REWARD_CODES)
        harness.xdotool("type", "--delay", "40", "UN\nDEUX\nTROIS")
        wait_for(lambda: editor.text(ID_REWARD_CODES) == "UN\r\nDEUX\r\nTROIS", "the codes typed")
        self.assertEqual(editor.text(ID_STATUS), "3 questions, 0 probl\u00e8me", editor.items(ID_PROBLEMS))
        self.assertEqual(editor.items(ID_QUESTIONS), (["1. rouge.png \u2014 rouge", "2. vert.png \u2014 vert", "3. bleu.jpg \u2014 bleu"], 2))

        editor.command(CMD_SAVE)
        source = os.path.join(editor.quiz, "couleurs.toml")
        choose_file(source)
        wait_for(lambda: editor.title() == "couleurs.toml \u2014 Atelier Vetra", "saved as couleurs.toml")
        self.assertTrue(editor.text(ID_STATUS).endswith("3 fichiers copi\u00e9s dans couleurs-media"),
                        editor.text(ID_STATUS))
        with open(source, "rb") as f:
            saved = tomllib.loads(f.read().decode("utf-8"))
        self.assertEqual(saved["title"], "Trois couleurs")
        self.assertEqual(saved["kind"], "pictures")
        self.assertEqual(saved["reward_codes"], ["UN", "DEUX", "TROIS"])
        self.assertEqual([q["picture"] for q in saved["question"]],
                         ["couleurs-media/rouge.png", "couleurs-media/vert.png", "couleurs-media/bleu.jpg"])
        for answer, photo in rows:
            with open(photo, "rb") as a, open(os.path.join(editor.quiz, "couleurs-media", os.path.basename(photo)),
                                             "rb") as b:
                self.assertEqual(a.read(), b.read(), "the copy of " + photo)
        self.assertEqual(editor.text(ID_PICTURE), "couleurs-media/bleu.jpg", "the field names the copy")

        editor.command(CMD_BUILD)
        editor.wait_built("3 questions mises dans")
        built = os.path.join(editor.quiz, "couleurs.exe")
        self.assertTrue(os.path.exists(built))
        # The built quiz, played in a folder of its own, through the player's own helpers.
        player = harness.Player(exe=built, name="couleurs.exe")
        self.addCleanup(player.kill)
        harness.start_answering(player)
        sheet, header = harness.sheet_and_header(player)
        self.assertTrue([c for c in player.controls(header.handle) if c.text == "Trois couleurs"],
                        "the title in the header bar")
        controls = player.controls(sheet.handle)
        self.assertEqual(sorted(c.id for c in controls if c.cls.lower() == "edit"), [4001, 4002, 4003])
        self.assertEqual(len([c for c in controls if 9901 <= c.id <= 9903]), 3)
        # Large enough for the three pictures of the row to show.
        harness.probe("move", player.main, 0, 0, 1000, 700)
        wait_for(lambda: max(c.sx + c.w for c in player.controls(sheet.handle) if 9901 <= c.id <= 9903) < 1000,
                 "the row of pictures on the screen")
        pictures = [c for c in player.controls(sheet.handle) if 9901 <= c.id <= 9903]
        shot = harness.screenshot("editor-built-quiz")
        for picture, colour in zip(sorted(pictures, key=lambda c: c.id), (RED, GREEN, BLUE)):
            with self.subTest(picture=picture.id):
                self.assertGreater(picture.w, 0)
                self.assertTrue(near(harness.pixel_at(shot, picture.sx + picture.w // 2, picture.sy + picture.h // 2),
                                     colour))
        self.assertEqual(player.close(), 0)

    def test_pictures_dropped_on_the_list_become_questions(self):
        editor = Editor(self, open_source=False)
        photos = os.path.join(editor.root, "photos")
        names = ["vue10.png", "vue2.jpg", "vue1.png", "notes.txt"]
        for name in names[:3]:
            make_picture(os.path.join(photos, name), 40, 30, RED)
        with open(os.path.join(photos, "notes.txt"), "w") as f:
            f.write("pas une image\n")
        questions = editor.rect(editor.child(ID_QUESTIONS))
        harness.probe("drop", editor.main, questions.x + 20, questions.y + 20,
                      *[windows_path(os.path.join(photos, n)) for n in names])
        wait_for(lambda: len(editor.items(ID_QUESTIONS)[0]) == 3, "three questions")
        self.assertEqual(editor.items(ID_QUESTIONS),
                         (["1. vue1.png (!)", "2. vue2.jpg (!)", "3. vue10.png (!)"], 0))
        self.assertEqual(editor.text(ID_KIND), "images")
        self.assertTrue(editor.text(ID_STATUS).endswith(
            "3 questions ajout\u00e9es, 1 fichier laiss\u00e9 de c\u00f4t\u00e9"), editor.text(ID_STATUS))
        order = []
        for n in range(3):
            select_question(editor, n)
            order.append(editor.text(ID_PICTURE))
        self.assertEqual(order, [windows_path(os.path.join(photos, n)) for n in ("vue1.png", "vue2.jpg", "vue10.png")])
        self.assertEqual(editor.title(), "Sans titre* \u2014 Atelier Vetra")

        # A source dropped on the window opens it, after the question about the changes.
        harness.probe("drop", editor.main, 10, 10, windows_path(editor.source))
        self.assertEqual(editor.box_text(), "Enregistrer les modifications ?")
        editor.answer_box(IDNO)
        wait_for(lambda: editor.title() == "formes.toml \u2014 Atelier Vetra", "the dropped source opened")
        self.assertEqual(editor.items(ID_QUESTIONS)[0],
                         ["1. 1.jpg \u2014 cercle", "2. 2.png \u2014 triangle", "3. 3.png \u2014 carr\u00e9"])

    def test_a_packed_quiz_opens_and_saves_as_a_source_that_builds_the_same_quiz(self):
        editor = Editor(self)
        packed = os.path.join(editor.quiz, "formes.exe")
        harness.run_quizpack("build", "formes.toml", "-o", "formes.exe", "--player",
                             os.path.join(editor.program, "vetra.exe"), cwd=editor.quiz)
        temporary = glob.glob(os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", "*", "Temp",
                                           "Atelier Vetra", "extrait-*"))
        editor.command(CMD_OPEN)
        choose_file(packed)
        wait_for(lambda: editor.title() == "Sans titre* \u2014 Atelier Vetra", "the packed quiz opened")
        # The pictures as the player's resources name them.
        self.assertEqual(editor.items(ID_QUESTIONS)[0],
                         ["1. 401.jpg \u2014 cercle", "2. 402.png \u2014 triangle", "3. 403.png \u2014 carr\u00e9"])
        self.assertEqual(editor.text(ID_TITLE), "Formes g\u00e9om\u00e9triques")

        elsewhere = os.path.join(editor.root, "extrait")
        os.makedirs(elsewhere)
        editor.command(CMD_SAVE)
        choose_file(os.path.join(elsewhere, "copie.toml"))
        wait_for(lambda: editor.title() == "copie.toml \u2014 Atelier Vetra", "saved as copie.toml")
        # Named as quizpack extract names them: by resource number.
        self.assertEqual(sorted(os.listdir(os.path.join(elsewhere, "copie-media"))),
                         ["10401.png", "10402.jpg", "10403.png", "401.jpg", "402.png", "403.png"])
        harness.run_quizpack("build", "copie.toml", "-o", "copie.exe", "--player",
                             os.path.join(editor.program, "vetra.exe"), cwd=elsewhere)
        original = quiz_resources(packed)
        rebuilt = quiz_resources(os.path.join(elsewhere, "copie.exe"))
        self.assertIn(("PATCH", 104), original)
        self.assertIn(("PATCH", 105), original)
        self.assertEqual(sorted(original, key=str), sorted(rebuilt, key=str))
        for key in original:
            self.assertTrue(original[key] == rebuilt[key], "resource %r differs" % (key,))
        # The pictures it waited with under the temporary folder go with the editor.
        harness.probe("post", editor.main, harness.WM_CLOSE, 0, 0)
        self.assertEqual(editor.process.wait(timeout=60), 0)
        self.assertEqual(glob.glob(os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", "*", "Temp",
                                                "Atelier Vetra", "extrait-*")), temporary)

    def test_a_file_named_exe_that_is_no_program_is_refused_by_name(self):
        editor = Editor(self)
        fake = os.path.join(editor.quiz, "faux.exe")
        with open(fake, "w") as f:
            f.write("pas un programme\n")
        editor.command(CMD_OPEN)
        choose_file(fake)
        self.assertIn("faux.exe", editor.box_text())
        editor.answer_box(1)
        self.assertEqual(editor.title(), "formes.toml \u2014 Atelier Vetra", "the quiz open stays")
        self.assertEqual(len(editor.items(ID_QUESTIONS)[0]), 3)

    def test_the_colour_comes_from_the_platforms_chooser(self):
        editor = Editor(self)
        editor.click(ID_COLOUR_CHOOSE)
        harness.screenshot("editor-colour-chooser")
        dialog = int(harness.probe("wait", "#32770", "-", 30000).strip())
        for box, value in ((COLOR_RED, 200), (COLOR_GREEN, 40), (COLOR_BLUE, 10)):
            harness.probe("settext", editor_child(dialog, box), str(value))
        harness.probe("post", dialog, harness.WM_COMMAND, 1, 0)
        wait_for(lambda: editor.title() == "formes.toml* \u2014 Atelier Vetra", "the colour changed the quiz")
        swatch = editor.rect(editor.child(ID_COLOUR_SWATCH))
        shot = harness.screenshot("editor-colour")
        self.assertEqual(harness.pixel_at(shot, swatch.sx + swatch.w // 2, swatch.sy + swatch.h // 2), (200, 40, 10))
        editor.command(CMD_SAVE)
        wait_for(lambda: editor.title() == "formes.toml \u2014 Atelier Vetra", "saved")
        self.assertEqual(tomllib.loads(editor.saved().decode("utf-8"))["colour"], "#C8280A")

    def test_french_texts_are_saved_and_built_right_on_a_russian_windows(self):
        russian = dict(os.environ, LANG="ru_RU.UTF-8", LC_ALL="ru_RU.UTF-8")
        codepages = subprocess.run([harness.WINE, harness.PROBE, "codepages"], env=russian, capture_output=True,
                                   stdin=subprocess.DEVNULL).stdout.split()
        self.assertEqual(codepages, [b"1251", b"866"], "Wine under ru_RU gives the code pages of a Russian Windows")
        editor = Editor(self, env=russian)
        # Letters code page 1251 lacks (é, à, ë, œ) and some it has at other bytes (« »).
        title = "G\u00e9ographie : \u00e9t\u00e9 \u00e0 No\u00ebl, \u00ab \u0153uvres \u00bb"
        harness.probe("settextw", editor.child(ID_TITLE), title)
        harness.probe("settextw", editor.child(ID_ANSWER), "c\u0153ur")
        self.assertEqual(editor.text(ID_STATUS), "3 questions, 0 probl\u00e8me")
        editor.command(CMD_SAVE)
        wait_for(lambda: editor.title() == "formes.toml \u2014 Atelier Vetra", "saved")
        saved = tomllib.loads(editor.saved().decode("utf-8"))
        self.assertEqual((saved["title"], saved["question"][0]["answer"]), (title, "c\u0153ur"))
        editor.command(CMD_BUILD)
        editor.wait_built("3 questions mises dans")
        built = os.path.join(editor.quiz, "formes.exe")
        harness.run_quizpack("build", "formes.toml", "-o", "reference.exe", "--player",
                             os.path.join(editor.program, "vetra.exe"), cwd=editor.quiz)
        self.assertTrue(peresources.read(built) == peresources.read(os.path.join(editor.quiz, "reference.exe")),
                        "the editor under code page 1251 builds what quizpack builds under 1252")
        # The player (a Windows-1252 program) shows the title as typed.
        player = harness.Player(exe=built, name="formes.exe")
        self.addCleanup(player.kill)
        harness.start_answering(player)
        _, header = harness.sheet_and_header(player)
        self.assertTrue([c for c in player.controls(header.handle) if c.text == title],
                        [c.text for c in player.controls(header.handle)])
        self.assertEqual(player.close(), 0)

    def test_thirty_pictures_dropped_then_answered_from_the_keyboard(self):
        """The gesture a picture quiz is made with: one drop, then each answer typed and Enter for the next.
        The time it takes is written to the artifacts for the record, not checked."""
        editor = Editor(self, open_source=False)
        photos = os.path.join(editor.root, "photos")
        files = [make_picture(os.path.join(photos, "photo%d.png" % n), 60, 40, (8 * n, 255 - 8 * n, 128))
                 for n in range(1, 31)]
        random.Random(30).shuffle(files)
        started = time.monotonic()
        questions = editor.rect(editor.child(ID_QUESTIONS))
        harness.probe("drop", editor.main, questions.x + 20, questions.y + 20, *[windows_path(f) for f in files])
        wait_for(lambda: len(editor.items(ID_QUESTIONS)[0]) == 30, "thirty questions")
        editor.click(ID_TITLE)
        harness.xdotool("type", "--delay", "40", "Trente photos")
        editor.click(ID_ANSWER)
        answers = ["r%d" % n for n in range(1, 31)]
        for answer in answers:
            harness.xdotool("type", "--delay", "40", answer)
            harness.xdotool("key", "Return")
        wait_for(lambda: re.fullmatch(r"30\. photo\d+\.png \u2014 r30", editor.items(ID_QUESTIONS)[0][29]),
                 "the thirty answers typed")
        # Thirty codes are not made up by hand: the editor completes them.
        self.assertIn("Codes de r\u00e9compense : manque", editor.items(ID_PROBLEMS)[0][0])
        editor.command(CMD_COMPLETE_CODES)
        wait_for(lambda: editor.text(ID_STATUS) == "30 questions, 0 probl\u00e8me", "no problem left")
        harness.xdotool("key", "ctrl+s")
        source = os.path.join(editor.quiz, "trente.toml")
        choose_file(source)
        wait_for(lambda: editor.title() == "trente.toml \u2014 Atelier Vetra", "saved")
        harness.xdotool("key", "ctrl+b")
        editor.wait_built("30 questions mises dans")
        elapsed = time.monotonic() - started
        with open(source, "rb") as f:
            saved = tomllib.loads(f.read().decode("utf-8"))
        self.assertEqual([q["answer"] for q in saved["question"]], answers)
        self.assertEqual([q["picture"] for q in saved["question"]],
                         ["trente-media/photo%d.png" % n for n in range(1, 31)], "name order, numbers by value")
        self.assertEqual(len(os.listdir(os.path.join(editor.quiz, "trente-media"))), 30)
        self.assertEqual(len(set(saved["reward_codes"])), 30, saved["reward_codes"])
        self.assertTrue(os.path.exists(os.path.join(editor.quiz, "trente.exe")))
        os.makedirs(harness.ARTIFACTS, exist_ok=True)
        with open(os.path.join(harness.ARTIFACTS, "editor-thirty-pictures.txt"), "w") as f:
            f.write("drop, title, 30 answers, codes completed, save, build: %.1f s (xdotool typing at 40 ms a key)\n"
                    % elapsed)
        sys.stderr.write("thirty pictures: %.1f s from the drop to the built quiz\n" % elapsed)


def editor_child(parent, control_id):
    return int(harness.probe("child", parent, control_id).strip())


if __name__ == "__main__":
    harness.main()
