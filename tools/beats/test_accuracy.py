"""Tests of the beat scoring on hand-made cases and of the script around it.
Run: /usr/bin/python3 -m unittest discover -s tools/beats -p 'test_*.py'"""

import contextlib
import io
import os
import stat
import tempfile
import unittest

import accuracy


def grid(bpm, count, start=0.5):
    return [start + i * 60.0 / bpm for i in range(count)]


class FMeasureTest(unittest.TestCase):
    def test_tolerance_one_to_one_and_extra_beats(self):
        true = grid(120, 20)
        f, p, r, pairs = accuracy.f_measure([t + 0.065 for t in true], true)
        self.assertEqual((f, p, r, len(pairs)), (1.0, 1.0, 1.0, 20))
        self.assertEqual(accuracy.f_measure([t + 0.075 for t in true], true)[0], 0.0)
        # Two found beats around one true beat: only one of them may count
        f, p, r, pairs = accuracy.f_measure([1.0, 1.05], [1.0])
        self.assertEqual((p, r, pairs), (0.5, 1.0, [(1.0, 1.0)]))
        self.assertAlmostEqual(f, 2 / 3)
        self.assertEqual(accuracy.f_measure([1.0], [0.97, 1.03])[1:3], (1.0, 0.5))
        # Every half beat found on a song the game plays as it is: half of them are wrong
        f, p, r, _ = accuracy.f_measure(grid(240, 40), true)
        self.assertEqual((p, r), (0.5, 1.0))
        self.assertEqual(accuracy.f_measure([], true)[:3], (0.0, 0.0, 0.0))

    def test_nearest_pairing_wins_over_order(self):
        # 1.03 is nearer 1.06 than 1.0 is; pairing in order would leave 1.06 unmatched
        pairs = accuracy.match([1.03, 1.1], [1.0, 1.06], tolerance=0.07)
        self.assertEqual(len(pairs), 2)


class ScoreTest(unittest.TestCase):
    def test_slow_and_fast_songs_are_scored_at_the_folded_tempo(self):
        slow = grid(70, 24)
        figures = accuracy.score(grid(140, 47), slow)
        self.assertEqual((figures["level"], figures["f"]), ("x2", 1.0))
        fast = grid(190, 64)
        figures = accuracy.score(fast[1::2], fast)
        self.assertEqual((figures["level"], figures["f"]), ("1/2 off", 1.0))
        self.assertEqual(accuracy.score(fast, fast)["precision"], 0.5)

    def test_offsets_and_event_beats(self):
        true = grid(100, 48)
        found = [t + 0.02 for t in true]
        for i in range(0, len(found), accuracy.EVENT_EVERY):
            found[i] = true[i] + 0.3  # the beats where events come are far off
        figures = accuracy.score(found, true)
        self.assertAlmostEqual(figures["offset"], 0.02)
        self.assertAlmostEqual(figures["events"], 0.3)
        self.assertEqual(accuracy.verdict("steady", figures), "F < 0.95, events off the beat")
        self.assertEqual(accuracy.verdict("change", accuracy.score(true[:-4], true)), "")

    def test_a_song_without_beat_wants_a_steady_grid(self):
        steady = [round(t, 3) for t in grid(97.3, 30)]
        self.assertEqual(accuracy.verdict("none", accuracy.score(steady, [])), "")
        self.assertEqual(accuracy.verdict("none", accuracy.score([], [])), "")
        steady[10] += 0.02
        self.assertEqual(accuracy.verdict("none", accuracy.score(steady, [])),
                         "beats not a steady grid")


FAKE = """#!/usr/bin/python3
import os
import sys
if "bad" in sys.argv[2]:
    sys.stderr.write("fenwhit: " + sys.argv[2] + ": not a song\\n")
    sys.exit(2)
if "quiet" in sys.argv[2]:
    sys.stderr.write("fenwhit: " + sys.argv[2] + ": no beat heard; a steady grid\\n")
stem = sys.argv[2][:-4]
found = os.path.join(os.path.dirname(stem), "found", os.path.basename(stem))
found = found if os.path.exists(found) else stem + ".beats"
beats = [float(l) for l in open(found) if not l.startswith("#")]
print("120.00")
print("\\n".join("%.3f" % (t + SHIFT) for t in beats))
"""


class ScriptTest(unittest.TestCase):
    def run_script(self, shift, songs, end="", extra=()):
        with tempfile.TemporaryDirectory() as tmp:
            fake = os.path.join(tmp, "fenwhit")
            with open(fake, "w") as f:
                f.write(FAKE.replace("SHIFT", str(shift)))
            os.chmod(fake, stat.S_IRWXU)
            for name, beats in songs.items():
                open(os.path.join(tmp, name + ".ogg"), "w").close()
                with open(os.path.join(tmp, name + ".beats"), "w") as f:
                    f.write("# kind: steady\n" + end + "".join(f"{t}\n" for t in beats))
                if extra:  # the analyser finds more than the truth
                    os.makedirs(os.path.join(tmp, "found"), exist_ok=True)
                    with open(os.path.join(tmp, "found", name), "w") as f:
                        f.write("".join(f"{t}\n" for t in beats + list(extra)))
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                status = accuracy.main(["--fenwhit", fake, "--songs", tmp])
            return status, out.getvalue()

    def test_status_follows_the_goals(self):
        status, out = self.run_script(0.0, {"a": grid(120, 30)})
        self.assertEqual(status, 0, out)
        self.assertIn("all met", out)
        status, out = self.run_script(0.09, {"a": grid(120, 30)})
        self.assertEqual(status, 1, out)
        status, out = self.run_script(0.0, {"a": grid(120, 30), "bad": grid(99, 9)})
        self.assertEqual(status, 1, out)
        self.assertIn("bad.ogg", out)
        self.assertIn("not a song", out)
        # A song with a beat said to have none misses, however well its grid fits.
        status, out = self.run_script(0.0, {"quiet": grid(120, 30)})
        self.assertEqual(status, 1, out)
        self.assertRegex(out, r"quiet.ogg .* 1.000 .*called beatless")

    def test_beats_after_the_music_are_counted_apart(self):
        # The analyser runs on past the music's end: three beats, at 10.25 and later
        music, after = {"a": grid(120, 20)}, (10.5, 11.0, 11.5)
        status, out = self.run_script(0.0, music, "# end: 10.5\n", after)
        self.assertEqual(status, 0, out)
        self.assertRegex(out, r"a.ogg .* 1.000 +1.000 +1.000 .* 3  ok")
        status, out = self.run_script(0.0, music, "", after)
        self.assertEqual(status, 1, out)

    def test_truth_files_are_read_with_their_kind(self):
        songs = os.path.join(os.path.dirname(__file__), "..", "..", "tests", "songs")
        kind, end, beats = accuracy.read_beats(
            os.path.join(songs, "tempo_change_100_140.beats"))
        self.assertEqual((kind, len(beats), beats[0]), ("change", 68, 0.2))
        self.assertAlmostEqual(end, beats[-1] + 60 / 140, places=5)
        self.assertEqual(accuracy.read_beats(os.path.join(songs, "pad_only.beats")),
                         ("none", None, []))


if __name__ == "__main__":
    unittest.main()
