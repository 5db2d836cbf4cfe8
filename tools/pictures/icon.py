"""The desktop icon: a paddle and a ball in flight, glowing on a dark rounded tile.

Drawn on a 256-unit grid and rendered at each size on its own, so small sizes keep
lines at least a pixel wide instead of blurring a large picture down.
"""

import numpy as np

from canvas import Mask, save_rgba
from neon import glow, stroke_mask, vertical_gradient

SIZES = (16, 24, 32, 48, 64, 128, 256)
GRID = 256.0


def _tile(size, unit):
    """Rounded square with a small margin, as coverage."""
    inset, corner = 10.0 * unit, 46.0 * unit
    left, right = inset, size - inset
    mask = Mask(size, size, ss=8)
    mask.rect(left + corner, left, right - corner, right)
    mask.rect(left, left + corner, right, right - corner)
    for cx in (left + corner, right - corner):
        for cy in (left + corner, right - corner):
            mask.ellipse(cx, cy, corner)
    return mask.coverage()


def _disc(size, x, y, radius):
    ys, xs = np.mgrid[0:size, 0:size].astype(np.float64) + 0.5
    return np.clip(radius - np.hypot(xs - x, ys - y) + 0.5, 0.0, 1.0)


def build_icon(path, size):
    unit = size / GRID

    def width(units, thinnest=1.2):
        return max(units * unit, thinnest)

    tile = _tile(size, unit)
    rgb = np.empty((size, size, 3))
    rgb[...] = (0.05, 0.03, 0.12)

    # the arena: top, right and bottom walls, open on the left like the game's
    walls = [([(70 * unit, 52 * unit), (206 * unit, 52 * unit), (206 * unit, 204 * unit),
               (70 * unit, 204 * unit)], width(7))]
    colour = vertical_gradient(size, size, (0.3, 0.9, 1.0), (0.95, 0.25, 1.0),
                               52 * unit, 204 * unit)
    rgb += glow(stroke_mask(size, size, walls), colour, radius=max(6 * unit, 0.6),
                strength=0.8)

    paddle = [([(56 * unit, 92 * unit), (56 * unit, 168 * unit)], width(16, 2.0))]
    rgb += glow(stroke_mask(size, size, paddle), (1.0, 0.35, 0.2),
                radius=max(7 * unit, 0.6), strength=0.6, core=0.1)

    trail = sum(_disc(size, (132 - 15 * k) * unit, (102 + 7 * k) * unit,
                      max((9 - 1.2 * k) * unit, 0.4)) for k in range(5))
    rgb += glow(np.clip(trail, 0, 1), (1.0, 0.7, 0.3), radius=max(4 * unit, 0.5), strength=0.5)
    ball = _disc(size, 156 * unit, 92 * unit, max(20 * unit, 1.6))
    rgb += glow(ball, (1.0, 0.9, 0.5), radius=max(9 * unit, 0.6), strength=1.1, core=0.6)

    save_rgba(path, np.clip(rgb, 0.0, 1.0), tile)
