#!/usr/bin/env python3
"""Builds the release zip: the bare player, quizpack, the editor, every example quiz packed
(named after its source) and as a web page under pages-web/, the example sources with
their media under exemples/, and LISEZMOI.txt in Windows-1252 with CR LF line ends.

The same build gives the same bytes: entries in a fixed order, one date for
all (the commit's, or SOURCE_DATE_EPOCH), fixed attributes, and packed
examples that are themselves deterministic.

    makeDist.py BUILD_DIR OUTPUT.zip [PACKER_DIR]

BUILD_DIR holds vetra.exe, quizpack.exe and atelier.exe, the programs the zip holds; the
quizpack.exe of PACKER_DIR (by default BUILD_DIR's) packs the examples into BUILD_DIR's player,
under Wine with the caller's WINEPREFIX. A machine that runs no 32-bit code packs the 32-bit
player with the 64-bit quizpack: the quiz it writes is the same bytes."""
import os
import re
import subprocess
import sys
import tempfile
import time
import tomllib
import zipfile

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
# The Wine loader that runs quizpack: Wine's 64-bit one where this machine runs no 32-bit code.
WINE = os.environ.get("VETRA_WINE", "wine")

# Example folders as a French reader finds them in the zip.
EXAMPLE_FOLDERS = {"text": "texte", "pictures": "images", "audio": "audio", "video": "video"}
MEDIA_KEYS = ("picture", "solution", "clip")
FILE_ATTRIBUTE_ARCHIVE = 0x20
EARLIEST_ZIP_TIME = 315532800  # 1980-01-01, the first date a zip entry can hold


def version(source=SOURCE):
    """The programs' version, from the header their version records read, as "major.minor.patch.build"."""
    with open(os.path.join(source, "resources", "version.h"), encoding="ascii") as f:
        match = re.search(r"^#define VETRA_VERSION_NUMBERS\s+(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)", f.read(),
                          re.M)
    if not match:
        raise ValueError("no VETRA_VERSION_NUMBERS in resources/version.h")
    return ".".join(match.groups())


def zip_name(source=SOURCE):
    return "vetra-%s-win32.zip" % version(source)


def examples(source=SOURCE):
    """[(path of the .toml, its folder in the zip)], in a fixed order."""
    root = os.path.join(source, "examples")
    found = []
    for folder in sorted(os.listdir(root)):
        path = os.path.join(root, folder)
        if not os.path.isdir(path):
            continue
        for name in sorted(os.listdir(path)):
            if name.endswith(".toml"):
                found.append((os.path.join(path, name), "exemples/" + EXAMPLE_FOLDERS.get(folder, folder)))
    return found


def media_of(toml_path):
    """The media paths a source names, relative to it, sorted and without repeats."""
    with open(toml_path, "rb") as f:
        document = tomllib.load(f)
    paths = {question[key] for question in document.get("question", []) for key in MEDIA_KEYS if key in question}
    for path in paths:
        if os.path.isabs(path) or ".." in path.replace("\\", "/").split("/"):
            raise ValueError("%s: %s lies outside the example's folder" % (toml_path, path))
    return sorted(paths)


def commit_time(source=SOURCE):
    """Seconds since 1970 for every entry: SOURCE_DATE_EPOCH, else the commit's time, else the earliest."""
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return max(int(os.environ["SOURCE_DATE_EPOCH"]), EARLIEST_ZIP_TIME)
    try:
        out = subprocess.run(["git", "-C", source, "log", "-1", "--format=%ct"], capture_output=True, check=True)
        return max(int(out.stdout.decode().strip()), EARLIEST_ZIP_TIME)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return EARLIEST_ZIP_TIME


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def quizpack(build, arguments, toml_path, output):
    """Runs quizpack under Wine on one source; fails unless it wrote `output`."""
    command = [WINE, os.path.join(build, "quizpack.exe")] + arguments
    # Files, not pipes: Wine's helper processes may keep a pipe open long after.
    with tempfile.TemporaryFile() as log:
        code = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=log, stderr=log, timeout=300).returncode
        log.seek(0)
        text = log.read().decode("utf-8", "replace")
    if code != 0 or not os.path.isfile(output):
        raise RuntimeError("quizpack could not make %s from %s (%d):\n%s" % (output, toml_path, code, text))


def pack(build, toml_path, output, packer=None):
    """Packs one source into a copy of the build's player, with the packer's quizpack."""
    quizpack(packer or build, ["build", windows_path(toml_path), "-o", windows_path(output),
                     "--player", windows_path(os.path.join(build, "vetra.exe"))], toml_path, output)


def web_page(build, toml_path, output):
    """The source as one web page, for learners without Windows."""
    quizpack(build, ["web", windows_path(toml_path), "-o", windows_path(output)], toml_path, output)


def readme(source, packed_names):
    """LISEZMOI.txt as a Windows reader opens it: Windows-1252, CR LF."""
    with open(os.path.join(source, "tools", "dist", "LISEZMOI.txt"), encoding="utf-8") as f:
        text = f.read()
    text = text.replace("@VERSION@", version(source)).replace("@EXAMPLES@", ", ".join(packed_names))
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp1252")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def entries(build, source=SOURCE, workdir=None, packer=None):
    """[(name in the zip, bytes)] in the order they are written."""
    with tempfile.TemporaryDirectory(prefix="vetra-dist-", dir=workdir) as scratch:
        packed, pages, sources = [], [], []
        for toml_path, folder in examples(source):
            stem = os.path.splitext(os.path.basename(toml_path))[0]
            output = os.path.join(scratch, stem + ".exe")
            pack(build, toml_path, output, packer)
            packed.append((stem + ".exe", read(output)))
            page = os.path.join(scratch, stem + ".html")
            web_page(packer or build, toml_path, page)
            pages.append(("pages-web/" + stem + ".html", read(page)))
            here = os.path.dirname(toml_path)
            sources.append((folder + "/" + os.path.basename(toml_path), read(toml_path)))
            for media in media_of(toml_path):
                sources.append((folder + "/" + media.replace("\\", "/"), read(os.path.join(here, media))))
    packed.sort()
    pages.sort()
    sources.sort()
    names = [name for name, _ in packed]
    if len(set(names)) != len(names) or len({n for n, _ in sources}) != len(sources):
        raise ValueError("two examples would share a name in the zip")
    return ([("LISEZMOI.txt", readme(source, names)),
             ("vetra.exe", read(os.path.join(build, "vetra.exe"))),
             ("quizpack.exe", read(os.path.join(build, "quizpack.exe"))),
             ("atelier.exe", read(os.path.join(build, "atelier.exe")))] + packed + pages + sources)


def write_zip(items, output, seconds):
    """Writes the entries with one date, DOS attributes and one compression level, so that equal
    entries give equal bytes."""
    date = time.gmtime(seconds)[:6]
    partial = output + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in items:
            info = zipfile.ZipInfo(name, date_time=date)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: the attributes below are Windows ones
            info.external_attr = FILE_ATTRIBUTE_ARCHIVE
            archive.writestr(info, data, compresslevel=9)
    os.replace(partial, output)


def build_zip(build, output, source=SOURCE, workdir=None, packer=None):
    """Writes the release zip at `output`; returns its entries' names."""
    items = entries(build, source, workdir, packer)
    write_zip(items, output, commit_time(source))
    return [name for name, _ in items]


def main(argv):
    if len(argv) not in (3, 4):
        sys.stderr.write("usage: makeDist.py BUILD_DIR OUTPUT.zip [PACKER_DIR]\n")
        return 2
    packer = os.path.abspath(argv[3]) if len(argv) == 4 else None
    names = build_zip(os.path.abspath(argv[1]), os.path.abspath(argv[2]), packer=packer)
    print("%s: %d files" % (argv[2], len(names)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
