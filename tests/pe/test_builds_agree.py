"""The 32-bit build we ship and the 64-bit build of the same sources make the
same quizzes. Every example packed into either player carries the same quiz
resources byte for byte, the 32-bit one stays a 32-bit program, and the page
written from either packed quiz is the same page. Where this machine runs
32-bit code, quizpack's two builds are also compared with each other: the
same packed quiz and the same page."""
import os
import shutil
import struct
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import harness  # noqa: E402

SHIPPED = os.environ.get("VETRA_SHIPPED_BUILD", os.path.join(harness.SOURCE, "build", "win32"))
RUNS_I386 = os.environ.get("VETRA_RUNS_I386") == "yes"


def examples():
    root = harness.EXAMPLES
    return [(folder, name) for folder in sorted(os.listdir(root)) if os.path.isdir(os.path.join(root, folder))
            for name in sorted(os.listdir(os.path.join(root, folder))) if name.endswith(".toml")]


def read(path):
    with open(path, "rb") as f:
        return f.read()


def machine(path):
    data = read(path)
    return struct.unpack_from("<H", data, struct.unpack_from("<I", data, 0x3C)[0] + 4)[0]


def shipped_quizpack_env():
    """The environment that runs the 32-bit quizpack: its own 32-bit prefix and Wine's usual loader."""
    env = dict(os.environ, WINEPREFIX=os.path.join(harness.SOURCE, "build", "wineprefix"), WINEARCH="win32")
    env.pop("WINELOADER", None)
    return env


def run(quizpack, args, cwd, env=None):
    result = harness.subprocess.run([harness.WINE if env is None else "wine", quizpack] + args, cwd=cwd,
                                    env=env, stdin=harness.subprocess.DEVNULL, capture_output=True, timeout=300)
    if result.returncode != 0:
        raise AssertionError("%s %s failed (%d): %s" % (quizpack, " ".join(args), result.returncode,
                                                        result.stdout + result.stderr))


class BuildsAgreeTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="vetra-builds-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def example(self, folder, name):
        here = os.path.join(self.folder, folder)
        shutil.copytree(os.path.join(harness.EXAMPLES, folder), here, dirs_exist_ok=True)
        return here, os.path.splitext(name)[0]

    def outputs(self, here, *builds):
        """A folder per build for what it writes: a page carries the name it is written under."""
        folders = [os.path.join(here, b) for b in builds]
        for f in folders:
            os.makedirs(f)
        return folders

    def test_every_example_packs_the_same_quiz_into_either_player(self):
        for folder, name in examples():
            with self.subTest(name):
                here, stem = self.example(folder, name)
                into32, into64 = self.outputs(here, "32", "64")
                for out, player in ((into32, SHIPPED), (into64, harness.BUILD)):
                    run(harness.QUIZPACK, ["build", name, "-o", harness.windows_path(os.path.join(out, stem + ".exe")),
                                           "--player", harness.windows_path(os.path.join(player, "vetra.exe"))], here)
                packed32, packed64 = (os.path.join(out, stem + ".exe") for out in (into32, into64))
                self.assertEqual(machine(packed32), 0x14C, "still the 32-bit player")
                self.assertEqual(machine(packed64), 0x8664)
                resources = harness.quiz_resources(packed32)
                self.assertIn(("PATCH", 104), resources)
                self.assertEqual(resources, harness.quiz_resources(packed64))
                # The page written from either packed quiz is one and the same.
                for out in (into32, into64):
                    run(harness.QUIZPACK, ["web", stem + ".exe", "-o", stem + ".html"], out)
                self.assertEqual(read(os.path.join(into32, stem + ".html")), read(os.path.join(into64, stem + ".html")))

    @unittest.skipUnless(RUNS_I386, "this machine runs no 32-bit code: the shipped quizpack cannot start here")
    def test_both_quizpacks_write_the_same_bytes(self):
        shipped = os.path.join(SHIPPED, "quizpack.exe")
        player = harness.windows_path(os.path.join(SHIPPED, "vetra.exe"))
        for folder, name in examples():
            with self.subTest(name):
                here, stem = self.example(folder, name)
                written = self.outputs(here, "by32", "by64")
                for out, quizpack, env in ((written[0], shipped, shipped_quizpack_env()),
                                           (written[1], harness.QUIZPACK, None)):
                    exe, page = (harness.windows_path(os.path.join(out, stem + e)) for e in (".exe", ".html"))
                    run(quizpack, ["build", name, "-o", exe, "--player", player], here, env)
                    run(quizpack, ["web", name, "-o", page], here, env)
                for extension in (".exe", ".html"):
                    self.assertEqual(read(os.path.join(written[0], stem + extension)),
                                     read(os.path.join(written[1], stem + extension)), extension)


if __name__ == "__main__":
    unittest.main(verbosity=2)
