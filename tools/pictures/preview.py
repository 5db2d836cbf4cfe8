#!/usr/bin/python3
"""Composites the pictures the way the game places them, for checking by eye.

Usage: tools/pictures/preview.py [asset directory] [output directory]
Writes menu, font, corner, event-title, HUD and intro previews as PNGs.
"""

import math
import os
import sys

sys.dont_write_bytecode = True  # keep the source folder free of caches

import numpy as np
from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))


def load(assets, name):
    img = Image.open(os.path.join(assets, name)).convert("RGBA")
    return np.asarray(img, dtype=np.float64) / 255.0


def draw_sprite(dst, src, x, y, angle=0.0, scale=1.0, tint=(1, 1, 1), additive=True,
                pivot_shift=0.5, nearest=False):
    """Places `src` as the game's sprite call does: top-left (x, y), turned and scaled about
    (x + w // 2, y + h // 2 + pivot_shift)."""
    h, w = src.shape[:2]
    hw, hh = float(w // 2), float(h // 2)
    px, py = x + hw, y + hh + pivot_shift
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    # inverse map from screen to image coordinates
    a, b = c / scale, s / scale
    d, e = -s / scale, c / scale
    coeffs = (a, b, hw - a * px - b * py, d, e, hh - d * px - e * py)
    img = Image.fromarray(np.clip(np.rint(src * 255), 0, 255).astype(np.uint8), "RGBA")
    rs = Image.NEAREST if nearest else Image.BILINEAR
    out = img.transform((dst.shape[1], dst.shape[0]), Image.AFFINE, coeffs, resample=rs)
    layer = np.asarray(out, dtype=np.float64) / 255.0
    rgb = layer[..., :3] * np.asarray(tint)
    alpha = layer[..., 3:4]
    if additive:
        dst += rgb * alpha
    else:
        dst *= 1.0 - alpha
        dst += rgb * alpha


def draw_text(dst, font, x, y, text, scale, tint, condensed=False):
    for i, ch in enumerate(text.encode("latin-1")):
        shift = -28 * i if condensed else 0
        xi = int(round(x + shift + 32 * i * scale))
        cell = font[(ch >> 4) * 64:(ch >> 4) * 64 + 64, (ch & 15) * 32:(ch & 15) * 32 + 32]
        draw_sprite(dst, cell, xi, y, 0.0, scale, tint, pivot_shift=0.0, nearest=True)


def wave_lines(width, height, spacing, line_width, grey, amplitude):
    img = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(img)
    g = int(grey * 255)
    for k, x in enumerate(range(-700, width + 700, spacing)):
        draw.line([(x + amplitude * math.sin(k * 0.4), -10),
                   (x + amplitude * math.cos(k * 0.3), height + 10)], fill=(g, g, g),
                  width=line_width)
    for k, y in enumerate(range(-700, height + 700, spacing)):
        draw.line([(-10, y + amplitude * math.cos(k * 0.5)),
                   (width + 10, y + amplitude * math.sin(k * 0.2))], fill=(g, g, g),
                  width=line_width)
    return np.asarray(img, dtype=np.float64) / 255.0


def save(path, rgb):
    Image.fromarray(np.clip(np.rint(rgb * 255), 0, 255).astype(np.uint8), "RGB").save(path)


def preview_menu(assets, out, item):
    tops = [214, 254, 300, 342, 384, 428, 472, 514, 598]
    dst = wave_lines(1280, 720, 140, 4, 43 / 255.0, 120)
    draw_sprite(dst, load(assets, "options_new.png"), 0, 0, tint=(252 / 255.0,) * 3)
    font = load(assets, "32x64-alien.png")
    draw_text(dst, font, 280, 30, "TOTAL SCORE: 123456", 1.0, (252 / 255.0,) * 3)
    particle = load(assets, "particle.png")
    half = (0.5, 0.5, 0.5)
    draw_sprite(dst, particle, 460, tops[item], 37.0, 3.0, half)
    draw_sprite(dst, particle, 460, tops[item], 211.0, 2.0, half)
    save(os.path.join(out, "preview_menu_%d.png" % (item + 1)), dst)


def preview_font(assets, out):
    font = load(assets, "32x64-alien.png")
    dst = np.zeros((720, 1280, 3))
    lines = [("TOTAL SCORE: 1234", 1.0, (1, 1, 1)), (" LIVES: ", 1.2, (1, 1, 1)),
             (" SCORE: 98765    ", 1.0, (1, 1, 1)), ("V0.39 BETA  abc xyz", 1.0, (0.6, 1, 0.6)),
             ("\xc0\xc9\xce\xd5\xdc\xe7\xdf\xe6\xf8 \xa9\xae\xb0\xb1\xbd\xbf", 1.0, (1, 1, 0.6)),
             ("EXTRA.... WALL?", 2.0, (1, 0.6, 0.3)), ("I DON'T REMEMBER", 2.0, (0.5, 0.8, 1))]
    y = 10
    for text, scale, tint in lines:
        draw_text(dst, font, 20 + int(32 * (scale - 1)), y + int(32 * (scale - 1)), text, scale,
                  tint)
        y += int(64 * scale) + 6
    draw_text(dst, font, 60, 560, "NO WAY!", 3.0, (1, 0.5, 0.9))
    save(os.path.join(out, "preview_font.png"), dst)


def preview_corner(assets, out):
    """The arena's left corners with walls drawn as the game draws them, enlarged 8 times."""
    corner = load(assets, "corner2.png")
    dst = np.zeros((120, 120, 3))
    left, top, bottom = 40, 30, 90
    img = Image.new("RGB", (120, 120))
    draw = ImageDraw.Draw(img)
    for line in (((left, top), (119, top)), ((left, bottom), (119, bottom)),
                 ((left, 0), (left, top)), ((left, bottom), (left, 119))):
        draw.line(line, fill=(255, 255, 255), width=4)
    dst += np.asarray(img, dtype=np.float64) / 255.0 * 0.5
    draw_sprite(dst, corner, left - 16, top - 18)
    draw_sprite(dst, corner, left - 16, bottom - 16, angle=90.0)
    big = Image.fromarray(np.clip(np.rint(dst * 255), 0, 255).astype(np.uint8), "RGB")
    big.resize((960, 960), Image.NEAREST).save(os.path.join(out, "preview_corner.png"))


def preview_event_title(assets, out):
    dst = wave_lines(1600, 900, 40, 5, 0.17, 0)
    ball = load(assets, "metalball2.png")
    for k in range(5):
        draw_sprite(dst, ball, 300 + 200 * k, 650 + 40 * (k % 2), additive=False)
    draw_sprite(dst, load(assets, "bgeventtext.png"), 600, 728, scale=3.0, additive=False)
    font = load(assets, "32x64-alien.png")
    for text, y in (("!! ARENA EXPAND !!", 740), ("      NO WAY!", 520)):
        draw_text(dst, font, 230, y, text, 3.0, (250 / 255.0, 180 / 255.0, 200 / 255.0),
                  condensed=True)
    save(os.path.join(out, "preview_event_title.png"), dst)


def preview_hud(assets, out):
    font = load(assets, "32x64-alien.png")
    dst = np.zeros((260, 1600, 3))
    left, top = 110, 150
    draw_text(dst, font, left + 30, top - 110,
              " LIVES:                  CANCEL:              ", 1.2, (1, 1, 1))
    for i in range(3):
        draw_text(dst, font, left + 310 + 48 * i, top - 110, ")", 2.0, (1, 20 / 255, 10 / 255))
    for i in range(2):
        draw_text(dst, font, left + 1246 + 48 * i, top - 110, "(", 2.0,
                  (75 / 255, 170 / 255, 1.0))
    draw_text(dst, font, left + 30, top - 66, " SCORE: 40213    ", 1.0, (1, 1, 1))
    img = Image.fromarray(np.clip(np.rint(dst * 255), 0, 255).astype(np.uint8), "RGB")
    ImageDraw.Draw(img).line([(left, top), (1500, top)], fill=(255, 255, 255), width=4)
    img.save(os.path.join(out, "preview_hud.png"))


def preview_intro(assets, out):
    dst = np.zeros((720, 1280, 3))
    draw_sprite(dst, load(assets, "PlovixLogo.png"), 160, 0)
    draw_text(dst, load(assets, "32x64-alien.png"), 6, 640, "V0.39 BETA", 1.0, (1, 1, 1))
    save(os.path.join(out, "preview_intro.png"), dst)


def main(argv):
    assets = argv[1] if len(argv) > 1 else os.path.join(HERE, "..", "..", "assets")
    out = argv[2] if len(argv) > 2 else "/tmp"
    os.makedirs(out, exist_ok=True)
    preview_menu(assets, out, 0)
    preview_menu(assets, out, 8)
    preview_font(assets, out)
    preview_corner(assets, out)
    preview_event_title(assets, out)
    preview_hud(assets, out)
    preview_intro(assets, out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
