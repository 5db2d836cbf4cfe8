"""The small sprites: ball, glows, arena corner, brick and the event-title backdrop."""

import numpy as np

from canvas import Mask, blur, over, radial, save_rgba, save_white_alpha, smoothstep
from strokes import draw_strokes


def build_ball(path):
    """A chrome sphere lit from the upper left, reflecting a bright sky over a dark floor."""
    size, cx, cy, radius = 32, 16.0, 16.0, 14.5
    mask = Mask(size, size, ss=8)
    mask.ellipse(cx, cy, radius)
    alpha = mask.coverage()
    ys, xs = np.mgrid[0:size, 0:size].astype(np.float64)
    nx = np.clip((xs + 0.5 - cx) / radius, -1, 1)
    ny = np.clip((ys + 0.5 - cy) / radius, -1, 1)
    nz = np.sqrt(np.clip(1.0 - nx * nx - ny * ny, 0.0, 1.0))
    # a horizon band in the reflection: sky above, dark ground below, light rim near it
    horizon = 0.12 + 0.3 * nx
    sky = 0.6 + 0.4 * smoothstep(horizon, horizon - 0.9, ny)
    ground = 0.22 + 0.45 * smoothstep(horizon + 0.15, 1.05, ny)
    base = sky + (ground - sky) * smoothstep(horizon - 0.06, horizon + 0.06, ny)
    lx, ly, lz = -0.5, -0.6, 0.62
    diffuse = np.clip(nx * lx + ny * ly + nz * lz, 0.0, 1.0)
    spec = np.clip(diffuse, 0, 1) ** 28
    edge = smoothstep(0.75, 1.0, np.hypot(nx, ny))
    value = np.clip(base * (0.55 + 0.45 * diffuse) + 0.9 * spec - 0.18 * edge, 0.0, 1.0)
    rgb = np.dstack([value * 0.96, value * 0.98, value * 1.0 + 0.02])
    save_rgba(path, np.clip(rgb, 0, 1), alpha)


def _soft_dot(size, falloff_power, core):
    r = radial(size, size, size / 2.0, size / 2.0) / (size / 2.0)
    body = np.clip(1.0 - r, 0.0, 1.0) ** falloff_power
    centre = np.exp(-(r / 0.18) ** 2)
    return np.clip(body * (1.0 - core) + centre * core, 0.0, 1.0)


def build_light(path):
    save_white_alpha(path, _soft_dot(64, 1.7, 0.3))


def build_particle(path):
    save_white_alpha(path, _soft_dot(32, 1.3, 0.45))


def build_corner(path):
    """An L bracket whose corner point is at about (15.75, 16.75).

    Drawn at angle 0 the arena's corner lands on image (16, 17.5); drawn turned
    90 degrees for the bottom corner it lands on (15.5, 16). The 6-pixel arms
    (x 13..19 up, y 14..20 across) hold the 4-pixel wall line in both cases.
    """
    size = 32
    mask = Mask(size, size, ss=8)
    draw_strokes(mask, [([(16.0, 1.5), (16.0, 17.0), (30.5, 17.0)], 6.0)])
    inner = Mask(size, size, ss=8)
    draw_strokes(inner, [([(16.0, 5.0), (16.0, 17.0), (27.0, 17.0)], 2.0)])
    knob = Mask(size, size, ss=8)
    knob.rect(11.0, 12.0, 21.0, 22.0)
    arms = mask.coverage()
    # fade the arm tips so the bracket melts into the wall lines
    ys, xs = np.mgrid[0:size, 0:size].astype(np.float64)
    along = np.maximum(xs + 0.5 - 16.0, 17.0 - (ys + 0.5))
    fade = 1.0 - smoothstep(8.0, 15.0, along)
    alpha = np.clip(arms * (0.55 + 0.45 * fade) + 0.8 * knob.coverage(), 0.0, 1.0)
    alpha = np.maximum(alpha, 0.45 * blur(alpha, 2.0))
    save_white_alpha(path, np.clip(alpha + 0.3 * inner.coverage(), 0.0, 1.0))


def build_brick(path):
    """A light grey bevelled brick, tinted by its colour when drawn."""
    w, h, bevel = 64, 32, 4
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float64)
    face = 0.82 - 0.10 * (ys / h)
    left, top = xs < bevel, ys < bevel
    right, bottom = xs >= w - bevel, ys >= h - bevel
    # bevel faces: diagonals decide which side owns the corner squares
    value = face.copy()
    value = np.where(top & (ys <= xs) & (ys <= w - 1 - xs), 1.0, value)
    value = np.where(left & (xs < ys) & (xs <= h - 1 - ys), 0.94, value)
    value = np.where(bottom & (h - 1 - ys < xs) & (h - 1 - ys <= w - 1 - xs), 0.45, value)
    value = np.where(right & (w - 1 - xs < ys) & (w - 1 - xs < h - 1 - ys), 0.58, value)
    groove = (xs == 0) | (ys == 0) | (xs == w - 1) | (ys == h - 1)
    value = np.where(groove, 0.25, value)
    shine = np.exp(-(((xs - 18.0) / 12.0) ** 2 + ((ys - 9.0) / 4.0) ** 2))
    value = np.clip(value + 0.12 * shine * ~(left | top | right | bottom), 0.0, 1.0)
    rgb = np.dstack([value, value, value])
    save_rgba(path, rgb, np.ones((h, w)))


def build_backdrop(path):
    """A dark translucent band with a glowing, chamfered frame (drawn at scale 3)."""
    w, h, chamfer = 448, 80, 12.0
    # the titles' capitals fall on y 23..63 of this picture, so the band sits low
    left, top, right, bottom = 6.0, 10.0, w - 6.0, h - 5.0
    outline = [(left + chamfer, top), (right, top), (right, bottom - chamfer),
               (right - chamfer, bottom), (left, bottom), (left, top + chamfer),
               (left + chamfer, top)]
    body = Mask(w, h, ss=4)
    body.polygon(outline)
    frame = Mask(w, h, ss=4)
    draw_strokes(frame, [(outline, 1.6)])
    inside, line = body.coverage(), frame.coverage()
    glow = blur(line, 3.0)
    ys = np.mgrid[0:h, 0:w][0].astype(np.float64)
    depth = 0.70 + 0.12 * np.cos((ys + 0.5 - h / 2.0) / (h / 2.0) * np.pi / 2.0)
    rgb = np.zeros((h, w, 3)) + np.array([0.02, 0.03, 0.08])
    alpha = inside * depth
    rgb, alpha = over(rgb, alpha, np.array([0.35, 0.75, 1.0]), np.clip(glow * 2.2, 0, 0.8))
    rgb, alpha = over(rgb, alpha, np.array([0.85, 0.95, 1.0]), line)
    save_rgba(path, rgb, alpha)
