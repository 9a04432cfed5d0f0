"""The Moodle XML banks quizpack moodle writes, read back by Python's XML
reader: every bank of the examples and of the awkward quizzes writeBank makes
must be well-formed and hold, in Moodle's shapes, its category and, box by
box, a short-answer question with the model's name, text, accepted answers
(each at 100 %, case ignored) and feedback, and the picture or clip of the
question embedded byte for byte, linked from the text.

Usage: python3 moodleXml.py WRITE-BANK-PROGRAM"""

import base64
import html
import json
import os
import re
import subprocess
import sys
import tempfile
import urllib.parse
import xml.etree.ElementTree as ElementTree

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
EXAMPLES = [os.path.join(ROOT, "examples", name + ".toml")
            for name in ("text/capitales", "pictures/formes", "audio/villes", "video/couleurs")]


def plain(markup):
    """The text of one <p> of the bank, as Moodle shows it."""
    return html.unescape(markup.replace("<br>", "\n"))


def check_question(at, element, want):
    assert element.get("type") == "shortanswer", at
    assert element.findtext("name/text") == want["name"], (at, element.findtext("name/text"))
    text = element.find("questiontext")
    assert text.get("format") == "html", at
    markup = text.findtext("text")
    paragraphs = re.findall(r"<p>(.*?)</p>", markup, re.S)
    assert "".join("<p>%s</p>" % p for p in paragraphs) == markup, (at, markup)
    assert plain(paragraphs[0]) == want["text"], (at, paragraphs[0])
    files = text.findall("file")
    if want["media"] is None:
        assert len(paragraphs) == 1 and not files, at
    else:
        assert len(files) == 1, at
        name = files[0].get("name")
        assert files[0].get("encoding") == "base64" and files[0].get("path") == "/", at
        with open(want["media"], "rb") as media:
            assert base64.b64decode(files[0].text, validate=True) == media.read(), at
        link = "@@PLUGINFILE@@/" + urllib.parse.quote(name, safe="")
        shown = ('<img src="%s" alt="' % link) if want["picture"] else ('<a href="%s">' % link)
        assert len(paragraphs) == 2 and paragraphs[1].startswith(shown), (at, paragraphs[1])
    feedback = element.find("generalfeedback")
    assert feedback.get("format") == "html", at
    assert plain(feedback.findtext("text") or "") == want["feedback"], at
    assert element.findtext("usecase") == "0", at
    answers = element.findall("answer")
    assert [a.get("fraction") for a in answers] == ["100"] * len(answers), at
    # "\*" is a literal "*" for Moodle's short answer.
    got = [(a.findtext("text") or "").replace("\\*", "*") for a in answers]
    assert got == want["answers"], (at, got)


def main():
    banks = questions = 0
    with tempfile.TemporaryDirectory(prefix="vetra-bank-") as folder:
        subprocess.run([sys.argv[1], folder] + EXAMPLES, check=True)
        for file in sorted(f for f in os.listdir(folder) if f.endswith(".json")):
            name = file[:-len(".json")]
            with open(os.path.join(folder, file), encoding="utf-8") as f:
                expected = json.load(f)
            with open(os.path.join(folder, name + ".xml"), "rb") as f:
                raw = f.read()
            assert raw.startswith(b'<?xml version="1.0" encoding="UTF-8"?>\n<quiz>'), name
            quiz = ElementTree.fromstring(raw)
            assert quiz.tag == "quiz", name
            elements = list(quiz)
            category = "$course$/top/" + re.sub(r"[\n\r\t]", " ", expected["category"]).replace("/", "//")
            assert elements[0].get("type") == "category", name
            assert elements[0].findtext("category/text") == category, name
            assert len(elements) - 1 == len(expected["questions"]), name
            for i, (element, want) in enumerate(zip(elements[1:], expected["questions"])):
                check_question("%s, question %d (%s)" % (name, i + 1, want["name"]), element, want)
                questions += 1
            banks += 1
    assert banks == len(EXAMPLES) + 2, banks
    print("%d Moodle XML banks, %d questions read back as written" % (banks, questions))


if __name__ == "__main__":
    main()
