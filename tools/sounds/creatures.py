"""Announcements that are not speech: a cow's moo, a chicken's clucks and a dial-up
modem connecting, all synthesised (a voiced source through moving formants)."""

import numpy as np

import common
import synth
from synth import noise, resonator, seconds


def _contour(points, count):
    """Piecewise-linear curve through (time in seconds, value) points."""
    t = np.arange(count) / common.RATE
    times, values = zip(*points)
    return np.interp(t, times, values)


def _jitter(count, seed, depth, rate=30.0):
    """Slow random wobble, for the roughness of an animal's voice."""
    steps = int(count / common.RATE * rate) + 2
    knots = np.random.default_rng(seed).uniform(-depth, depth, steps)
    return np.interp(np.arange(count), np.linspace(0, count, steps), knots)


def _formants(source, formants):
    """Sum of resonators; formants is a list of (freq curve, bandwidth, gain)."""
    return sum(gain * resonator(source, freq, bw) for freq, bw, gain in formants)


def moo():
    """'Mmmooooh': a low hum opening into a round vowel, pitch rising then sinking."""
    duration = 1.25
    count = seconds(duration)
    f0 = _contour([(0, 105), (0.18, 142), (0.45, 150), (0.95, 118), (1.25, 92)], count)
    f0 *= 1.0 + _jitter(count, 21, 0.02) + 0.012 * np.sin(2 * np.pi * 5.5 * np.arange(count)
                                                          / common.RATE)
    source = synth.glottal(f0, 22, breath=0.08)
    f1 = _contour([(0, 260), (0.2, 330), (0.5, 520), (0.9, 480), (1.25, 350)], count)
    f2 = _contour([(0, 800), (0.2, 760), (0.5, 950), (0.9, 900), (1.25, 760)], count)
    # Low resonances ring louder than high ones here, so the upper formants get more gain
    vowel = _formants(source, [(f1, 110, 1.0), (f2, 140, 2.2),
                               (np.full(count, 2500.0), 250, 1.0)])
    hum = synth.one_pole_lowpass(synth.one_pole_lowpass(source, 300.0), 300.0) * 0.5
    opening = _contour([(0, 0), (0.12, 0), (0.3, 1), (1.25, 1)], count)
    voice = hum * (1 - opening) + vowel * opening
    env = _contour([(0, 0), (0.08, 0.7), (0.3, 1), (0.9, 0.9), (1.25, 0)], count)
    return common.fade(voice * env, fade_out=seconds(0.05))


def _cluck(length, f0_points, f1, f2, seed, burst=True):
    count = seconds(length)
    f0 = _contour(f0_points, count) * (1.0 + _jitter(count, seed, 0.04, 80.0))
    source = synth.glottal(f0, seed, breath=0.3)
    call = _formants(source, [(np.full(count, f1), 180, 1.0), (np.full(count, f2), 260, 0.6),
                              (np.full(count, 3300.0), 400, 0.25)])
    env = _contour([(0, 0), (0.006, 1), (length * 0.5, 0.8), (length, 0)], count)
    call *= env
    if burst:  # the hard 'k' that ends a cluck
        click = synth.highpass(noise(seconds(0.015), seed + 1), 2000.0)
        call[-len(click):] += click * np.hanning(len(click)) * 0.6 * np.abs(call).max()
    return call


def cluck():
    """'Buk, buk, buk... ba-GAWK!'"""
    parts = [
        (0.00, _cluck(0.09, [(0, 720), (0.09, 480)], 950, 1900, 31)),
        (0.17, _cluck(0.08, [(0, 700), (0.08, 470)], 900, 1850, 32)),
        (0.32, _cluck(0.10, [(0, 760), (0.1, 500)], 980, 1950, 33)),
        (0.53, _cluck(0.09, [(0, 600), (0.09, 650)], 800, 1600, 34, burst=False)),
        (0.64, _cluck(0.34, [(0, 820), (0.1, 1150), (0.24, 1050), (0.34, 700)], 1150, 1750,
                      35)),
    ]
    return common.fade(synth.mix(*parts), fade_out=seconds(0.01))


DTMF_ROWS = {"1": 697, "2": 697, "3": 697, "4": 770, "5": 770, "6": 770,
             "7": 852, "8": 852, "9": 852, "0": 941}
DTMF_COLS = {"1": 1209, "2": 1336, "3": 1477, "4": 1209, "5": 1336, "6": 1477,
             "7": 1209, "8": 1336, "9": 1477, "0": 1336}


def _tone(freqs, length):
    count = seconds(length)
    return sum(synth.sine(np.full(count, float(f))) for f in freqs) / len(freqs)


def _fsk(bits, low, high, baud):
    """Frequency-shift keying with a continuous phase, as a modem sends its bits."""
    per_bit = seconds(1.0 / baud)
    freq = np.repeat(np.where(np.array(bits) > 0, high, low), per_bit).astype(np.float64)
    return synth.sine(freq)


def modem():
    """A dial-up connection squeezed into a title's length: dialling, answer tone with
    phase flips, handshake warbles and chirps, then the hiss of scrambled data."""
    rng = np.random.default_rng(41)
    parts = []
    now = 0.0
    for digit in "51807":
        tone = _tone((DTMF_ROWS[digit], DTMF_COLS[digit]), 0.055)
        parts.append((now, tone * synth.adsr(len(tone), 0.003, 0.003) * 0.7))
        now += 0.08
    answer_len = 0.24
    count = seconds(answer_len)
    flips = np.where((np.arange(count) // seconds(0.08)) % 2 == 0, 1.0, -1.0)
    answer = synth.sine(np.full(count, 2100.0)) * flips
    answer = synth.one_pole_lowpass(answer, 6000.0)  # round off the flips
    parts.append((now + 0.02, answer * synth.adsr(count, 0.005, 0.01) * 0.6))
    now += answer_len + 0.04
    warble = _fsk(rng.integers(0, 2, 60), 980.0, 1180.0, 300) * 0.5
    warble += _fsk(rng.integers(0, 2, 60), 1650.0, 1850.0, 300) * 0.4
    parts.append((now, warble[: seconds(0.16)] * synth.adsr(seconds(0.16), 0.004, 0.01)))
    now += 0.17
    chirp_len = 0.16
    chirp = synth.sine(synth.sweep(2900.0, 600.0, chirp_len)) * 0.5
    chirp += synth.sine(np.full(seconds(chirp_len), 1800.0)) * 0.3
    parts.append((now, chirp * synth.adsr(len(chirp), 0.004, 0.02)))
    now += chirp_len + 0.01
    hiss_len = 0.3
    count = seconds(hiss_len)
    hiss = resonator(noise(count, 42), 1700.0, 1800.0) * 5.0
    hiss += _fsk(rng.integers(0, 2, 800), 1200.0, 2400.0, 2400)[:count] * 0.25
    parts.append((now, hiss * synth.adsr(count, 0.01, 0.08)))
    line = synth.mix(*parts)
    # A telephone line: nothing below 300 Hz or much above 3.4 kHz, a little grit
    line = synth.highpass(line, 300.0)
    line = synth.one_pole_lowpass(synth.one_pole_lowpass(line, 3800.0), 3800.0)
    line += 0.01 * noise(len(line), 43)
    return common.fade(np.tanh(1.3 * line), fade_in=seconds(0.002), fade_out=seconds(0.02))


# file name -> (maker, peak dBFS)
CALLS = {
    "cows.ogg": (moo, -1.5),
    "chicken.ogg": (cluck, -1.5),
    "modem.ogg": (modem, -3.0),
}


def build(encoder):
    for name, (maker, peak) in CALLS.items():
        encoder.save(name, maker(), peak)
