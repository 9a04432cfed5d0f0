"""The real player meeting bad input: quiz resources that do not decode or run
past their limits, reward codes that run out, pictures that are corrupt, huge
or empty, progress files that are binary or enormous, and saves that cannot
be written. Each scenario checks the message the user is shown (or that none
is), that the program goes on, and that no answer is lost.

The resources are written straight into a copy of the player by this file's
own resource writer and LZW encoder, so every byte of them is chosen here."""
import os
import random
import shutil
import struct
import subprocess
import tempfile
import time
import zlib

import harness
import peresources
from harness import RT_RCDATA, PlayerTest, SAVE_ID, Sheet, focus_keyboard, key, type_text, wait_for_value

STM_GETIMAGE = 0x0173

def noise(count, seed):
    """`count` bytes that look random but are the same on every run."""
    return random.Random(seed).randbytes(count)


# ---- Executable resources ----------------------------------------------------


def read_resources(path):
    """{(type, name): (language, bytes)} of an executable, first language of each name; types and names are
    ints or upper-case strings."""
    data = peresources.read(path)
    return {key: (r.language, data[r.at:r.at + r.size]) for key, r in peresources.first_languages(data).items()}


def _sorted_keys(keys):
    # The loader searches each level by binary search: names first, sorted, then numbers ascending.
    return sorted(keys, key=lambda k: (0, k, 0) if isinstance(k, str) else (1, "", k))


def write_resources(path, resources):
    """Gives the executable exactly these resources ({(type, name): (language, bytes)}, empty bytes allowed),
    in a new section at the end of the file that the resource directory then points at; the old resource
    section stays behind unused. Unlike the platform's resource updater this keeps empty resources."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    pe, sections, optional, directories, table = peresources.pe_headers(data)
    section_align, file_align = struct.unpack_from("<II", data, optional + 32)
    size_of_headers = struct.unpack_from("<I", data, optional + 60)[0]
    if table + 40 * (sections + 1) > size_of_headers:
        raise ValueError("no room for another section header")

    types = {}
    for (rtype, name), value in resources.items():
        types.setdefault(rtype, {})[name] = value
    # Directories, then strings, then data entries, then the data.
    directory_size = 16 + 8 * len(types)
    for names in types.values():
        directory_size += 16 + 8 * len(names) + len(names) * (16 + 8)
    strings = bytearray()
    string_at = {}
    for rtype, names in types.items():
        for text in [rtype] + list(names):
            if isinstance(text, str) and text not in string_at:
                string_at[text] = directory_size + len(strings)
                strings += struct.pack("<H", len(text)) + text.encode("utf-16-le")
    entries_at = (directory_size + len(strings) + 3) // 4 * 4
    leaf_count = sum(len(names) for names in types.values())
    blob_at = (entries_at + 16 * leaf_count + 7) // 8 * 8

    image_end = 0
    for i in range(sections):
        vsize, va, raw_size = struct.unpack_from("<8xIII", data, table + 40 * i)
        image_end = max(image_end, va + max(vsize, raw_size))
    section_va = (image_end + section_align - 1) // section_align * section_align

    out = bytearray(blob_at)
    leaves = []
    next_dir = 16 + 8 * len(types)

    def key_field(k):
        return (0x80000000 | string_at[k]) if isinstance(k, str) else k

    def put_directory(at, keys):
        named = sum(1 for k in keys if isinstance(k, str))
        struct.pack_into("<IIHHHH", out, at, 0, 0, 0, 0, named, len(keys) - named)

    put_directory(0, list(types))
    type_keys = _sorted_keys(types)
    name_dirs = {}
    for i, rtype in enumerate(type_keys):
        name_dirs[rtype] = next_dir
        struct.pack_into("<II", out, 16 + 8 * i, key_field(rtype), 0x80000000 | next_dir)
        next_dir += 16 + 8 * len(types[rtype])
    for rtype in type_keys:
        names = types[rtype]
        put_directory(name_dirs[rtype], list(names))
        for j, name in enumerate(_sorted_keys(names)):
            language_dir = next_dir
            next_dir += 16 + 8
            struct.pack_into("<II", out, name_dirs[rtype] + 16 + 8 * j, key_field(name), 0x80000000 | language_dir)
            put_directory(language_dir, [0])
            struct.pack_into("<II", out, language_dir + 16, names[name][0], entries_at + 16 * len(leaves))
            leaves.append(names[name][1])
    out[directory_size:directory_size + len(strings)] = strings
    for i, blob in enumerate(leaves):
        struct.pack_into("<IIII", out, entries_at + 16 * i, section_va + len(out), len(blob), 0, 0)
        out += blob
        out += bytes((-len(out)) % 8)

    raw_at = (len(data) + file_align - 1) // file_align * file_align
    raw_size = (len(out) + file_align - 1) // file_align * file_align
    data += bytes(raw_at - len(data))
    data += out + bytes(raw_size - len(out))
    struct.pack_into("<8sIIIIIIHHI", data, table + 40 * sections, b".rsrcx", len(out), section_va, raw_size, raw_at,
                     0, 0, 0, 0, 0x40000040)
    struct.pack_into("<H", data, pe + 6, sections + 1)
    struct.pack_into("<I", data, optional + 56, (section_va + len(out) + section_align - 1) // section_align
                     * section_align)
    struct.pack_into("<II", data, directories + 2 * 8, section_va, len(out))
    struct.pack_into("<I", data, optional + 64, 0)  # the checksum is not checked for programs
    with open(path, "wb") as f:
        f.write(data)


# ---- The quiz resources ------------------------------------------------------


class BitWriter:
    def __init__(self):
        self.bits = []

    def code(self, value, width):
        self.bits += [(value >> (width - 1 - i)) & 1 for i in range(width)]

    def bytes(self):
        padded = self.bits + [0] * (-len(self.bits) % 8)
        return bytes(int("".join(map(str, padded[i:i + 8])), 2) for i in range(0, len(padded), 8))


def lzw_encode(data, reset=True):
    """The player's LZW stream of `data`: 9-bit codes to start, an explicit widen code (257) before a code
    that does not fit, a reset (258) when the dictionary is full, 256 at the end. Without `reset` the
    dictionary simply goes on growing past its 4096 entries, which the player must refuse."""
    out = BitWriter()
    table, next_code, width = {}, 259, 9

    def code_of(s):
        return s[0] if len(s) == 1 else table[s]

    def put(code):
        nonlocal width
        k = code >> width
        while k:
            out.code(257, width)
            width += 1
            k >>= 1
        out.code(code, width)

    current = data[:1]
    for byte in data[1:]:
        candidate = current + bytes([byte])
        if candidate in table:
            current = candidate
            continue
        table[candidate] = next_code
        next_code += 1
        put(code_of(current))
        current = bytes([byte])
        if reset and next_code == 4096:
            out.code(258, width)
            table = {candidate: 259}
            next_code, width = 260, 9
    put(code_of(current))
    out.code(256, width)
    return out.bytes()


def quiz_layout(kind=0, questions=(("Paris", "France"),), title=b"Titre", reveal=0, colour=(90, 95, 150),
                extra=b""):
    """Decoded resource 104 of a quiz with one answer per question: (answer, prompt) pairs."""
    def field(text):
        return (text if isinstance(text, bytes) else text.encode("cp1252")) + b"|"
    out = bytes([0, kind + 1, len(questions), 1]) + field(title) + field("Auteur") + field("Explications")
    out += field("Réponse") + field("")
    for answer, prompt in questions:
        out += field(answer) + field(prompt)
    return out + bytes([reveal]) + bytes(colour) + extra


def reward_codes(codes):
    return b"".join((c if isinstance(c, bytes) else c.encode("cp1252")) + b"\r\n" for c in codes)


def player_with(folder, resources, name="quiz.exe"):
    """A copy of the player in `folder` whose quiz part is exactly `resources` ({(type, id): bytes})."""
    exe = os.path.join(folder, name)
    shutil.copyfile(harness.PLAYER, exe)
    own = {k: v for k, v in read_resources(exe).items()
           if k[0] not in ("PATCH", "IMG") and not (k[0] == RT_RCDATA and isinstance(k[1], int) and k[1] >= 400)}
    own.update({k: (0, v) for k, v in resources.items()})
    write_resources(exe, own)
    return exe


# ---- Pictures ----------------------------------------------------------------


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, colour_type, depth, filtered, palette=None, compress=True):
    """A PNG file; `filtered` is the filtered image data (or, with compress False, the raw IDAT bytes)."""
    out = b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0))
    if palette is not None:
        out += png_chunk(b"PLTE", palette)
    out += png_chunk(b"IDAT", zlib.compress(filtered) if compress else filtered)
    return out + png_chunk(b"IEND", b"")


def noise_png(size, seed):
    filtered = b"".join(b"\0" + noise(3 * size, seed * 1000 + row) for row in range(size))
    return png(size, size, 2, 8, filtered)


def absurd_pngs():
    """Pictures larger than the player shows (8192 x 8192 pixels), refused before anything is allocated,
    in every build alike, whatever memory its address space might have found for them."""
    return [
        # 65535 x 65535 RGBA: the filtered data alone would pass 4 GiB.
        (png(65535, 65535, 6, 8, bytes(100)), "Error: couldn't decode PNG resource"),
        # One-bit grey: 537 MB of filtered data, which only a 32-bit address space failed to find room for.
        (png(65535, 65535, 0, 1, bytes(100)), "Error: couldn't decode PNG resource"),
        # One pixel column over the limit, in a format whose data would fit in 9 MB.
        (png(8193, 8192, 0, 1, bytes(100)), "Error: couldn't decode PNG resource"),
    ]


# ---- Progress files ----------------------------------------------------------


def progress_lines(data, count):
    """The first `count` lines of a progress file as the boxes show them: a line ends at CR, what follows up
    to the next LF is dropped, at most 259 characters are kept, and the box's text ends at a NUL byte."""
    lines, p = [], 0
    for _ in range(count):
        start = p
        while p < len(data) and data[p] != 0x0D:
            p += 1
        text = data[start:p][:259]
        while p < len(data) and data[p] != 0x0A:
            p += 1
        p = min(p + 1, len(data))
        lines.append(text.split(b"\0")[0])
    return lines


def make_read_only(folder):
    """Makes a folder refuse new entries, even to root (who ignores the permission bits): immutable. Returns
    the undo, or None when this file system or user cannot do it."""
    if os.geteuid() != 0:
        os.chmod(folder, 0o555)
        return lambda: os.chmod(folder, 0o755)
    if subprocess.run(["chattr", "+i", folder], capture_output=True).returncode != 0:
        return None
    return lambda: subprocess.run(["chattr", "-i", folder], capture_output=True)


# ---- Scenarios ---------------------------------------------------------------

CAPITALS = (("Paris", "France"), ("Rome", "Italie"), ("Madrid", "Espagne"))
SAVE_FAILED = "Impossible d'enregistrer les r\u00e9ponses."
ANSWERS_MESSAGE = "Erreur dans le d\u00e9cryptage des reponses"
CODES_MESSAGE = "Erreur dans le d\u00e9cryptage des codes"


def capitals_layout(title="Capitales"):
    return quiz_layout(questions=CAPITALS, title=title.encode())


def capitals(title="Capitales"):
    return {("PATCH", 104): lzw_encode(capitals_layout(title)),
            ("PATCH", 105): lzw_encode(reward_codes(["UN", "DEUX", "TROIS"]))}


class BadInputTest(PlayerTest):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="vetra-bad-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def start(self, resources, files=None, name="quiz.exe"):
        """Starts a player carrying `resources`; returns it once its main window shows, with the texts of
        the message boxes met on the way (each answered with OK), in order."""
        exe = player_with(tempfile.mkdtemp(dir=self.folder), resources, name)
        player = harness.Player(exe=exe, name=name, workdir=tempfile.mkdtemp(dir=self.folder), files=files)
        self.addCleanup(player.kill)
        player.start(wait=False)
        messages = []
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            # Message boxes come before the main window shows: it is shown once the sheet is built.
            box = harness.probe("wait", "#32770", "-", 200, check=False).strip()
            if box:
                messages.append(self.dismiss(box))
                continue
            handle = harness.probe("wait", "WindowsApp", "-", 0, check=False).strip()
            if handle:
                player.main = int(handle)
                return player, messages
        self.fail("the main window did not appear (messages so far: %r)" % messages)

    def dismiss(self, box):
        """(caption, text) of the message box with that handle, answered with OK."""
        caption = harness.Control(harness.probe("info", box).splitlines()[0]).text
        text = harness.decode_text(harness.probe("msgbox", caption, 1000).strip())
        self.assertTrue(harness.probe_ok("dismiss", caption, 1000))
        return caption, text

    def next_message(self, timeout=10000):
        """The next message box, answered with OK: (caption, text), or None when none shows in time."""
        box = harness.probe("wait", "#32770", "-", timeout, check=False).strip()
        return self.dismiss(box) if box else None

    def assert_no_message(self, what, wait=500):
        self.assertIsNone(self.next_message(wait), what)

    def answer(self, player, sheet, k, text):
        """Types an answer into box k with the real keyboard and releases Enter; returns the verdict."""
        focus_keyboard(player.info(player.main).text)
        sheet.click(4001)
        if k > 1:
            key(*["Tab"] * (k - 1))  # a box reached with Tab has its text selected
        type_text(text)
        key("Return")
        return wait_for_value(lambda: sheet.verdict(k), "BRAVO")

    def answer_boxes(self, player):
        return [c for c in player.controls() if 4001 <= c.id < 5000 and c.cls.lower() == "edit"]

    def picture_shown(self, player, sheet, n):
        control = player.child(sheet.sheet, 9900 + n)
        return int(harness.probe("send", control, STM_GETIMAGE, 0, 0).strip()) != 0

    # -- The quiz description (104) --

    def test_undecodable_quiz_gives_the_answers_message_then_a_working_empty_quiz(self):
        layout = capitals_layout()
        stream = lzw_encode(layout)
        cases = {
            "garbage": noise(300, 104),
            "stream cut in half": stream[:len(stream) // 2],
            "layout cut inside the questions": lzw_encode(layout[:len(layout) // 2]),
            "120001 decoded bytes": lzw_encode(layout + b"x" * (120001 - len(layout))),
            "stream of 70000 bytes": stream + bytes(70000 - len(stream)),
            "dictionary past 4096 entries without a reset": lzw_encode(layout + noise(9000, 4096), reset=False),
        }
        for case, data in cases.items():
            with self.subTest(case):
                player, messages = self.start({("PATCH", 104): data,
                                               ("PATCH", 105): lzw_encode(reward_codes(["UN", "DEUX", "TROIS"]))})
                self.assertEqual(messages, [("Vetra", ANSWERS_MESSAGE)], case)
                sheet = Sheet(player)
                self.assertEqual(player.info(player.main).text, "nom du vetra", case)
                self.assertEqual(sheet.score(), " 0 / 0", case)
                self.assertEqual(self.answer_boxes(player), [], case)
                self.assert_no_message(case + ": the codes are not read after a failure")
                sheet.click(SAVE_ID, sheet.header)
                self.assertEqual(wait_for_value(lambda: player.file("quiz.txt"), b""), b"", case + ": Sauver")
                self.assertEqual(player.close(), 0, case)

    def test_quiz_at_the_limits_loads_and_over_long_texts_are_cut(self):
        """The counterpart of the failures above, written by the same encoder: 120000 decoded bytes exactly,
        a reset in the stream, and texts and a code far over 259 characters all load."""
        # The encoder first meets the format's worked examples: "abc", and "aaaa" (97, 259, 97, 256).
        self.assertEqual(lzw_encode(b"abc"), bytes.fromhex("30988c7000"))
        self.assertEqual(lzw_encode(b"aaaa"), bytes.fromhex("30c0cc3000"))
        title = "".join(chr(65 + i % 26) for i in range(1000))
        layout = quiz_layout(questions=(("Paris", "P" * 1000), ("Rome", "Italie")), title=title.encode())
        padded = layout + noise(9000, 1) + b"x" * (120000 - 9000 - len(layout))
        code = "".join(chr(97 + i % 26) for i in range(600))
        player, messages = self.start({("PATCH", 104): lzw_encode(padded),
                                       ("PATCH", 105): lzw_encode(reward_codes([code, "DEUX", "extra"]))})
        self.assertEqual(messages, [])
        sheet = Sheet(player)
        self.assertEqual(player.info(player.main).text, title[:259])
        prompts = [c.text for c in player.controls(sheet.sheet) if c.id == 3000]
        self.assertEqual(prompts, ["P" * 259, "Italie"])
        self.assertEqual(self.answer(player, sheet, 1, "paris"), "BRAVO")
        self.assertEqual(sheet.score(), " 1 / 2")
        self.assertEqual(sheet.reward(), code[:259])
        self.assertEqual(player.close(), 0)

    # -- The reward codes (105) --

    def test_reward_codes_that_run_out_give_the_codes_message_once(self):
        cases = {
            "one line for three questions": reward_codes(["UN"]),
            "last line without its CR": b"UN\r\nDEUX\r\nTROIS",
        }
        for case, codes in cases.items():
            with self.subTest(case):
                player, messages = self.start({("PATCH", 104): lzw_encode(capitals_layout("Codes")),
                                               ("PATCH", 105): lzw_encode(codes)})
                self.assertEqual(messages, [("Vetra", CODES_MESSAGE)], case)
                self.assert_no_message(case)
                sheet = Sheet(player)
                self.assertEqual(player.info(player.main).text, "Codes", case)
                self.assertEqual(len(self.answer_boxes(player)), 3, case)
                self.assertEqual(sheet.score(), " 0 / 3", case)
                if case == "one line for three questions":  # answering once is enough
                    self.assertEqual(self.answer(player, sheet, 1, "paris"), "BRAVO", case)
                    self.assertEqual(sheet.score(), " 1 / 3", case)
                    self.assertEqual(sheet.reward(), "", case + ": no code is set")
                self.assertEqual(player.close(), 0, case)

    # -- Pictures --

    def test_broken_png_pictures_give_their_messages_and_the_sheet_still_works(self):
        good = noise_png(16, 1)
        image = b"".join(b"\0" + noise(48, 5000 + row) for row in range(16))
        cut_stream = png(16, 16, 2, 8, zlib.compress(image)[:300], compress=False)
        pictures = [
            (b"not a PNG at all", "Error: couldn't load PNG resource"),
            (cut_stream, "Error: couldn't decode PNG resource"),
        ] + absurd_pngs() + [
            (b"", "Error: couldn't load PNG resource"),
            (png(8, 8, 3, 8, bytes(72)), "Error: couldn't create bitmap"),  # palette image without PLTE
            (good, None),
        ]
        count = len(pictures)
        questions = [("forme%d" % n, "") for n in range(1, count + 1)]
        resources = {("PATCH", 104): lzw_encode(quiz_layout(kind=1, questions=questions, title=b"Formes PNG",
                                                            reveal=1)),
                     ("PATCH", 105): lzw_encode(reward_codes(["C%d" % n for n in range(1, count + 1)]))}
        for n, (data, _) in enumerate(pictures, 1):
            resources[(RT_RCDATA, 400 + n)] = data
        resources[(RT_RCDATA, 10401)] = cut_stream  # the solution picture of question 1
        player, messages = self.start(resources)
        # One message per broken picture, in the order the rows load them.
        self.assertEqual(messages, [("APPNAME", text) for _, text in pictures if text])
        sheet = Sheet(player)
        self.assertEqual([self.picture_shown(player, sheet, n) for n in range(1, count + 1)],
                         [text is None for _, text in pictures])

        focus_keyboard("Formes PNG")
        sheet.click(4001)
        type_text("forme1")
        key("Return")
        self.assertEqual(self.next_message(), ("APPNAME", "Error: couldn't decode PNG resource"),
                         "the broken solution picture")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(1), "BRAVO"), "BRAVO")
        self.assertEqual(sheet.score(), " 1 / %d" % count)
        self.assertFalse(self.picture_shown(player, sheet, 1), "no solution picture is swapped in")
        self.assertEqual(player.close(), 0)

    def test_unreadable_img_pictures_are_silently_absent(self):
        with open(os.path.join(harness.SOURCE, "examples", "pictures", "media", "1.jpg"), "rb") as f:
            jpeg = f.read()
        pictures = [
            b"\xff\xd8\xff" + noise(500, 9),  # a JPEG signature and noise
            b"",  # empty
            absurd_pngs()[0][0],  # a 65535 x 65535 PNG, which only Wine's loader even tries
            None,  # no resource at all under this number
            jpeg,
        ]
        questions = [("image%d" % n, "") for n in range(1, len(pictures) + 1)]
        resources = {("PATCH", 104): lzw_encode(quiz_layout(kind=1, questions=questions, title=b"Images IMG",
                                                            reveal=1)),
                     ("PATCH", 105): lzw_encode(reward_codes(["C%d" % n for n in range(1, len(pictures) + 1)]))}
        for n, data in enumerate(pictures, 1):
            if data is not None:
                resources[("IMG", 400 + n)] = data
        player, messages = self.start(resources)
        self.assertEqual(messages, [])
        sheet = Sheet(player)
        self.assertEqual([self.picture_shown(player, sheet, n) for n in range(1, len(pictures) + 1)],
                         [False, False, False, False, True])
        # Question 1 has no solution picture either: a right answer shows none, and says nothing.
        self.assertEqual(self.answer(player, sheet, 1, "image1"), "BRAVO")
        self.assert_no_message("the missing solution picture")
        self.assertEqual(sheet.score(), " 1 / %d" % len(pictures))
        self.assertEqual(player.close(), 0)

    # -- The progress file --

    def test_hostile_progress_files_fill_the_boxes_by_the_line_rules(self):
        cases = {
            "binary": noise(4096, 7) + b"\0\r\n",
            "10000 lines": b"".join(b"ligne %d\r\n" % i for i in range(1, 10001)),
            "a line of 100 KB": bytes(65 + i % 26 for i in range(100000)) + b"\r\nsecond\r\nthird\r\n",
        }
        for case, content in cases.items():
            with self.subTest(case):
                expected = progress_lines(content, 3)
                player, messages = self.start(capitals("Progression"), files={"quiz.txt": content})
                self.assertEqual(messages, [], case)
                sheet = Sheet(player)
                boxes = [sheet.box(k) for k in (1, 2, 3)]
                self.assertEqual(boxes, [line.decode("cp1252", "replace") for line in expected], case)
                self.assertTrue(all(len(box) <= 259 for box in boxes), case)
                self.assertEqual(player.close(), 0, case)
                self.assertEqual(player.file("quiz.txt"), b"".join(line + b"\r\n" for line in expected), case)

    # -- Saving --

    def test_save_into_a_read_only_folder_tells_and_keeps_the_previous_file(self):
        previous = b"Paris\r\n\r\n\r\n"
        player, _ = self.start(capitals("Lecture seule"), files={"quiz.txt": previous})
        sheet = Sheet(player)
        self.assertEqual(self.answer(player, sheet, 2, "rome"), "BRAVO")
        undo = make_read_only(player.workdir)
        if undo is None:
            self.skipTest("this file system cannot make a folder read-only for root")
        self.addCleanup(undo)

        key("F2")
        self.assertEqual(self.next_message(), ("Vetra", SAVE_FAILED))
        self.assertEqual([sheet.box(k) for k in (1, 2, 3)], ["Paris", "rome", ""], "the boxes keep every answer")
        self.assertEqual(player.file("quiz.txt"), previous, "the previous file is kept")
        self.assertEqual(sorted(os.listdir(player.workdir)), ["quiz.exe", "quiz.txt"])

        undo()
        saved = b"Paris\r\nrome\r\n\r\n"
        sheet.click(SAVE_ID, sheet.header)
        self.assertEqual(wait_for_value(lambda: player.file("quiz.txt"), saved), saved, "Sauver once writable again")

        make_read_only(player.workdir)
        harness.probe("post", player.main, harness.WM_CLOSE, 0, 0)
        self.assertEqual(self.next_message(), ("Vetra", SAVE_FAILED))
        self.assertEqual(player.process.wait(timeout=30), 0)
        self.assertEqual(player.file("quiz.txt"), saved, "a failed save at closing keeps the last good file")

    def test_save_after_the_folder_was_removed_tells_and_keeps_the_answers(self):
        player, _ = self.start(capitals("Dossier disparu"), files={"quiz.txt": b"Paris\r\n\r\n\r\n"})
        sheet = Sheet(player)
        self.assertEqual(self.answer(player, sheet, 2, "rome"), "BRAVO")
        shutil.rmtree(player.workdir)

        sheet.click(SAVE_ID, sheet.header)
        self.assertEqual(self.next_message(), ("Vetra", SAVE_FAILED))
        self.assertEqual([sheet.box(k) for k in (1, 2, 3)], ["Paris", "rome", ""], "the boxes keep every answer")

        os.mkdir(player.workdir)  # the same path again: closing saves there
        self.assertEqual(player.close(), 0)
        self.assertEqual(player.file("quiz.txt"), b"Paris\r\nrome\r\n\r\n")


if __name__ == "__main__":
    harness.main()
