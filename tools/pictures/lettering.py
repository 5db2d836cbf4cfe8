"""Places the face's glyphs on a picture: one table for every byte, text laid out in pixels."""

from glyphs import ascii_glyphs
from glyphs_latin1 import latin1_glyphs

_TABLE = None


def glyph_table():
    """Stroke lists in grid units keyed by byte value (32..126 and 160..255)."""
    global _TABLE
    if _TABLE is None:
        ascii_table = ascii_glyphs()
        _TABLE = {ord(ch): strokes for ch, strokes in ascii_table.items()}
        _TABLE.update(latin1_glyphs(ascii_table))
    return _TABLE


def to_pixels(strokes, x0, y0, unit, width_scale=1.0):
    """Grid units to pixels: grid (0, 0) lands on (x0, y0), one unit is `unit` pixels."""
    return [([(x0 + x * unit, y0 + y * unit) for x, y in points], w * unit * width_scale)
            for points, w in strokes]


def text_strokes(text, x, cap_top, unit, tracking=4.0, width_scale=1.0):
    """Strokes for a line of text whose first letter starts at x (outer ink edge).

    `cap_top` is the outer top edge of the capitals; letters are 8 units wide
    between stroke centres and `tracking` units apart.
    """
    table = glyph_table()
    half = unit * width_scale  # half of a 2-unit stroke
    out = []
    pen = x + half
    for ch in text:
        strokes = table.get(ord(ch), [])
        out += to_pixels(strokes, pen, cap_top + half, unit, width_scale)
        pen += (8.0 + tracking) * unit
    return out


def text_width(text, unit, tracking=4.0, width_scale=1.0):
    """Outer ink width of `text` as `text_strokes` lays it out."""
    if not text:
        return 0.0
    return ((len(text) - 1) * (8.0 + tracking) + 8.0) * unit + 2.0 * unit * width_scale


def cap_height(unit, width_scale=1.0):
    return 18.0 * unit + 2.0 * unit * width_scale
