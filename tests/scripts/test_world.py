"""What the scripts decide about this machine (scripts/lib/world.sh and
session.sh): whether it runs 32-bit x86 code, which Windows build the tiers
run, under which Wine loader and prefix, what setup installs and what
scripts/test runs of each Windows tree. The decision is faked both ways, so
that a machine of either kind checks the other's choices too."""
import os
import struct
import subprocess
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


def shell(script, **env):
    """Runs bash with world.sh and session.sh sourced; returns (exit code, output)."""
    clean = {k: v for k, v in os.environ.items()
             if not k.startswith(("VETRA_", "WINE"))}
    clean.update(env)
    result = subprocess.run(["bash", "-c", 'source scripts/lib/session.sh || exit $?\n' + script], cwd=ROOT,
                            env=clean, capture_output=True, text=True, timeout=60)
    return result.returncode, result.stdout + result.stderr


def runs_i386_here():
    """Independently of the scripts: does this kernel run a 32-bit program (one that exits with 42)?"""
    code = bytes([0x31, 0xDB, 0xB3, 42, 0x31, 0xC0, 0x40, 0xCD, 0x80])  # xor ebx; mov bl,42; xor eax; inc eax; int 80
    base = 0x08049000
    header = b"\x7fELF\x01\x01\x01" + bytes(9) + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, base + 84, 52, 0, 0, 52, 32,
                                                               1, 0, 0, 0)
    program = struct.pack("<8I", 1, 0, base, base, 84 + len(code), 84 + len(code), 5, 0x1000)
    folder = os.path.join(ROOT, "build")
    os.makedirs(folder, exist_ok=True)
    with tempfile.NamedTemporaryFile(dir=folder, delete=False) as f:
        f.write(header + program + code)
    os.chmod(f.name, 0o755)
    try:
        return subprocess.run([f.name]).returncode == 42
    except OSError:
        return False
    finally:
        os.unlink(f.name)


def decided(**env):
    code, out = shell('echo "$VETRA_RUNS_I386 $VETRA_WINDOWS $WINEARCH $VETRA_WINE $WINEPREFIX"; world_line;'
                      ' world_line play; world_packages; world_windows_plan', **env)
    return code, out.splitlines()


class WorldTest(unittest.TestCase):
    def test_the_look_at_the_kernel_matches_what_it_runs(self):
        code, lines = decided()
        self.assertEqual(code, 0, lines)
        self.assertEqual(lines[0].split()[0], "yes" if runs_i386_here() else "no")

    def test_each_world_chooses_its_build_loader_prefix_packages_and_plan(self):
        wine64 = "/usr/lib/wine/wine64"
        cases = [
            ("runs 32-bit code", {"VETRA_RUNS_I386": "yes"},
             "yes win32 win32 wine %s/build/wineprefix" % ROOT,
             "this machine runs 32-bit code: the Windows tests run the 32-bit build we ship",
             ["wine32:i386"], ["qemu-user"], ["win32 wine", "win64 wine windows-side|pe|builds"]),
            ("runs none", {"VETRA_RUNS_I386": "no"},
             "no win64 win64 %s %s/build/wineprefix64" % (wine64, ROOT),
             "this machine runs no 32-bit code: the Windows tests run the 64-bit build under Wine's 64-bit loader",
             ["wine64", "qemu-user"], ["wine32:i386"], ["win64 wine", "win32 files pe"]),
            ("64-bit build asked for by hand", {"VETRA_RUNS_I386": "yes", "VETRA_WINDOWS": "win64"},
             "yes win64 win64 %s %s/build/wineprefix64" % (wine64, ROOT),
             "this machine runs 32-bit code, but VETRA_WINDOWS=win64",
             ["wine32:i386"], [], ["win64 wine", "win32 wine windows-side|pe"]),
            ("another prefix for the chosen build", {"VETRA_RUNS_I386": "no", "VETRA_WINEPREFIX": "/tmp/elsewhere"},
             "no win64 win64 %s /tmp/elsewhere" % wine64, "runs no 32-bit code", [], [], None),
        ]
        for name, env, first, line, has, lacks, plan in cases:
            with self.subTest(name):
                code, lines = decided(**env)
                self.assertEqual(code, 0, lines)
                self.assertEqual(lines[0], first)
                self.assertIn(line, lines[1])
                self.assertTrue(lines[2].startswith(lines[1].split(":")[0] + ":"), "play says the same world")
                packages = lines[3].split()
                for p in has:
                    self.assertIn(p, packages)
                for p in lacks:
                    self.assertNotIn(p, packages)
                if plan is not None:
                    self.assertEqual(lines[4:], plan)

    def test_impossible_or_misspelt_choices_are_refused(self):
        for env in ({"VETRA_RUNS_I386": "no", "VETRA_WINDOWS": "win32"}, {"VETRA_WINDOWS": "w64"},
                    {"VETRA_RUNS_I386": "maybe"}):
            with self.subTest(env):
                code, out = shell("echo chosen", **env)
                self.assertEqual(code, 2, out)
                self.assertNotIn("chosen", out)
                self.assertIn("VETRA_", out)

    def test_switching_builds_moves_prefix_and_loader_and_the_prefix_asked_for_stays_with_its_build(self):
        code, out = shell('session_windows win32; echo "$WINEPREFIX $VETRA_WINE ${WINELOADER:-none}";'
                          'session_windows win64; echo "$WINEPREFIX $VETRA_WINE $WINELOADER"',
                          VETRA_RUNS_I386="yes", VETRA_WINEPREFIX="/tmp/mine")
        self.assertEqual(code, 0, out)
        self.assertEqual(out.splitlines(), ["/tmp/mine wine none",
                                            "%s/build/wineprefix64 /usr/lib/wine/wine64 /usr/lib/wine/wine64" % ROOT])


if __name__ == "__main__":
    unittest.main(verbosity=2)
