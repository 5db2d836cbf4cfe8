"""A small Standard MIDI File writer, enough for the game's own note data."""

PPQ = 480  # ticks per beat


def _varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


class Track:
    def __init__(self, name=""):
        self.events = []  # (tick, order, bytes); note-offs sort before note-ons at one tick
        if name:
            raw = name.encode("ascii")
            self.events.append((0, 0, b"\xff\x03" + _varlen(len(raw)) + raw))

    def tempo(self, tick, bpm):
        usec = round(60_000_000 / bpm)
        self.events.append((tick, 1, b"\xff\x51\x03" + usec.to_bytes(3, "big")))

    def program(self, tick, channel, program):
        self.events.append((tick, 1, bytes([0xC0 | channel, program])))

    def control(self, tick, channel, number, value):
        self.events.append((tick, 1, bytes([0xB0 | channel, number, value])))

    def note(self, tick, length, channel, key, velocity):
        if not (0 <= key < 128 and 0 < velocity < 128 and length > 0):
            raise ValueError(f"bad note {key} vel {velocity} len {length}")
        self.events.append((tick, 2, bytes([0x90 | channel, key, velocity])))
        self.events.append((tick + length, 0, bytes([0x80 | channel, key, 0])))

    def encode(self, end_tick=None):
        events = sorted(self.events, key=lambda e: (e[0], e[1]))
        last = events[-1][0] if events else 0
        end = max(last, end_tick or 0)
        out, now = bytearray(), 0
        for tick, _, data in events:
            out += _varlen(tick - now) + data
            now = tick
        out += _varlen(end - now) + b"\xff\x2f\x00"
        return b"MTrk" + len(out).to_bytes(4, "big") + bytes(out)


def write_smf(path, tracks, end_tick=None):
    """Writes a format-1 file; every track ends at end_tick or later, which keeps the
    player (and so the render) running past the last note."""
    header = b"MThd" + (6).to_bytes(4, "big") + (1).to_bytes(2, "big")
    header += len(tracks).to_bytes(2, "big") + PPQ.to_bytes(2, "big")
    with open(path, "wb") as f:
        f.write(header)
        for track in tracks:
            f.write(track.encode(end_tick))
