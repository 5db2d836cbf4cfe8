#!/usr/bin/python3
"""Checks the generated pictures against how the game places and draws them.

Run: /usr/bin/python3 tools/pictures/test_pictures.py
"""

import filecmp
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # keep the source folder free of caches
import tempfile
import unittest

import numpy as np
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
GENERATOR = os.path.join(HERE, "make_pictures")
ICON_GENERATOR = os.path.join(HERE, "make_icons")
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)

SIZES = {
    "options_new.png": (1280, 720), "metalball2.png": (32, 32), "Cow.png": (64, 64),
    "Chicken.png": (64, 64), "Kromby.png": (64, 64), "PlovixLogo.png": (960, 600),
    "corner2.png": (32, 32), "light.png": (64, 64), "particle.png": (32, 32),
    "blackhole.png": (64, 64), "breakout2.png": (64, 32), "32x64-alien.png": (512, 1024),
    "bgeventtext.png": (448, 80),
}
MENU_ITEM_TOPS = [214, 254, 300, 342, 384, 428, 472, 514, 598]


def generate(out_dir):
    subprocess.run([GENERATOR, out_dir], check=True, stdout=subprocess.DEVNULL)


class PictureTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = cls.tmp.name
        generate(cls.out)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def rgba(self, name):
        img = Image.open(os.path.join(self.out, name)).convert("RGBA")
        return np.asarray(img, dtype=np.float64) / 255.0

    def test_files_have_their_sizes_and_8_bit_modes(self):
        for name, size in SIZES.items():
            with Image.open(os.path.join(self.out, name)) as img:
                self.assertEqual(img.size, size, name)
                self.assertIn(img.mode, ("RGB", "RGBA", "LA"), name)

    def test_output_is_byte_identical_between_runs(self):
        with tempfile.TemporaryDirectory() as again:
            generate(again)
            match, mismatch, errors = filecmp.cmpfiles(self.out, again, list(SIZES), shallow=False)
            self.assertEqual((mismatch, errors), ([], []))

    def font_cells(self):
        alpha = self.rgba("32x64-alien.png")[..., 3]
        return {c: alpha[(c >> 4) * 64:(c >> 4) * 64 + 64, (c & 15) * 32:(c & 15) * 32 + 32]
                for c in range(256)}

    def test_font_fills_printable_latin1_and_leaves_controls_empty(self):
        cells = self.font_cells()
        for c in range(256):
            printable = (33 <= c <= 126) or (161 <= c <= 255)
            self.assertEqual(cells[c].max() > 0.5, printable, "byte %d" % c)

    def test_font_glyphs_stay_inside_their_cells(self):
        # a guard pixel all round: nothing reaches the neighbouring cells
        for c, cell in self.font_cells().items():
            edge = np.concatenate([cell[0], cell[-1], cell[:, 0], cell[:, -1]])
            self.assertEqual(edge.max(), 0.0, "byte %d" % c)

    def test_title_glyphs_are_narrow_enough_for_the_condensed_advance(self):
        # titles advance 68 pixels at scale 3, about 22.7 cell pixels
        for c in range(32, 127):
            cols = np.nonzero(self.font_cells()[c].max(axis=0) > 0.1)[0]
            if cols.size:
                self.assertGreaterEqual(cols.min(), 5, chr(c))
                self.assertLessEqual(cols.max(), 26, chr(c))

    def test_parenthesis_cells_hold_a_ball_and_a_crossed_circle(self):
        cells = self.font_cells()
        ball, cancel = cells[ord(")")], cells[ord("(")]
        for cell in (ball, cancel):
            ys, xs = np.nonzero(cell > 0.5)
            self.assertAlmostEqual(xs.mean() + 0.5, 16.0, delta=1.0)
            self.assertAlmostEqual(ys.mean() + 0.5, 34.0, delta=1.0)
        self.assertEqual(ball[30:38, 12:20].min(), 1.0)  # solid middle
        self.assertLess(cancel[28, 16], 0.2)  # gap between ring and cross
        self.assertGreater(cancel[34, 16], 0.8)  # where the cross meets

    def test_corner_holds_the_walls_in_both_orientations(self):
        alpha = self.rgba("corner2.png")[..., 3]
        # across: top wall at angle 0 (rows 16..19), left line at 90 degrees (rows 14..17)
        self.assertGreater(alpha[14:20, 16:27].min(), 0.4)
        # up: left line at angle 0 (columns 14..17), bottom wall at 90 degrees (columns 13..17)
        self.assertGreater(alpha[4:20, 13:18].min(), 0.4)
        # nothing runs down or to the left of the corner
        self.assertLess(alpha[26:, :].max(), 0.1)
        self.assertLess(alpha[:, :8].max(), 0.1)

    def test_glows_are_white_and_fade_to_nothing(self):
        for name in ("light.png", "particle.png"):
            img = self.rgba(name)
            self.assertEqual(img[..., :3].min(), 1.0, name)
            alpha = img[..., 3]
            n = alpha.shape[0]
            self.assertGreater(alpha[n // 2, n // 2], 0.9, name)
            self.assertEqual(alpha[0, 0], 0.0, name)
            row = alpha[n // 2, n // 2:]
            self.assertTrue(np.all(np.diff(row) <= 1e-9), name)

    def test_sprites_have_transparent_corners_and_solid_middles(self):
        for name in ("metalball2.png", "Cow.png", "Chicken.png", "Kromby.png", "blackhole.png"):
            alpha = self.rgba(name)[..., 3]
            n = alpha.shape[0]
            self.assertEqual(alpha[[0, 0, -1, -1], [0, -1, 0, -1]].max(), 0.0, name)
            self.assertGreater(alpha[n // 2 - 2:n // 2 + 2, n // 2 - 2:n // 2 + 2].min(), 0.9, name)

    def test_alpha_blended_sprites_have_no_dark_fringe(self):
        # a transparent pixel beside visible ones carries their mean colour, not black,
        # so linear filtering does not darken the outline
        for name in ("metalball2.png", "Chicken.png", "blackhole.png"):
            img = self.rgba(name)
            visible = img[..., 3] > 0
            total, count = np.zeros(img.shape[:2] + (3,)), np.zeros(img.shape[:2])
            for shift in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                seen = np.roll(visible, shift, axis=(0, 1))
                total += np.roll(img[..., :3], shift, axis=(0, 1)) * seen[..., None]
                count += seen
            border = ~visible & (count > 0)
            self.assertTrue(border.any(), name)
            expected = total[border] / count[border][:, None]
            self.assertLess(np.abs(img[border][:, :3] - expected).max(), 2.5 / 255.0, name)

    def test_menu_labels_sit_on_the_item_heights(self):
        grey = self.rgba("options_new.png")[..., :3].max(axis=2)
        for top in MENU_ITEM_TOPS:
            band = grey[top - 6:top + 38, 530:900]
            rows = np.nonzero(band.max(axis=1) > 0.6)[0] + top - 6
            self.assertGreater(rows.size, 10, top)
            self.assertAlmostEqual((rows.min() + rows.max() + 1) / 2.0, top + 16, delta=2.5)
        # the labels start right of the selection glows, which stay on dark ground
        self.assertLess(grey[200:640, 430:526].max(), 0.15)

    def test_menu_keeps_the_score_line_free(self):
        grey = self.rgba("options_new.png")[..., :3].max(axis=2)
        self.assertLess(grey[30:95, 280:900].max(), 0.2)

    def test_logo_leaves_the_version_line_free(self):
        grey = self.rgba("PlovixLogo.png")[..., :3].max(axis=2)
        self.assertGreater(grey.max(), 0.9)
        self.assertLess(grey[560:, :].max(), 0.05)

    def test_event_backdrop_is_translucent_behind_the_title_capitals(self):
        alpha = self.rgba("bgeventtext.png")[..., 3]
        inside = alpha[23:64, 21:428]
        self.assertGreater(inside.min(), 0.5)
        self.assertLess(inside.max(), 1.0)


class IconTest(unittest.TestCase):
    def test_icons_come_in_every_size_as_opaque_tiles_with_clear_corners(self):
        with tempfile.TemporaryDirectory() as first, tempfile.TemporaryDirectory() as again:
            for out in (first, again):
                subprocess.run([ICON_GENERATOR, out], check=True, stdout=subprocess.DEVNULL)
            names = ["fenwhit-%d.png" % size for size in ICON_SIZES]
            self.assertEqual(sorted(os.listdir(first)), sorted(names))
            _, mismatch, errors = filecmp.cmpfiles(first, again, names, shallow=False)
            self.assertEqual((mismatch, errors), ([], []))
            for size, name in zip(ICON_SIZES, names):
                with Image.open(os.path.join(first, name)) as img:
                    self.assertEqual((img.size, img.mode), ((size, size), "RGBA"), name)
                    alpha = np.asarray(img)[..., 3]
                self.assertEqual(alpha[[0, 0, -1, -1], [0, -1, 0, -1]].max(), 0, name)
                self.assertEqual(alpha[size // 4:-size // 4, size // 4:-size // 4].min(), 255,
                                 name)


if __name__ == "__main__":
    sys.exit(unittest.main())
