#!/usr/bin/python3
"""Plays one game of Fenwhit in its window as a person would: it looks at the window every
few tens of milliseconds and holds Up or Down to meet the ball coming nearest to the paddle,
with key presses sent by xdotool. Called by scripts/record-replays, which starts the display,
the window manager and the game; this walks the menu, plays, and returns once the game's
replay file has been written.

  player.py --replays DIR [--kind one|two] [--mode 0..5] [--cancel-titles 3,8]
            [--pause-at S] [--esc-at S] [--give-up S] [--shots DIR] [--shot-every S]
            [--shot-times 10,30]
"""
import argparse
import os
import random
import subprocess
import sys
import time

import numpy as np
from scipy import ndimage
from Xlib import X, display

CELL = 4  # the grid the masks are grouped on, in pixels


def log(*words):
    print("player:", *words, file=sys.stderr, flush=True)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=False, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


class Keys:
    """The keys held down, so that each changes only when it must."""

    def __init__(self):
        self.down = set()

    def hold(self, key, on):
        if on and key not in self.down:
            xdotool("keydown", key)
            self.down.add(key)
        elif not on and key in self.down:
            xdotool("keyup", key)
            self.down.discard(key)

    def tap(self, key, seconds=0.12):
        xdotool("keydown", key)
        time.sleep(seconds)
        xdotool("keyup", key)

    def release_all(self):
        for key in list(self.down):
            self.hold(key, False)


EIGHT = np.ones((3, 3), dtype=int)


def components(mask):
    """Groups of touching cells where the mask holds, each a dict: pixels, bounding box,
    centre, the spread along its long and short axes and the long axis."""
    h, w = mask.shape
    hc, wc = h // CELL, w // CELL
    counts = mask[: hc * CELL, : wc * CELL].reshape(hc, CELL, wc, CELL).sum(axis=(1, 3))
    labels, n = ndimage.label(counts >= 3, structure=EIGHT)
    if n == 0:
        return []
    ys, xs = np.nonzero(labels)
    ids = labels[ys, xs] - 1
    wts = counts[ys, xs].astype(float)
    total = np.bincount(ids, wts, n)
    mx = np.bincount(ids, wts * xs, n) / total
    my = np.bincount(ids, wts * ys, n) / total
    dx, dy = xs - mx[ids], ys - my[ids]
    sxx = np.bincount(ids, wts * dx * dx, n) / total
    syy = np.bincount(ids, wts * dy * dy, n) / total
    sxy = np.bincount(ids, wts * dx * dy, n) / total
    boxes = ndimage.find_objects(labels)
    found = []
    for k in range(n):
        values, vectors = np.linalg.eigh(np.array([[sxx[k], sxy[k]], [sxy[k], syy[k]]]))
        rows, cols = boxes[k]
        found.append({
            "pixels": int(total[k]),
            "box": (cols.start * CELL, rows.start * CELL, cols.stop * CELL, rows.stop * CELL),
            "centre": ((mx[k] + 0.5) * CELL, (my[k] + 0.5) * CELL),
            # Twice the spread, in pixels: about 0.6 of a bar's length.
            "long": 2 * np.sqrt(max(values[1], 0)) * CELL,
            "short": 2 * np.sqrt(max(values[0], 0)) * CELL,
            "axis": vectors[:, 1],
        })
    return found


class Eyes:
    """What the player sees in one grab of the window."""

    def __init__(self, window):
        self.window = window

    def grab(self):
        g = self.window.get_geometry()
        image = self.window.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xFFFFFFFF)
        bgra = np.frombuffer(image.data, dtype=np.uint8).reshape(g.height, g.width, 4)
        return bgra[:, :, 2::-1]  # RGB

    @staticmethod
    def paddles(rgb, which):
        """Bars of paddle `which`'s colour (the first red, the second green; yellow where
        they overlap): (centre, half length, long axis), however the arena is turned."""
        r, g, b = rgb[:, :, 0], rgb[:, :, 1], rgb[:, :, 2]
        if which == 0:
            mask = (r > 200) & (b < 45) & ((g < 50) | (g > 200))
        else:
            mask = (g > 200) & (b < 45) & ((r < 50) | (r > 200))
        found = []
        for c in components(mask):
            if c["long"] >= 12 and c["long"] >= 1.8 * max(c["short"], 1.0):
                found.append((c["centre"], c["long"] * 0.9, c["axis"]))
        return found

    @staticmethod
    def balls(bright, paddle_ends):
        found = []
        for c in components(bright):
            x0, y0, x1, y1 = c["box"]
            if c["pixels"] < 12 or c["pixels"] > 1600 or x1 - x0 > 48 or y1 - y0 > 48:
                continue
            if c["long"] > 2.2 * max(c["short"], 1.0):
                continue
            cx, cy = c["centre"]
            # The caps at the paddle's ends glow white on the beat.
            if any((cx - ex) ** 2 + (cy - ey) ** 2 < 22 ** 2 for ex, ey in paddle_ends):
                continue
            found.append((cx, cy))
        return found

    @staticmethod
    def wall_points(bright):
        """Bright pixels (x, y), one in four: the walls among them."""
        ys, xs = np.nonzero(bright[::2, ::2])
        return np.vstack([xs * 2, ys * 2]).astype(float)

    @staticmethod
    def title_shown(rgb):
        h = rgb.shape[0]
        low = rgb[int(h * 0.6):]
        r, g, b = low[:, :, 0], low[:, :, 1], low[:, :, 2]
        frame_blue = (b > 200) & (g > 160) & (r < 170)
        return int(frame_blue.sum()) > 500


class Paddle:
    """One paddle as the player follows it: its centre, and the directions of "up" (its
    Up key) and of the arena in front of it, kept from grab to grab as the arena turns."""

    def __init__(self):
        self.up = np.array([0.0, -1.0])
        self.front = np.array([1.0, 0.0])
        self.centre = None
        self.half = 0.0
        self.bounds = None  # the walls above and below, along "up" from the centre

    def see(self, centre, half, axis):
        axis = np.asarray(axis, dtype=float)
        if axis @ self.up < 0:
            axis = -axis
        front = np.array([-axis[1], axis[0]])
        if front @ self.front < 0:
            front = -front
        self.up, self.front = axis, front
        self.centre, self.half = np.asarray(centre, dtype=float), half

    def find_walls(self, points):
        """The walls the balls bounce off on their way here run along "front": the nearest
        rows of many bright pixels above and below the paddle."""
        self.bounds = None
        if self.centre is None or points.shape[1] == 0:
            return
        rel = points - self.centre[:, None]
        s = self.up @ rel
        d = self.front @ rel
        s = s[d > -10]
        if len(s) == 0:
            return
        bins = np.round(s / 3).astype(int)
        values, counts = np.unique(bins, return_counts=True)
        # Half the pixels were looked at: a wall's line gives well over 60.
        lines = values[counts > 60] * 3
        above = lines[lines > self.half * 0.5]
        below = lines[lines < -self.half * 0.5]
        if len(above) and len(below):
            self.bounds = (below.max(), above.min())

    def ends(self):
        if self.centre is None:
            return []
        return [tuple(self.centre + self.up * self.half), tuple(self.centre - self.up * self.half)]

    def target(self, moving):
        """Where along the paddle the next ball will arrive (+ towards Up), or None."""
        best = None
        nearest = None
        for position, velocity in moving:
            rel = np.asarray(position) - self.centre
            d, s = rel @ self.front, rel @ self.up
            vd, vs = np.asarray(velocity) @ self.front, np.asarray(velocity) @ self.up
            if d < -6:
                continue
            if nearest is None or d < nearest[0]:
                nearest = (d, s)
            if vd < -40:
                t = min(d / -vd, 3.0)
                if best is None or t < best[0]:
                    best = (t, self.reflect(s + vs * t))
        if best is not None:
            return best[1]
        # Nothing coming: back towards the middle, the shortest way to anywhere.
        if self.bounds is not None:
            return (self.bounds[0] + self.bounds[1]) / 2
        return nearest[1] if nearest is not None else None


    def reflect(self, s):
        if self.bounds is None:
            return s
        low, high = self.bounds[0] + 6, self.bounds[1] - 6
        span = high - low
        if span <= 0:
            return s
        u = (s - low) % (2 * span)
        return low + (u if u <= span else 2 * span - u)


class Tracker:
    """Matches the balls of one grab with the last one's, for their velocities."""

    def __init__(self):
        self.last = []
        self.last_time = None

    def update(self, balls, now):
        moving = []
        if self.last_time is not None and now > self.last_time:
            dt = now - self.last_time
            for bx, by in balls:
                best = None
                for lx, ly in self.last:
                    d = (bx - lx) ** 2 + (by - ly) ** 2
                    if d < 70 ** 2 and (best is None or d < best[0]):
                        best = (d, lx, ly)
                if best is not None:
                    moving.append(((bx, by), ((bx - best[1]) / dt, (by - best[2]) / dt)))
                else:
                    moving.append(((bx, by), (0.0, 0.0)))
        self.last, self.last_time = balls, now
        return moving


def steer(keys, paddle, target, up, down):
    if target is None:
        keys.hold(up, False)
        keys.hold(down, False)
        return
    dead = max(5.0, paddle.half * 0.3)
    keys.hold(up, target > dead)
    keys.hold(down, target < -dead)


def find_window(d):
    for _ in range(200):
        out = subprocess.run(["xdotool", "search", "--name", "Fenwhit"], capture_output=True,
                             text=True).stdout.split()
        if out:
            return d.create_resource_object("window", int(out[0])), int(out[0])
        time.sleep(0.1)
    raise SystemExit("player: no Fenwhit window")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--replays", required=True)
    parser.add_argument("--kind", choices=["one", "two"], default="one")
    parser.add_argument("--mode", type=int, default=None, help="screen mode item 0..5")
    parser.add_argument("--cancel-titles", default="", help="cancel the Nth titles seen")
    parser.add_argument("--pause-at", type=float, default=None)
    parser.add_argument("--esc-at", type=float, default=None)
    parser.add_argument("--give-up", type=float, default=300.0,
                        help="stop steering after this many seconds: the game ends by itself")
    parser.add_argument("--shots", default=None)
    parser.add_argument("--shot-every", type=float, default=0.0)
    parser.add_argument("--shot-times", default="")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    random.seed(args.seed)
    cancel_titles = {int(n) for n in args.cancel_titles.split(",") if n}
    shot_times = sorted(float(t) for t in args.shot_times.split(",") if t)

    d = display.Display()
    window, wid = find_window(d)
    xdotool("windowactivate", "--sync", str(wid))
    xdotool("windowfocus", "--sync", str(wid))
    keys = Keys()
    before = set(os.listdir(args.replays)) if os.path.isdir(args.replays) else set()

    # The intro, then the menu with its selection on the first item.
    time.sleep(9.0)
    if args.mode is not None:
        for _ in range(2 + args.mode):
            keys.tap("Down")
            time.sleep(0.25)
        keys.tap("space")
        time.sleep(2.5)
        window, wid = find_window(d)
        xdotool("windowactivate", "--sync", str(wid))
        for _ in range(2 + args.mode):
            keys.tap("Up")
            time.sleep(0.25)
    if args.kind == "two":
        keys.tap("Down")
        time.sleep(0.25)
    keys.tap("space")
    start = time.monotonic()
    log("game started")

    eyes = Eyes(window)
    tracker = Tracker()
    titles_seen = 0
    title_was_shown = False
    title_last_seen = -10.0
    paused = False
    next_shot = args.shot_every if args.shot_every > 0 else None
    next_fire = 4.0
    escaped = False
    gave_up = False
    # Two paddles: the left player's (W/S) is drawn red, the right player's green.
    pad_keys = [("Up", "Down")] if args.kind == "one" else [("w", "s"), ("Up", "Down")]
    paddles = [Paddle()] if args.kind == "one" else [Paddle(), Paddle()]
    while True:
        now = time.monotonic() - start
        if set(os.listdir(args.replays)) - before:
            break
        if now > args.give_up + 600:
            log("no replay written, giving up")
            break
        rgb = eyes.grab()

        if args.shots and shot_times and now >= shot_times[0]:
            save(rgb, os.path.join(args.shots, "live-%03ds.png" % round(shot_times[0])))
            shot_times.pop(0)
        if args.shots and next_shot is not None and now >= next_shot:
            save(rgb, os.path.join(args.shots, "t%04d.jpg" % round(now)), half=True)
            next_shot += args.shot_every

        if args.pause_at is not None and not paused and now >= args.pause_at:
            keys.release_all()
            keys.tap("p")
            log("paused at %.1f s" % now)
            time.sleep(3.0)
            if args.shots:
                save(eyes.grab(), os.path.join(args.shots, "paused.png"))
            keys.tap("p")
            paused = True
            continue
        if args.esc_at is not None and not escaped and now >= args.esc_at:
            keys.release_all()
            keys.tap("Escape")
            log("Esc at %.1f s" % now)
            escaped = True
        if escaped or now >= args.give_up:
            if not gave_up and not escaped:
                log("stops steering at %.1f s" % now)
            gave_up = True
            keys.release_all()
            time.sleep(0.2)
            continue

        # A title box counts once, however it flickers while it comes and goes.
        shown = Eyes.title_shown(rgb)
        if shown:
            title_last_seen = now
        elif now - title_last_seen < 1.0:
            shown = True
        if shown and not title_was_shown:
            titles_seen += 1
            log("title %d at %.1f s" % (titles_seen, now))
            if titles_seen in cancel_titles:
                time.sleep(0.4)
                keys.tap("space")
                log("cancelled title %d" % titles_seen)
        title_was_shown = shown

        for which, paddle in enumerate(paddles):
            seen = Eyes.paddles(rgb, which)
            if paddle.centre is not None:
                # The bar nearest to where the paddle was, if it is near.
                seen = [f for f in seen if np.hypot(*(np.asarray(f[0]) - paddle.centre)) < 90]
                seen.sort(key=lambda f: np.hypot(*(np.asarray(f[0]) - paddle.centre)))
            else:
                seen.sort(key=lambda f: -f[1])  # at the start, the longest
            if seen:
                centre, half, axis = seen[0]
                paddle.see(np.asarray(centre), half, axis)
        bright = np.minimum(np.minimum(rgb[:, :, 0], rgb[:, :, 1]), rgb[:, :, 2]) > 200
        points = Eyes.wall_points(bright)
        for paddle in paddles:
            paddle.find_walls(points)
        ends = [end for paddle in paddles for end in paddle.ends()]
        moving = tracker.update(Eyes.balls(bright, ends), time.monotonic())
        if paddles[-1].centre is None:
            time.sleep(0.02)
            continue
        if args.kind == "one":
            steer(keys, paddles[0], paddles[0].target(moving), *pad_keys[0])
            if now >= next_fire:
                keys.tap("z", 0.08)
                next_fire = now + random.uniform(2.0, 5.0)
        else:
            # Each player takes the balls nearer to its own paddle.
            mine = [[], []]
            for m in moving:
                near = [np.hypot(*(np.asarray(m[0]) - p.centre)) for p in paddles]
                mine[int(near[1] < near[0])].append(m)
            for k in range(2):
                steer(keys, paddles[k], paddles[k].target(mine[k]), *pad_keys[k])
            if now >= next_fire:
                keys.tap(random.choice(["a", "Left"]), 0.08)
                next_fire = now + random.uniform(2.0, 5.0)
        time.sleep(0.01)
    keys.release_all()
    log("game over after %.1f s, %d titles seen" % (time.monotonic() - start, titles_seen))


def save(rgb, path, half=False):
    from PIL import Image
    image = Image.fromarray(np.ascontiguousarray(rgb))
    if half:
        image = image.resize((rgb.shape[1] // 2, rgb.shape[0] // 2))
        image.save(path, quality=80)
    else:
        image.save(path)


if __name__ == "__main__":
    main()
