"""Note names, chords and a compact melody notation for writing the music."""

import midi

_STEPS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def key(name):
    """'A4' -> 69, 'G#3' -> 56, 'Bb1' -> 34."""
    step = _STEPS[name[0]]
    rest = name[1:]
    while rest and rest[0] in "#b":
        step += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + step


def chord(names):
    """'A3 C4 E4' -> [57, 60, 64]."""
    return [key(n) for n in names.split()]


def melody(text):
    """Parses 'E5:1 A5:.5 r:.5 ...' (pitch:beats, r for a rest) into (start, beats, key)
    tuples, starts in beats from the phrase start."""
    notes, now = [], 0.0
    for token in text.split():
        pitch, length = token.split(":")
        length = float(length)
        if pitch != "r":
            notes.append((now, length, key(pitch)))
        now += length
    return notes, now


def ticks(beats):
    return round(beats * midi.PPQ)


def bar_ticks(bar, beats_per_bar=4):
    return bar * beats_per_bar * midi.PPQ
