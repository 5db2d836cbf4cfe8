"""The test songs: each a beat grid, a groove played on it and a file format. The truth
of each song is its grid, written beside it; the pad alone has no beat at all."""

import dataclasses

import numpy as np

import common
import grid
import instruments as ins
import score

# A four-bar progression: (chord, bass root)
PROGRESSION = [("A3 C4 E4", "A1"), ("F3 A3 C4", "F1"), ("C4 E4 G4", "C2"), ("G3 B3 D4", "G1")]

# Drum parts per bar as positions in beats; "x.5" positions follow the song's swing.
EIGHTHS = [b / 2 for b in range(8)]
GROOVES = {
    "rock": {"kick": [0, 2], "snare": [1, 3], "hat": EIGHTHS},
    "syncopated": {"kick": [0, 1.5, 2.5], "snare": [1, 3], "hat": EIGHTHS},
    "halftime": {"kick": [0], "snare": [2], "hat": [0, 1, 2, 3]},
    "none": {},
}


@dataclasses.dataclass(frozen=True)
class Song:
    name: str                 # file name, extension included
    sections: tuple           # ((bpm, beats), ...)
    groove: str = "rock"
    swing: float = 0.5
    intro_bars: int = 0       # bars of quiet pad before the drums come in
    rate: int = common.RATE   # sample rate of the file

    @property
    def kind(self):
        return "change" if len(self.sections) > 1 else "steady"


SONGS = [
    Song("straight_070.ogg", ((70, 24),)),
    Song("straight_095.flac", ((95, 24),), rate=22050),
    Song("swing_120.ogg", ((120, 40),), swing=2 / 3),
    Song("syncopated_150.ogg", ((150, 48),), groove="syncopated"),
    Song("fast_190.mp3", ((190, 64),)),
    Song("quiet_intro_128.ogg", ((128, 48),), intro_bars=4),
    Song("tempo_change_100_140.ogg", ((100, 28), (140, 40))),
    Song("no_drums_110.ogg", ((110, 36),), groove="none"),
    Song("straight_060.ogg", ((60, 20),)),
    Song("half_time_150.ogg", ((150, 48),), groove="halftime"),
    Song("accelerando_100_125.ogg", tuple((100 + 25 * k / 95, 1) for k in range(96))),
]
PAD_ONLY = "pad_only.wav"
PAD_CHORDS = [(0.2, 3.9, "A3 C4 E4"), (3.1, 4.4, "F3 A3 C4"), (6.6, 3.2, "C4 E4 G4"),
              (8.9, 3.0, "G3 B3 D4")]  # (start, length, chord): deliberately off any grid


def truth(song):
    """The beat times a listener taps along to."""
    return grid.beat_times(song.sections)[:-1]


def music_end(song):
    """Where the last bar ends: after it only the last notes' tails ring for a second."""
    return grid.beat_times(song.sections)[-1]


def _place(out, time, part):
    start = int(round(time * common.RATE))
    end = min(len(out), start + len(part))
    out[start:end] += part[:end - start]


def render(song):
    """The song as float mono at the synthesiser's rate."""
    times = grid.beat_times(song.sections)
    beats = len(times) - 1
    out = np.zeros(int(times[-1] * common.RATE) + common.RATE)
    drums = {"kick": ins.kick(), "snare": ins.snare(), "hat": ins.hat()}
    for bar in range(beats // 4):
        first = bar * 4
        chord, root = PROGRESSION[bar % 4]
        keys = tuple(score.chord(chord))
        bar_length = times[first + 4] - times[first]
        _place(out, times[first], ins.pad(keys, round(bar_length, 3)) * 0.6)
        if bar < song.intro_bars:
            continue
        for name, positions in GROOVES[song.groove].items():
            for p in positions:
                _place(out, grid.position(times, first + p, song.swing), drums[name])
        for beat in range(4):
            at = times[first + beat]
            length = round(times[first + beat + 1] - at, 3)
            if song.groove == "none":  # bass and chords carry the beat alone
                _place(out, at, ins.bass(score.key(root), length))
                _place(out, at, ins.stab(keys, length))
            elif beat % 2 == 0:
                _place(out, at, ins.bass(score.key(root), length * 2))
    if song.intro_bars:  # the intro is the quiet pad alone, far under the song
        intro_end = int(times[song.intro_bars * 4] * common.RATE)
        out[:intro_end] *= 0.25
    return out


def render_pad():
    out = np.zeros(int(12.5 * common.RATE))
    for start, length, chord in PAD_CHORDS:
        _place(out, start, ins.pad(tuple(score.chord(chord)), length, attack=1.5))
    return out
