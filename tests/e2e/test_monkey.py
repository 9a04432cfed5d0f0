"""A short random-use pass of the real player: one fixed seed per example
kind, a few dozen events each, then a close, a restart and the checks (see
monkey.py for the events and the invariants). The long pass is
`scripts/monkey MINUTES [SEED]`."""
import os
import tempfile
import unittest

import harness
import monkey
import verdict_oracle as oracle

SHORT_SEEDS = (20261208, 20261209, 20261210, 20261211)  # modulo 4: text, pictures, audio, video
SHORT_EVENTS = 25


class OracleTest(unittest.TestCase):
    """The independent judge on the worked examples of answer checking, so a wrong oracle cannot pass a
    wrong player."""

    CASES = (("oui", "ou", "FAUX"), ("oui", "OUI", "BRAVO"), ("Paris", " paris  ", "BRAVO"),
             ("Paris", "   ", "?"), ("Paris", "pari", "Quasiment"), ("Paris", "Prais", "Anagramme"),
             ("Paris", "Paris France", "Trop long"), ("Jules Verne", "Verne Jules", "Anagramme"),
             ("Leonard de Vinci", "Leonard de Vin", "Presque"), ("Leonard de Vinci", "Leonard de V", "Trop court"),
             ("Leonard de Vinci", "Leonard de", "pas loin"), ("Leonard de Vinci", "Leonard", "FAUX"),
             ("Marseille", "Marse", "FAUX"), ("Christophe Colomb", "Christofe Kolomb", "y a de l'id\u00e9e"),
             ("\u00c9lan", "\u00e9lan", "Quasiment"), ("Saint-Exup\u00e9ry", "Saint Exupery", "Presque"),
             ("abcdefghij", "abcdefg", "pas loin"), ("Paris ", "Paris", "Quasiment"))

    def test_worked_examples(self):
        for accepted, typed, want in self.CASES:
            self.assertEqual(oracle.verdict(accepted.encode("cp1252"), typed.encode("cp1252")), want,
                             (accepted, typed))

    def test_scan_misses_an_overlapping_occurrence(self):
        self.assertEqual(oracle.scan(b"PARIS", b"PARIS FRANCE"), 2)
        self.assertEqual(oracle.scan(b"LEONARD DE VINCI", b"LEONARD"), -2)
        self.assertEqual(oracle.scan(b"AAAB", b"AAB"), 0)
        self.assertEqual(oracle.scan(b"ABC", b"ABABC"), 2)


class MonkeyTest(unittest.TestCase):
    def setUp(self):
        alsa = os.path.join(tempfile.mkdtemp(prefix="vetra-alsa-"), "asound.conf")
        with open(alsa, "w") as f:
            f.write(monkey.ALSA_NULL)
        os.environ["ALSA_CONFIG_PATH"] = alsa

    def run_seed(self, seed):
        figures = monkey.Monkey(seed, SHORT_EVENTS).run()
        print("seed %d: %s" % (seed, figures))
        self.assertGreaterEqual(figures["restarts"], 1)
        self.assertGreater(figures["labels checked"], 0)

    def test_text(self):
        self.run_seed(SHORT_SEEDS[0])

    def test_pictures(self):
        self.run_seed(SHORT_SEEDS[1])

    def test_audio(self):
        self.run_seed(SHORT_SEEDS[2])

    def test_video(self):
        self.run_seed(SHORT_SEEDS[3])

    def test_findings_of_the_long_pass(self):
        """The two runs of the long pass that ended in a finding, replayed up to it: a clip started with
        Enter whose video window took the keyboard before Alt+F4 (50007), and a resize just before a click
        on Sauver (50035). Both were the monkey's own doing under Wine; they stay as replays so that the
        monkey keeps doing what a person would."""
        for seed, events in ((50007, 11), (50035, 96)):
            figures = monkey.Monkey(seed, events, stop_at=events).run()
            print("replay %d to %d: %s" % (seed, events, figures))
            self.assertEqual(figures["events"], events, seed)


if __name__ == "__main__":
    harness.main()
