"""The player as a screen reader meets it, read from another process through
MSAA: every answer box named after its question and described by its prompt
or medium and its verdict, the pictures and media buttons named, the score and
the code read out, no answer given away; the verdict labels and the score
signalled as live regions once per change, never while the sheet is built
from the progress file, never on typing alone."""
import subprocess
import uuid

import harness
from harness import PLAYER_IDS, SCORE_ID, REWARD_ID, PlayerTest, Sheet, focus_keyboard, key, type_text, wait_for_value

WM_KEYUP = 0x0101
VK_RETURN = 0x0D
LIVE_REGION_CHANGED = "0x8019"
ROLE_TEXT = 42

QUESTIONS = [("Tour Eiffel", "Paris", "France"), ("Colis\u00e9e", "Rome", "Italie"),
             ("Big Ben", "Londres", "Angleterre")]


def source(kind, answers=1, captions=None):
    """A quiz of the three monuments; the picture, audio and video kinds get media of their own."""
    lines = ['kind = "%s"' % kind, 'title = "Monuments"', 'reveal = "none"',
             'reward_codes = ["ROUGE", "ORANGE", "JAUNE"]']
    if answers == 2:
        lines.append("answers_per_question = 2")
    if captions:
        lines.append('captions = ["%s", "%s"]' % captions)
    medium = {"pictures": ("picture", "media/%d.png"), "audio": ("clip", "media/%d.mp3"),
              "video": ("clip", "media/%d.avi")}.get(kind)
    for n, (prompt, first, second) in enumerate(QUESTIONS, 1):
        lines += ["", "[[question]]", 'answer = "%s"' % first]
        if answers == 2:
            lines.append('answer2 = "%s"' % second)
        if kind == "text":
            lines.append('prompt = "%s"' % prompt)
        else:
            lines.append('%s = "%s"' % (medium[0], medium[1] % n))
    return "\n".join(lines) + "\n"


def media(kind):
    folder = {"pictures": ("pictures", "png"), "audio": ("audio", "mp3"), "video": ("video", "avi")}.get(kind)
    if not folder:
        return None
    out = {}
    for n in (1, 2, 3):
        # Any file of the example's kind will do: only its presence matters here.
        examples = harness.os.path.join(harness.EXAMPLES, folder[0], "media")
        name = sorted(f for f in harness.os.listdir(examples) if f.endswith("." + folder[1]))[0]
        with open(harness.os.path.join(examples, name), "rb") as f:
            out["media/%d.%s" % (n, folder[1])] = f.read()
    return out


class Accessible:
    """One control as MSAA gives it."""

    def __init__(self, line):
        parts = line.rstrip("\n").split("\t") + [""] * 6
        self.id, self.handle, self.role = int(parts[0]), int(parts[1]), int(parts[2])
        self.name, self.value, self.description = (harness.decode_text(p) for p in parts[3:6])

    def __repr__(self):
        return "<%d %r %r %r>" % (self.id, self.name, self.value, self.description)


def accessible(parent):
    """{control id: Accessible} of a window's descendants (ids shared by labels keep the last)."""
    return {a.id: a for a in (Accessible(l) for l in harness.probe("msaa", parent).splitlines() if l.strip())}


class Events:
    """A WinEvent hook in another process (the probe), out of context, as a screen reader installs it."""

    def __init__(self, window=0):
        self.stop_name = "vetra-events-" + uuid.uuid4().hex
        self.process = subprocess.Popen([harness.WINE, harness.PROBE, "events", str(window), self.stop_name],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        ready = self.process.stdout.readline().decode().strip()
        if ready != "ready":
            self.process.kill()
            raise AssertionError("the event hook did not start: %r" % ready)

    def stop(self):
        """Every event the hook received, as (event, handle, id, text), in order."""
        harness.probe("stop", self.stop_name)
        out, _ = self.process.communicate(timeout=30)
        events = []
        for line in out.decode("latin-1").splitlines():
            event, handle, control_id, _, text = (line.split("\t") + [""] * 5)[:5]
            events.append((event, int(handle), int(control_id), harness.decode_text(text)))
        return events


def live_changes(events, handles=None):
    return [(e[2], e[3]) for e in events if e[0] == LIVE_REGION_CHANGED and (handles is None or e[1] in handles)]


class AccessibilityTest(PlayerTest):
    def start(self, toml, files=None, kind="text"):
        exe = harness.pack_quiz(toml, media(kind))
        player = harness.Player(exe=exe, name="quiz.exe", files=files)
        self.addCleanup(player.kill)
        # Wine has no media player: the audio and video sheets say so first.
        harness.start_answering(player)
        return player, Sheet(player)

    def judge(self, player, sheet, k, text, verdict):
        harness.probe("settext", player.child(sheet.sheet, PLAYER_IDS.answerBoxIdBase + k), text)
        harness.probe("post", player.child(sheet.sheet, PLAYER_IDS.answerBoxIdBase + k), WM_KEYUP, VK_RETURN, 0)
        self.assertEqual(wait_for_value(lambda: sheet.verdict(k), verdict), verdict)

    def test_every_kind_names_its_controls_and_gives_no_answer_away(self):
        image, sound, video = "Image de la question %d", "Extrait sonore de la question %d", \
            "Extrait vid\u00e9o de la question %d"
        cases = [
            ("text", 1, None, ["Question %d"], lambda n: QUESTIONS[n - 1][0]),
            ("pictures", 2, ("Ville", "Pays"), ["Question %d, Ville", "Question %d, Pays"], lambda n: image % n),
            ("audio", 2, None, ["Question %d, r\u00e9ponse 1", "Question %d, r\u00e9ponse 2"], lambda n: sound % n),
            ("video", 1, None, ["Question %d"], lambda n: video % n),
        ]
        for kind, m, captions, names, subject in cases:
            with self.subTest(kind=kind):
                player, sheet = self.start(source(kind, m, captions), kind=kind)
                read = accessible(sheet.sheet)
                for n in (1, 2, 3):
                    for j in range(1, m + 1):
                        box = read[PLAYER_IDS.answerBoxIdBase + (n - 1) * m + j]
                        self.assertEqual((box.role, box.name, box.description), (ROLE_TEXT, names[j - 1] % n,
                                                                                 subject(n)), box)
                    if kind == "pictures":
                        self.assertEqual(read[PLAYER_IDS.pictureControlIdBase + n].name, image % n)
                    if kind in ("audio", "video"):
                        self.assertEqual(read[PLAYER_IDS.playButtonIdBase + n].name, "\u00c9couter l'extrait %d" % n)
                        self.assertEqual(read[PLAYER_IDS.stopButtonIdBase + n].name, "Arr\u00eater l'extrait %d" % n)
                header = accessible(sheet.header)
                self.assertEqual(header[SCORE_ID].name, "Score : 0 sur 3")
                self.assertEqual(header[REWARD_ID].name, "Code : aucun")

                # A near miss: the box reads what was typed and its verdict, and still no answer.
                first = QUESTIONS[0][1]
                self.judge(player, sheet, 1, first[:-1], "Quasiment")
                box = accessible(sheet.sheet)[PLAYER_IDS.answerBoxIdBase + 1]
                self.assertEqual((box.value, box.description), (first[:-1], subject(1) + ", Quasiment"))
                self.judge(player, sheet, 1, first, "BRAVO")
                if m == 1:
                    self.assertEqual(accessible(sheet.header)[SCORE_ID].name, "Score : 1 sur 3")
                said = " ".join(a.name + " " + a.description for a in accessible(player.main).values()).upper()
                for question in QUESTIONS:
                    for answer in question[1:]:
                        self.assertNotIn(answer.upper(), said, kind)
                self.assertEqual(player.close(), 0)

    def test_a_verdict_change_signals_its_label_then_the_score_and_typing_signals_nothing(self):
        player, sheet = self.start(source("text"))
        focus_keyboard(player.info(player.main).text)
        sheet.click(PLAYER_IDS.answerBoxIdBase + 1)

        events = Events(player.main)
        type_text("paris")
        self.assertEqual(wait_for_value(lambda: sheet.box(1), "paris"), "paris")
        self.assertEqual(live_changes(events.stop()), [], "typing alone")

        events = Events(player.main)
        key("Return")
        self.assertEqual(wait_for_value(lambda: sheet.score(), " 1 / 3"), " 1 / 3")
        self.assertEqual(live_changes(events.stop()), [(5001, "BRAVO"), (SCORE_ID, " 1 / 3")])

        events = Events(player.main)
        key("Return")  # judged again with the same text: no change, nothing said
        key("Tab")     # leaving it judges it once more
        type_text("Rom")
        key("Return")
        self.assertEqual(wait_for_value(lambda: sheet.verdict(2), "Quasiment"), "Quasiment")
        self.assertEqual(live_changes(events.stop()), [(5002, "Quasiment")], "the score did not change")
        self.assertEqual(player.close(), 0)

    def test_building_the_sheet_from_the_progress_file_signals_nothing(self):
        events = Events()  # every process: the player does not exist yet
        player, sheet = self.start(source("text"), files={"quiz.txt": b"Paris\r\nRom\r\n\r\n"})
        self.assertEqual(sheet.verdicts(3), ["BRAVO", "Quasiment", "?"])
        self.assertEqual(sheet.score(), " 1 / 3")
        self.judge(player, sheet, 3, "Londres", "BRAVO")
        self.assertEqual(wait_for_value(lambda: sheet.score(), " 2 / 3"), " 2 / 3")
        handles = {c.handle for c in player.controls()}
        # The judgement after the build shows the hook hears this player; the build said nothing before it.
        self.assertEqual(live_changes(events.stop(), handles), [(5003, "BRAVO"), (SCORE_ID, " 2 / 3")])
        self.assertEqual(player.close(), 0)


if __name__ == "__main__":
    harness.main()
