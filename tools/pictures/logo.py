"""The studio logo "PlovixLogo.png": a neon emblem over the word PLOVIX, 960 x 600 on black.

The intro draws it at (160, 0) in the 1280 x 720 window and writes the
version line at (6, 640), so the picture stops above y 600.
"""

import math

import numpy as np

from canvas import save_rgb
from lettering import cap_height, text_width
from neon import centred_text, glow, stroke_mask, vertical_gradient

WIDTH, HEIGHT = 960, 600
EMBLEM_X, EMBLEM_Y, EMBLEM_R = 480.0, 165.0, 112.0
WORD_TOP, WORD_UNIT, WORD_TRACKING = 318.0, 8.0, 6.0


def _hexagon(cx, cy, radius):
    points = [(cx + radius * math.cos(math.radians(90 + 60 * k)),
               cy - radius * math.sin(math.radians(90 + 60 * k))) for k in range(6)]
    return points + points[:1]


def _emblem(rgb):
    """Two nested hexagons framing a paddle and a ball in flight with its trail."""
    ring = [(_hexagon(EMBLEM_X, EMBLEM_Y, EMBLEM_R), 7.0),
            (_hexagon(EMBLEM_X, EMBLEM_Y, EMBLEM_R - 18.0), 3.0)]
    colour = vertical_gradient(HEIGHT, WIDTH, (0.3, 0.9, 1.0), (0.95, 0.25, 1.0),
                               EMBLEM_Y - EMBLEM_R, EMBLEM_Y + EMBLEM_R)
    rgb += glow(stroke_mask(WIDTH, HEIGHT, ring), colour, radius=12.0, strength=1.0)
    paddle = [([(EMBLEM_X - 48.0, EMBLEM_Y - 40.0), (EMBLEM_X - 48.0, EMBLEM_Y + 40.0)], 14.0)]
    rgb += glow(stroke_mask(WIDTH, HEIGHT, paddle), (1.0, 0.35, 0.2), radius=8.0, strength=0.9)
    ys, xs = np.mgrid[0:HEIGHT, 0:WIDTH].astype(np.float64) + 0.5

    def disc(x, y, radius):
        return np.clip(radius - np.hypot(xs - x, ys - y) + 0.5, 0.0, 1.0)

    trail = sum(disc(EMBLEM_X + 30.0 - 13.0 * k, EMBLEM_Y - 26.0 + 8.0 * k, 6.0 - k)
                for k in range(6))
    ball = disc(EMBLEM_X + 52.0, EMBLEM_Y - 36.0, 17.0)
    rgb += glow(ball, (1.0, 0.9, 0.5), radius=10.0, strength=1.2, core=0.6)
    rgb += glow(trail, (1.0, 0.7, 0.3), radius=4.0, strength=0.5)


def _word(rgb):
    weight = 1.25
    strokes = centred_text("PLOVIX", WIDTH / 2.0, WORD_TOP, WORD_UNIT, WORD_TRACKING, weight)
    height = cap_height(WORD_UNIT, weight)
    colour = vertical_gradient(HEIGHT, WIDTH, (0.55, 0.95, 1.0), (0.95, 0.3, 0.95),
                               WORD_TOP, WORD_TOP + height)
    rgb += glow(stroke_mask(WIDTH, HEIGHT, strokes), colour, radius=14.0, strength=0.9)
    # an underline as wide as the word, brightest in the middle
    width = text_width("PLOVIX", WORD_UNIT, WORD_TRACKING, weight)
    y = WORD_TOP + height + 34.0
    line = stroke_mask(WIDTH, HEIGHT, [([(WIDTH / 2.0 - width / 2.0, y),
                                         (WIDTH / 2.0 + width / 2.0, y)], 3.0)])
    xs = np.arange(WIDTH, dtype=np.float64) + 0.5
    taper = np.clip(1.0 - np.abs(xs - WIDTH / 2.0) / (width / 2.0), 0.0, 1.0) ** 0.6
    rgb += glow(line * taper[None, :], (0.6, 0.6, 1.0), radius=5.0, strength=0.8)


def build_logo(path):
    rgb = np.zeros((HEIGHT, WIDTH, 3))
    _emblem(rgb)
    _word(rgb)
    save_rgb(path, np.clip(rgb, 0.0, 1.0))
