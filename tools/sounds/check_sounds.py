"""Checks the generated sound files as the game and a listener would meet them: every
name present, Ogg Vorbis at 44.1 kHz, mono where the game wants mono, no clipping,
music below the announcer, exact loop lengths and clean loop seams.
Exit status 0 when all is well; each problem is printed."""

import argparse
import os
import subprocess
import sys
import tempfile

import numpy as np

import common

MUSIC = {"Fenwhit.ogg", "rallointro.ogg"}
BEAT_TRACK = "BPM180.ogg"
EFFECTS = {"ballwall.ogg", "explosion.ogg", "NewEvent.ogg", "shot.ogg", "miniexplode.ogg",
           "balllost.ogg", "select.ogg", "paddleexpand.ogg", "arenachange.ogg",
           "limitedvision.ogg"}
ANNOUNCEMENTS = {
    "new_ExtraBall2.ogg", "new_paddleshrink2.ogg", "new_speedup2.ogg",
    "new_rotatearena2.ogg", "new_ghostballs2.ogg", "new_WallsExpand2.ogg",
    "new_Distraction2.ogg", "new_WallsImplode2.ogg", "new_Randomdirection2.ogg",
    "new_Obstacles2.ogg", "new_Invaders2.ogg", "new_paddleslowdown2.ogg",
    "new_Chaosballs2.ogg", "new_Transmutation2.ogg", "new_autorotation2.ogg",
    "new_zoomzoomzoom2.ogg", "new_extrawall2.ogg", "new_corridor2.ogg", "new_blackhole2.ogg",
    "new_bogusballs2.ogg", "new_breakout2.ogg", "new_squeezetime2.ogg",
    "new_stretchtime2.ogg", "new_dontremember2.ogg", "new_FeelTheBeat.ogg",
    "new_XenonLights.ogg", "new_InterfaceTerror.ogg", "new_and2.ogg", "new_noway2.ogg",
    "kromby.ogg", "cows.ogg", "chicken.ogg", "modem.ogg"}
EXPECTED = MUSIC | EFFECTS | ANNOUNCEMENTS | {BEAT_TRACK}

CLIP_CEILING = -0.3  # dBFS
MUSIC_CEILING = -5.5  # dBFS: "around -6"
ANNOUNCEMENT_MAX = 1.4  # seconds
MIN_GAME_MUSIC = 60.0  # seconds before it repeats


def active_rms_db(x, window=2048):
    """Loudness of the parts that sound: RMS over the windows within 30 dB of the loudest,
    so that pauses and tails don't make a short shout look quiet."""
    power = np.mean(np.square(x), axis=1)
    count = len(power) // window
    if count == 0:
        return 10 * np.log10(max(float(np.mean(power)), 1e-24))
    levels = np.sqrt(np.mean(power[: count * window].reshape(count, window), axis=1))
    loud = levels[levels > levels.max() * 10 ** (-30 / 20)]
    return 20 * np.log10(float(np.sqrt(np.mean(loud ** 2))))


def seam_jump(x):
    """How much bigger the step from the last sample to the first is than the steps
    inside the loop (1.0 = as big as the largest ordinary step)."""
    steps = np.abs(np.diff(x, axis=0)).max(axis=1)
    seam = float(np.abs(x[0] - x[-1]).max())
    return seam / max(float(np.percentile(steps, 99.9)), 1e-9)


def read_header(path):
    """(channels, rate) from the Vorbis identification header, or None."""
    with open(path, "rb") as f:
        head = f.read(64)
    at = head.find(b"\x01vorbis")
    if not head.startswith(b"OggS") or at < 0:
        return None
    ident = head[at + 7:]
    return ident[4], int.from_bytes(ident[5:9], "little")


def decode(path, tmp):
    wav = os.path.join(tmp, os.path.basename(path) + ".wav")
    common.run("oggdec", "--quiet", "-o", wav, path)
    return common.read_wav(wav)


def check(folder, report=print):
    problems = []
    names = {n for n in os.listdir(folder) if n.endswith(".ogg")}
    for missing in sorted(EXPECTED - names):
        problems.append(f"{missing}: missing")
    for extra in sorted(names - EXPECTED):
        problems.append(f"{extra}: not one of the game's sounds")
    loudness = {}
    total = 0
    with tempfile.TemporaryDirectory() as tmp:
        for name in sorted(EXPECTED & names):
            path = os.path.join(folder, name)
            total += os.path.getsize(path)
            header = read_header(path)
            if header is None:
                problems.append(f"{name}: not Ogg Vorbis")
                continue
            channels, rate = header
            if rate != common.RATE:
                problems.append(f"{name}: {rate} Hz")
                continue
            if channels != 1 and name not in MUSIC:
                problems.append(f"{name}: {channels} channels, the game wants mono")
            try:
                audio = decode(path, tmp)
            except (OSError, ValueError, subprocess.CalledProcessError) as error:
                problems.append(f"{name}: does not decode ({error})")
                continue
            peak = common.peak_db(audio)
            ceiling = MUSIC_CEILING if name in MUSIC | {BEAT_TRACK} else CLIP_CEILING
            if peak > ceiling:
                problems.append(f"{name}: peak {peak:.2f} dBFS above {ceiling} dBFS")
            loudness[name] = active_rms_db(audio)
            seconds = len(audio) / common.RATE
            if name in ANNOUNCEMENTS and seconds > ANNOUNCEMENT_MAX:
                problems.append(f"{name}: {seconds:.2f} s is long for a four-beat title")
            if name in MUSIC | {BEAT_TRACK}:
                problems += check_loop(name, audio, report)
            report(f"{name:28s} {channels}ch {seconds:7.3f} s  peak {peak:6.2f} dBFS  "
                  f"loudness {loudness[name]:6.1f} dB")
    quietest_voice = min((loudness[n] for n in ANNOUNCEMENTS if n in loudness), default=0)
    for name in MUSIC & set(loudness):
        if loudness[name] > quietest_voice - 3:
            problems.append(f"{name}: loudness {loudness[name]:.1f} dB too close to the "
                            f"announcer ({quietest_voice:.1f} dB)")
    report(f"total size {total / 1e6:.2f} MB")
    if total > 4_000_000:
        problems.append(f"total size {total / 1e6:.2f} MB over 4 MB")
    return problems


def check_loop(name, audio, report):
    problems = []
    count = len(audio)
    if name == BEAT_TRACK and count != common.BEAT:
        problems.append(f"{name}: {count} samples, one beat is {common.BEAT}")
    if name == "Fenwhit.ogg":
        if count % common.BEAT:
            problems.append(f"{name}: {count} samples is not a whole number of beats")
        if count < MIN_GAME_MUSIC * common.RATE:
            problems.append(f"{name}: repeats after {count / common.RATE:.1f} s")
    if name != BEAT_TRACK:
        # The beat track's seam is its kick's attack; the music must not jump there
        jump = seam_jump(audio)
        report(f"{name}: seam step {jump:.3f} of the loop's largest ordinary steps")
        if jump > 1.0:
            problems.append(f"{name}: loop seam jumps {jump:.1f}x a normal step")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("folder", nargs="?", default=os.path.join(common.HERE, "..", "..",
                                                                  "assets"))
    args = parser.parse_args()
    problems = check(args.folder)
    for problem in problems:
        print("PROBLEM:", problem)
    print("all sounds fine" if not problems else f"{len(problems)} problems")
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
