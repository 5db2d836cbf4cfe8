"""Shared helpers for the sound generator: WAV I/O, levels and Ogg encoding."""

import os
import subprocess
import tempfile
import wave
import zlib

import numpy as np

RATE = 44100
BPM = 180
BEAT = RATE * 60 // BPM  # 14700 samples: the game's beat clock

HERE = os.path.dirname(os.path.abspath(__file__))
SOUNDFONT = "/usr/share/sounds/sf2/FluidR3_GM.sf2"


def db(value):
    """Decibels to linear gain."""
    return 10.0 ** (value / 20.0)


def run(*args, **kwargs):
    """Run a tool, failing loudly; the tools' chatter goes to /dev/null."""
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, **kwargs)


def read_wav(path):
    """Reads a 16-bit or 32-bit float WAV written by sox or fluidsynth as (frames, channels)."""
    with open(path, "rb") as f:
        data = f.read()
    # Walk the RIFF chunks ourselves: the wave module rejects float files.
    pos, fmt, body = 12, None, None
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], int.from_bytes(data[pos + 4:pos + 8], "little")
        chunk = data[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            fmt = chunk
        elif tag == b"data":
            body = chunk
        pos += 8 + size + (size & 1)
    if fmt is None or body is None:
        raise ValueError(path + ": not a WAV file")
    code = int.from_bytes(fmt[0:2], "little")
    channels = int.from_bytes(fmt[2:4], "little")
    rate = int.from_bytes(fmt[4:8], "little")
    bits = int.from_bytes(fmt[14:16], "little")
    if code == 0xFFFE:  # extensible: the real format code opens the sub-format GUID
        code = int.from_bytes(fmt[24:26], "little")
    if rate != RATE:
        raise ValueError(f"{path}: {rate} Hz, expected {RATE}")
    if code == 3 and bits == 32:
        samples = np.frombuffer(body, dtype="<f4").astype(np.float64)
    elif code == 1 and bits == 16:
        samples = np.frombuffer(body, dtype="<i2").astype(np.float64) / 32768.0
    else:
        raise ValueError(f"{path}: unsupported format {code}/{bits}")
    return samples[: len(samples) // channels * channels].reshape(-1, channels)


def write_wav16(path, samples, rate=RATE):
    """Writes float samples in [-1, 1] as 16-bit PCM; mono if 1-D, else (frames, channels)."""
    samples = np.asarray(samples, dtype=np.float64)
    if samples.ndim == 1:
        samples = samples[:, None]
    pcm = np.clip(np.round(samples * 32767.0), -32767, 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(samples.shape[1])
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(pcm.tobytes())


def peak_db(samples):
    peak = float(np.max(np.abs(samples)))
    return -200.0 if peak == 0 else 20.0 * np.log10(peak)


def normalise(samples, peak_dbfs):
    """Scales so that the highest peak sits at peak_dbfs."""
    peak = float(np.max(np.abs(samples)))
    return samples if peak == 0 else samples * (db(peak_dbfs) / peak)


def fade(samples, fade_in=0, fade_out=0):
    """Raised-cosine fades, lengths in samples."""
    out = np.array(samples, dtype=np.float64)
    if fade_in:
        ramp = 0.5 - 0.5 * np.cos(np.linspace(0, np.pi, fade_in))
        out[:fade_in] *= ramp if out.ndim == 1 else ramp[:, None]
    if fade_out:
        ramp = 0.5 + 0.5 * np.cos(np.linspace(0, np.pi, fade_out))
        out[-fade_out:] *= ramp if out.ndim == 1 else ramp[:, None]
    return out


def decoded_peak_db(path):
    """Peak of an Ogg file as the game will hear it, after decoding."""
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "out.wav")
        run("oggdec", "--quiet", "-o", wav, path)
        return peak_db(read_wav(wav))


class Encoder:
    """Encodes float buffers to Ogg Vorbis with fixed serial numbers, so that a rerun
    gives byte-identical files. Vorbis can overshoot sharp peaks by a dB or more, so the
    decoded file is measured and re-encoded quieter when it passes the wanted peak."""

    CEILING_MARGIN = 0.25  # dB a decoded peak may sit above the wanted one

    def __init__(self, out_dir, quality=4):
        self.out_dir = out_dir
        self.quality = quality
        self.written = []

    def save(self, name, samples, peak_dbfs, quality=None):
        # Serial numbers follow the file name, not the build order, so that building
        # one file alone gives the same bytes as building all of them.
        serial = zlib.crc32(name.encode()) & 0x7FFFFFFF
        path = os.path.join(self.out_dir, name)
        samples = normalise(samples, peak_dbfs)
        with tempfile.TemporaryDirectory() as tmp:
            wav = os.path.join(tmp, "in.wav")
            for _ in range(4):
                write_wav16(wav, samples)
                run("oggenc", "--quiet", "-q", str(quality or self.quality),
                    "--serial", str(serial), "--discard-comments", "-o", path, wav)
                over = decoded_peak_db(path) - peak_dbfs
                if over <= self.CEILING_MARGIN:
                    break
                samples = samples * db(-over)
        self.written.append(name)


def _running_max(envelope, block):
    """Maximum over each block and its two neighbours, spread back to sample rate."""
    count = -(-len(envelope) // block)
    padded = np.zeros(count * block)
    padded[:len(envelope)] = envelope
    blocks = padded.reshape(count, block).max(axis=1)
    spread = np.maximum(blocks, np.maximum(np.roll(blocks, 1), np.roll(blocks, -1)))
    return np.repeat(spread, block)[:len(envelope)]


def limit(samples, threshold_dbfs, window=512):
    """A look-ahead peak limiter. The gain curve is computed circularly, so a loop's end
    and start get the same gain and its seam stays clean."""
    envelope = np.abs(samples).max(axis=1) if samples.ndim == 2 else np.abs(samples)
    threshold = db(threshold_dbfs)
    gain = np.minimum(1.0, threshold / np.maximum(_running_max(envelope, window), 1e-9))
    # Smooth circularly with a raised-cosine kernel two blocks long
    kernel = np.hanning(2 * window + 1)
    kernel /= kernel.sum()
    wrapped = np.concatenate([gain[-window:], gain, gain[:window]])
    smooth = np.convolve(wrapped, kernel, mode="same")[window:-window]
    smooth = np.minimum(smooth, 1.0)
    return samples * (smooth[:, None] if samples.ndim == 2 else smooth)
