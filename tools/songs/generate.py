"""Builds the test songs with known beats into tests/songs (or another folder): each song
file and beside it NAME.beats, its true beat times in seconds, one a line."""

import argparse
import os
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "sounds"))

import numpy as np  # noqa: E402

import common  # noqa: E402
import songs  # noqa: E402

ARTIST = "Fenwhit test songs"
PEAK_DBFS = -3.0


def resample(samples, rate):
    """Halves the rate through a symmetric low-pass, so no sound moves in time."""
    if rate == common.RATE:
        return samples
    assert rate * 2 == common.RATE, "only half the synthesiser's rate is supported"
    taps = np.arange(-32, 33)
    kernel = np.sinc(taps / 2) * np.hanning(len(taps))
    return np.convolve(samples, kernel / kernel.sum(), mode="same")[::2]


def encode(path, samples, rate, title):
    """Writes the file in the format its extension names, tagged, with fixed bytes."""
    kind = os.path.splitext(path)[1]
    if kind == ".wav":
        common.write_wav16(path, samples, rate)
        return
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        common.write_wav16(wav, samples, rate)
        if kind == ".ogg":
            serial = zlib.crc32(title.encode()) & 0x7FFFFFFF
            common.run("oggenc", "--quiet", "-q", "0", "--serial", str(serial),
                       "-t", title, "-a", ARTIST, "-o", path, wav)
        elif kind == ".flac":
            common.run("flac", "--silent", "--force", "-8", "-T", "TITLE=" + title,
                       "-T", "ARTIST=" + ARTIST, "-o", path, wav)
        elif kind == ".mp3":
            common.run("lame", "--quiet", "-b", "64", "-m", "m", "--tt", title,
                       "--ta", ARTIST, wav, path)
        else:
            raise ValueError("no encoder for " + path)


def write_beats(path, song_name, kind, beats, end=None):
    """The truth file; `end` is where the music stops and only its echo rings on."""
    with open(path, "w") as f:
        f.write(f"# true beats of {song_name}, seconds from its start\n# kind: {kind}\n")
        if end is not None:
            f.write(f"# end: {end:.6f}\n")
        f.writelines(f"{t:.6f}\n" for t in beats)


def stem(name):
    return os.path.splitext(name)[0]


def build(out_dir, names=None):
    os.makedirs(out_dir, exist_ok=True)
    for song in songs.SONGS:
        if names and song.name not in names:
            continue
        audio = common.normalise(songs.render(song), PEAK_DBFS)
        encode(os.path.join(out_dir, song.name), resample(audio, song.rate), song.rate,
               stem(song.name))
        write_beats(os.path.join(out_dir, stem(song.name) + ".beats"), song.name, song.kind,
                    songs.truth(song), songs.music_end(song))
    if not names or songs.PAD_ONLY in names:
        audio = common.normalise(songs.render_pad(), PEAK_DBFS)
        encode(os.path.join(out_dir, songs.PAD_ONLY), resample(audio, 22050), 22050,
               stem(songs.PAD_ONLY))
        write_beats(os.path.join(out_dir, stem(songs.PAD_ONLY) + ".beats"), songs.PAD_ONLY,
                    "none", [])


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", default=os.path.join(HERE, "..", "..", "tests", "songs"))
    parser.add_argument("names", nargs="*", help="build only these songs (default: all)")
    args = parser.parse_args()
    build(os.path.abspath(args.out), set(args.names))


if __name__ == "__main__":
    main()
