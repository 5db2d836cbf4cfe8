"""Reads what scripts/loadtest recorded and reports dropouts, beat gaps and frame pacing.

  analyse.py MIX.raw KICK.wav SWAPS.txt [--period S] [--marks MARKS.txt --flashes FLASHES.txt]

MIX.raw is the sink's monitor as parec wrote it (s16le, stereo, 44100 Hz); KICK.wav is the
beat track decoded (one loop, its kick at sample 0); SWAPS.txt holds the monotonic time
in nanoseconds of each presented frame. MARKS.txt is the sink clock's log ("FRAME NS":
the marker stream's frame the sink played at monotonic time NS; a marker every second), FLASHES.txt those of the frames that started a beat
flash; with both, each flash is set against its kick. Exits 1 on any dropout or beat gap."""

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
    """The number of failures, and the kicks of each game as sample positions."""
    failures = 0
    if len(mix) == 0:
        print("audio: nothing was recorded")
        return 1, []
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
        return 1, []
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
    return failures, games


MARKER = 16384  # the right channel's marker sample; the left's says which marker it is
MARKER_STEP = 8


def marker_hits(mix):
    """Where the mix has a lone spike on both channels the size of a marker or more."""
    x = mix.astype(np.int64)
    bend = x[:-2] - 2 * x[1:-1] + x[2:]
    spike = np.all(bend < -MARKER, axis=1)
    # Either side of a lone spike the bend is as large the other way.
    beside = np.all(bend > MARKER // 2, axis=1)
    spike[1:-1] &= beside[:-2] & beside[2:]
    return np.flatnonzero(spike) + 1


def sample_clock(mix, marks_path):
    """A function from a sample position in the mix to monotonic seconds, or None. Each
    position is timed from the nearest marker, played when the server's log says its frame
    of the marker stream was. A marker heard in silence says its number; from there each
    next is the one whose playing time lies nearest to where the recording puts it."""
    log = np.loadtxt(marks_path, dtype=np.int64, ndmin=2)
    hits = marker_hits(mix)
    quiet = [k for k in hits if not mix[k - 1].any() and not mix[k + 1].any()
             and mix[k, 1] == MARKER and (mix[k, 0] - MARKER) % MARKER_STEP == 0]
    if len(log) == 0 or not quiet:
        print("flash: no marker of the sink clock heard in silence in the recording")
        return None
    frames, times = log[:, 0], log[:, 1] / 1e9

    def played(number):
        """When the sink played marker `number`, from the log entries either side of its
        frame; None where the stream stalled between them (the marker process came too
        late with its data), as then the frame's time cannot be told."""
        frame = number * RATE
        i = int(np.searchsorted(frames, frame))
        if i == 0 or i == len(frames):
            return None
        elapsed = (times[i] - times[i - 1]) * RATE
        if abs((frames[i] - frames[i - 1]) - elapsed) > RATE // 500:
            return None
        return times[i - 1] + (frame - frames[i - 1]) / RATE

    known = [(int(k), (int(mix[k, 0]) - MARKER) // MARKER_STEP) for k in quiet]
    known = [(k, n, played(n)) for k, n in known if played(n) is not None]
    if not known:
        print("flash: no marker heard in silence has a known playing time")
        return None
    markers = {}

    def walk(first, number, when, way):
        """Numbers the hits along `way` from a known marker: each is the marker whose
        playing time lies nearest to where the recording puts it, if near enough."""
        last = first
        for k in way:
            expected = when + (int(k) - last) / RATE
            step = 1 if k > last else -1
            reach = int(abs(expected - when)) + 2
            candidates = [(abs(t - expected), number + step * j, t)
                          for j in range(1, reach + 1)
                          if (t := played(number + step * j)) is not None]
            if candidates and min(candidates)[0] < 0.25:
                _, number, when = min(candidates)
                last = int(k)
                markers[last] = (number, when)

    # From the last marker heard in silence before the sound starts forwards, and from the
    # first after it ends backwards; a marker the two number otherwise is left out (the
    # sink rewinds as streams come and go, and the monitor may hear a stretch twice).
    loud = np.flatnonzero(np.any(mix != 0, axis=1))
    sound = np.setdiff1d(loud, np.array(quiet, dtype=loud.dtype))
    before = [m for m in known if len(sound) == 0 or m[0] < sound[0]]
    after = [m for m in known if len(sound) and m[0] > sound[-1]]
    walks = []
    for anchors, way in ((before[-1:], 1), (after[:1], -1)):
        for first, number, when in anchors:
            markers.clear()
            markers[first] = (number, when)
            walk(first, number, when, hits[hits > first] if way > 0 else hits[hits < first][::-1])
            walks.append(dict(markers))
    markers.clear()
    for found in walks:
        for k, value in found.items():
            if all(other.get(k, value) == value for other in walks):
                markers[k] = value
    if not markers:
        print("flash: no marker could be numbered")
        return None
    at = np.array(sorted(markers))
    when = np.array([markers[k][1] for k in at])
    # How far the recording strays from the server's clock between neighbouring markers.
    stray = np.abs(1000 * (np.diff(at) / RATE - np.diff(when))) if len(at) > 1 else np.zeros(1)
    print(f"clock: {len(at)} markers in the recording; between neighbours the recording "
          f"strays from the server's clock by a median {np.median(stray):.2f} ms, "
          f"at most {stray.max():.1f} ms")

    def clock(k):
        i = int(np.argmin(np.abs(at - k)))
        return when[i] + (k - at[i]) / RATE

    return clock


def report_flashes(mix, games, marks_path, flashes_path):
    """Each beat flash set against the nearest kick, within half a beat."""
    clock = sample_clock(mix, marks_path)
    if clock is None:
        return
    flashes = np.sort(np.loadtxt(flashes_path, dtype=np.int64, ndmin=1)) / 1e9
    kicks = np.array([clock(k) for g in games for k in g])
    if len(flashes) == 0 or len(kicks) == 0:
        print(f"flash: {len(flashes)} flashes, {len(kicks)} kicks: nothing to pair")
        return
    nearest = np.clip(np.searchsorted(flashes, kicks), 1, len(flashes) - 1)
    before = flashes[nearest - 1]
    after = flashes[nearest]
    paired = np.where(np.abs(before - kicks) < np.abs(after - kicks), before, after)
    offsets = 1000 * (paired - kicks)
    offsets = offsets[np.abs(offsets) < 1000 * seconds(LOOP) / 2]
    if len(offsets) == 0:
        print(f"flash: none of {len(flashes)} flashes within half a beat of a kick")
        return
    print(f"flash - kick: {len(offsets)} pairs of {len(kicks)} kicks and {len(flashes)} flashes, "
          f"mean {offsets.mean():+.1f} ms, spread (sd) {offsets.std():.1f} ms, "
          f"median {np.median(offsets):+.1f} ms, 5th..95th percentile "
          f"{np.percentile(offsets, 5):+.1f}..{np.percentile(offsets, 95):+.1f} ms")


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


def report_latency(path):
    """What the server said it held of the game's sound: its stream's buffer and the sink."""
    held = np.loadtxt(path, ndmin=2) / 1000 if open(path).read().strip() else np.zeros((0, 2))
    if len(held) == 0:
        print("server: never asked while the game played")
        return
    print(f"server: the game's stream held a median {np.median(held[:, 0]):.1f} ms and the sink "
          f"{np.median(held[:, 1]):.1f} ms ({np.median(held.sum(axis=1)):.1f} ms in all; "
          f"{held.sum(axis=1).min():.1f} to {held.sum(axis=1).max():.1f}) in {len(held)} looks")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("mix")
    parser.add_argument("kick")
    parser.add_argument("swaps")
    parser.add_argument("--period", type=float, default=0.0166)
    parser.add_argument("--marks")
    parser.add_argument("--flashes")
    parser.add_argument("--latency")
    args = parser.parse_args()
    report_audio.kick = read_kick(args.kick)
    mix = read_mix(args.mix)
    failures, games = report_audio(mix)
    report_frames(args.swaps, args.period)
    if args.marks and args.flashes:
        report_flashes(mix, games, args.marks, args.flashes)
    if args.latency:
        report_latency(args.latency)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
