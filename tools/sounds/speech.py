"""The announcer: espeak-ng speech made into an arena voice with sox (deeper and
slower, equalised, compressed, with a room and a slap-back echo)."""

import os
import subprocess
import sys
import tempfile

import common

VOICE = "en-us+m3"
SPEECH_MAX = 1.0  # seconds of speech before the echo tail; a title shows for 1.33 s
TAIL = 0.28
LIMIT_DB = 4.0

# file -> words. One file may announce several titles, so its words fit all of them.
PHRASES = {
    "new_ExtraBall2.ogg": "Extra balls!",
    "new_paddleshrink2.ogg": "Paddle size down!",
    "new_speedup2.ogg": "Balls speed up!",
    "new_rotatearena2.ogg": "Rotate arena!",
    "new_ghostballs2.ogg": "Ghost balls!",
    "new_WallsExpand2.ogg": "Expand!",
    "new_Distraction2.ogg": "Distraction!",
    "new_WallsImplode2.ogg": "Walls implode!",
    "new_Randomdirection2.ogg": "Random direction!",
    "new_Obstacles2.ogg": "Obstacles!",
    "new_Invaders2.ogg": "Invaders!",
    "new_paddleslowdown2.ogg": "Slow paddle!",
    "new_Chaosballs2.ogg": "Chaos balls!",
    "new_Transmutation2.ogg": "Transmutation!",
    "new_autorotation2.ogg": "Auto rotation!",
    "new_zoomzoomzoom2.ogg": "Zoom zoom zoom!",
    "new_extrawall2.ogg": "Extra... wall?",
    "new_corridor2.ogg": "Corridor!",
    "new_blackhole2.ogg": "Black hole!",
    "new_bogusballs2.ogg": "Bogus balls!",
    "new_breakout2.ogg": "Breakout!",
    "new_squeezetime2.ogg": "Squeeze time!",
    "new_stretchtime2.ogg": "Stretch time!",
    "new_dontremember2.ogg": "I don't remember!",
    "new_FeelTheBeat.ogg": "Feel the beat!",
    "new_XenonLights.ogg": "Xenon lights!",
    "new_InterfaceTerror.ogg": "Interface terror!",
    "new_and2.ogg": "and",
    "new_noway2.ogg": "No way!",
    "kromby.ogg": "Kromby!",
}

# A deeper voice comes from espeak's own pitch; a little tape-style slowing adds weight.
# Much more (below about 0.9) moves the formants so far that words blur.
SLOWDOWN = 0.94
VOICE_CHAIN = [
    "highpass", "90",
    "equalizer", "150", "1.0q", "+4",
    "equalizer", "450", "1.2q", "-3",
    "equalizer", "2600", "1.0q", "+4",
    "equalizer", "6500", "1.5q", "-4",
    "compand", "0.002,0.06", "6:-60,-60,-40,-20,-20,-10,0,-6", "0", "-90", "0.002",
]
ROOM_CHAIN = [
    "pad", "0", str(TAIL),
    "reverb", "28", "60", "45", "0", "5", "-6",
    "echo", "0.9", "0.85", "115", "0.16",
    "channels", "1",
]


def sox(*args):
    subprocess.run(["sox", "-R", "-V1", *args], check=True)


def announce(text):
    """Speaks text as the announcer; returns mono float samples at 44.1 kHz."""
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "raw.wav")
        trimmed = os.path.join(tmp, "trimmed.wav")
        voiced = os.path.join(tmp, "voiced.wav")
        final = os.path.join(tmp, "final.wav")
        subprocess.run(["espeak-ng", "-v", VOICE, "-s", "160", "-p", "25", "-a", "120",
                        "-w", raw, text], check=True)
        sox(raw, "-b", "32", "-e", "floating-point", trimmed, "gain", "-12",
            "silence", "1", "0.005", "-60d", "reverse", "silence", "1", "0.005", "-60d",
            "reverse")
        # espeak starts and stops abruptly: soften both ends before the echo repeats them
        sox(trimmed, voiced, "fade", "h", "0.004", "-0", "0.010",
            "speed", str(SLOWDOWN), "rate", "-v", str(common.RATE), *VOICE_CHAIN)
        length = len(common.read_wav(voiced)) / common.RATE
        print(f"{text!r}: {length:.2f} s of speech", file=sys.stderr)
        tempo = ["tempo", "-s", f"{length / SPEECH_MAX:.4f}"] if length > SPEECH_MAX else []
        sox(voiced, final, *tempo, *ROOM_CHAIN)
        samples = common.read_wav(final)[:, 0]
    # The echo lengthens the file by its delay: keep the speech and one tail only
    speech_length = min(length, SPEECH_MAX) * common.RATE
    samples = samples[: int(speech_length + TAIL * common.RATE)]
    # A short fade-in removes the step where silence was trimmed; the tail fades away
    samples = common.fade(samples, fade_in=common.RATE // 500, fade_out=int(TAIL * common.RATE))
    # Shave the plosives' peaks so the words themselves can be louder
    return common.limit(common.normalise(samples, 0.0), -LIMIT_DB)


def build(encoder):
    for name, text in PHRASES.items():
        encoder.save(name, announce(text), -1.0)
