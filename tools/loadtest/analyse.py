"""Reads what scripts/loadtest recorded and reports dropouts, beat gaps and frame pacing.

  analyse.py MIX.raw KICK.wav SWAPS.txt [--period S]

MIX.raw is the sink's monitor as parec wrote it (s16le, stereo, 44100 Hz); KICK.wav is the
beat track decoded (one loop, its kick at sample 0); SWAPS.txt holds the monotonic time
in nanoseconds of each presented frame. Exits 1 on any dropout or beat gap."""

import argparse
import sys
import wave

import numpy as np

RATE = 44100
LOOP = 14700  # the beat track's loop, in samples
# How well a stretch of the mix must match one loop of the beat track: to start a run of
# loop starts, and to go on with one where the last start says the next should be.
START = 0.5
FOLLOW = 0.2
# The stream is played sample for sample, so kicks lie exactly one loop apart unless
# silence was put between them; a millisecond is far under the dropouts we look for and
# well over how far a correlation peak moves under the music.
TOLERANCE = RATE // 1000
# Kicks further apart than this belong to different games (the menu, a game's end).
LONGEST_GAP = 4 * LOOP
DROPOUT = RATE * 20 // 1000
SETTLE_FRAMES = 120  # start-up and the first menu frames are not judged


def read_mix(path):
    raw = np.fromfile(path, dtype="<i2")
    raw = raw[: len(raw) // 2 * 2].reshape(-1, 2).astype(np.int32)
    return raw


def read_kick(path):
    with wave.open(path, "rb") as w:
        data = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").astype(np.float64)
        if w.getnchannels() == 2:
            data = data.reshape(-1, 2).mean(axis=1)
    return data[:LOOP]


def normalised_correlation(signal, template):
    """The correlation of the template at every offset, over the norms of both."""
    n = len(template)
    size = 1 << 20
    step = size - n + 1
    spectrum = np.conj(np.fft.rfft(template, size))
    out = np.zeros(max(len(signal) - n + 1, 0))
    for start in range(0, len(out), step):
        block = signal[start : start + size]
        full = np.fft.irfft(np.fft.rfft(block, size) * spectrum, size)
        count = min(step, len(out) - start)
        out[start : start + count] = full[:count]
    energy = np.concatenate(([0.0], np.cumsum(signal * signal)))
    window = energy[n : n + len(out)] - energy[: len(out)]
    norm = np.sqrt(np.maximum(window, 1e-9)) * np.linalg.norm(template)
    return out / norm


def find_kicks(mono, loop):
    """Loop starts of the beat track in the mix. The whole loop is the template, so a
    sound effect over the kick neither hides it nor passes for it. A start is looked for
    a quarter loop either side of where the last one predicts it; a run ends where none
    is found (a game's end), and the next run starts at the next strong match."""
    score = normalised_correlation(mono, loop)
    kicks = []
    at = 0
    while at < len(score):
        if score[at] <= START:
            at += 1 if score[at] > START / 2 else 16
            continue
        end = min(at + LOOP // 4, len(score))
        kick = at + int(np.argmax(score[at:end]))
        while True:
            kicks.append(kick)
            low = kick + LOOP - LOOP // 4
            high = min(kick + LOOP + LOOP // 4, len(score))
            if low >= high:
                break
            best = low + int(np.argmax(score[low:high]))
            if score[best] < FOLLOW:
                break
            kick = best
        at = kick + LOOP // 2
    return np.array(kicks, dtype=np.int64)


def seconds(samples):
    return samples / RATE


def silent_runs(mix, start, end):
    """Runs of exact digital silence of at least DROPOUT samples within [start, end)."""
    quiet = np.all(mix[start:end] == 0, axis=1).astype(np.int8)
    edges = np.diff(np.concatenate(([0], quiet, [0])))
    begins = np.flatnonzero(edges == 1)
    ends = np.flatnonzero(edges == -1)
    return [(start + b, e - b) for b, e in zip(begins, ends) if e - b >= DROPOUT]


def report_audio(mix):
    failures = 0
    if len(mix) == 0:
        print("audio: nothing was recorded")
        return 1
    mono = mix.sum(axis=1).astype(np.float64)
    kicks = find_kicks(mono, report_audio.kick)
    games = []
    if len(kicks):
        first = 0
        for i in range(1, len(kicks) + 1):
            if i == len(kicks) or kicks[i] - kicks[i - 1] > LONGEST_GAP:
                games.append(kicks[first:i])
                first = i
    games = [g for g in games if len(g) >= 8]
    # The run's end stops the last game mid-loop, and the sound server may cut or pad
    # what it still held: its last start is not judged.
    if games:
        games[-1] = games[-1][:-1]
    played = sum(len(g) for g in games)
    print(f"audio: {seconds(len(mix)):.1f} s recorded, {len(games)} games, {played} beats heard")
    if not games:
        print("audio: no game found in the recording (no run of beat-track kicks)")
        return 1
    odd = []
    for g in games:
        for a, b in zip(g[:-1], g[1:]):
            if abs((b - a) - LOOP) > TOLERANCE:
                odd.append((a, b - a))
    for a, gap in odd:
        print(f"  beat gap at {seconds(a):8.3f} s: {1000 * seconds(gap):.1f} ms between kicks "
              f"(a loop is {1000 * seconds(LOOP):.1f} ms)")
    print(f"beat: {len(odd)} intervals off one loop by more than "
          f"{1000 * seconds(TOLERANCE):.1f} ms")
    failures += len(odd)
    dropouts = []
    for g in games:
        # Up to the last kick: after it a game's end fades the music out, and the run's
        # end stops the game.
        dropouts += silent_runs(mix, int(g[0]), int(g[-1]))
    for at, length in dropouts:
        print(f"  dropout at {seconds(at):8.3f} s: {1000 * seconds(length):.1f} ms of silence")
    game_seconds = sum(seconds(g[-1] - g[0]) for g in games)
    print(f"dropouts: {len(dropouts)} silences of 20 ms or more in {game_seconds:.0f} s of games")
    failures += len(dropouts)
    return failures


def report_frames(path, period):
    stamps = np.loadtxt(path, dtype=np.int64, ndmin=1) if path else np.array([], np.int64)
    stamps = stamps[SETTLE_FRAMES:]
    if len(stamps) < 2:
        print("frames: too few frames presented")
        return
    gaps = np.diff(stamps) / 1e6
    late = int(np.sum(gaps > 1000 * period + 5))
    print(f"frames: {len(gaps)} intervals, median {np.median(gaps):.2f} ms, "
          f"99th percentile {np.percentile(gaps, 99):.2f} ms, worst {gaps.max():.2f} ms, "
          f"{late} more than 5 ms late ({100 * late / len(gaps):.2f} %), "
          f"{len(gaps) / (sum(gaps) / 1000):.2f} frames/s")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("mix")
    parser.add_argument("kick")
    parser.add_argument("swaps")
    parser.add_argument("--period", type=float, default=0.0166)
    args = parser.parse_args()
    report_audio.kick = read_kick(args.kick)
    failures = report_audio(read_mix(args.mix))
    report_frames(args.swaps, args.period)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
