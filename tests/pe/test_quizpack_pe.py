"""Reads the built player, quizpack and the editor with pefile and checks what
Windows reads before any runs: the manifests of all three (run as the invoker
under any name, the same supported systems, the classic controls, no DPI
awareness), and the tools' own kind, icon and version record."""
import os
import struct
import sys
import unittest
import xml.etree.ElementTree as ET

import pefile

sys.path.insert(0, os.path.dirname(__file__))
import test_pe_resources as player_pe  # noqa: E402  (its helpers only; its tests run on their own)

HERE = os.path.dirname(__file__)
VETRA_EXE = os.environ.get("VETRA_EXE", os.path.join(HERE, "..", "..", "build", "win32", "vetra.exe"))
QUIZPACK_EXE = os.environ.get("QUIZPACK_EXE", os.path.join(HERE, "..", "..", "build", "win32", "quizpack.exe"))

RT_ICON, RT_GROUP_ICON, RT_MANIFEST = player_pe.RT_ICON, player_pe.RT_GROUP_ICON, player_pe.RT_MANIFEST
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
# Vista, 7, 8, 8.1, 10 and 11.
SUPPORTED_OS = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
ATELIER_EXE = os.environ.get("ATELIER_EXE", os.path.join(HERE, "..", "..", "build", "win32", "atelier.exe"))
EXECUTABLES = (("player", VETRA_EXE, "Vetra.Player"), ("quizpack", QUIZPACK_EXE, "Vetra.QuizPack"),
               ("editor", ATELIER_EXE, "Vetra.Atelier"))


def load(path):
    pe = pefile.PE(path)
    return pe, player_pe.resources(pe)


class ManifestTest(unittest.TestCase):
    def manifest(self, path):
        _, res = load(path)
        self.assertEqual(sorted(res.get(RT_MANIFEST, {})), [1], "one manifest, the one a process reads")
        _, data = res[RT_MANIFEST][1]
        return ET.fromstring(data)

    def test_all_run_as_invoker_on_the_same_systems_with_the_classic_look(self):
        for label, path, identity in EXECUTABLES:
            with self.subTest(label):
                root = self.manifest(path)
                ident = root.find(ASM_V1 + "assemblyIdentity")
                self.assertEqual((ident.get("name"), ident.get("version"), ident.get("processorArchitecture")),
                                 (identity, "2.1.4.3", player_pe.MANIFEST_ARCH))
                levels = root.findall(".//%srequestedExecutionLevel" % ASM_V3)
                self.assertEqual([(l.get("level"), l.get("uiAccess")) for l in levels], [("asInvoker", "false")])
                ids = {os_.get("Id") for os_ in root.iter(COMPATIBILITY + "supportedOS")}
                self.assertEqual(ids, SUPPORTED_OS)
                # No dependency at all: common controls 6 would restyle the fixed-pixel layout.
                self.assertEqual(root.findall(".//%sdependency" % ASM_V1), [])
                tags = {element.tag.split("}")[-1] for element in root.iter()}
                self.assertFalse(tags & {"dpiAware", "dpiAwareness", "windowsSettings"}, tags)


class QuizpackExecutableTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe, cls.res = load(QUIZPACK_EXE)

    def test_is_a_console_program_for_its_builds_processor_importing_system_dlls(self):
        self.assertEqual((self.pe.FILE_HEADER.Machine, self.pe.OPTIONAL_HEADER.Magic),
                         (player_pe.MACHINE, player_pe.MAGIC))
        self.assertEqual(self.pe.OPTIONAL_HEADER.Subsystem, 3)
        names = {imp.dll.decode().lower() for imp in self.pe.DIRECTORY_ENTRY_IMPORT}
        self.assertLessEqual(names, player_pe.SYSTEM_DLLS, names - player_pe.SYSTEM_DLLS)

    def test_shipped_executables_are_stripped_and_carry_no_link_time(self):
        # The release zip is the same bytes from the same commit only without a link time.
        for label, path, _ in EXECUTABLES:
            with self.subTest(label):
                pe, _ = load(path)
                self.assertEqual(pe.FILE_HEADER.TimeDateStamp, 0)
                self.assertEqual(pe.FILE_HEADER.PointerToSymbolTable, 0)

    def test_icon_is_its_own_first_group(self):
        groups = list(self.res[RT_GROUP_ICON])
        self.assertEqual(groups, [1], "the shell shows the first group")
        _, data = self.res[RT_GROUP_ICON][1]
        _, kind, count = struct.unpack_from("<HHH", data, 0)
        self.assertEqual((kind, count), (1, 1))
        width, height, colours, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", data, 6)
        self.assertEqual((width, height, colours, bits), (32, 32, 16, 4))
        _, image = self.res[RT_ICON][icon_id]
        self.assertEqual(len(image), size)
        self.assertEqual(struct.unpack_from("<IiiHH", image, 0), (40, 32, 64, 1, 4))
        # Not the player's icon: the file explorer should tell the two apart.
        _, player_res = load(VETRA_EXE)
        player_images = {data for _, data in player_res[RT_ICON].values()}
        self.assertNotIn(image, player_images)

    def test_version_record(self):
        check_version_record(self, self.pe, b"quizpack")


def check_version_record(test, pe, name):
    fixed = pe.VS_FIXEDFILEINFO[0]
    test.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS), (0x00020001, 0x00040003))
    test.assertEqual((fixed.ProductVersionMS, fixed.ProductVersionLS), (0x00020001, 0x00040003))
    test.assertEqual(fixed.FileType, 1)  # VFT_APP
    tables = [st for fi in pe.FileInfo[0] if fi.Key == b"StringFileInfo" for st in fi.StringTable]
    test.assertEqual([t.LangID for t in tables], [b"040904E4"])
    strings = tables[0].entries
    expected = {b"FileVersion": b"2.1.4.3", b"ProductVersion": b"2.1.4.3", b"OriginalFilename": name + b".exe",
                b"InternalName": name, b"ProductName": b"Vetra"}
    for key, value in expected.items():
        test.assertEqual(strings.get(key), value, key)
    translations = [v for fi in pe.FileInfo[0] if fi.Key == b"VarFileInfo" for v in fi.Var]
    test.assertEqual(translations[0].entry, {b"Translation": "0x0409 0x04e4"})


class AtelierExecutableTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe, cls.res = load(ATELIER_EXE)

    def test_is_a_windowed_program_for_its_builds_processor_importing_system_dlls(self):
        self.assertEqual((self.pe.FILE_HEADER.Machine, self.pe.OPTIONAL_HEADER.Magic),
                         (player_pe.MACHINE, player_pe.MAGIC))
        self.assertEqual(self.pe.OPTIONAL_HEADER.Subsystem, 2)  # GUI: no console window behind it
        names = {imp.dll.decode().lower() for imp in self.pe.DIRECTORY_ENTRY_IMPORT}
        self.assertLessEqual(names, player_pe.SYSTEM_DLLS, names - player_pe.SYSTEM_DLLS)

    def test_has_an_icon_of_its_own_for_the_shell(self):
        self.assertEqual(list(self.res[RT_GROUP_ICON]), [1])
        _, data = self.res[RT_GROUP_ICON][1]
        icon_id = struct.unpack_from("<H", data, 6 + 12)[0]
        _, image = self.res[RT_ICON][icon_id]
        # Neither the player's nor quizpack's: the three files must look different in a folder.
        for other in (VETRA_EXE, QUIZPACK_EXE):
            _, other_res = load(other)
            self.assertNotIn(image, {data for _, data in other_res[RT_ICON].values()}, other)

    def test_version_record(self):
        check_version_record(self, self.pe, b"atelier")


if __name__ == "__main__":
    unittest.main(verbosity=2)
