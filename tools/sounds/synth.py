"""Small building blocks for synthesised effects: oscillators, envelopes, noise and
filters. Everything works on float numpy arrays at 44.1 kHz."""

import numpy as np

from common import RATE


def seconds(n):
    return int(round(n * RATE))


def phase(freq):
    """Running phase in cycles for a frequency curve (array or constant)."""
    return np.cumsum(np.asarray(freq, dtype=np.float64) / RATE)


def sweep(start, end, duration, curve="exp"):
    """A frequency glide from start to end over duration seconds."""
    t = np.linspace(0.0, 1.0, seconds(duration))
    if curve == "exp":
        return start * (end / start) ** t
    return start + (end - start) * t


def sine(freq):
    return np.sin(2 * np.pi * phase(freq))


def square(freq, hardness=6.0):
    """A square-ish wave: a driven sine, hard enough to buzz, soft enough not to alias."""
    return np.tanh(hardness * sine(freq)) / np.tanh(hardness)


def saw(freq, harmonics=24):
    """Band-limited-ish sawtooth: a sum of harmonics that fade out below Nyquist."""
    freq = np.asarray(freq, dtype=np.float64)
    p = 2 * np.pi * phase(freq)
    out = np.zeros_like(p)
    for n in range(1, harmonics + 1):
        audible = np.clip((RATE / 2.2 - n * freq) / 2000.0, 0.0, 1.0)
        out += audible * np.sin(n * p) / n
    return out * (2 / np.pi)


def noise(count, seed):
    return np.random.default_rng(seed).uniform(-1.0, 1.0, count)


def exp_decay(count, tau):
    return np.exp(-np.arange(count) / (tau * RATE))


def adsr(count, attack, release):
    """Linear attack, flat hold, raised-cosine release; lengths in seconds."""
    env = np.ones(count)
    a, r = min(seconds(attack), count), min(seconds(release), count)
    if a:
        env[:a] = np.linspace(0.0, 1.0, a)
    if r:
        env[count - r:] *= 0.5 + 0.5 * np.cos(np.linspace(0, np.pi, r))
    return env


def one_pole_lowpass(x, cutoff):
    """Lowpass with a fixed or per-sample cutoff in Hz."""
    cutoff = np.broadcast_to(np.asarray(cutoff, dtype=np.float64), x.shape)
    alpha = 1.0 - np.exp(-2 * np.pi * cutoff / RATE)
    out = np.empty_like(x)
    y = 0.0
    for i, (sample, a) in enumerate(zip(x.tolist(), alpha.tolist())):
        y += a * (sample - y)
        out[i] = y
    return out


def highpass(x, cutoff):
    return x - one_pole_lowpass(x, cutoff)


def resonator(x, freq, bandwidth):
    """Two-pole band-pass (a formant) with per-sample centre frequency and bandwidth."""
    freq = np.broadcast_to(np.asarray(freq, dtype=np.float64), x.shape)
    bandwidth = np.broadcast_to(np.asarray(bandwidth, dtype=np.float64), x.shape)
    r = np.exp(-np.pi * bandwidth / RATE)
    a1 = (2 * r * np.cos(2 * np.pi * freq / RATE)).tolist()
    a2 = (-(r * r)).tolist()
    gain = (1 - r).tolist()
    out = np.empty_like(x)
    y1 = y2 = 0.0
    for i, sample in enumerate(x.tolist()):
        y = gain[i] * sample + a1[i] * y1 + a2[i] * y2
        out[i] = y
        y2, y1 = y1, y
    return out


def mix(*parts):
    """Adds parts of different lengths, each (start_seconds, samples)."""
    end = max(seconds(start) + len(part) for start, part in parts)
    out = np.zeros(end)
    for start, part in parts:
        s = seconds(start)
        out[s:s + len(part)] += part
    return out


def glottal(freq, seed, breath=0.04):
    """A voiced source for animal calls: a bright pulse train with a little breath."""
    p = np.mod(phase(freq), 1.0)
    pulse = np.where(p < 0.6, np.sin(np.pi * p / 0.6) ** 2, 0.0)
    pulse = np.diff(pulse, prepend=0.0) * 20.0  # differentiated: a buzzy, rich spectrum
    return pulse + breath * noise(len(pulse), seed)

