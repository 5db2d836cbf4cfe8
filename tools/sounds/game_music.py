"""The game music: 192 beats at 180 BPM in A minor, drums without a kick (the beat
track supplies the kick on every beat), driving bass, pads, stabs, arpeggios and lead."""

import random

import midi
import score
from score import bar_ticks, chord, key, ticks

BPM = 180
BARS = 48
BEATS = BARS * 4

DRUMS, BASS, PAD, ARP, LEAD, HARMONY, STAB = 9, 0, 1, 2, 3, 4, 5

# (pad voicing, bass root) for each bar of an eight-bar phrase
VERSE = [("A3 C4 E4", "A1"), ("A3 C4 F4", "F1"), ("G3 C4 E4", "C2"), ("G3 B3 D4", "G1"),
         ("A3 C4 E4", "A1"), ("A3 C4 F4", "F1"), ("G3 B3 D4", "G1"), ("G#3 B3 E4", "E1")]
BRIDGE = [("A3 D4 F4", "D2"), ("Bb3 D4 F4", "Bb1"), ("G3 C4 E4", "C2"), ("A3 C4 E4", "A1"),
          ("A3 D4 F4", "D2"), ("A3 C4 F4", "F1"), ("B3 D4 G4", "G1"), ("B3 E4 G#4", "E1")]

# Sections: (first bar, harmony, parts playing)
SECTIONS = [
    (0, VERSE, {"hats", "bass_off", "pad", "arp_soft", "claps_late"}),
    (8, VERSE, {"hats", "claps", "bass_roll", "pad", "lead", "crash"}),
    (16, VERSE, {"hats", "claps", "bass_roll", "pad", "lead2", "arp_soft"}),
    (24, BRIDGE, {"hats", "claps", "bass_off", "stabs", "arp", "crash", "bridge_lead"}),
    (32, VERSE, {"hats", "open_hats", "claps", "bass_roll", "pad", "lead", "harmony", "arp",
                 "crash"}),
    (40, VERSE, {"hats", "open_hats", "claps", "bass_roll", "pad", "lead2", "harmony", "arp",
                 "fill_out"}),
]

LEAD_A = ("E5:1 A5:1 E5:.5 C5:.5 A4:1 "
          "F5:1.5 E5:.5 C5:1 A4:1 "
          "G5:1 E5:.5 G5:.5 C6:1.5 B5:.5 "
          "D6:1 B5:1 G5:1 D5:1 "
          "E5:.5 E5:.5 A5:1 B5:.5 C6:1.5 "
          "C6:.5 B5:.5 A5:1 F5:1 A5:1 "
          "B5:1 G5:.5 B5:.5 D6:1 B5:1 "
          "G#5:1.5 E5:.5 B4:1 r:1")
LEAD_B = ("E5:1 A5:1 E5:.5 C5:.5 A4:1 "
          "F5:1.5 E5:.5 C5:1 A4:1 "
          "G5:1 E5:.5 G5:.5 C6:1.5 B5:.5 "
          "D6:1 B5:1 G5:1 D5:1 "
          "C6:.5 B5:.5 A5:.5 B5:.5 C6:1 E6:1 "
          "F6:1 E6:.5 D6:.5 C6:1 A5:1 "
          "B5:.5 C6:.5 D6:1 G5:1 B5:1 "
          "B5:1 G#5:1 E6:2")
BRIDGE_LEAD = ("D5:2 F5:1 A5:1 D6:3 C6:1 C6:2 E6:1 G6:1 E6:4 "
               "F6:2 E6:1 D6:1 C6:3 A5:1 B5:2 D6:1 G6:1 G#5:2 B5:1 E6:1")


class Song:
    def __init__(self):
        self.rng = random.Random(180)
        self.tracks = {name: midi.Track(name) for name in
                       ("drums", "bass", "pad", "arp", "lead", "harmony", "stab")}
        self.tracks["drums"].tempo(0, BPM)

    def vel(self, base, spread=8):
        return max(1, min(127, base + self.rng.randint(-spread, spread)))

    def hit(self, tick, drum, velocity, length=60):
        self.tracks["drums"].note(tick, length, DRUMS, drum, self.vel(velocity, 6))

    def setup(self):
        setups = [("bass", BASS, 38, 20, 0), ("pad", PAD, 90, 50, 40),
                  ("arp", ARP, 80, 45, 30), ("lead", LEAD, 81, 40, 20),
                  ("harmony", HARMONY, 80, 45, 20), ("stab", STAB, 62, 40, 10)]
        for name, channel, program, reverb, chorus in setups:
            track = self.tracks[name]
            track.program(0, channel, program)
            track.control(0, channel, 91, reverb)
            track.control(0, channel, 93, chorus)
        self.tracks["drums"].control(0, DRUMS, 91, 25)
        # Channel volumes balance the mix: the saw lead is far louder than the rest
        for name, channel, volume in (("drums", DRUMS, 127), ("bass", BASS, 67),
                                      ("pad", PAD, 46), ("arp", ARP, 35), ("lead", LEAD, 42),
                                      ("harmony", HARMONY, 53), ("stab", STAB, 47)):
            self.tracks[name].control(0, channel, 7, volume)
        self.tracks["lead"].control(0, LEAD, 10, 60)  # slightly left; harmony to the right
        self.tracks["harmony"].control(0, HARMONY, 10, 72)
        self.tracks["arp"].control(0, ARP, 10, 44)

    def drums(self, bar, parts, last_of_section):
        start = bar_ticks(bar)
        eighth = ticks(0.5)
        for step in range(8):
            tick = start + step * eighth
            if "hats" in parts:
                offbeat = step % 2 == 1
                if offbeat and "open_hats" in parts:
                    self.hit(tick, 46, 84, 100)
                else:
                    self.hit(tick, 42, 96 if offbeat else 66)
            if step in (2, 6) and ("claps" in parts or ("claps_late" in parts and bar >= 4)):
                self.hit(tick, 39, 112)
                self.hit(tick, 38, 84)
        if "crash" in parts and bar % 8 == 0:
            self.hit(start, 49, 100, ticks(2))
        if last_of_section and ("fill_out" in parts or "crash" in parts or bar == 7):
            # Snare run over the last beat: sixteenths growing louder
            for i in range(4):
                self.hit(start + ticks(3 + i / 4), 38, 60 + 12 * i)
            if "fill_out" in parts:
                for i, tom in enumerate((50, 48, 47, 45)):
                    self.hit(start + ticks(2 + i / 4), tom, 80 + 5 * i)

    def bass(self, bar, root_name, parts):
        root = key(root_name)
        start = bar_ticks(bar)
        eighth = ticks(0.5)
        for step in range(8):
            tick = start + step * eighth
            if "bass_off" in parts:
                if step % 2 == 1:
                    self.tracks["bass"].note(tick, eighth - 40, BASS, root + 12, self.vel(100))
            elif "bass_roll" in parts:
                up = step % 2 == 1
                note = root + 12 if up else root
                if step == 7 and bar % 2 == 1:
                    note = root + 19  # the fifth, a push into the next bar
                self.tracks["bass"].note(tick, eighth - 30, BASS, note, self.vel(104 if up else 88))

    def pad(self, bar, voicing, parts):
        if "pad" in parts:
            for k in chord(voicing):
                self.tracks["pad"].note(bar_ticks(bar), ticks(4) - 20, PAD, k, self.vel(64, 4))
        if "stabs" in parts:
            for pos in (0, 1.5, 3):  # syncopated stabs
                for k in chord(voicing):
                    self.tracks["stab"].note(bar_ticks(bar) + ticks(pos), ticks(0.35), STAB,
                                             k + 12, self.vel(84, 5))

    def arp(self, bar, voicing, parts):
        if not ({"arp", "arp_soft"} & parts):
            return
        tones = chord(voicing)
        pattern = [tones[0], tones[1], tones[2], tones[0] + 12, tones[2], tones[1]]
        base = 60 if "arp_soft" in parts and "arp" not in parts else 76
        sixteenth = ticks(0.25)
        for step in range(16):
            k = pattern[step % len(pattern)] + 12
            accent = 12 if step % 4 == 0 else 0
            self.tracks["arp"].note(bar_ticks(bar) + step * sixteenth, sixteenth - 25, ARP,
                                    k, self.vel(base + accent, 4))

    def phrase(self, track, channel, first_bar, text, velocity, transpose=0, gate=0.9):
        notes, _ = score.melody(text)
        for start, length, k in notes:
            self.tracks[track].note(bar_ticks(first_bar) + ticks(start),
                                    max(30, round(ticks(length) * gate)), channel,
                                    k + transpose, self.vel(velocity, 6))

    def harmony_line(self, first_bar, text):
        # A third below the melody, kept inside the chord of each bar where it can
        notes, _ = score.melody(text)
        phrase = VERSE
        for start, length, k in notes:
            bar = int(start // 4)
            tones = chord(phrase[bar][0])
            pitch_classes = sorted({t % 12 for t in tones})
            below = [k - d for d in range(3, 6) if (k - d) % 12 in pitch_classes]
            low = below[0] if below else k - 3
            self.tracks["harmony"].note(bar_ticks(first_bar) + ticks(start),
                                        max(30, round(ticks(length) * 0.85)), HARMONY,
                                        low, self.vel(70, 5))

    def build(self):
        self.setup()
        for index, (first, harmony, parts) in enumerate(SECTIONS):
            for offset, (voicing, root) in enumerate(harmony):
                bar = first + offset
                self.drums(bar, parts, offset == 7)
                self.bass(bar, root, parts)
                self.pad(bar, voicing, parts)
                self.arp(bar, voicing, parts)
            if "lead" in parts:
                self.phrase("lead", LEAD, first, LEAD_A, 100)
            if "lead2" in parts:
                self.phrase("lead", LEAD, first, LEAD_B, 104)
            if "bridge_lead" in parts:
                self.phrase("lead", LEAD, first, BRIDGE_LEAD, 96, gate=0.97)
            if "harmony" in parts:
                self.harmony_line(first, LEAD_A if "lead" in parts else LEAD_B)
        return list(self.tracks.values())


def tracks():
    return Song().build()
