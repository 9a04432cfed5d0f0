"""The quiz sheet and the header bar as a user meets them: the rows of each
kind of quiz where they belong, the wheel scrolling the sheet (twice as far
over the sheet as over the header bar), the labels painted by their verdict
and the number labels written black or white on the quiz colour.

Screenshots of each kind, at the default size and scrolled, are kept with the
other artifacts; with VETRA_SCREENSHOTS_TO_DOCS=1 they are also copied to
docs/screenshots/ (the pictures the documentation shows)."""
import os
import shutil
import time

import harness
from harness import EXAMPLES, PlayerTest

DOCS_SCREENSHOTS = os.path.join(harness.SOURCE, "docs", "screenshots")

WM_VSCROLL, WM_HSCROLL = 0x0115, 0x0114
SB_PAGEDOWN, SB_PAGERIGHT = 3, 3

# Styles as the platform reports them after creation; the edit control takes
# WS_BORDER out of its own style and draws the border itself.
TEXT_BOX, GRID_BOX = 0x50010281, 0x50010081
VERDICT, NUMBER, PROMPT, CAPTION = 0x50800201, 0x50000002, 0x50800201, 0x50000000
PICTURE, MEDIA_BUTTON, HIDDEN_COMMENT = 0x5080020E, 0x50010041, 0x40000001

# Brush colours as (red, green, blue).
RIGHT, WRONG, ANAGRAM, HINT, PROMPT_COLOUR = (0, 255, 0), (255, 0, 0), (255, 100, 0), (255, 203, 38), (255, 255, 192)
HEADER = (128, 128, 255)


def example(relative):
    """The source text and media files of an example quiz."""
    folder = os.path.dirname(os.path.join(EXAMPLES, relative))
    with open(os.path.join(EXAMPLES, relative), encoding="utf-8") as f:
        toml = f.read()
    media = {}
    media_dir = os.path.join(folder, "media")
    for name in sorted(os.listdir(media_dir)) if os.path.isdir(media_dir) else []:
        with open(os.path.join(media_dir, name), "rb") as f:
            media["media/" + name] = f.read()
    return toml, media


def text_quiz(rows, colour=(90, 95, 150), title="Feuille"):
    """A text quiz of (prompt, answer) rows."""
    lines = ['kind = "text"', 'title = "%s"' % title, "colour = [%d, %d, %d]" % colour,
             "reward_codes = [%s]" % ", ".join('"C%d"' % n for n in range(1, len(rows) + 1))]
    for prompt, answer in rows:
        lines += ["", "[[question]]", 'prompt = "%s"' % prompt, 'answer = "%s"' % answer]
    return "\n".join(lines) + "\n"


class SheetTest(PlayerTest):
    def launch_source(self, toml, media=None, files=None):
        exe = harness.pack_quiz(toml, media)
        player = harness.Player(exe=exe, name="quiz.exe", files=files)
        self.addCleanup(player.kill)
        return harness.start_answering(player)

    def rows(self, player, sheet):
        """The sheet's own controls in creation order, without the media player's host."""
        return [c for c in player.controls(sheet.handle) if c.depth == 0 and c.id != 9900]

    def expect_control(self, control, cls, style, rect, text=None):
        where = (control.id, control.text)
        self.assertEqual(control.cls.lower(), cls.lower(), where)
        self.assertEqual(control.style, style, where)
        self.assertEqual((control.x, control.y, control.w, control.h), rect, where)
        if text is not None:
            self.assertEqual(control.text, text, where)

    def by_id(self, controls, control_id):
        found = [c for c in controls if c.id == control_id]
        self.assertEqual(len(found), 1, control_id)
        return found[0]

    def keep_screenshot(self, player, name):
        """The main window alone, kept as an artifact (and in the documentation when asked)."""
        main = player.info(player.main)
        shot = harness.screenshot("sheet-full-" + name)
        out = harness.crop(shot, main.sx, main.sy, main.w, main.h,
                           os.path.join(harness.ARTIFACTS, "sheet-" + name + ".png"))
        if os.environ.get("VETRA_SCREENSHOTS_TO_DOCS") == "1":
            os.makedirs(DOCS_SCREENSHOTS, exist_ok=True)
            shutil.copyfile(out, os.path.join(DOCS_SCREENSHOTS, name + ".png"))
        return shot

    def screenshots_of_kind(self, player, sheet, kind):
        self.keep_screenshot(player, kind)
        harness.probe("send", sheet.handle, WM_VSCROLL, SB_PAGEDOWN, 0)
        harness.probe("send", sheet.handle, WM_HSCROLL, SB_PAGERIGHT, 0)
        time.sleep(0.5)
        self.keep_screenshot(player, kind + "-scrolled")

    # ---- One example of each kind --------------------------------------------

    def test_text_example(self):
        toml, media = example("text/capitales.toml")
        player = self.launch_source(toml, media)
        sheet, _ = harness.sheet_and_header(player)
        rows = self.rows(player, sheet)
        self.assertEqual([c.id for c in rows], [i for n in range(1, 6) for i in (153, 3000, 4000 + n, 5000 + n)])
        prompts = ["France", "Italie", "Espagne", "Autriche", "Pays-Bas"]
        for n in range(1, 6):
            y = 5 + 25 * (n - 1)
            number, prompt, box, verdict = rows[4 * (n - 1):4 * n]
            self.expect_control(number, "Static", NUMBER, (26, y + 2, 19, 17), "%d." % n)
            self.expect_control(prompt, "Static", PROMPT, (50, y, 550, 20), prompts[n - 1])
            self.expect_control(box, "Edit", TEXT_BOX, (610, y, 170, 20), "")
            self.expect_control(verdict, "Static", VERDICT, (790, y, 100, 20), "?")
        self.screenshots_of_kind(player, sheet, "text")
        self.assertEqual(player.close(), 0)

    def test_pictures_example(self):
        toml, media = example("pictures/formes.toml")
        player = self.launch_source(toml, media)
        sheet, _ = harness.sheet_and_header(player)
        rows = self.rows(player, sheet)
        self.assertEqual([c.id for c in rows],
                         [i for n in range(1, 4) for i in (9900 + n, 153, 4000 + n, 5000 + n, 8000 + n)])
        pictures = [self.by_id(rows, 9900 + n) for n in range(1, 4)]
        tallest = max(p.h for p in pictures)
        self.assertGreater(tallest, 0, "the pictures were loaded")
        shot = harness.screenshot("sheet-pictures-check")
        background = harness.pixel_at(shot, sheet.sx + 10, sheet.sy + 10)
        t = 5 + tallest + 10  # the answer area of the line
        comments = ["Aucun coin.", "Trois c\u00f4t\u00e9s.", "Quatre c\u00f4t\u00e9s \u00e9gaux."]
        for n in range(1, 4):
            x0 = 46 + 290 * (n - 1)
            picture = pictures[n - 1]
            self.expect_control(picture, "Static", PICTURE,
                                (x0 + (260 - picture.w) // 2, 5 + (tallest - picture.h) // 2, picture.w, picture.h))
            # A picture is drawn in the control: its middle is not the sheet's colour.
            self.assertNotEqual(harness.pixel_at(shot, picture.sx + picture.w // 2, picture.sy + picture.h // 2),
                                background, n)
            self.expect_control(self.by_id(rows, 4000 + n), "Edit", GRID_BOX, (x0, t, 260, 20), "")
            self.expect_control(self.by_id(rows, 5000 + n), "Static", VERDICT, (x0, t + 19, 260, 20), "?")
            self.expect_control(self.by_id(rows, 8000 + n), "Static", HIDDEN_COMMENT, (x0, t + 46, 260, 65),
                                comments[n - 1])
            self.assertEqual(self.by_id(rows, 8000 + n).visible, 0)
        numbers = [c for c in rows if c.id == 153]
        self.assertEqual([(c.x, c.y, c.text) for c in numbers], [(18 + 290 * i, t + 2, "%d." % (i + 1))
                                                                 for i in range(3)])
        self.screenshots_of_kind(player, sheet, "pictures")
        self.assertEqual(player.close(), 0)

    def test_audio_example(self):
        toml, media = example("audio/villes.toml")
        player = self.launch_source(toml, media)
        sheet, _ = harness.sheet_and_header(player)
        rows = self.rows(player, sheet)
        self.assertEqual([c.id for c in rows],
                         [i for n in range(1, 4) for i in (153, 4000 + n, 5000 + n, 6000 + n, 7000 + n, 8000 + n)])
        for n in range(1, 4):
            x0 = 46 + 290 * (n - 1)
            self.expect_control(self.by_id(rows, 4000 + n), "Edit", GRID_BOX, (x0 + 20, 5, 240, 20), "")
            self.expect_control(self.by_id(rows, 5000 + n), "Static", VERDICT, (x0 + 20, 24, 240, 20), "?")
            self.expect_control(self.by_id(rows, 6000 + n), "Button", MEDIA_BUTTON, (x0, 5, 20, 20), "")
            self.expect_control(self.by_id(rows, 7000 + n), "Button", MEDIA_BUTTON, (x0, 25, 20, 19), "")
            self.expect_control(self.by_id(rows, 8000 + n), "Static", HIDDEN_COMMENT, (x0, 51, 260, 65))
        self.screenshots_of_kind(player, sheet, "audio")
        self.assertEqual(player.close(), 0)

    def test_video_example_with_two_answers(self):
        toml, media = example("video/couleurs.toml")
        player = self.launch_source(toml, media)
        sheet, _ = harness.sheet_and_header(player)
        rows = self.rows(player, sheet)
        self.assertEqual([c.id for c in rows],
                         [156, 156, 153, 4001, 5001, 4002, 5002, 6001, 7001, 153, 4003, 5003, 4004, 5004, 6002, 7002])
        self.expect_control(rows[0], "Static", CAPTION, (4, 217, 95, 20), "Couleur")
        self.expect_control(rows[1], "Static", CAPTION, (3, 237, 95, 20), "Direction")
        for n in (1, 2):
            x0 = 106 + 290 * (n - 1)
            self.expect_control(rows[2 + 7 * (n - 1)], "Static", NUMBER, (x0 - 28, 217, 27, 17), "%d." % n)
            for j in (1, 2):
                k = 2 * n + j - 2
                y = 215 + 19 * (j - 1)
                self.expect_control(self.by_id(rows, 4000 + k), "Edit", GRID_BOX, (x0 + 20, y, 181, 20), "")
                self.expect_control(self.by_id(rows, 5000 + k), "Static", VERDICT, (x0 + 200, y, 60, 20), "?")
            self.expect_control(self.by_id(rows, 6000 + n), "Button", MEDIA_BUTTON, (x0, 215, 20, 20))
            self.expect_control(self.by_id(rows, 7000 + n), "Button", MEDIA_BUTTON, (x0, 235, 20, 19))
        self.screenshots_of_kind(player, sheet, "video")
        self.assertEqual(player.close(), 0)

    # ---- The wheel ------------------------------------------------------------

    def test_wheel_scrolls_twice_as_far_over_the_sheet(self):
        rows = [("Question %d" % n, "r%d" % n) for n in range(1, 31)]
        player = self.launch_source(text_quiz(rows))
        sheet, header = harness.sheet_and_header(player)
        first_box = player.child(sheet.handle, 4001)

        def box_top():
            return player.info(first_box).y

        self.assertEqual(box_top(), 5)
        steps = [  # where the pointer is (screen), wheel button (4 up, 5 down), where the box is afterwards
            ("sheet margin", (sheet.sx + 12, sheet.sy + 120), 5, 5 - 100),
            ("sheet margin again", (sheet.sx + 12, sheet.sy + 120), 5, 5 - 200),
            ("header bar", (header.sx + 300, header.sy + 10), 5, 5 - 250),
            ("header bar upwards", (header.sx + 300, header.sy + 10), 4, 5 - 200),
            ("sheet upwards", (sheet.sx + 12, sheet.sy + 120), 4, 5 - 100),
            ("sheet upwards to the top", (sheet.sx + 12, sheet.sy + 120), 4, 5),
            ("nothing above the top", (sheet.sx + 12, sheet.sy + 120), 4, 5),
        ]
        for name, (x, y), button, expected in steps:
            harness.xdotool("mousemove", x, y)
            time.sleep(0.2)
            harness.xdotool("click", button)
            deadline = time.time() + 5
            while box_top() != expected and time.time() < deadline:
                time.sleep(0.1)
            self.assertEqual(box_top(), expected, name)
        self.assertEqual(player.close(), 0)

    # ---- Colours --------------------------------------------------------------

    COLOUR_ROWS = [("Un", "Paris", "Paris", "BRAVO", RIGHT), ("Deux", "Non", "Oui", "FAUX", WRONG),
                   ("Trois", "Rome", "", "?", None), ("Quatre", "Madrid", "Dirdam", "Anagramme", ANAGRAM),
                   ("Cinq", "Amsterdam", "Amsterdam Centraal", "Trop long", HINT),
                   ("Six", "Vienne", "Viene", "Quasiment", HINT)]

    def launch_coloured(self, colour):
        progress = "".join(typed + "\r\n" for _, _, typed, _, _ in self.COLOUR_ROWS).encode("cp1252")
        player = self.launch_source(text_quiz([(p, a) for p, a, _, _, _ in self.COLOUR_ROWS], colour),
                                    files={"quiz.txt": progress})
        sheet, header = harness.sheet_and_header(player)
        return player, sheet, header, harness.screenshot("sheet-colours-%d-%d-%d" % colour)

    def text_pixels(self, shot, control):
        pixels = [p for row in harness.region_pixels(shot, control.sx, control.sy, control.w, control.h)
                  for p in row]
        white = sum(1 for p in pixels if min(p) >= 230)
        black = sum(1 for p in pixels if max(p) <= 30)
        return white, black

    def test_dark_colour_gives_white_numbers(self):
        colour = (50, 69, 255)
        player, sheet, header, shot = self.launch_coloured(colour)
        rows = self.rows(player, sheet)
        self.assertEqual(harness.pixel_at(shot, sheet.sx + 10, sheet.sy + 150), colour, "the sheet's background")
        self.assertEqual(harness.pixel_at(shot, header.sx + 3, header.sy + 3), HEADER, "the header's background")
        prompt = [c for c in rows if c.id == 3000][0]
        self.assertEqual(harness.pixel_at(shot, prompt.sx + 3, prompt.sy + 3), PROMPT_COLOUR, "a prompt label")
        # Red 50 and green 69, neither above 69: white text on the quiz colour.
        for number in [c for c in rows if c.id == 153]:
            self.assertEqual(harness.pixel_at(shot, number.sx + 1, number.sy + 1), colour, number.text)
            white, black = self.text_pixels(shot, number)
            self.assertGreater(white, 0, number.text)
            self.assertEqual(black, 0, number.text)
        self.assertEqual(player.close(), 0)

    def test_light_colour_gives_black_numbers_and_verdicts_are_painted_by_text(self):
        colour = (70, 69, 255)
        player, sheet, header, shot = self.launch_coloured(colour)
        for number in [c for c in self.rows(player, sheet) if c.id == 153]:
            self.assertEqual(harness.pixel_at(shot, number.sx + 1, number.sy + 1), colour, number.text)
            white, black = self.text_pixels(shot, number)
            self.assertGreater(black, 0, number.text)
            self.assertEqual(white, 0, number.text)
        # "?" keeps the system colours, those of the "Sauver" button's face.
        save = player.info(player.child(header.handle, 27))
        system_face = harness.pixel_at(shot, save.sx + 4, save.sy + 4)

        # The verdict labels lie right of the visible part until the sheet is scrolled.
        harness.probe("send", sheet.handle, WM_HSCROLL, SB_PAGERIGHT, 0)
        time.sleep(0.5)
        rows = self.rows(player, sheet)
        shot = harness.screenshot("sheet-colours-verdicts")
        for n, (_, _, _, verdict, paint) in enumerate(self.COLOUR_ROWS, start=1):
            label = self.by_id(rows, 5000 + n)
            self.assertEqual(label.text, verdict, n)
            self.assertGreaterEqual(label.x, 0, "label %d is in view" % n)
            self.assertLessEqual(label.x + label.w, sheet.cw, "label %d is in view" % n)
            self.assertEqual(harness.pixel_at(shot, label.sx + 3, label.sy + 3), paint or system_face,
                             "%s label" % verdict)
        self.assertEqual(player.close(), 0)

if __name__ == "__main__":
    harness.main()
