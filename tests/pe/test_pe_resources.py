"""Reads the built player with an independent PE reader (pefile) and checks
what Windows will see: a GUI program for its build's processor (the 32-bit
one we ship, or the 64-bit build a machine without 32-bit code tests)
importing only system DLLs, with its dialog templates, icons, cursor, version
record and manifest."""
import os
import struct
import sys
import unittest

import pefile

EXE = os.environ.get("VETRA_EXE", os.path.join(os.path.dirname(__file__), "..", "..", "build", "win32", "vetra.exe"))

# oleacc.dll (Active Accessibility) is part of every Windows since 2000: the
# accessible objects that screen readers read.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "ole32.dll", "oleaut32.dll", "shell32.dll",
               "msvcrt.dll", "advapi32.dll", "comctl32.dll", "comdlg32.dll", "shlwapi.dll", "version.dll",
               "oleacc.dll"}

# What each build's executables declare: the machine and optional header of
# the PE file, and the processor its manifest names.
BUILDS = {"win32": (0x14C, 0x10B, "x86"), "win64": (0x8664, 0x20B, "amd64")}
BUILD = os.environ.get("VETRA_WINDOWS_BUILD", "win32")
MACHINE, MAGIC, MANIFEST_ARCH = BUILDS[BUILD]

RT_CURSOR, RT_ICON, RT_DIALOG, RT_GROUP_CURSOR, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 1, 3, 5, 12, 14, 16, 24


def resources(pe):
    """{type: {name_or_id: (language, bytes)}} for the whole resource tree."""
    out = {}
    for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        tkey = rtype.id if rtype.id is not None else str(rtype.name)
        for entry in rtype.directory.entries:
            key = entry.id if entry.id is not None else str(entry.name)
            for lang in entry.directory.entries:
                data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                out.setdefault(tkey, {})[key] = (lang.id, data)
    return out


class PlayerExecutableTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = pefile.PE(EXE)
        cls.res = resources(cls.pe)

    def test_is_a_gui_program_for_its_builds_processor(self):
        self.assertEqual(self.pe.FILE_HEADER.Machine, MACHINE)
        self.assertEqual(self.pe.OPTIONAL_HEADER.Magic, MAGIC)
        self.assertEqual(self.pe.OPTIONAL_HEADER.Subsystem, 2)

    def test_imports_only_system_dlls(self):
        names = {imp.dll.decode().lower() for imp in self.pe.DIRECTORY_ENTRY_IMPORT}
        self.assertTrue(names, "no imports at all")
        self.assertLessEqual(names, SYSTEM_DLLS, names - SYSTEM_DLLS)

    def test_dialog_templates(self):
        for ident, style in ((1001, 0x40B00040), (1002, 0x40800040)):
            _, data = self.res[RT_DIALOG][ident]
            got_style, exstyle, count, x, y, cx, cy = struct.unpack_from("<IIHhhhh", data, 0)
            self.assertEqual((got_style, exstyle, count, x, y, cx, cy), (style, 0, 0, 0, 0, 86, 100), ident)
            # Menu, class and caption are empty (one zero word each), then the font.
            self.assertEqual(struct.unpack_from("<HHH", data, 18), (0, 0, 0), ident)
            point = struct.unpack_from("<H", data, 24)[0]
            face = data[26:].decode("utf-16-le").split("\0")[0]
            self.assertEqual((point, face), (8, "MS Sans Serif"), ident)

    def group_entries(self, rtype, key):
        _, data = self.res[rtype][key]
        reserved, kind, count = struct.unpack_from("<HHH", data, 0)
        entries = [struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i) for i in range(count)]
        return kind, entries

    def test_icons(self):
        for key, bits in ((1004, 1), (1005, 1), ("A", 4)):
            kind, entries = self.group_entries(RT_GROUP_ICON, key)
            self.assertEqual((kind, len(entries)), (1, 1), key)
            width, height, colours, _, planes, bitcount, size, icon_id = entries[0]
            self.assertEqual((width, height, bitcount), (32, 32, bits), key)
            _, image = self.res[RT_ICON][icon_id]
            header = struct.unpack_from("<IiiHH", image, 0)
            self.assertEqual(header, (40, 32, 64, 1, bits), key)

    def test_cursor_is_a_pointing_hand_with_its_hot_spot(self):
        kind, entries = self.group_entries(RT_GROUP_CURSOR, 1003)
        self.assertEqual((kind, len(entries)), (2, 1))
        _, image = self.res[RT_CURSOR][entries[0][7]]
        hot_x, hot_y = struct.unpack_from("<HH", image, 0)
        self.assertEqual((hot_x, hot_y), (6, 0))
        size, width, height, planes, bitcount = struct.unpack_from("<IiiHH", image, 4)
        self.assertEqual((width, height, bitcount), (32, 64, 1))

    def test_version_record(self):
        self.pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS), (0x00020001, 0x00040003))
        self.assertEqual((fixed.ProductVersionMS, fixed.ProductVersionLS), (0x00020001, 0x00040003))
        tables = [st for fi in self.pe.FileInfo[0] if fi.Key == b"StringFileInfo" for st in fi.StringTable]
        self.assertEqual([t.LangID for t in tables], [b"040C04E4"])
        strings = tables[0].entries
        for key in (b"CompanyName", b"LegalCopyright", b"ProductName"):
            self.assertTrue(strings.get(key), key)
        translations = [v for fi in self.pe.FileInfo[0] if fi.Key == b"VarFileInfo" for v in fi.Var]
        self.assertEqual(translations[0].entry, {b"Translation": "0x040c 0x04e4"})

    def test_manifest_runs_as_invoker_with_the_classic_look(self):
        _, data = self.res[RT_MANIFEST][1]
        text = data.decode("utf-8")
        self.assertIn('requestedExecutionLevel level="asInvoker"', text)
        self.assertNotIn("Microsoft.Windows.Common-Controls", text)
        self.assertNotIn("dpiAware", text)
        for os_id in ("e2011457-1546-43c5-a5fe-008deee3d3f0", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"):
            self.assertIn(os_id, text)


if __name__ == "__main__":
    unittest.main(verbosity=2)
