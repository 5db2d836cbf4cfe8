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


def build_music(encoder):
    game = render.render_loop(game_music.tracks(), game_music.BEATS, game_music.BPM,
                              tail_beats=16, peak_dbfs=0.0, limit_db=4.0)
    encoder.save("Fenwhit.ogg", game, -6.0, quality=3)
    title = render.render_loop(title_music.tracks(), title_music.BEATS, title_music.BPM,
                               tail_beats=12, peak_dbfs=0.0, limit_db=2.0)
    encoder.save("rallointro.ogg", title, -10.0, quality=3)


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
