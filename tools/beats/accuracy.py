"""Scores the game's beat analysis against the test songs' true beats.

A found beat counts when it lies within 70 ms of a true beat, each true beat matched at
most once (the F-measure). Songs slower or faster than the game plays are scored at
the tempo the game folds them to: twice as fast, or every other beat."""

import argparse
import os
import statistics
import subprocess
import sys

TOLERANCE = 0.070       # seconds
GAME_RANGE = (80, 180)  # beats a minute the game plays well
GOALS = {"steady": 0.95, "change": 0.90}
EVENT_EVERY = 16        # the game's events come on every 16th beat
GRID_JITTER = 0.005     # seconds a steady grid's spacing may wander (printed rounding)


def match(found, true, tolerance=TOLERANCE):
    """One-to-one pairs (found, true) within the tolerance, taking the nearest first."""
    candidates = sorted((abs(f - t), i, j) for i, f in enumerate(found)
                        for j, t in enumerate(true) if abs(f - t) <= tolerance)
    used_found, used_true, pairs = set(), set(), []
    for _, i, j in candidates:
        if i not in used_found and j not in used_true:
            used_found.add(i)
            used_true.add(j)
            pairs.append((found[i], true[j]))
    return sorted(pairs)


def f_measure(found, true, tolerance=TOLERANCE):
    """(F, precision, recall, matched pairs)."""
    pairs = match(found, true, tolerance)
    if not pairs:
        return 0.0, 0.0, 0.0, pairs
    precision, recall = len(pairs) / len(found), len(pairs) / len(true)
    return 2 * precision * recall / (precision + recall), precision, recall, pairs


def tempo(beats):
    return 60.0 / statistics.median(b - a for a, b in zip(beats, beats[1:]))


def levels(true):
    """The beat grids the game may play a song at: [(name, beats), ...]."""
    bpm = tempo(true)
    if bpm < GAME_RANGE[0]:
        halves = [(a + b) / 2 for a, b in zip(true, true[1:])]
        return [("x2", sorted(true + halves))]
    if bpm > GAME_RANGE[1]:
        return [("1/2", true[0::2]), ("1/2 off", true[1::2])]
    return [("x1", true)]


def nearest_distance(times, true):
    return statistics.mean(min(abs(t - r) for r in true) for t in times) if times else 0.0


def score(found, true):
    """A dict of figures for one song; `true` empty means the song has no beat."""
    if not true:
        gaps = [b - a for a, b in zip(found, found[1:])]
        wander = max(abs(g - statistics.median(gaps)) for g in gaps) if gaps else 0.0
        return {"level": "-", "found": len(found), "grid_wander": wander}
    best = None
    for name, grid in levels(true):
        f, precision, recall, pairs = f_measure(found, grid)
        if best is None or f > best["f"]:
            offsets = [a - b for a, b in pairs]
            best = {"level": name, "found": len(found), "f": f, "precision": precision,
                    "recall": recall, "offset": statistics.mean(offsets) if offsets else 0.0,
                    "events": nearest_distance(found[::EVENT_EVERY], grid)}
    return best


def verdict(kind, figures):
    """Empty when the song meets its goals, else why not."""
    if kind == "none":
        if figures["grid_wander"] > GRID_JITTER:
            return "beats not a steady grid"
        return ""
    misses = []
    if figures.get("no_beat"):
        misses.append("called beatless")
    if figures["f"] < GOALS[kind]:
        misses.append(f"F < {GOALS[kind]:.2f}")
    if figures["events"] > TOLERANCE:
        misses.append("events off the beat")
    return ", ".join(misses)


def read_beats(path):
    """A truth file: '# kind: ...', maybe '# end: SECONDS' where the music stops, and
    times, one a line. Returns (kind, end or None, beats)."""
    kind, end, beats = "steady", None, []
    with open(path) as f:
        for line in f:
            line = line.strip()
            if line.startswith("# kind:"):
                kind = line.split(":", 1)[1].strip()
            elif line.startswith("# end:"):
                end = float(line.split(":", 1)[1])
            elif line and not line.startswith("#"):
                beats.append(float(line))
    return kind, end, beats


def within_music(found, end):
    """The found beats while the music plays. A grid carried on through the last notes'
    echo is neither right nor wrong; those beats are counted apart."""
    if end is None:
        return found, 0
    kept = [t for t in found if t < end - TOLERANCE]
    return kept, len(found) - len(kept)


def analyse(fenwhit, song):
    """Runs `fenwhit --analyse SONG`: the tempo, then a beat time a line; and whether it
    said on stderr that it heard no beat (the grid is then a steady one)."""
    result = subprocess.run([fenwhit, "--analyse", song], capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(result.stderr.strip() or f"exit status {result.returncode}")
    lines = result.stdout.split()
    return float(lines[0]), [float(x) for x in lines[1:]], "no beat heard" in result.stderr


def songs_in(folder):
    for name in sorted(os.listdir(folder)):
        stem, ext = os.path.splitext(name)
        if ext != ".beats" and os.path.isfile(os.path.join(folder, stem + ".beats")):
            yield name, os.path.join(folder, stem + ".beats")


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--fenwhit", required=True, help="the game's binary")
    parser.add_argument("--songs", required=True, help="folder of songs and NAME.beats")
    args = parser.parse_args(argv)
    print(f"{'song':28} {'level':7} {'tempo':>7} {'F':>6} {'prec':>6} {'recall':>6} "
          f"{'offset':>8} {'events':>8} {'after':>5}  result")
    failures = 0
    for name, beats_path in songs_in(args.songs):
        kind, end, true = read_beats(beats_path)
        try:
            bpm, found, no_beat = analyse(args.fenwhit, os.path.join(args.songs, name))
        except (RuntimeError, ValueError, IndexError) as error:
            print(f"{name:28} analysis failed: {error}")
            failures += 1
            continue
        found, after_end = within_music(found, end)
        figures = score(found, true)
        figures["no_beat"] = no_beat
        miss = verdict(kind, figures)
        failures += bool(miss)
        if kind == "none":
            detail = (f"{'-':>6} {'-':>6} {'-':>6} {'-':>8} {'-':>8} {'-':>5}  {len(found)} beats, "
                      f"grid wanders {figures['grid_wander'] * 1000:.1f} ms")
        else:
            detail = (f"{figures['f']:6.3f} {figures['precision']:6.3f} "
                      f"{figures['recall']:6.3f} {figures['offset'] * 1000:+6.1f}ms "
                      f"{figures['events'] * 1000:6.1f}ms {after_end:5d}")
        print(f"{name:28} {figures['level']:7} {bpm:7.2f} {detail}  {miss or 'ok'}")
    print(f"goals: F >= {GOALS['steady']} on a steady beat, >= {GOALS['change']} across a "
          f"tempo change, every {EVENT_EVERY}th beat within {TOLERANCE * 1000:.0f} ms on "
          f"average, a steady grid for a song without a beat: "
          f"{'all met' if not failures else f'{failures} song(s) miss'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
