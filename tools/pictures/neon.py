"""Glowing line art on black, for the pictures the game adds onto the screen."""

import numpy as np

from canvas import Mask, blur
from lettering import text_strokes, text_width
from strokes import draw_strokes


def stroke_mask(width, height, strokes, ss=4):
    mask = Mask(width, height, ss=ss)
    draw_strokes(mask, strokes)
    return mask.coverage()


def glow(coverage, colour, radius, strength, core=0.35):
    """Light from a shape: its own colour, a white-hot middle and a soft halo.

    `colour` is an rgb triple or an (h, w, 3) field; the result is additive light.
    """
    colour = np.asarray(colour, dtype=np.float64)
    halo = blur(coverage, radius) * strength
    tight = blur(coverage, max(radius / 4.0, 0.8)) * 0.5 * strength
    body = coverage[..., None] * (colour * (1.0 - core) + core)
    return body + (halo + tight)[..., None] * colour


def vertical_gradient(height, width, top, bottom, y0, y1):
    """Colour field from `top` at y0 to `bottom` at y1, constant beyond."""
    ys = np.arange(height, dtype=np.float64)[:, None, None] + 0.5
    t = np.clip((ys - y0) / float(y1 - y0), 0.0, 1.0)
    field = np.asarray(top) * (1.0 - t) + np.asarray(bottom) * t
    return np.broadcast_to(field, (height, width, 3))


def centred_text(text, centre_x, cap_top, unit, tracking=4.0, width_scale=1.0):
    left = centre_x - text_width(text, unit, tracking, width_scale) / 2.0
    return text_strokes(text, left, cap_top, unit, tracking, width_scale)


def right_aligned_text(text, right_x, cap_top, unit, tracking=4.0, width_scale=1.0):
    left = right_x - text_width(text, unit, tracking, width_scale)
    return text_strokes(text, left, cap_top, unit, tracking, width_scale)
