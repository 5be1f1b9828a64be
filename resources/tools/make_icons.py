#!/usr/bin/env python3
"""Draws the program's icon, the shield of the tray pictures (src/ui/tray/tray_pictures.cpp) in
its "all is well" look: green, with a white tick. Run from resources/; writes
icons/hicolor/<n>x<n>/apps/vigiax.png for each size a menu, a tray or a software centre uses.

The shield follows the tray picture's geometry at every size (outline, margins, tick), so the
menu icon and the tray picture match where their sizes meet.
"""
import math
import os
import sys

sys.dont_write_bytecode = True  # leaves tools/__pycache__ as it is
from make_images import Canvas, grow, polygon, segment, union, write_rgba

SIZES = [16, 22, 24, 32, 48, 64, 128, 256]

LIGHT = (0x6C, 0xD0, 0x6A)
DARK = (0x1E, 0x7A, 0x2C)
OUTLINE = (0x0F, 0x45, 0x18)
MARK = (255, 255, 255)


def quad(p0, p1, p2, steps):
    """Points of a quadratic Bézier curve after p0, up to p2."""
    out = []
    for i in range(1, steps + 1):
        t = i / steps
        a, b, c = (1 - t) ** 2, 2 * (1 - t) * t, t * t
        out.append((a * p0[0] + b * p1[0] + c * p2[0], a * p0[1] + b * p1[1] + c * p2[1]))
    return out


def shield(size, outline):
    """The tray picture's shield path: flat top, straight sides down to the shoulder, curves
    meeting at the bottom centre."""
    edge = outline / 2 + max(1, size // 16) - 0.5
    left, right, top, bottom = edge, size - edge, edge, size - edge + 0.5
    shoulder = top + (bottom - top) * 0.45
    mid = size / 2
    bend = shoulder + (bottom - shoulder) * 0.6
    steps = max(8, size // 4)
    points = [(left, top), (right, top), (right, shoulder)]
    points += quad((right, shoulder), (right, bend), (mid, bottom), steps)
    points += quad((mid, bottom), (left, bend), (left, shoulder), steps)[:-1]
    return polygon(points + [(left, shoulder)])


def diagonal(size):
    """The fill's gradient, light at the top-left corner to dark at the bottom-right."""
    def colour(x, y):
        t = max(0.0, min(1.0, (x + y) / (2 * size)))
        return tuple(a + (b - a) * t for a, b in zip(LIGHT, DARK))
    return colour


class FastCanvas(Canvas):
    """A canvas that samples only the pixels near an edge: the shapes here are true distances,
    so a pixel whose centre is farther than its half diagonal from the edge is all in or out."""

    def fill(self, shape, colour, alpha=1.0):
        inside = lambda x, y: -1.0 if shape(x, y) < 0 else 1.0
        near = []
        for py in range(self.size):
            for px in range(self.size):
                d = shape(px + 0.5, py + 0.5)
                if d < -0.75:
                    self.blend(px, py, colour, alpha)
                elif d <= 0.75:
                    near.append((px, py))
        plain = Canvas(1)
        for px, py in near:
            plain.px = [[(0.0, 0.0, 0.0, 0.0)]]
            plain.fill(lambda x, y: inside(px + x, py + y), (0, 0, 0))
            coverage = plain.px[0][0][3]
            if coverage:
                self.blend(px, py, colour, alpha * coverage)

    def blend(self, px, py, colour, a):
        c = colour(px + 0.5, py + 0.5) if callable(colour) else colour
        r0, g0, b0, a0 = self.px[py][px]
        out = a + a0 * (1 - a)
        mix = [(c[i] * a + (r0, g0, b0)[i] * a0 * (1 - a)) / out for i in range(3)]
        self.px[py][px] = (mix[0], mix[1], mix[2], out)


def lround(v):
    return math.floor(v + 0.5)


def icon(size):
    c = FastCanvas(size)
    outline = max(1, lround(size / 16))
    body = shield(size, outline)
    c.fill(grow(body, outline / 2), OUTLINE)
    c.fill(grow(body, -outline / 2), diagonal(size))
    stroke = max(2, lround(size / 8))
    tick = [(size * 0.29, size * 0.47), (size * 0.44, size * 0.63), (size * 0.72, size * 0.30)]
    c.fill(union(segment(*tick[0], *tick[1], stroke), segment(*tick[1], *tick[2], stroke)), MARK)
    return c.rows()


if __name__ == "__main__":
    for n in SIZES:
        folder = os.path.join("icons", "hicolor", f"{n}x{n}", "apps")
        os.makedirs(folder, exist_ok=True)
        write_rgba(os.path.join(folder, "vigiax.png"), icon(n))
