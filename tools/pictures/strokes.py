"""Thick polylines for the lettering: square ends on straight strokes, round joints on slants.

A stroke is (points, width) with points in final-image pixels. Horizontal and
vertical segments get square caps so that corners between them stay sharp;
slanted segments get butt ends plus a disc at each end, which makes rounded
joints that never poke out of a chamfered corner.
"""

import math


def _axis_aligned(p, q):
    return abs(p[0] - q[0]) < 1e-9 or abs(p[1] - q[1]) < 1e-9


def _square_end(p, q, neighbour):
    """Whether the end of segment p->q at q is squared (extended by half the width)."""
    if not _axis_aligned(p, q):
        return False
    return neighbour is None or _axis_aligned(q, neighbour)


def _segment(mask, p, q, width, cap_p, cap_q):
    half = width / 2.0
    dx, dy = q[0] - p[0], q[1] - p[1]
    length = math.hypot(dx, dy)
    if length < 1e-9:
        mask.rect(p[0] - half, p[1] - half, p[0] + half, p[1] + half)
        return
    ux, uy = dx / length, dy / length
    nx, ny = -uy * half, ux * half
    a = (p[0] - ux * half, p[1] - uy * half) if cap_p else p
    b = (q[0] + ux * half, q[1] + uy * half) if cap_q else q
    mask.polygon([(a[0] + nx, a[1] + ny), (b[0] + nx, b[1] + ny),
                  (b[0] - nx, b[1] - ny), (a[0] - nx, a[1] - ny)])
    if not cap_p:
        mask.ellipse(p[0], p[1], half)
    if not cap_q:
        mask.ellipse(q[0], q[1], half)


def draw_polyline(mask, points, width):
    pts = list(points)
    if len(pts) == 1:
        _segment(mask, pts[0], pts[0], width, True, True)
        return
    closed = len(pts) > 2 and pts[0] == pts[-1]
    for i in range(len(pts) - 1):
        p, q = pts[i], pts[i + 1]
        before = pts[i - 1] if i > 0 else (pts[-2] if closed else None)
        after = pts[i + 2] if i + 2 < len(pts) else (pts[1] if closed else None)
        cap_p = _square_end(q, p, before)
        cap_q = _square_end(p, q, after)
        _segment(mask, p, q, width, cap_p, cap_q)


def draw_strokes(mask, strokes):
    for points, width in strokes:
        draw_polyline(mask, points, width)
