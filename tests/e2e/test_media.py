"""Clips of the audio and video quizzes as a user meets them: a play button
writes its clip next to the player and hands it to Windows Media Player, the
next play removes the previous clip, stop removes the current one, closing
removes them all; without the player a message says so once and the clips
go to the shell instead. Text and picture quizzes host no player."""
import os
import re
import subprocess
import tempfile
import time

import harness
from harness import ALSA_NULL, EXAMPLES, PlayerTest, wait_until

BM_CLICK = 0x00F5
CLIP_NAME = re.compile(r"vetra[0-9]+\.(mp3|avi)")
MISSING_TEXT = "WindowMediaplayer non d\u00e9tect\u00e9."



class EnvPlayer(harness.Player):
    """A player started with extra environment variables and its Wine output kept in a file."""

    def __init__(self, env=None, **kwargs):
        super().__init__(**kwargs)
        self.env = env or {}
        self.log = os.path.join(self.workdir, "wine-output.txt")

    def start(self, wait=True):
        env = dict(os.environ)
        env.update(self.env)
        with open(self.log, "wb") as out:
            self.process = subprocess.Popen([harness.WINE, self.exe], cwd=self.workdir, stdout=out, stderr=out,
                                            stdin=subprocess.DEVNULL, env=env)
        if wait:
            self.main = int(harness.probe("wait", "WindowsApp", "-", 30000).strip())
        return self

    def wine_output(self):
        with open(self.log, "rb") as f:
            return f.read().decode("latin-1")

    def clips(self):
        return sorted(n for n in os.listdir(self.workdir) if CLIP_NAME.fullmatch(n))


def example(kind, name):
    folder = os.path.join(EXAMPLES, kind)
    with open(os.path.join(folder, name), encoding="utf-8") as f:
        toml = f.read()
    media = {}
    names = os.listdir(os.path.join(folder, "media")) if os.path.isdir(os.path.join(folder, "media")) else []
    for fname in names:
        with open(os.path.join(folder, "media", fname), "rb") as f:
            media["media/" + fname] = f.read()
    return toml, media


class MediaTest(PlayerTest):
    def launch_example(self, kind, name, env=None, wait=True):
        toml, media = example(kind, name)
        exe = harness.pack_quiz(toml, media, name="vetra.exe")
        player = EnvPlayer(exe=exe, env=env)
        self.addCleanup(player.kill)
        self.media = media
        return player.start(wait=wait)

    def sheet(self, player):
        sheets = [c for c in player.top_children() if c.cls == "#32770" and c.style & 0x00300000]
        self.assertEqual(len(sheets), 1)
        return sheets[0].handle

    def press(self, player, sheet, control_id):
        button = player.child(sheet, control_id)
        self.assertIsNotNone(button, control_id)
        # Sent, so the click has been handled when the probe returns; a slow
        # first render may outlast the probe's wait, which the callers allow for.
        harness.probe_ok("send", button, BM_CLICK, 0, 0)

    def assert_clip(self, player, name, source):
        self.assertTrue(wait_until(lambda: player.file(name) is not None), "%s never written" % name)
        self.assertEqual(player.file(name), self.media[source], name)

    def alsa_env(self):
        path = os.path.join(tempfile.mkdtemp(prefix="vetra-alsa-"), "asound.conf")
        with open(path, "w") as f:
            f.write(ALSA_NULL)
        return {"ALSA_CONFIG_PATH": path}

    def test_audio_clips_come_and_go_with_the_buttons(self):
        player = self.launch_example("audio", "villes.toml", env=self.alsa_env())
        sheet = self.sheet(player)
        host = [c for c in player.controls(sheet) if c.id == 9900]
        self.assertEqual(len(host), 1)
        self.assertEqual(host[0].cls.lower(), "static")
        self.assertEqual((host[0].x, host[0].y, host[0].w, host[0].h), (0, 0, 0, 0))
        self.assertFalse(harness.probe_ok("msgbox", "Information", 500), "no message with the player present")

        self.press(player, sheet, 6001)
        self.assert_clip(player, "vetra1.mp3", "media/1.mp3")
        self.press(player, sheet, 6002)
        self.assert_clip(player, "vetra2.mp3", "media/2.mp3")
        self.assertTrue(wait_until(lambda: player.clips() == ["vetra2.mp3"]), player.clips())
        self.press(player, sheet, 7001)  # any stop button stops the clip started last
        self.assertTrue(wait_until(lambda: player.clips() == []), player.clips())

        self.press(player, sheet, 6003)
        self.assert_clip(player, "vetra3.mp3", "media/3.mp3")
        harness.screenshot("media-audio-playing")
        self.assertEqual(player.close(), 0)
        self.assertEqual(player.clips(), [])

    def test_video_clips_are_avi_files(self):
        player = self.launch_example("video", "couleurs.toml")
        sheet = self.sheet(player)
        self.press(player, sheet, 6002)
        self.assert_clip(player, "vetra2.avi", "media/2.avi")
        self.press(player, sheet, 6001)
        self.assert_clip(player, "vetra1.avi", "media/1.avi")
        self.assertTrue(wait_until(lambda: player.clips() == ["vetra1.avi"]), player.clips())
        self.assertEqual(player.close(), 0)
        self.assertEqual(player.clips(), [])

    def test_without_the_player_the_shell_opens_the_clips(self):
        overrides = os.environ.get("WINEDLLOVERRIDES", "")
        env = {"WINEDLLOVERRIDES": (overrides + ";" if overrides else "") + "wmp=d", "WINEDEBUG": "-all,trace+exec"}
        player = self.launch_example("audio", "villes.toml", env=env, wait=False)
        self.assertEqual(harness.decode_text(harness.probe("msgbox", "Information", 30000).strip()), MISSING_TEXT)
        self.assertTrue(harness.probe_ok("dismiss", "Information", 1000))
        player.main = int(harness.probe("wait", "WindowsApp", "-", 30000).strip())
        self.assertFalse(harness.probe_ok("msgbox", "Information", 1000), "the message comes once")
        sheet = self.sheet(player)
        self.assertIsNotNone(player.child(sheet, 9900), "the host is made all the same")

        self.press(player, sheet, 6001)
        self.assert_clip(player, "vetra1.mp3", "media/1.mp3")
        self.assertTrue(wait_until(lambda: 'file=L"vetra1.mp3"' in player.wine_output()), "no shell open seen")
        opened = [l for l in player.wine_output().splitlines() if 'file=L"vetra1.mp3"' in l][0]
        self.assertIn('verb=L"open"', opened)
        self.press(player, sheet, 7001)  # nothing to stop: the clip stays
        time.sleep(1)
        self.assertEqual(player.clips(), ["vetra1.mp3"])
        self.assertEqual(player.close(), 0)
        self.assertEqual(player.clips(), [])

    def test_text_and_picture_quizzes_host_no_player(self):
        for kind, name in (("text", "capitales.toml"), ("pictures", "formes.toml")):
            player = self.launch_example(kind, name)
            sheet = self.sheet(player)
            ids = [c.id for c in player.controls(sheet)]
            self.assertNotIn(9900, ids, kind)
            self.assertFalse([i for i in ids if 6001 <= i <= 7096], kind)
            self.assertEqual(player.close(), 0)


if __name__ == "__main__":
    harness.main()
