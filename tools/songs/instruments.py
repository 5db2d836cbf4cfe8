"""The test songs' instruments, built from the game's synthesiser. Each hit starts at
its first sample, so a note placed at a beat time sounds exactly on that beat."""

import functools

import numpy as np

import common
import synth
from synth import adsr, exp_decay, noise, seconds


def hz(key):
    return 440.0 * 2.0 ** ((key - 69) / 12.0)


@functools.lru_cache(maxsize=None)
def kick():
    count = seconds(0.3)
    t = np.arange(count) / common.RATE
    freq = 50.0 + 110.0 * np.exp(-t / 0.03)
    body = synth.sine(freq) * np.exp(-t / 0.09)
    return np.tanh(1.5 * body) * adsr(count, 0.0005, 0.05)


@functools.lru_cache(maxsize=None)
def snare():
    count = seconds(0.2)
    rattle = synth.highpass(noise(count, 21), 1200.0) * exp_decay(count, 0.05)
    tone = synth.sine(np.full(count, 190.0)) * exp_decay(count, 0.04)
    return (0.8 * rattle + 0.5 * tone) * adsr(count, 0.0005, 0.03)


@functools.lru_cache(maxsize=None)
def hat():
    count = seconds(0.06)
    return 0.3 * synth.highpass(noise(count, 22), 6000.0) * exp_decay(count, 0.012)


@functools.lru_cache(maxsize=None)
def bass(key, length):
    count = seconds(length)
    tone = synth.saw(np.full(count, hz(key)), harmonics=8)
    return 0.5 * tone * exp_decay(count, 0.25) * adsr(count, 0.002, 0.05)


@functools.lru_cache(maxsize=None)
def stab(keys, length):
    """A plucked chord: bright at the start, gone well before the next beat."""
    count = seconds(length)
    tone = sum(synth.square(np.full(count, hz(k)), 2.0) for k in keys) / len(keys)
    return 0.35 * tone * exp_decay(count, 0.08) * adsr(count, 0.002, 0.05)


@functools.lru_cache(maxsize=None)
def pad(keys, length, attack=0.8):
    """A soft sustained chord with slow edges: sound without any onset to hear."""
    count = seconds(length)
    tone = sum(synth.sine(np.full(count, hz(k) * detune))
               for k in keys for detune in (0.997, 1.003)) / (2 * len(keys))
    return 0.3 * tone * adsr(count, attack, min(attack, length / 2))
