"""Flat cartoon painting: outlined colour shapes at several times the final size."""

import numpy as np
from PIL import Image, ImageDraw

from canvas import save_rgba

INK = (30, 20, 20, 255)


class Painter:
    """RGBA layer drawn at `ss` times its final size; coordinates are final pixels."""

    def __init__(self, width, height, ss=8, outline=1.3):
        self.width, self.height, self.ss = width, height, ss
        self.outline = outline
        self.image = Image.new("RGBA", (width * ss, height * ss), (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.image)

    def _pts(self, points):
        return [(x * self.ss, y * self.ss) for x, y in points]

    def _line_width(self, outlined):
        return int(round(self.outline * self.ss)) if outlined else 0

    def ellipse(self, cx, cy, rx, ry, fill, outlined=True):
        s = self.ss
        box = [(cx - rx) * s, (cy - ry) * s, (cx + rx) * s, (cy + ry) * s]
        self.draw.ellipse(box, fill=fill, outline=INK if outlined else None,
                          width=self._line_width(outlined))

    def polygon(self, points, fill, outlined=True):
        if fill is not None:
            self.draw.polygon(self._pts(points), fill=fill)
        if outlined:
            self.line(points + points[:1], INK, self.outline)

    def line(self, points, colour, width):
        w = max(1, int(round(width * self.ss)))
        pts = self._pts(points)
        self.draw.line(pts, fill=colour, width=w, joint="curve")
        r = w / 2.0
        for x, y in (pts[0], pts[-1]):
            self.draw.ellipse([x - r, y - r, x + r, y + r], fill=colour)

    def arrays(self):
        """Final-size straight-alpha floats (rgb, alpha), averaged with alpha weighting."""
        small = self.image.resize((self.width, self.height), Image.BOX)
        data = np.asarray(small, dtype=np.float64) / 255.0
        return data[..., :3], data[..., 3]

    def save(self, path):
        rgb, alpha = self.arrays()
        save_rgba(path, rgb, alpha)


def clip(layer, shape):
    """Keeps `layer` only where `shape` (another Painter of the same size) is opaque."""
    keep = np.asarray(shape.image.getchannel("A"), dtype=np.uint16)
    data = np.asarray(layer.image).copy()
    data[..., 3] = (data[..., 3].astype(np.uint16) * keep // 255).astype(np.uint8)
    layer.image = Image.fromarray(data, "RGBA")
    layer.draw = ImageDraw.Draw(layer.image)


def stack(bottom, top):
    """Composites `top` over `bottom` in place (both Painters of the same size)."""
    bottom.image.alpha_composite(top.image)
    bottom.draw = ImageDraw.Draw(bottom.image)
