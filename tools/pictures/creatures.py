"""The three alternative ball looks, 64 x 64 on a transparent ground: cow, chicken, Kromby.

They spin with the ball, so each is a compact, outlined figure centred on (32, 32).
"""

from painter import INK, Painter, clip, stack

WHITE = (248, 246, 240, 255)
BLACK = (28, 26, 30, 255)
PINK = (244, 160, 170, 255)
DARK_PINK = (200, 90, 110, 255)
HORN = (236, 222, 180, 255)
RED = (225, 40, 40, 255)
YELLOW = (255, 196, 40, 255)
ORANGE = (240, 140, 30, 255)


def _eye(p, x, y, r):
    p.ellipse(x, y, r, r * 1.15, BLACK, outlined=False)
    p.ellipse(x - r * 0.35, y - r * 0.4, r * 0.35, r * 0.35, (255, 255, 255, 255), outlined=False)


def build_cow(path):
    """A cow's face seen from the front: horns, floppy ears, patches and a pink muzzle."""
    p = Painter(64, 64)
    # horns curve out and up from the top of the head
    p.polygon([(22, 16), (14, 13), (8, 6), (10, 4), (17, 9), (25, 12)], HORN)
    p.polygon([(42, 16), (50, 13), (56, 6), (54, 4), (47, 9), (39, 12)], HORN)
    # ears stick out sideways, pink inside
    p.polygon([(19, 20), (5, 19), (2, 24), (8, 28), (19, 27)], WHITE)
    p.polygon([(45, 20), (59, 19), (62, 24), (56, 28), (45, 27)], WHITE)
    p.ellipse(8, 23.5, 4, 2.2, PINK, outlined=False)
    p.ellipse(56, 23.5, 4, 2.2, PINK, outlined=False)
    # head: wide brow narrowing to the muzzle
    head = Painter(64, 64)
    head.polygon([(20, 12), (44, 12), (48, 18), (47, 34), (43, 44), (21, 44), (17, 34),
                  (16, 18)], WHITE)
    patches = Painter(64, 64)
    patches.polygon([(14, 20), (24, 14), (30, 19), (29, 30), (22, 34), (14, 31)], BLACK,
                    outlined=False)
    patches.polygon([(38, 10), (50, 10), (50, 20), (43, 21), (37, 16)], BLACK, outlined=False)
    clip(patches, head)
    stack(head, patches)
    head.polygon([(20, 12), (44, 12), (48, 18), (47, 34), (43, 44), (21, 44), (17, 34),
                  (16, 18)], None)  # the outline again, over the patches
    stack(p, head)
    # tuft of hair between the horns
    p.polygon([(27, 13), (29, 7), (32, 11), (35, 6), (37, 13)], (150, 90, 50, 255))
    # eyes, the left one inside its patch
    p.ellipse(24.5, 25, 3.4, 3.8, WHITE)
    _eye(p, 25, 25.5, 2.2)
    p.ellipse(39.5, 25, 3.4, 3.8, WHITE)
    _eye(p, 39, 25.5, 2.2)
    # muzzle with nostrils and a little smile
    p.ellipse(32, 45, 14, 9.5, PINK)
    p.ellipse(26.5, 44, 2.6, 3.2, DARK_PINK, outlined=False)
    p.ellipse(37.5, 44, 2.6, 3.2, DARK_PINK, outlined=False)
    p.line([(27, 50.5), (32, 52.5), (37, 50.5)], INK, 1.3)
    p.save(path)


def build_chicken(path):
    """A plump white hen facing right: red comb and wattle, yellow beak, orange legs."""
    p = Painter(64, 64)
    # legs first so the body covers their tops
    for x in (27, 35):
        p.line([(x, 46), (x, 58)], ORANGE, 2.2)
        p.line([(x - 4, 60), (x, 57.5), (x + 5, 60)], ORANGE, 1.8)
    # tail feathers fan out to the upper left
    p.polygon([(16, 34), (5, 16), (11, 18), (12, 12), (18, 19), (20, 14), (24, 28)], WHITE)
    # body and neck
    p.ellipse(31, 38, 20, 13, WHITE)
    p.polygon([(36, 30), (39, 18), (50, 18), (50, 31), (44, 40)], WHITE, outlined=False)
    p.line([(39, 18), (36, 30)], INK, 1.3)
    p.line([(50, 24), (50, 31), (46, 37)], INK, 1.3)
    # comb on top of the head
    for x, y, r in ((40, 10.5, 3.4), (44.5, 8.5, 3.6), (49, 10.5, 3.2)):
        p.ellipse(x, y, r, r, RED)
    p.ellipse(45, 18, 8, 7.5, WHITE)
    # beak, wattle, eye
    p.polygon([(52, 15.5), (60, 19), (52, 22)], YELLOW)
    p.line([(52.5, 19), (58, 19)], ORANGE, 1.0)
    p.ellipse(51, 26, 2.6, 3.6, RED)
    _eye(p, 47, 16.5, 1.9)
    # folded wing
    p.ellipse(28, 38, 10, 6.5, (225, 222, 215, 255))
    p.line([(21, 39), (27, 42), (34, 40)], INK, 1.0)
    p.save(path)


def build_kromby(path):
    """Kromby: a goofy round face with wild hair, bulging eyes, big nose and a toothy grin."""
    p = Painter(64, 64)
    skin, hair = (250, 196, 150, 255), (120, 60, 200, 255)
    p.ellipse(11, 35, 4.5, 6, skin)
    p.ellipse(53, 35, 4.5, 6, skin)
    # spiky hair behind the face
    spikes = [(10, 30), (9, 14), (17, 19), (19, 5), (26, 14), (32, 2), (38, 14), (45, 5),
              (47, 19), (55, 14), (54, 30)]
    p.polygon(spikes, hair)
    p.ellipse(32, 36, 21, 22, skin)
    # fringe over the forehead
    p.polygon([(13, 26), (17, 15), (47, 15), (51, 26), (44, 21), (38, 25), (32, 20), (26, 25),
               (20, 21)], hair)
    # eyebrows, eyes looking to the side
    p.line([(18, 24), (23, 22), (28, 24)], INK, 2.0)
    p.line([(36, 24), (41, 22), (46, 24)], INK, 2.0)
    p.ellipse(23.5, 31, 5.5, 6, (255, 255, 255, 255))
    p.ellipse(40.5, 31, 5.5, 6, (255, 255, 255, 255))
    _eye(p, 25.5, 32, 2.6)
    _eye(p, 42.5, 32, 2.6)
    # bulbous nose and cheeks
    p.ellipse(17, 42, 3.5, 2.5, (245, 150, 130, 255), outlined=False)
    p.ellipse(47, 42, 3.5, 2.5, (245, 150, 130, 255), outlined=False)
    p.ellipse(32, 39.5, 5, 4.5, (240, 140, 110, 255))
    # grin: a dark mouth with a row of teeth
    p.polygon([(19, 45), (45, 45), (41, 53), (32, 56), (23, 53)], (110, 20, 30, 255))
    p.polygon([(21, 45.5), (43, 45.5), (41.5, 48.5), (22.5, 48.5)], (255, 255, 255, 255),
              outlined=False)
    for x in (27, 32, 37):
        p.line([(x, 45.8), (x, 48.3)], (170, 160, 160, 255), 0.6)
    p.ellipse(32, 53, 5, 2, (230, 90, 100, 255), outlined=False)
    p.save(path)
