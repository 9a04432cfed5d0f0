"""quizpack web as an author uses it: the example picture quiz, from its
source or from the player built of it, becomes one page that carries its
pictures, or a SCORM package holding that page; a quiz that would not build
is refused in the build's words and nothing is written."""
import os
import shutil
import tempfile
import unittest
import zipfile

import harness

EXAMPLE = os.path.join(harness.EXAMPLES, "pictures")


class QuizpackWebTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="vetra-web-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        shutil.copytree(EXAMPLE, self.folder, dirs_exist_ok=True)

    def test_a_page_and_a_package_from_the_source_and_from_the_player(self):
        page = harness.run_quizpack("web", "formes.toml", cwd=self.folder)
        self.assertIn("page web \u00e9crite dans formes.html", page.stdout)
        with open(os.path.join(self.folder, "formes.html"), encoding="utf-8") as f:
            html = f.read()
        self.assertTrue(html.startswith("<!DOCTYPE html>"))
        self.assertIn('lang="fr"', html)
        self.assertEqual(html.count("data:image/"), 6, "three pictures and their solutions, inline")

        harness.run_quizpack("build", "formes.toml", cwd=self.folder)
        package = harness.run_quizpack("web", "formes.exe", "--scorm", "-o", "plateforme.zip", cwd=self.folder)
        self.assertIn("paquet SCORM \u00e9crit dans plateforme.zip", package.stdout)
        with zipfile.ZipFile(os.path.join(self.folder, "plateforme.zip")) as archive:
            self.assertEqual(archive.namelist(), ["imsmanifest.xml", "plateforme.html"])
            inside = archive.read("plateforme.html").decode("utf-8")
        self.assertEqual(inside.count("data:image/"), 6)

    def test_a_quiz_that_would_not_build_writes_no_page(self):
        with open(os.path.join(self.folder, "formes.toml"), encoding="utf-8") as f:
            text = f.read()
        with open(os.path.join(self.folder, "formes.toml"), "w", encoding="utf-8") as f:
            f.write(text.replace('answer = "cercle"', 'answer = ""'))
        built = harness.run_quizpack("build", "formes.toml", cwd=self.folder, check=False)
        page = harness.run_quizpack("web", "formes.toml", cwd=self.folder, check=False)
        self.assertEqual((built.returncode, page.returncode), (1, 1))
        self.assertEqual(page.stderr, built.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.folder, "formes.html")))


if __name__ == "__main__":
    harness.main()
