"""Tests of the sound generator's parts and of the committed sound files.
Run: /usr/bin/python3 -m unittest discover -s tools/sounds -p 'test_*.py'"""

import os
import tempfile
import unittest

import numpy as np

import check_sounds
import common
import creatures
import effects
import generate
import midi
import render
import score
import speech


def parse_smf(data):
    """Minimal reader for what midi.py writes: (ppq, [[(tick, bytes), ...] per track])."""
    assert data[:4] == b"MThd" and int.from_bytes(data[4:8], "big") == 6
    count = int.from_bytes(data[10:12], "big")
    ppq = int.from_bytes(data[12:14], "big")
    pos, tracks = 14, []
    for _ in range(count):
        assert data[pos:pos + 4] == b"MTrk"
        end = pos + 8 + int.from_bytes(data[pos + 4:pos + 8], "big")
        pos, tick, events = pos + 8, 0, []
        while pos < end:
            delta = 0
            while True:
                byte = data[pos]
                pos += 1
                delta = (delta << 7) | (byte & 0x7F)
                if byte < 0x80:
                    break
            tick += delta
            if data[pos] == 0xFF:
                size = data[pos + 2]  # every meta event written here is short
                length = 3 + size
            else:
                length = 2 if data[pos] & 0xF0 == 0xC0 else 3
            events.append((tick, data[pos:pos + length]))
            pos += length
        assert pos == end
        tracks.append(events)
    assert pos == len(data)
    return ppq, tracks


class MidiWriterTest(unittest.TestCase):
    def test_variable_length_quantities(self):
        cases = {0: b"\x00", 127: b"\x7f", 128: b"\x81\x00", 0x3FFF: b"\xff\x7f",
                 0x200000: b"\x81\x80\x80\x00"}
        for value, expected in cases.items():
            self.assertEqual(midi._varlen(value), expected, value)

    def test_file_round_trip_orders_offs_first_and_runs_to_end_tick(self):
        track = midi.Track("t")
        track.tempo(0, 180)
        track.note(0, 480, 0, 60, 100)
        track.note(480, 480, 0, 60, 90)  # re-strikes the key the first note releases
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "t.mid")
            midi.write_smf(path, [track], end_tick=5000)
            with open(path, "rb") as f:
                ppq, tracks = parse_smf(f.read())
        self.assertEqual(ppq, midi.PPQ)
        events = tracks[0]
        tempo = [e for t, e in events if e[:2] == b"\xff\x51"][0]
        self.assertEqual(int.from_bytes(tempo[3:6], "big"), 333333)
        at_480 = [e for t, e in events if t == 480]
        self.assertEqual(at_480, [b"\x80\x3c\x00", b"\x90\x3c\x5a"])
        self.assertEqual(events[-1], (5000, b"\xff\x2f\x00"))

    def test_rejects_notes_the_format_cannot_hold(self):
        track = midi.Track()
        for bad in ((0, 10, 0, 128, 100), (0, 10, 0, 60, 0), (0, 0, 0, 60, 100)):
            with self.assertRaises(ValueError):
                track.note(*bad)


class ScoreTest(unittest.TestCase):
    def test_note_names_and_melodies(self):
        self.assertEqual([score.key(n) for n in ("C4", "A4", "G#3", "Bb1", "C-1")],
                         [60, 69, 56, 34, 0])
        notes, length = score.melody("E5:1 r:.5 A5:.5 C6:2")
        self.assertEqual(notes, [(0.0, 1.0, 76), (1.5, 0.5, 81), (2.0, 2.0, 84)])
        self.assertEqual(length, 4.0)


class LoopTest(unittest.TestCase):
    def test_folded_loop_is_the_steady_state_of_repeating_the_render(self):
        length = 1000
        rng = np.random.default_rng(1)
        # One pass: sound from 0, a note near the end whose tail runs 2.5 loops on
        single = np.zeros((3600, 2))
        single[:800] = rng.uniform(-0.2, 0.2, (800, 2))
        t = np.arange(2700)
        single[900:] += (np.exp(-t / 600.0) * np.sin(t * 0.05))[:, None]
        loop = render.fold_loop(single, length)
        self.assertEqual(loop.shape, (length, 2))
        # The same pass repeated many times, as the game hears the loop
        repeated = np.zeros((length * 8 + len(single), 2))
        for k in range(8):
            repeated[k * length:k * length + len(single)] += single
        np.testing.assert_allclose(loop, repeated[5 * length:6 * length], atol=1e-12)

    def test_short_render_is_padded(self):
        loop = render.fold_loop(np.ones((10, 1)), 25)
        self.assertEqual(loop[:, 0].tolist(), [1.0] * 10 + [0.0] * 15)

    def test_limiter_holds_peaks_and_treats_the_seam_as_inside_the_loop(self):
        t = np.arange(20000)
        quiet = 0.1 * np.sin(t * 0.03)
        loud = quiet.copy()
        loud[:300] = 0.9 * np.sin(t[:300] * 0.3)  # a burst that straddles the seam
        loud[-300:] = 0.9 * np.sin(t[-300:] * 0.3)
        out = common.limit(loud, -6.0)
        self.assertLess(common.peak_db(out), -5.9)
        np.testing.assert_allclose(out[8000:12000], quiet[8000:12000])
        # The gain on the last sample matches the gain on the first ones (sample 0 is 0)
        self.assertAlmostEqual(out[-1] / loud[-1], out[1] / loud[1], places=2)


class EncoderTest(unittest.TestCase):
    def test_decoded_peak_stays_under_target_and_bytes_repeat(self):
        t = np.arange(22050) / common.RATE
        harsh = np.sign(np.sin(2 * np.pi * 440 * t)) * np.exp(-t * 3)  # vorbis overshoots
        with tempfile.TemporaryDirectory() as tmp:
            first = common.Encoder(os.path.join(tmp))
            first.save("a.ogg", harsh, -1.0)
            path = os.path.join(tmp, "a.ogg")
            peak = common.decoded_peak_db(path)
            self.assertLessEqual(peak, -1.0 + common.Encoder.CEILING_MARGIN)
            self.assertGreater(peak, -2.5)
            with open(path, "rb") as f:
                before = f.read()
            first.save("a.ogg", harsh, -1.0)
            with open(path, "rb") as f:
                self.assertEqual(f.read(), before)

    def test_wav_round_trip(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "x.wav")
            data = np.array([[0.0, 0.5], [-0.5, 1.0], [0.25, -1.0]])
            common.write_wav16(path, data)
            np.testing.assert_allclose(common.read_wav(path), data, atol=1 / 32767)


class CatalogueTest(unittest.TestCase):
    def test_generator_makes_exactly_the_games_files(self):
        made = (set(effects.EFFECTS) | set(speech.PHRASES) | set(creatures.CALLS)
                | set(generate.MUSIC) | {"BPM180.ogg"})
        self.assertEqual(made, check_sounds.EXPECTED)
        self.assertEqual(len(made), 46)

    def test_beat_loop_is_one_beat_starting_on_its_hit(self):
        kick = effects.beat_loop()
        self.assertEqual(len(kick), 14700)
        self.assertEqual(kick[0], 0.0)
        self.assertGreater(kick[1], 0.0)
        self.assertGreater(np.abs(kick[:2000]).max(), 0.5)
        self.assertLess(np.abs(kick[-50:]).max(), 1e-4)

    def test_music_lengths_are_whole_beats_in_whole_samples(self):
        for piece in (generate.game_music, generate.title_music):
            samples = piece.BEATS * common.RATE * 60 / piece.BPM
            self.assertEqual(samples, int(samples), piece.__name__)
        self.assertEqual(generate.game_music.BPM, 180)
        self.assertGreaterEqual(generate.game_music.BEATS / 3, 60)


ASSETS = os.path.join(common.HERE, "..", "..", "assets")


@unittest.skipUnless(os.path.isfile(os.path.join(ASSETS, "BPM180.ogg")), "no sounds built")
class AssetsTest(unittest.TestCase):
    def test_committed_sounds_pass_the_listening_checks(self):
        self.assertEqual(check_sounds.check(ASSETS, report=lambda line: None), [])


if __name__ == "__main__":
    unittest.main()
