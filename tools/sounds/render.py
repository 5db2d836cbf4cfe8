"""Renders note data with fluidsynth and turns the render into a seamless loop."""

import os
import subprocess
import tempfile

import numpy as np

import common
import midi

# fluidsynth applies events at 64-sample block boundaries and the first block is
# already past when the player starts: the music actually begins one block in.
RENDER_LATENCY = 64


def render(tracks, end_tick, gain=0.4):
    """Renders the tracks to float stereo at 44.1 kHz, running to end_tick at least."""
    with tempfile.TemporaryDirectory() as tmp:
        mid = os.path.join(tmp, "song.mid")
        wav = os.path.join(tmp, "song.wav")
        midi.write_smf(mid, tracks, end_tick)
        subprocess.run(
            ["fluidsynth", "-n", "-i", "-q", "-r", str(common.RATE), "-g", str(gain),
             "-O", "float", "-T", "wav", "-o", "synth.polyphony=512",
             "-F", wav, common.SOUNDFONT, mid],
            check=True, stdout=subprocess.DEVNULL)
        return common.read_wav(wav)[RENDER_LATENCY:]


def fold_loop(audio, length):
    """Wraps everything rendered past the loop end (release and reverb tails) back onto
    the start, as it would sound on the second time round. The end then joins the start
    without a jump, whatever rings across the loop point."""
    if len(audio) < length:
        audio = np.concatenate([audio, np.zeros((length - len(audio), audio.shape[1]))])
    loop = audio[:length].copy()
    for start in range(length, len(audio), length):
        chunk = audio[start:start + length]
        loop[:len(chunk)] += chunk
    return loop


def render_loop(tracks, beats, bpm, tail_beats, peak_dbfs, limit_db=0.0):
    """Renders a piece of a whole number of beats as an exact-length loop; limit_db
    shaves that much off the loudest peaks before the final level is set."""
    samples_per_beat = common.RATE * 60 / bpm
    length = round(beats * samples_per_beat)
    if abs(length - beats * samples_per_beat) > 1e-6:
        raise ValueError("loop is not a whole number of samples")
    audio = render(tracks, (beats + tail_beats) * midi.PPQ)
    loop = common.normalise(fold_loop(audio, length), 0.0)
    if limit_db > 0:
        loop = common.limit(loop, -limit_db)
    return common.normalise(loop, peak_dbfs)
