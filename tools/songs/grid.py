"""Beat grids: where each beat of a test song falls, in seconds, and where the notes
between beats fall (swing included). Pure arithmetic, so the truth files are exact."""

LEAD_IN = 0.2  # seconds of silence before the first beat


def beat_times(sections, start=LEAD_IN):
    """sections: [(bpm, beats), ...] played one after another without a gap. Returns
    the time of every beat plus the one after the last, which closes the final beat."""
    times, now = [], start
    for bpm, count in sections:
        for _ in range(count):
            times.append(now)
            now += 60.0 / bpm
    times.append(now)
    return times


def position(times, beat, swing=0.5):
    """Time of a position in beats (e.g. 5.5) on the grid. The off-beat half of each beat
    lands at `swing` of the way through it: 0.5 is straight, 2/3 a triplet swing."""
    whole = int(beat)
    part = beat - whole
    if part == 0.5:
        part = swing
    return times[whole] + part * (times[whole + 1] - times[whole])
