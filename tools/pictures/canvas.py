"""Supersampled drawing surfaces, glows and PNG output shared by every picture."""

import math

import numpy as np
from PIL import Image, ImageDraw


class Mask:
    """A coverage mask drawn at `ss` times the final size and averaged down.

    Coordinates given to the drawing calls are final-image pixels (floats);
    the supersampling stays inside this class.
    """

    def __init__(self, width, height, ss=4):
        self.width, self.height, self.ss = width, height, ss
        self.image = Image.new("L", (width * ss, height * ss), 0)
        self.draw = ImageDraw.Draw(self.image)

    def _pts(self, points):
        s = self.ss
        return [(x * s, y * s) for x, y in points]

    def polygon(self, points, value=255):
        self.draw.polygon(self._pts(points), fill=value)

    def ellipse(self, cx, cy, rx, ry=None, value=255):
        ry = rx if ry is None else ry
        s = self.ss
        box = [(cx - rx) * s, (cy - ry) * s, (cx + rx) * s - 1, (cy + ry) * s - 1]
        self.draw.ellipse(box, fill=value)

    def rect(self, x0, y0, x1, y1, value=255):
        s = self.ss
        self.draw.rectangle([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], fill=value)

    def coverage(self):
        """The mask at final size as floats in 0..1 (area average of the subsamples)."""
        small = self.image.resize((self.width, self.height), Image.BOX)
        return np.asarray(small, dtype=np.float64) / 255.0


def blur(array, radius):
    """Separable Gaussian blur (sigma = radius) of a float array; edges treated as empty."""
    if radius <= 0:
        return array.copy()
    half = int(math.ceil(radius * 3.0))
    xs = np.arange(-half, half + 1, dtype=np.float64)
    kernel = np.exp(-0.5 * (xs / radius) ** 2)
    kernel /= kernel.sum()
    padded = np.pad(array, half)
    rows = np.apply_along_axis(lambda v: np.convolve(v, kernel, mode="valid"), 1, padded)
    return np.apply_along_axis(lambda v: np.convolve(v, kernel, mode="valid"), 0, rows)


def radial(width, height, cx, cy):
    """Distance of every pixel centre from (cx, cy)."""
    ys, xs = np.mgrid[0:height, 0:width].astype(np.float64)
    return np.hypot(xs + 0.5 - cx, ys + 0.5 - cy)


def polar(width, height, cx, cy):
    """Distance and angle (radians) of every pixel centre about (cx, cy)."""
    ys, xs = np.mgrid[0:height, 0:width].astype(np.float64)
    dx, dy = xs + 0.5 - cx, ys + 0.5 - cy
    return np.hypot(dx, dy), np.arctan2(dy, dx)


def smoothstep(edge0, edge1, x):
    t = np.clip((x - edge0) / (edge1 - edge0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def layer(rgb, alpha, mask):
    """Stacks a colour and a per-pixel opacity into a (colour, alpha) pair for `over`."""
    return np.asarray(rgb, dtype=np.float64), np.clip(alpha * mask, 0.0, 1.0)


def over(base_rgb, base_a, rgb, a):
    """Porter-Duff 'over' of straight-alpha float layers; returns the new (rgb, a)."""
    rgb = np.broadcast_to(rgb, base_rgb.shape)
    a3 = a[..., None]
    out_a = a + base_a * (1.0 - a)
    num = rgb * a3 + base_rgb * (base_a * (1.0 - a))[..., None]
    safe = np.where(out_a > 1e-9, out_a, 1.0)[..., None]
    return num / safe, out_a


def bleed(rgb, visible, steps=4):
    """Spreads colour into fully transparent pixels so linear filtering shows no dark fringe."""
    rgb = rgb.copy()
    known = visible.copy()
    for _ in range(steps):
        acc = np.zeros_like(rgb)
        cnt = np.zeros(visible.shape)
        for dy, dx in ((-1, 0), (1, 0), (0, -1), (0, 1)):
            shifted_known = np.roll(known, (dy, dx), axis=(0, 1))
            acc += np.roll(rgb, (dy, dx), axis=(0, 1)) * shifted_known[..., None]
            cnt += shifted_known
        fill = ~known & (cnt > 0)
        rgb[fill] = acc[fill] / cnt[fill][:, None]
        known = known | fill
    return rgb


def to_bytes(values):
    return np.clip(np.rint(np.asarray(values) * 255.0), 0, 255).astype(np.uint8)


def save_rgba(path, rgb, alpha, bleed_edges=True):
    """Writes straight-alpha float layers (0..1) as an 8-bit RGBA PNG."""
    alpha_bytes = to_bytes(alpha)
    visible = alpha_bytes > 0  # judged after rounding, as the file will hold it
    if bleed_edges:
        rgb = bleed(rgb, visible)
    else:
        rgb = rgb * visible[..., None]
    data = np.dstack([to_bytes(rgb), alpha_bytes])
    Image.fromarray(data, "RGBA").save(path, optimize=True)


def save_rgb(path, rgb):
    """Writes an opaque picture meant for additive drawing on black."""
    Image.fromarray(to_bytes(rgb), "RGB").save(path, optimize=True)


def save_white_alpha(path, alpha):
    """White everywhere, shape in alpha only: tints cleanly under any colour."""
    grey = np.full(alpha.shape, 255, dtype=np.uint8)
    Image.fromarray(np.dstack([grey, to_bytes(alpha)]), "LA").save(path, optimize=True)


def save_grey_alpha(path, grey, alpha):
    data = np.dstack([to_bytes(grey), to_bytes(alpha)])
    Image.fromarray(data, "LA").save(path, optimize=True)


def deg(angle):
    return math.radians(angle)
