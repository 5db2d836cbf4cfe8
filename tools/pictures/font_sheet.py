"""The glyph sheet "32x64-alien.png": 16 x 16 cells of 32 x 64, byte c at column c & 15, row c >> 4.

Glyph ink stays within x 6..26 of its cell so that event titles, drawn with
a 68-pixel advance at scale 3 (about 22.7 cell pixels), do not overlap. The
game writes no parentheses, so their cells hold the HUD marks: ")" a small
ball for a life and "(" a crossed circle for a cancel.
"""

import numpy as np

from canvas import Mask, polar, save_grey_alpha, smoothstep
from lettering import glyph_table, to_pixels
from strokes import draw_strokes

CELL_W, CELL_H = 32, 64
GRID_X0, GRID_Y0, UNIT = 8.0, 16.0, 2.0  # grid (0, 0) in cell pixels; pixels per unit
MARK_CX, MARK_CY = 16.0, 34.0  # marks sit on the middle of the capitals
SS = 8


def cell_origin(code):
    return (code & 15) * CELL_W, (code >> 4) * CELL_H


def _draw_glyphs(mask):
    for code, strokes in glyph_table().items():
        if code in (ord("("), ord(")")):
            continue
        cx, cy = cell_origin(code)
        draw_strokes(mask, to_pixels(strokes, cx + GRID_X0, cy + GRID_Y0, UNIT))


def _draw_cancel_mark(mask):
    cx, cy = cell_origin(ord("("))
    x, y = cx + MARK_CX, cy + MARK_CY
    mask.ellipse(x, y, 11.0)
    mask.ellipse(x, y, 7.5, value=0)
    d = 5.6
    draw_strokes(mask, [([(x - d, y - d), (x + d, y + d)], 3.0),
                        ([(x + d, y - d), (x - d, y + d)], 3.0)])


def _draw_life_mark(mask):
    cx, cy = cell_origin(ord(")"))
    mask.ellipse(cx + MARK_CX, cy + MARK_CY, 10.5)


def _ball_shading(grey):
    """A lit sphere inside the life-mark cell: bright upper left, dimmer rim."""
    cx, cy = cell_origin(ord(")"))
    r, _ = polar(CELL_W, CELL_H, MARK_CX, MARK_CY)
    hr, _ = polar(CELL_W, CELL_H, MARK_CX - 3.5, MARK_CY - 3.5)
    light = 0.55 + 0.45 * (1.0 - smoothstep(0.0, 14.0, hr))
    rim = 1.0 - 0.25 * smoothstep(6.0, 10.5, r)
    grey[cy:cy + CELL_H, cx:cx + CELL_W] = np.clip(light * rim, 0.0, 1.0)


def build_font(path):
    mask = Mask(16 * CELL_W, 16 * CELL_H, ss=SS)
    _draw_glyphs(mask)
    _draw_cancel_mark(mask)
    _draw_life_mark(mask)
    alpha = mask.coverage()
    grey = np.ones_like(alpha)
    _ball_shading(grey)
    save_grey_alpha(path, grey, alpha)
