"""Builds every sound file of the game into the assets folder (or another folder)."""

import argparse
import os
import sys

import common
import creatures
import effects
import game_music
import render
import speech
import title_music

GROUPS = ("effects", "speech", "creatures", "music")


# file name -> (piece, beats of release tail to fold back, dB of limiting, peak dBFS).
# The music stays well under the announcer, who has to be heard over it.
MUSIC = {
    "Fenwhit.ogg": (game_music, 16, 4.0, -6.0),
    "rallointro.ogg": (title_music, 12, 2.0, -10.0),
}


def build_music(encoder):
    for name, (piece, tail_beats, limit_db, peak) in MUSIC.items():
        loop = render.render_loop(piece.tracks(), piece.BEATS, piece.BPM, tail_beats,
                                  peak_dbfs=0.0, limit_db=limit_db)
        encoder.save(name, loop, peak, quality=3)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", default=os.path.join(common.HERE, "..", "..", "assets"))
    parser.add_argument("groups", nargs="*", metavar="GROUP", default=[],
                        help="build only these of " + ", ".join(GROUPS) + " (default: all)")
    args = parser.parse_args()
    groups = args.groups or GROUPS
    unknown = set(groups) - set(GROUPS)
    if unknown:
        parser.error("unknown group: " + ", ".join(sorted(unknown)))
    os.makedirs(args.out, exist_ok=True)
    encoder = common.Encoder(os.path.abspath(args.out))
    builders = {"effects": effects.build, "speech": speech.build,
                "creatures": creatures.build, "music": build_music}
    for group in groups:
        print(f"building {group}", file=sys.stderr)
        builders[group](encoder)
    print(f"{len(encoder.written)} files in {os.path.abspath(args.out)}", file=sys.stderr)


if __name__ == "__main__":
    main()
