#!/usr/bin/env python3
"""Draws the program's picture strips. Run from resources/.

xp.png (240 x 64): on top the five 48 x 48 icons of the settings window's menu
  (0 configuration, 1 folders, 2 Internet, 3 web server, 4 extras) at x = i * 48;
  below them (y = 48) the 16 x 16 command-button icons at x = i * 16, by image
  index: 2 edit, 3 add, 4 browse for a folder, 5 delete, 6 save, 7 cancel,
  12 restart the computer, 13 reset the failure counter, 14 logs (others blank).
menu.png (96 x 16): the six tray-menu icons (0 configuration, 1 panel, 2 start,
  3 stop, 4 about, 5 quit).
xp2.png and menu2.png hold the same pictures as 8-bit palette images.

Shapes are signed distance functions (negative inside), sampled 4 x 4 per pixel.
"""
import math
import struct
import zlib

SAMPLES = 4


# --- shapes -------------------------------------------------------------------

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return d


def segment(x0, y0, x1, y1, w):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def d(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return math.hypot(x - x0 - t * dx, y - y0 - t * dy) - w / 2
    return d


def polygon(points):
    n = len(points)

    def d(x, y):
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey)))
            best = min(best, math.hypot(x - ax - t * ex, y - ay - t * ey))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / (ey or 1e-12):
                inside = not inside
        return -best if inside else best
    return d


def arc(cx, cy, r, w, start, end):
    """A band of width w along the circle, from angle start to end (degrees,
    counter-clockwise from 3 o'clock, y pointing down on screen)."""
    a0, a1 = math.radians(start), math.radians(end)
    p0 = (cx + r * math.cos(a0), cy - r * math.sin(a0))
    p1 = (cx + r * math.cos(a1), cy - r * math.sin(a1))

    def d(x, y):
        a = math.atan2(-(y - cy), x - cx) % (2 * math.pi)
        if (a - a0) % (2 * math.pi) <= (a1 - a0) % (2 * math.pi):
            return abs(math.hypot(x - cx, y - cy) - r) - w / 2
        return min(math.hypot(x - p0[0], y - p0[1]), math.hypot(x - p1[0], y - p1[1])) - w / 2
    return d


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def cut(shape, *holes):
    return lambda x, y: max(shape(x, y), *(-h(x, y) for h in holes))


def meet(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def grow(shape, w):
    return lambda x, y: shape(x, y) - w


def rotated(shape, cx, cy, degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return lambda x, y: shape(cx + (x - cx) * c + (y - cy) * s, cy - (x - cx) * s + (y - cy) * c)


# --- painting -----------------------------------------------------------------

class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def fill(self, shape, colour, alpha=1.0):
        """Paints `shape` in `colour` (an (r, g, b) or a function of x, y)."""
        n = SAMPLES
        for py in range(self.size):
            for px in range(self.size):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if shape(px + (sx + 0.5) / n, py + (sy + 0.5) / n) < 0:
                            hits += 1
                if not hits:
                    continue
                c = colour(px + 0.5, py + 0.5) if callable(colour) else colour
                a = alpha * hits / (n * n)
                r0, g0, b0, a0 = self.px[py][px]
                out = a + a0 * (1 - a)
                mix = [(c[i] * a + (r0, g0, b0)[i] * a0 * (1 - a)) / out for i in range(3)]
                self.px[py][px] = (mix[0], mix[1], mix[2], out)

    def outlined(self, shape, colour, width, outline=None):
        """Paints `shape` with a rim of `width` pixels around it, by default a darker shade
        of the colour (of its top-left corner for a gradient)."""
        rim = outline or shade(colour(0, 0) if callable(colour) else colour, 0.55)
        self.fill(grow(shape, width), rim)
        self.fill(shape, colour)

    def rows(self):
        return [[tuple(int(round(v * (255 if i == 3 else 1))) for i, v in enumerate(p))
                 for p in row] for row in self.px]


def shade(c, k):
    return tuple(max(0, min(255, v * k)) for v in c)


def tint(c, k):
    return tuple(v + (255 - v) * k for v in c)


def vertical(top, bottom, y0, y1):
    def colour(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return colour


BLUE = (38, 110, 200)
SKY = (70, 150, 230)
GREEN = (46, 160, 70)
LEAF = (120, 190, 60)
RED = (205, 45, 40)
ORANGE = (230, 140, 30)
YELLOW = (245, 195, 70)
STEEL = (120, 135, 155)
GREY = (150, 155, 160)
DARK = (55, 60, 70)
WHITE = (255, 255, 255)
PAPER = (250, 250, 245)


# --- menu icons, 48 x 48 ------------------------------------------------------

def gear(c, cx, cy, r_out, r_in, teeth, hole, colour, rim):
    body = circle(cx, cy, r_in)
    tooth_w = 2 * math.pi * r_in / teeth * 0.5
    tooth = box(cx - tooth_w / 2, cy - r_out, cx + tooth_w / 2, cy, tooth_w * 0.18)
    shape = union(body, *(rotated(tooth, cx, cy, i * 360 / teeth) for i in range(teeth)))
    shape = cut(shape, circle(cx, cy, hole))
    c.outlined(shape, vertical(tint(colour, 0.35), shade(colour, 0.85), cy - r_out, cy + r_out),
               rim, shade(colour, 0.5))


def menu_configuration(c):
    gear(c, 20, 21, 16, 12.5, 9, 5, STEEL, 1.5)
    gear(c, 36.5, 36.5, 9.5, 7, 7, 3, BLUE, 1.2)


def folder(c, x0, y0, x1, y1, rim, open_front=False):
    w, h = x1 - x0, y1 - y0
    back = union(box(x0, y0 + h * 0.12, x1, y1, w * 0.06),
                 box(x0, y0, x0 + w * 0.42, y0 + h * 0.3, w * 0.06))
    c.outlined(back, shade(YELLOW, 0.85), rim)
    if open_front:
        front = polygon([(x0 + w * 0.18, y0 + h * 0.38), (x1 + w * 0.04, y0 + h * 0.38),
                         (x1 - w * 0.14, y1), (x0, y1)])
    else:
        front = box(x0, y0 + h * 0.3, x1, y1, w * 0.06)
    c.outlined(front, vertical(tint(YELLOW, 0.45), YELLOW, y0 + h * 0.3, y1), rim,
               shade(YELLOW, 0.6))
    return front


def menu_folders(c):
    c.outlined(rotated(box(15, 6, 35, 30, 1.5), 25, 18, -8), PAPER, 1.2, GREY)
    for i in range(3):
        c.fill(rotated(box(18, 11 + 4 * i, 31, 12.3 + 4 * i), 25, 18, -8), GREY)
    folder(c, 4, 14, 44, 42, 1.5)


def globe(c, cx, cy, r, rim):
    sphere = circle(cx, cy, r)
    c.outlined(sphere, vertical(tint(SKY, 0.35), shade(BLUE, 0.9), cy - r, cy + r), rim,
               shade(BLUE, 0.55))
    land = meet(sphere, union(
        polygon([(cx - r * 0.55, cy - r * 0.65), (cx - r * 0.05, cy - r * 0.8),
                 (cx + r * 0.05, cy - r * 0.35), (cx - r * 0.2, cy + r * 0.05),
                 (cx - r * 0.05, cy + r * 0.6), (cx - r * 0.35, cy + r * 0.75),
                 (cx - r * 0.5, cy + r * 0.1), (cx - r * 0.8, cy - r * 0.2)]),
        polygon([(cx + r * 0.3, cy - r * 0.55), (cx + r * 0.8, cy - r * 0.35),
                 (cx + r * 0.75, cy + r * 0.2), (cx + r * 0.35, cy + r * 0.45),
                 (cx + r * 0.25, cy)])))
    c.fill(land, LEAF, 0.9)
    grid = []
    for k in (-0.5, 0.0, 0.5):
        grid.append(meet(sphere, segment(cx - r, cy + k * r, cx + r, cy + k * r, max(0.7, r * 0.05))))
    meridian = lambda x, y: abs(math.hypot((x - cx) / 0.45, y - cy) - r) * 0.45 - max(0.35, r * 0.025)
    grid.append(meet(sphere, meridian))
    grid.append(meet(sphere, segment(cx, cy - r, cx, cy + r, max(0.7, r * 0.05))))
    c.fill(union(*grid), WHITE, 0.55)
    c.fill(circle(cx - r * 0.4, cy - r * 0.45, r * 0.22), WHITE, 0.35)


def menu_internet(c):
    globe(c, 24, 24, 19, 1.6)


def server(c, x0, y0, x1, y1, rim):
    w = x1 - x0
    c.outlined(box(x0, y0, x1, y1, w * 0.1), vertical(tint(GREY, 0.45), shade(GREY, 0.85), y0, y1),
               rim, DARK)
    bay_h = (y1 - y0) * 0.16
    for i in range(3):
        top = y0 + (y1 - y0) * (0.1 + 0.22 * i)
        c.fill(box(x0 + w * 0.14, top, x1 - w * 0.14, top + bay_h, 0.8), shade(GREY, 0.45))
        c.fill(circle(x1 - w * 0.28, top + bay_h / 2, bay_h * 0.28), (90, 230, 90))


def menu_web_server(c):
    server(c, 6, 3, 30, 45, 1.5)
    c.fill(circle(34, 34, 13.5), WHITE)
    globe(c, 34, 34, 11.5, 1.3)


def menu_extras(c):
    # A toolbox with a wrench lying across it.
    c.outlined(cut(box(15, 8, 33, 22, 3.5), box(18.5, 11.5, 29.5, 24, 1.5)), GREY, 1.2, DARK)
    c.outlined(box(4, 17, 44, 43, 3), vertical(tint(RED, 0.25), shade(RED, 0.85), 17, 43), 1.5)
    c.fill(box(4.8, 25, 43.2, 27.5), shade(RED, 0.55))
    c.outlined(box(20, 23, 28, 30, 1.2), (230, 230, 230), 1.0, DARK)
    handle = union(segment(11, 38, 33, 16, 4.2), circle(35, 14, 6.2))
    jaw = rotated(box(32.8, 5, 37.2, 14.5, 0.8), 35, 14, 45)
    c.outlined(cut(handle, jaw), vertical((235, 238, 242), (160, 168, 178), 8, 40), 1.2, DARK)


# --- command-button icons, 16 x 16 --------------------------------------------

def icon_edit(c):
    c.outlined(polygon([(3, 10.5), (10.5, 3), (13, 5.5), (5.5, 13)]), YELLOW, 0.8, shade(ORANGE, 0.6))
    c.outlined(polygon([(10.5, 3), (12, 1.5), (14.5, 4), (13, 5.5)]), (235, 120, 140), 0.8,
               shade(RED, 0.6))
    c.outlined(polygon([(3, 10.5), (5.5, 13), (1.5, 14.5)]), (240, 215, 170), 0.6, DARK)
    c.fill(polygon([(2.3, 12.9), (3.1, 13.7), (1.5, 14.5)]), DARK)


def icon_add(c):
    plus = union(box(6.2, 2, 9.8, 14, 0.9), box(2, 6.2, 14, 9.8, 0.9))
    c.outlined(plus, vertical(tint(GREEN, 0.35), GREEN, 2, 14), 0.9)


def icon_browse(c):
    folder(c, 1, 3, 14.5, 14, 0.8, open_front=True)


def icon_delete(c):
    cross = union(segment(3.5, 3.5, 12.5, 12.5, 3.2), segment(12.5, 3.5, 3.5, 12.5, 3.2))
    c.outlined(cross, vertical(tint(RED, 0.3), RED, 3, 13), 0.9)


def icon_save(c):
    disk = cut(box(1.5, 1.5, 14.5, 14.5, 1.2), polygon([(12, 0), (16, 0), (16, 4)]))
    c.outlined(disk, vertical(tint(BLUE, 0.2), shade(BLUE, 0.85), 1.5, 14.5), 0.8)
    c.fill(box(4, 2.2, 11.5, 6.5, 0.4), (225, 230, 238))
    c.fill(box(9, 2.8, 10.6, 5.8), shade(BLUE, 0.7))
    c.fill(box(4, 9, 12, 14.5, 0.6), PAPER)
    c.fill(union(box(5, 10.5, 11, 11.2), box(5, 12.3, 11, 13)), GREY)


def arrow_head(x, y, degrees, length, half_width):
    """A triangle whose base is centred on (x, y), pointing along `degrees` (screen angle,
    counter-clockwise from 3 o'clock)."""
    dx, dy = math.cos(math.radians(degrees)), -math.sin(math.radians(degrees))
    return polygon([(x + dx * length, y + dy * length),
                    (x - dy * half_width, y + dx * half_width),
                    (x + dy * half_width, y - dx * half_width)])


def turning_arrow(cx, cy, r, w, start, end, head):
    """An arc from `start` to `end` degrees (counter-clockwise) with a head at its end."""
    e = math.radians(end)
    x, y = cx + r * math.cos(e), cy - r * math.sin(e)
    return union(arc(cx, cy, r, w, start, end), arrow_head(x, y, end + 90, head, head * 0.95))


def icon_cancel(c):
    # An arrow turning back: undo the changes.
    shape = turning_arrow(9, 10.5, 4.6, 2.3, 0, 180, 3.6)
    c.outlined(shape, vertical(tint(ORANGE, 0.3), shade(ORANGE, 0.9), 3, 15), 0.8)


def icon_restart(c):
    c.outlined(arc(8, 8.7, 5.3, 2.3, 120, 420), vertical(tint(RED, 0.3), RED, 2, 15), 0.8)
    c.outlined(box(6.85, 0.8, 9.15, 8.5, 1.1), tint(RED, 0.2), 0.8, shade(RED, 0.55))


def icon_reset(c):
    # The counter turned back to zero.
    c.outlined(turning_arrow(8, 8.5, 5.6, 1.8, 110, 390, 3.4),
               vertical(tint(GREEN, 0.3), GREEN, 1, 15), 0.7)
    zero = lambda x, y: abs(math.hypot((x - 8) / 0.62, y - 8.5) - 2.7) * 0.62 - 0.55
    c.fill(zero, DARK)


def icon_logs(c):
    page = polygon([(2.5, 1), (10, 1), (13.5, 4.5), (13.5, 15), (2.5, 15)])
    c.outlined(page, PAPER, 0.8, shade(GREY, 0.6))
    c.outlined(polygon([(10, 1), (10, 4.5), (13.5, 4.5)]), (215, 218, 222), 0.5, shade(GREY, 0.6))
    for i in range(4):
        c.fill(box(4.5, 6 + 2 * i, 11.5 - (3 if i == 3 else 0), 7 + 2 * i), shade(SKY, 0.8))


# --- tray-menu icons, 16 x 16 -------------------------------------------------

def entry_configuration(c):
    gear(c, 8, 8, 7, 5.2, 8, 2, STEEL, 0.8)


def entry_panel(c):
    c.outlined(box(1, 2, 15, 14, 1), PAPER, 0.8, shade(BLUE, 0.6))
    c.fill(box(1.5, 2.5, 14.5, 5.5, 0.5), BLUE)
    for i in range(3):
        c.fill(box(3.5, 7.3 + 2 * i, 12.5 - 2 * i, 8.2 + 2 * i), GREY)


def entry_start(c):
    c.outlined(polygon([(3.5, 1.5), (14, 8), (3.5, 14.5)]), vertical(tint(GREEN, 0.35), GREEN, 1, 15),
               0.8)


def entry_stop(c):
    c.outlined(box(2.5, 2.5, 13.5, 13.5, 1.2), vertical(tint(RED, 0.3), RED, 2, 14), 0.8)


def entry_about(c):
    c.outlined(circle(8, 8, 6.6), vertical(tint(SKY, 0.3), BLUE, 1, 15), 0.8)
    c.fill(union(circle(8, 4.7, 1.25), box(6.9, 6.9, 9.1, 12.2, 0.5)), WHITE)


def entry_quit(c):
    c.outlined(circle(8, 8, 6.6), vertical(tint(RED, 0.3), RED, 1, 15), 0.8)
    c.fill(union(segment(5.3, 5.3, 10.7, 10.7, 2), segment(10.7, 5.3, 5.3, 10.7, 2)), WHITE)


# --- files --------------------------------------------------------------------

def sheet(width, height, placed):
    """Rows of RGBA pixels with each (x, y, size, draw) painted at its place."""
    rows = [[(0, 0, 0, 0)] * width for _ in range(height)]
    for x, y, size, draw in placed:
        c = Canvas(size)
        draw(c)
        for j, row in enumerate(c.rows()):
            rows[y + j][x:x + size] = row
    return rows


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def write_png(path, header, extra, lines):
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra +
                chunk(b"IDAT", zlib.compress(b"".join(lines), 9)) + chunk(b"IEND", b""))


def write_rgba(path, rows):
    h, w = len(rows), len(rows[0])
    lines = [b"\0" + bytes(v for px in row for v in px) for row in rows]
    write_png(path, struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0), b"", lines)


def quantised(px, step):
    if px[3] == 0:
        return (0, 0, 0, 0)
    q = lambda v: min(255, int(round(v / step)) * step)
    return (q(px[0]), q(px[1]), q(px[2]), 255 if px[3] > 240 else q(px[3]))


def write_palette(path, rows):
    """The same picture with at most 256 colours (alpha kept per palette entry)."""
    step = 1
    while True:
        pixels = [[quantised(px, step) for px in row] for row in rows]
        colours = sorted({px for row in pixels for px in row}, key=lambda p: (p[3] != 0, p))
        if len(colours) <= 256:
            break
        step += 1
    index = {c: i for i, c in enumerate(colours)}
    lines = [b"\0" + bytes(index[px] for px in row) for row in pixels]
    h, w = len(rows), len(rows[0])
    plte = b"".join(bytes(c[:3]) for c in colours)
    trns = bytes(c[3] for c in colours)
    write_png(path, struct.pack(">IIBBBBB", w, h, 8, 3, 0, 0, 0),
              chunk(b"PLTE", plte) + chunk(b"tRNS", trns), lines)


MENU_ICONS = [menu_configuration, menu_folders, menu_internet, menu_web_server, menu_extras]
BUTTON_ICONS = {2: icon_edit, 3: icon_add, 4: icon_browse, 5: icon_delete, 6: icon_save,
                7: icon_cancel, 12: icon_restart, 13: icon_reset, 14: icon_logs}
ENTRY_ICONS = [entry_configuration, entry_panel, entry_start, entry_stop, entry_about, entry_quit]

if __name__ == "__main__":
    xp = sheet(240, 64, [(i * 48, 0, 48, f) for i, f in enumerate(MENU_ICONS)] +
               [(i * 16, 48, 16, f) for i, f in BUTTON_ICONS.items()])
    menu = sheet(96, 16, [(i * 16, 0, 16, f) for i, f in enumerate(ENTRY_ICONS)])
    write_rgba("xp.png", xp)
    write_palette("xp2.png", xp)
    write_rgba("menu.png", menu)
    write_palette("menu2.png", menu)
