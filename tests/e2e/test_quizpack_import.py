"""quizpack import as a teacher uses it: a table saved by a French spreadsheet
(Windows-1252, ";" between values, CRLF) becomes a UTF-8 quiz source named
after the table, which is never overwritten by a second import; that source
builds into a player that shows the accented texts and judges an accented
answer right. A table with a mistake gives its located French message and
writes nothing."""
import os
import shutil
import tempfile
import tomllib
import unittest

import harness
from harness import PlayerTest, Sheet, focus_keyboard, key, type_text, wait_for_value

TABLE = "capitales d'\u00e9t\u00e9.csv"
SOURCE = "capitales d'\u00e9t\u00e9.toml"
TITLE = "capitales d'\u00e9t\u00e9"

# Columns in another order than the quiz's, French names with accents and
# capitals, a value holding the separator, doubled quotes, and "œ" and "’",
# which Windows-1252 keeps in 0x80-0x9F where Latin-1 has none.
ROWS = [
    "R\u00e9ponse;\u00c9nonc\u00e9;Code",
    "Gen\u00e8ve;Ville suisse au bord du L\u00e9man;\u00c9T\u00c9",
    '"Paris; Lut\u00e8ce";"Le ""c\u0153ur"" de la France";ROUGE',
    "Bruxelles;Capitale de l\u2019Europe;BLEU",
]
QUESTIONS = [
    ("Ville suisse au bord du L\u00e9man", "Gen\u00e8ve"),
    ('Le "c\u0153ur" de la France', "Paris; Lut\u00e8ce"),
    ("Capitale de l\u2019Europe", "Bruxelles"),
]
CODES = ["\u00c9T\u00c9", "ROUGE", "BLEU"]


def spreadsheet_csv(rows):
    """The bytes a French spreadsheet saves as "CSV (point-virgule)"."""
    return "".join(row + "\r\n" for row in rows).encode("cp1252")


class QuizpackImportTest(PlayerTest):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="vetra-import-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def write(self, name, data):
        with open(os.path.join(self.folder, name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(os.path.join(self.folder, name), "rb") as f:
            return f.read()

    def import_table(self, *args):
        return harness.run_quizpack("import", *args, cwd=self.folder, check=False)

    def test_spreadsheet_table_becomes_a_source_that_is_never_overwritten(self):
        table = spreadsheet_csv(ROWS)
        self.assertIn(b"\x9c", table, "the table holds a byte that only Windows-1252 reads as a letter")
        self.write(TABLE, table)

        result = self.import_table(TABLE)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "")
        self.assertIn("3 questions import\u00e9es dans %s" % SOURCE, result.stdout)
        self.assertEqual(sorted(os.listdir(self.folder)), sorted([TABLE, SOURCE]))

        written = self.read(SOURCE)
        text = written.decode("utf-8")  # strict: a Windows-1252 byte left over fails here
        self.assertIn("Gen\u00e8ve", text)
        source = tomllib.loads(text)
        self.assertEqual(source["kind"], "text")
        self.assertEqual(source["title"], TITLE)
        self.assertEqual([(q.get("prompt"), q.get("answer")) for q in source["question"]], QUESTIONS)
        self.assertEqual(source["reward_codes"], CODES)

        # The author may have completed the source since: a second import leaves it alone, even with -o.
        edited = written + b"\n# compl\xc3\xa9t\xc3\xa9 \xc3\xa0 la main\n"
        self.write(SOURCE, edited)
        for args in ([TABLE], [TABLE, "-o", SOURCE]):
            again = self.import_table(*args)
            self.assertNotEqual(again.returncode, 0, args)
            self.assertIn("%s: ce fichier existe d\u00e9j\u00e0 et n'est pas \u00e9cras\u00e9" % SOURCE,
                          again.stderr, args)
            self.assertEqual(self.read(SOURCE), edited, args)
        self.assertEqual(sorted(os.listdir(self.folder)), sorted([TABLE, SOURCE]))

    def test_kind_option_and_output_name(self):
        self.write(TABLE, spreadsheet_csv(ROWS))
        result = self.import_table(TABLE, "--kind", "pictures", "-o", "images.toml")
        self.assertEqual(result.returncode, 0, result.stderr)
        source = tomllib.loads(self.read("images.toml").decode("utf-8"))
        self.assertEqual(source["kind"], "pictures")
        self.assertEqual(source["title"], TITLE, "the title comes from the table, not from -o")
        self.assertFalse(os.path.exists(os.path.join(self.folder, SOURCE)))

    def test_imported_source_builds_a_player_that_reads_and_judges_the_accents(self):
        self.write(TABLE, spreadsheet_csv(ROWS))
        self.assertEqual(self.import_table(TABLE).returncode, 0)
        harness.run_quizpack("build", SOURCE, "-o", "capitales.exe", "--player", os.path.abspath(harness.PLAYER),
                             cwd=self.folder)

        player = harness.Player(exe=os.path.join(self.folder, "capitales.exe"), name="capitales.exe")
        self.addCleanup(shutil.rmtree, player.workdir, True)
        self.addCleanup(player.kill)
        player.start()
        # The probe reads the controls' Windows-1252 bytes: a text left in UTF-8 would read "GenÃ¨ve".
        self.assertEqual(player.info(player.main).text, TITLE)
        sheet = Sheet(player)
        prompts = [c.text for c in player.controls(sheet.sheet) if c.id == 3000]
        self.assertEqual(prompts, [prompt for prompt, _ in QUESTIONS])
        self.assertEqual(sheet.verdicts(3), ["?"] * 3)
        self.assertEqual(sheet.score(), " 0 / 3")

        # An accented answer, set as the keyboard of a French layout would have typed it, then Enter.
        focus_keyboard(TITLE)
        sheet.click(4001)
        harness.probe("settext", player.child(sheet.sheet, 4001), "Gen\u00e8ve")
        self.assertEqual(wait_for_value(lambda: sheet.box(1), "Gen\u00e8ve"), "Gen\u00e8ve")
        key("Return")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(1), "BRAVO"), "BRAVO")
        self.assertEqual(sheet.score(), " 1 / 3")
        self.assertEqual(sheet.reward(), "\u00c9T\u00c9")

        # The answer that held the separator, in other capitals (only a..z fold, accents count).
        key("Tab")
        harness.probe("settext", player.child(sheet.sheet, 4002), "paris; lut\u00e8ce")
        key("Return")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(2), "BRAVO"), "BRAVO")
        self.assertEqual(sheet.reward(), "ROUGE")

        # And one typed on the real keyboard.
        key("Tab")
        type_text("bruxelles")
        key("Return")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(3), "BRAVO"), "BRAVO")
        self.assertEqual(sheet.score(), " 3 / 3")
        self.assertEqual(sheet.reward(), "BLEU")
        harness.screenshot("quizpack-import-played")
        self.assertEqual(player.close(), 0)

    def test_table_with_a_mistake_says_where_in_french_and_writes_nothing(self):
        cases = [
            # (name, rows, line of the problem, a part of its message)
            ("unknown column", ["R\u00e9ponse;Pays;\u00c9nonc\u00e9", "Gen\u00e8ve;Suisse;L\u00e9man"], 1,
             "la colonne B, \u00ab Pays \u00bb, n'est pas une colonne connue"),
            ("value past the named columns", ["R\u00e9ponse;\u00c9nonc\u00e9", "Gen\u00e8ve;L\u00e9man",
                                              "Berne;Aar;Suisse"], 3,
             "cette ligne a une valeur en colonne C, \u00ab Suisse \u00bb"),
        ]
        for name, rows, line, message in cases:
            with self.subTest(name):
                table = "erreur %d.csv" % line
                self.write(table, spreadsheet_csv(rows))
                before = sorted(os.listdir(self.folder))
                result = self.import_table(table)
                self.assertNotEqual(result.returncode, 0)
                self.assertEqual(result.stdout, "")
                first = result.stderr.splitlines()[0]
                self.assertTrue(first.startswith("%s:%d: " % (table, line)), first)
                self.assertIn(message, first)
                self.assertIn("rien n'a \u00e9t\u00e9 import\u00e9", result.stderr)
                self.assertEqual(sorted(os.listdir(self.folder)), before, "something was written")


if __name__ == "__main__":
    harness.main()
