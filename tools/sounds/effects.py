"""The game's sound effects and the beat track, synthesised from scratch."""

import numpy as np

import common
import synth
from synth import adsr, exp_decay, mix, noise, seconds, sine, square, sweep


def beat_loop():
    """One beat at 180 BPM, exactly 14700 samples: a kick that starts at sample 0 on a
    rising zero crossing and has died away long before the loop comes round."""
    count = common.BEAT
    t = np.arange(count) / common.RATE
    freq = 46.0 + 120.0 * np.exp(-t / 0.028)
    body = np.sin(2 * np.pi * synth.phase(freq) - 2 * np.pi * freq[0] / common.RATE)
    body *= np.exp(-t / 0.08)
    click = synth.one_pole_lowpass(noise(count, 1800), 5000.0) * np.exp(-t / 0.004) * 0.5
    kick = np.tanh(1.6 * (body + click))
    # Fade the last third to exact silence so the end meets the next start without a step
    tail = count // 3
    kick[-tail:] *= 0.5 + 0.5 * np.cos(np.linspace(0, np.pi, tail))
    kick[0] = 0.0
    return kick


def ballwall():
    """A short dry click: a tick of filtered noise over a fast-decaying high blip."""
    count = seconds(0.04)
    blip = sine(np.full(count, 1900.0)) * exp_decay(count, 0.006)
    tick = synth.highpass(noise(count, 11), 1500.0) * exp_decay(count, 0.0025)
    return common.fade(blip * 0.7 + tick * 0.8, fade_in=8, fade_out=seconds(0.01))


def explosion():
    """A deep blast: a thump, a rumble of low noise that darkens as it fades, and crackle."""
    count = seconds(1.6)
    t = np.arange(count) / common.RATE
    thump = sine(sweep(110.0, 32.0, 1.6)) * np.exp(-t / 0.25)
    cutoff = 200.0 + 5000.0 * np.exp(-t / 0.18)
    rumble = synth.one_pole_lowpass(noise(count, 12), cutoff)
    rumble = synth.one_pole_lowpass(rumble, cutoff) * np.exp(-t / 0.45)
    crackle = np.zeros(count)
    rng = np.random.default_rng(13)
    for start in rng.integers(0, seconds(0.9), 60):
        width = int(rng.integers(40, 300))
        grain = noise(width, int(start)) * np.hanning(width)
        crackle[start:start + width] += grain * np.exp(-start / seconds(0.3))
    out = 1.2 * thump + 3.0 * rumble + 0.25 * synth.highpass(crackle, 800.0)
    return common.fade(np.tanh(1.5 * out), fade_in=seconds(0.002), fade_out=seconds(0.3))


def new_event():
    """A bright rising sting: four quick notes of an A major arpeggio with a shimmer."""
    notes = []
    for i, freq in enumerate((880.0, 1108.7, 1318.5, 1760.0)):
        length = 0.55 - 0.06 * i
        count = seconds(length)
        tone = square(np.full(count, freq), 2.5) * 0.6 + sine(np.full(count, freq * 2)) * 0.2
        tone *= exp_decay(count, 0.12 + 0.05 * i) * adsr(count, 0.003, 0.05)
        notes.append((0.055 * i, tone))
    sting = mix(*notes)
    shimmer_count = len(sting)
    shimmer = synth.highpass(noise(shimmer_count, 14), 6000.0)
    shimmer *= np.exp(-np.arange(shimmer_count) / seconds(0.15)) * 0.15
    return common.fade(sting + shimmer, fade_out=seconds(0.05))


def shot():
    """A laser: a falling, slightly frequency-modulated tone with a sharp start."""
    count = seconds(0.22)
    freq = sweep(2600.0, 280.0, 0.22)
    wobble = 1.0 + 0.08 * np.sin(2 * np.pi * synth.phase(np.full(count, 55.0)))
    tone = square(freq * wobble, 2.0) * exp_decay(count, 0.07)
    return common.fade(tone, fade_in=seconds(0.001), fade_out=seconds(0.03))


def miniexplode():
    """A small pop: short noise burst over a quick thump."""
    count = seconds(0.45)
    t = np.arange(count) / common.RATE
    thump = sine(sweep(180.0, 50.0, 0.45)) * np.exp(-t / 0.06)
    burst = synth.one_pole_lowpass(noise(count, 15), 600.0 + 6000.0 * np.exp(-t / 0.05))
    out = thump + 2.2 * burst * np.exp(-t / 0.09)
    return common.fade(np.tanh(1.4 * out), fade_in=seconds(0.001), fade_out=seconds(0.1))


def balllost():
    """A ball lost: a descending tone with a sad wobble."""
    count = seconds(0.8)
    t = np.arange(count) / common.RATE
    freq = sweep(880.0, 110.0, 0.8) * (1.0 + 0.03 * np.sin(2 * np.pi * 9.0 * t))
    tone = square(freq, 3.0) * 0.7 + sine(freq / 2) * 0.3
    return common.fade(tone * np.exp(-t / 0.5), fade_in=seconds(0.004), fade_out=seconds(0.15))


def select():
    """A menu blip: two short rising tones."""
    first = sine(np.full(seconds(0.045), 1320.0)) * adsr(seconds(0.045), 0.002, 0.01)
    second = sine(np.full(seconds(0.07), 1760.0)) * adsr(seconds(0.07), 0.002, 0.04)
    return mix((0.0, first), (0.045, second)) * 0.9


def paddleexpand():
    """A paddle growing: a springy rising sweep."""
    count = seconds(0.45)
    t = np.arange(count) / common.RATE
    freq = sweep(180.0, 720.0, 0.45) * (1.0 + 0.12 * np.sin(2 * np.pi * 14.0 * t))
    tone = square(freq, 2.0) * adsr(count, 0.01, 0.12)
    return tone * (0.6 + 0.4 * np.exp(-t / 0.2))


def arenachange():
    """The arena moving: a whoosh of swept band-passed noise over a low swell."""
    count = seconds(0.9)
    t = np.arange(count) / common.RATE
    centre = 300.0 * (12.0 ** np.sin(np.pi * t / 0.9))
    whoosh = synth.resonator(noise(count, 16), centre, 250.0 + centre * 0.3) * 4.0
    swell = sine(sweep(70.0, 55.0, 0.9)) * 0.4
    env = np.sin(np.pi * np.clip(t / 0.9, 0, 1)) ** 1.5
    return (whoosh + swell) * env


def limitedvision():
    """The view closing in: a dark falling filter sweep over a low hum."""
    count = seconds(0.8)
    t = np.arange(count) / common.RATE
    cutoff = 4000.0 * np.exp(-t / 0.18) + 150.0
    source = synth.saw(np.full(count, 110.0), 30) + 0.3 * noise(count, 17)
    dark = synth.one_pole_lowpass(synth.one_pole_lowpass(source, cutoff), cutoff)
    return common.fade(dark * 2.0, fade_in=seconds(0.01), fade_out=seconds(0.25))


# file name -> (maker, peak dBFS)
EFFECTS = {
    "ballwall.ogg": (ballwall, -4.0),
    "explosion.ogg": (explosion, -1.5),
    "NewEvent.ogg": (new_event, -4.0),
    "shot.ogg": (shot, -5.0),
    "miniexplode.ogg": (miniexplode, -4.0),
    "balllost.ogg": (balllost, -5.0),
    "select.ogg": (select, -9.0),
    "paddleexpand.ogg": (paddleexpand, -9.0),
    "arenachange.ogg": (arenachange, -4.0),
    "limitedvision.ogg": (limitedvision, -7.0),
}


def build(encoder):
    for name, (maker, peak) in EFFECTS.items():
        encoder.save(name, maker(), peak)
    encoder.save("BPM180.ogg", beat_loop(), -8.0)
