"""Tests of the test-song generator and of the committed songs.
Run: /usr/bin/python3 -m unittest discover -s tools/songs -p 'test_*.py'"""

import os
import tempfile
import unittest

import numpy as np

import generate  # puts the synthesiser on the path
import common  # noqa: E402  (after generate)
import grid
import songs

SONGS_DIR = os.path.join(generate.HERE, "..", "..", "tests", "songs")


def onset_ratio(audio, time, window=0.02):
    """Loudness just after a time over loudness just before it. Measured on the signal's
    slope, where attacks stand out and a low note's own waves do not."""
    audio = np.diff(audio, prepend=0.0)
    at, span = int(round(time * common.RATE)), int(window * common.RATE)
    before = np.mean(audio[at - span:at] ** 2) + 1e-12
    return np.mean(audio[at:at + span] ** 2) / before


class GridTest(unittest.TestCase):
    def test_tempo_change_continues_the_grid_and_swing_moves_off_beats(self):
        times = grid.beat_times([(120, 2), (60, 2)], start=1.0)
        self.assertEqual(times, [1.0, 1.5, 2.0, 3.0, 4.0])
        self.assertEqual(grid.position(times, 1.5), 1.75)
        self.assertAlmostEqual(grid.position(times, 2.5, swing=2 / 3), 2 + 2 / 3)
        self.assertEqual(grid.position(times, 3, swing=2 / 3), 3.0)


class RenderTest(unittest.TestCase):
    def test_every_true_beat_is_heard_where_the_truth_says(self):
        for song in (songs.Song("a.ogg", ((100, 8), (140, 8)), swing=2 / 3),
                     songs.Song("b.ogg", ((110, 8),), groove="none")):
            audio = songs.render(song)
            for t in songs.truth(song):  # a hit starts within 4 ms after, none just before
                self.assertGreater(onset_ratio(audio, t, 0.004), 5.0, (song.groove, t))
                self.assertLess(onset_ratio(audio, t - 0.004, 0.004), 5.0, (song.groove, t))

    def test_quiet_intro_is_quiet_and_has_no_onsets(self):
        song = songs.Song("q.ogg", ((120, 16),), intro_bars=2)
        audio = songs.render(song)
        intro_end = int(songs.truth(song)[8] * common.RATE)
        self.assertLess(np.abs(audio[:intro_end]).max(), 0.06 * np.abs(audio).max())
        self.assertGreater(onset_ratio(audio, songs.truth(song)[8]), 4.0)

    def test_halving_the_rate_keeps_sounds_in_place(self):
        click = np.zeros(4000)
        click[1000] = 1.0
        self.assertEqual(int(np.argmax(generate.resample(click, 22050))), 500)


class CommittedSongsTest(unittest.TestCase):
    def test_truth_files_match_the_generator_and_songs_stay_small(self):
        total = 0
        for song in songs.SONGS:
            stem = os.path.splitext(song.name)[0]
            with open(os.path.join(SONGS_DIR, stem + ".beats")) as f:
                lines = [line for line in f if not line.startswith("#")]
            self.assertEqual([float(x) for x in lines],
                             [round(t, 6) for t in songs.truth(song)], song.name)
            total += os.path.getsize(os.path.join(SONGS_DIR, song.name))
        total += os.path.getsize(os.path.join(SONGS_DIR, songs.PAD_ONLY))
        self.assertLess(total, 3_000_000)

    def test_rebuilding_gives_the_committed_bytes(self):
        names = {"no_drums_110.ogg", "straight_095.flac"}
        with tempfile.TemporaryDirectory() as tmp:
            generate.build(tmp, names)
            for name in names:
                with open(os.path.join(tmp, name), "rb") as a, \
                        open(os.path.join(SONGS_DIR, name), "rb") as b:
                    self.assertEqual(a.read(), b.read(), name)


if __name__ == "__main__":
    unittest.main()
