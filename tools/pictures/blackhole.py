"""The black hole: a dark core ringed by a hot rim, inside a swirl of spiral arms.

The game draws two copies turning in opposite directions, alpha-blended at
scale 7, so the arms are soft and partly transparent: where the copies cross
they churn, while the core and rim, being round, stay put.
"""

import numpy as np

from canvas import over, polar, save_rgba, smoothstep

SIZE = 64
CORE = 0.27  # radii as fractions of the half size
RIM = 0.33


def _swirl(r, theta):
    """Three logarithmic spiral arms, sharpened, fading towards the outside."""
    phase = 3.0 * theta + 7.0 * np.log(np.maximum(r, 1e-3))
    arms = (0.5 + 0.5 * np.cos(phase)) ** 2.5
    envelope = smoothstep(1.0, 0.45, r) * smoothstep(RIM - 0.02, RIM + 0.1, r)
    return arms * envelope


def build_blackhole(path):
    half = SIZE / 2.0
    dist, theta = polar(SIZE, SIZE, half, half)
    r = dist / half
    swirl = _swirl(r, theta)
    heat = smoothstep(1.0, RIM, r)  # hotter towards the rim

    # a shadow that darkens whatever lies around the hole
    rgb = np.zeros((SIZE, SIZE, 3))
    alpha = 0.55 * smoothstep(1.0, 0.5, r)
    outer = np.dstack([0.45 + 0.55 * heat, 0.15 + 0.55 * heat ** 2, 0.55 - 0.25 * heat])
    rgb, alpha = over(rgb, alpha, outer, np.clip(swirl * (0.55 + 0.45 * heat), 0.0, 1.0))

    ring = np.exp(-((r - RIM) / 0.05) ** 2)
    rgb, alpha = over(rgb, alpha, np.array([1.0, 0.92, 0.75]), np.clip(ring * 1.1, 0.0, 1.0))

    core = smoothstep(CORE + 0.03, CORE - 0.03, r)
    rgb, alpha = over(rgb, alpha, np.array([0.0, 0.0, 0.0]), core)
    alpha = alpha * smoothstep(1.0, 0.92, r)  # nothing reaches the square's edge
    save_rgba(path, rgb, alpha)
