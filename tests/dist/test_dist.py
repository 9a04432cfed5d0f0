"""The release zip as a Windows user gets it: built twice from the same tree it
is the same bytes; it holds the player, quizpack, the editor, one packed quiz
per example named after its source, the example sources with their media, and
a French LISEZMOI.txt in Windows-1252 with CR LF; unpacked into an empty
folder, every quiz in it starts under Wine with its own title, and so does the
bare player, also under names Windows would take for an installer; the editor
opens an example there and builds it with the player beside it.

The zip holds the 32-bit build. Where this machine runs no 32-bit code, it is
packed by the 64-bit quizpack, and what is started from it are the 64-bit
twins of its programs: the 64-bit build, and each example packed into the
64-bit player, whose quiz is checked to be the zip's byte for byte."""
import glob
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile
import tomllib
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "dist"))
import harness  # noqa: E402
import makeDist  # noqa: E402

EXAMPLES = harness.EXAMPLES
SAMPLE_TITLE = "Nom du vetra"
# The build the zip holds, and whether what it holds can be started here.
SHIPPED = os.path.abspath(os.environ.get("VETRA_SHIPPED_BUILD", harness.BUILD))
TWINS = SHIPPED != os.path.abspath(harness.BUILD)


def example_sources():
    """{stem: (path, parsed source)} of every example, found here rather than asked of makeDist."""
    found = {}
    for path in sorted(glob.glob(os.path.join(EXAMPLES, "*", "*.toml"))):
        with open(path, "rb") as f:
            found[os.path.splitext(os.path.basename(path))[0]] = (path, tomllib.load(f))
    return found


def read(path):
    with open(path, "rb") as f:
        return f.read()


SCRATCH = None
FIRST = SECOND = None


def setUpModule():
    # Two builds of the zip from the same tree, each packing the examples afresh.
    global SCRATCH, FIRST, SECOND
    SCRATCH = tempfile.mkdtemp(prefix="vetra-dist-test-")
    FIRST = os.path.join(SCRATCH, "first", makeDist.zip_name())
    SECOND = os.path.join(SCRATCH, "second", makeDist.zip_name())
    for path in (FIRST, SECOND):
        os.makedirs(os.path.dirname(path))
        makeDist.build_zip(SHIPPED, path, harness.SOURCE, SCRATCH, packer=harness.BUILD)


def tearDownModule():
    shutil.rmtree(SCRATCH, True)


class ReleaseZipTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.first, cls.second, cls.scratch = FIRST, SECOND, SCRATCH
        cls.zip = zipfile.ZipFile(FIRST)
        cls.names = cls.zip.namelist()
        cls.sources = example_sources()

    @classmethod
    def tearDownClass(cls):
        cls.zip.close()

    def test_is_named_after_the_version(self):
        self.assertEqual(os.path.basename(self.first), "vetra-2.1.4.3-win32.zip")

    def test_two_builds_give_the_same_bytes(self):
        self.assertEqual(read(self.first), read(self.second))

    def test_entries_share_one_date_and_windows_attributes(self):
        self.assertIsNone(self.zip.testzip())
        infos = self.zip.infolist()
        self.assertEqual(len({i.date_time for i in infos}), 1)
        for info in infos:
            self.assertEqual((info.create_system, info.external_attr), (0, 0x20), info.filename)

    def test_holds_the_programs_the_packed_examples_and_their_sources(self):
        expected = {"LISEZMOI.txt", "vetra.exe", "quizpack.exe", "atelier.exe"}
        for stem, (path, source) in self.sources.items():
            expected.add(stem + ".exe")
            expected.add("pages-web/" + stem + ".html")
            folder = "exemples/" + makeDist.EXAMPLE_FOLDERS[os.path.basename(os.path.dirname(path))]
            expected.add(folder + "/" + os.path.basename(path))
            for question in source["question"]:
                for key in ("picture", "solution", "clip"):
                    if key in question:
                        expected.add(folder + "/" + question[key])
        self.assertEqual(sorted(self.names), sorted(expected))
        self.assertEqual(len(self.names), len(set(self.names)), "an entry is written twice")

    def test_sources_and_media_are_the_examples_files_at_the_paths_they_name(self):
        for name in self.names:
            if not name.startswith("exemples/"):
                continue
            folder, rest = name[len("exemples/"):].split("/", 1)
            original = [k for k, v in makeDist.EXAMPLE_FOLDERS.items() if v == folder]
            with self.subTest(name):
                self.assertEqual(len(original), 1)
                self.assertEqual(self.zip.read(name), read(os.path.join(EXAMPLES, original[0], rest)))

    def test_programs_are_the_builds_and_examples_are_packed_players(self):
        for program in ("vetra.exe", "quizpack.exe", "atelier.exe"):
            self.assertEqual(self.zip.read(program), read(os.path.join(SHIPPED, program)), program)
        unpacked = os.path.join(self.scratch, "inspect")
        for stem in self.sources:
            with self.subTest(stem):
                path = self.zip.extract(stem + ".exe", unpacked)
                resources = harness.quiz_resources(path)
                self.assertIn(("PATCH", 104), resources)
                self.assertIn(("PATCH", 105), resources)

    def test_each_example_is_also_a_page_of_its_own(self):
        for stem, (path, source) in self.sources.items():
            with self.subTest(stem):
                page = self.zip.read("pages-web/" + stem + ".html").decode("utf-8")
                self.assertTrue(page.startswith("<!DOCTYPE html>"))
                self.assertIn("<title>%s</title>" % html.escape(source["title"], quote=False).replace('"', "&quot;"),
                              page)
                self.assertIn("default-src 'none'", page)  # fetches nothing, as mailed or served

    def test_readme_is_windows_1252_with_cr_lf(self):
        data = self.zip.read("LISEZMOI.txt")
        self.assertNotIn(b"\r\r", data)
        self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), "a line ends without CR")
        self.assertEqual(data.count(b"\r"), data.count(b"\r\n"), "a CR without LF")
        self.assertTrue(data.endswith(b"\r\n"))
        text = data.decode("cp1252")
        self.assertNotIn("@", text, "a placeholder was left")
        self.assertIn("\u00e9", text)  # accents as single Windows-1252 bytes, not UTF-8 pairs
        self.assertNotIn("\u00c3", text)
        for words in ("Vetra 2.1.4.3", "quizpack.exe", "atelier.exe", "quizpack build histoire.toml", "capitales.txt",
                      "Appuyez sur une touche", "quizpack import questions.csv", "pages-web",
                      "quizpack web histoire.toml --scorm"):
            self.assertIn(words, text)
        for stem in self.sources:
            self.assertIn(stem + ".exe", text)

    def test_readme_names_only_files_the_zip_holds(self):
        text = self.zip.read("LISEZMOI.txt").decode("cp1252")
        mentioned = re.findall(r"exemples\\[\w\\.-]+", text)
        self.assertTrue(mentioned)
        for path in mentioned:
            self.assertIn(path.replace("\\", "/"), self.names)


class UnpackedReleaseTest(unittest.TestCase):
    """Everything in the zip, unpacked into an empty folder, starts under Wine from there."""

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="vetra-release-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        with zipfile.ZipFile(FIRST) as z:
            z.extractall(self.folder)
        if TWINS:
            self.start_twins()

    def start_twins(self):
        """Puts the 64-bit twin of every program in the unpacked folder in its place."""
        sys.stderr.write("this machine runs no 32-bit code: the release's programs are started as their "
                         "64-bit twins\n")
        for program in ("vetra.exe", "quizpack.exe", "atelier.exe"):
            shutil.copyfile(os.path.join(harness.BUILD, program), os.path.join(self.folder, program))
        for stem, (path, _) in example_sources().items():
            packed = os.path.join(self.folder, stem + ".exe")
            twin = os.path.join(self.folder, stem + "-twin.exe")
            harness.run_quizpack("build", harness.windows_path(path), "-o", harness.windows_path(twin),
                                 "--player", harness.windows_path(harness.PLAYER))
            self.assertEqual(harness.quiz_resources(twin), harness.quiz_resources(packed), stem)
            os.replace(twin, packed)

    def start(self, name, title):
        player = harness.PlayerInPlace(os.path.join(self.folder, name))
        self.addCleanup(player.kill)
        player.start(wait=False)
        harness.wait_main_window(player)
        self.assertEqual(player.info(player.main).text, title, name)
        self.assertEqual(player.close(), 0, name)
        # The answers are kept beside it, named after it, as LISEZMOI.txt says.
        self.assertTrue(os.path.isfile(os.path.join(self.folder, name[:-4] + ".txt")), name)

    def test_each_packed_example_shows_its_title(self):
        for stem, (_, source) in example_sources().items():
            with self.subTest(stem):
                self.start(stem + ".exe", source["title"])

    def test_the_editor_opens_an_example_and_builds_it_with_the_player_beside_it(self):
        folder = os.path.join(self.folder, "exemples", "images")
        editor = subprocess.Popen([harness.WINE, os.path.join(self.folder, "atelier.exe"), "formes.toml"], cwd=folder,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: editor.poll() is None and (editor.kill(), editor.wait()))
        main = harness.probe("wait", "AtelierVetra", "-", 60000).strip()
        self.assertEqual(harness.Control(harness.probe("info", main).splitlines()[0]).text,
                         "formes.toml \u2014 Atelier Vetra")
        harness.probe("post", main, harness.WM_COMMAND, 40005, 0)  # Construire le quiz
        # A build that succeeds says so in the editor's status line.
        status = int(harness.probe("child", main, harness.EDITOR_IDS.idStatus).strip())
        harness.wait_for(lambda: "3 questions mises dans" in harness.Control(
            harness.probe("info", status).splitlines()[0]).text, "the status line says the build is done")
        self.assertEqual(read(os.path.join(folder, "formes.exe")), read(os.path.join(self.folder, "formes.exe")),
                         "the editor builds the example as the release packed it")
        harness.probe("post", main, harness.WM_CLOSE, 0, 0)
        self.assertEqual(editor.wait(timeout=60), 0)

    def test_bare_player_shows_the_sample_under_any_name(self):
        for name in ("vetra.exe", "patch-histoire.exe", "setup.exe"):
            with self.subTest(name):
                if name != "vetra.exe":
                    shutil.copyfile(os.path.join(self.folder, "vetra.exe"), os.path.join(self.folder, name))
                self.start(name, SAMPLE_TITLE)


if __name__ == "__main__":
    unittest.main(verbosity=2)
