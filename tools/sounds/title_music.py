"""The title music: a calm, atmospheric loop of 32 beats at 90 BPM (about 21 s):
warm pads, a slow bell arpeggio, a soft bass and a choir on the second half."""

import random

import midi
from score import bar_ticks, chord, key, ticks

BPM = 90
BARS = 8
BEATS = BARS * 4

PAD, BELLS, BASS, CHOIR, SWELL = 0, 1, 2, 3, 4

# (pad voicing, bass note), one per bar
HARMONY = [("A3 C4 E4 B4", "A1"), ("A3 C4 E4 B4", "A1"),
           ("A3 C4 E4 F4", "F1"), ("A3 C4 E4 G4", "F1"),
           ("G3 C4 E4 B4", "C2"), ("G3 C4 E4 B4", "C2"),
           ("G3 B3 D4 A4", "G1"), ("G#3 B3 E4 D4", "E1")]


def tracks():
    rng = random.Random(90)
    names = ("pad", "bells", "bass", "choir", "swell")
    song = {name: midi.Track(name) for name in names}
    song["pad"].tempo(0, BPM)
    for name, channel, program, volume, reverb, chorus in (
            ("pad", PAD, 89, 80, 90, 60), ("bells", BELLS, 98, 86, 120, 30),
            ("bass", BASS, 33, 117, 40, 0), ("choir", CHOIR, 91, 72, 110, 50),
            ("swell", SWELL, 95, 45, 127, 40)):
        track = song[name]
        track.program(0, channel, program)
        track.control(0, channel, 7, volume)
        track.control(0, channel, 91, reverb)
        track.control(0, channel, 93, chorus)
    song["bells"].control(0, BELLS, 10, 40)
    song["choir"].control(0, CHOIR, 10, 84)

    def vel(base, spread=5):
        return max(1, min(127, base + rng.randint(-spread, spread)))

    for bar, (voicing, root) in enumerate(HARMONY):
        start = bar_ticks(bar)
        tones = chord(voicing)
        # Pads change every bar, releasing just before the next so chords don't smear
        for k in tones:
            song["pad"].note(start, ticks(4) - 30, PAD, k, vel(58, 3))
        song["bass"].note(start, ticks(3.5), BASS, key(root) + 12, vel(70))
        if bar % 2 == 1:
            song["bass"].note(start + ticks(3), ticks(0.9), BASS, key(root) + 19, vel(55))
        # Bells: a slow arpeggio of eighths rising over two octaves and falling back
        arpeggio = sorted(tones) + [t + 12 for t in sorted(tones)]
        pattern = [0, 2, 4, 6, 7, 5, 3, 1]
        for step, index in enumerate(pattern):
            song["bells"].note(start + step * ticks(0.5), ticks(0.45), BELLS,
                               arpeggio[index] + 12, vel(66 if step % 2 == 0 else 54))
        if bar >= 4:
            for k in tones[1:3]:
                song["choir"].note(start, ticks(4) - 30, CHOIR, k + 12, vel(50, 3))
    # A swell rising through the last two bars leads back to the start
    song["swell"].note(bar_ticks(6), ticks(8) - 60, SWELL, key("E4"), 60)
    song["swell"].note(bar_ticks(6), ticks(8) - 60, SWELL, key("B4"), 52)
    return list(song.values())
