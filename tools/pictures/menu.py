"""The main menu picture "options_new.png": title and the nine item labels, 1280 x 720.

The game adds it onto moving background lines and puts its selection glows
(centre x 476) on the item tops below, so each label is centred 16 pixels
under its item top and starts right of the glows. The band y 30..94 from
x 280 is left dark for the total score the game writes there.
"""

import numpy as np

from canvas import save_rgb
from lettering import cap_height, text_strokes
from neon import centred_text, glow, right_aligned_text, stroke_mask, vertical_gradient

WIDTH, HEIGHT = 1280, 720
ITEM_TOPS = [214, 254, 300, 342, 384, 428, 472, 514, 598]
LABELS = ["ONE PADDLE", "TWO PADDLES", "1280 \xd7 720", "1280 \xd7 800", "1366 \xd7 768",
          "1920 \xd7 1080", "1920 \xd7 1200", "2560 \xd7 1440", "EXIT"]
LABEL_X = 532
LABEL_UNIT, LABEL_WEIGHT = 1.2, 1.4
CAPTION_RIGHT = 404
TITLE_TOP, TITLE_UNIT = 110, 3.8


def _title(rgb):
    strokes = centred_text("FENWHIT", WIDTH / 2.0, TITLE_TOP, TITLE_UNIT, tracking=5.0,
                           width_scale=1.1)
    cover = stroke_mask(WIDTH, HEIGHT, strokes)
    height = cap_height(TITLE_UNIT, 1.1)
    colour = vertical_gradient(HEIGHT, WIDTH, (0.35, 0.85, 1.0), (1.0, 0.3, 0.85),
                               TITLE_TOP, TITLE_TOP + height)
    rgb += glow(cover, colour, radius=10.0, strength=0.9)
    # thin rules either side of the title, fading outwards
    mid = TITLE_TOP + height / 2.0
    xs = np.arange(WIDTH, dtype=np.float64) + 0.5
    dist = np.abs(xs - WIDTH / 2.0)
    fade = np.clip((dist - 190.0) / 40.0, 0, 1) * np.clip((470.0 - dist) / 200.0, 0, 1)
    rule = np.zeros((HEIGHT, WIDTH))
    rule[int(mid) - 1:int(mid) + 1, :] = fade
    rgb += glow(rule, (0.6, 0.5, 1.0), radius=3.0, strength=0.6, core=0.1)


def _labels(rgb):
    strokes = []
    for top, label in zip(ITEM_TOPS, LABELS):
        cap_top = top + 16 - cap_height(LABEL_UNIT, LABEL_WEIGHT) / 2.0
        strokes += text_strokes(label, LABEL_X, cap_top, LABEL_UNIT, width_scale=LABEL_WEIGHT)
    cover = stroke_mask(WIDTH, HEIGHT, strokes)
    rgb += glow(cover, (0.75, 0.92, 1.0), radius=4.0, strength=0.55, core=0.3)


def _captions(rgb):
    unit, weight = 0.9, 1.4
    half = cap_height(unit, weight) / 2.0
    play_mid = (ITEM_TOPS[0] + ITEM_TOPS[1]) / 2.0 + 16
    window_mid = (ITEM_TOPS[2] + ITEM_TOPS[7]) / 2.0 + 16
    strokes = (right_aligned_text("PLAY", CAPTION_RIGHT, play_mid - half, unit, width_scale=weight)
               + right_aligned_text("WINDOW", CAPTION_RIGHT, window_mid - half, unit,
                                    width_scale=weight))
    # brackets gathering each group of items
    x = CAPTION_RIGHT + 14
    for first, last in ((0, 1), (2, 7)):
        y0, y1 = ITEM_TOPS[first] + 4, ITEM_TOPS[last] + 28
        strokes.append(([(x + 6, y0), (x, y0), (x, y1), (x + 6, y1)], 2.0))
    # a rule setting EXIT apart
    strokes.append(([(LABEL_X, 570.0), (LABEL_X + 260.0, 570.0)], 1.5))
    cover = stroke_mask(WIDTH, HEIGHT, strokes)
    rgb += glow(cover, (1.0, 0.7, 0.3), radius=3.0, strength=0.35, core=0.0) * 0.6


def _footer(rgb):
    unit, weight = 0.75, 1.5
    text = "UP/DOWN  SELECT     SPACE  CHOOSE     ESC  QUIT"
    cover = stroke_mask(WIDTH, HEIGHT, centred_text(text, WIDTH / 2.0, 664, unit,
                                                    width_scale=weight))
    rgb += glow(cover, (0.6, 0.65, 0.8), radius=2.0, strength=0.2, core=0.0) * 0.55


def build_menu(path):
    rgb = np.zeros((HEIGHT, WIDTH, 3))
    _title(rgb)
    _labels(rgb)
    _captions(rgb)
    _footer(rgb)
    save_rgb(path, np.clip(rgb, 0.0, 1.0))
