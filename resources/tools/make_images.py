#!/usr/bin/env python3
"""Draws the program's image strips (menu-button icons and tray-menu icons).

xp.png / menu.png are 32-bit RGBA; xp2.png / menu2.png are the same pictures as
8-bit palette images for displays of another depth. Run from resources/.
"""
import math
import struct
import zlib

# Colours of the strips: one per icon.
BUTTON_COLOURS = [(0x1f, 0x6f, 0xb5), (0x2e, 0x9d, 0x4a), (0xd9, 0x8c, 0x1a),
                  (0x8a, 0x3f, 0xb0), (0xc0, 0x39, 0x2b)]
MENU_COLOURS = [(0x1f, 0x6f, 0xb5), (0x2e, 0x9d, 0x4a), (0x27, 0xae, 0x60),
                (0xc0, 0x39, 0x2b), (0xd9, 0x8c, 0x1a), (0x55, 0x55, 0x55)]


def glyph(kind, x, y, size):
    """Coverage of shape `kind` at pixel (x, y) of a size x size cell."""
    c = (size - 1) / 2
    dx, dy = x - c, y - c
    r = math.hypot(dx, dy)
    ring = abs(r - size * 0.36) < size * 0.07
    if kind == 0:  # gear-like ring with a hub
        return ring or r < size * 0.12
    if kind == 1:  # monitor: square frame with a stand
        frame = (abs(dx) < size * 0.40 and abs(dy + size * 0.08) < size * 0.30 and
                 not (abs(dx) < size * 0.32 and abs(dy + size * 0.08) < size * 0.22))
        stand = abs(dx) < size * 0.08 and size * 0.22 < dy < size * 0.38
        return frame or stand
    if kind == 2:  # play triangle
        return -size * 0.28 < dx < size * 0.32 and abs(dy) < (size * 0.32 - dx) * 0.62
    if kind == 3:  # stop square
        return abs(dx) < size * 0.28 and abs(dy) < size * 0.28
    if kind == 4:  # question mark: ring top and a dot
        top = ring and dy < size * 0.05
        stem = abs(dx) < size * 0.07 and -size * 0.02 < dy < size * 0.2
        dot = math.hypot(dx, dy - size * 0.33) < size * 0.07
        return top or stem or dot
    return abs(abs(dx) - abs(dy)) < size * 0.09 and r < size * 0.42  # cross


def strip(colours, size):
    rows = []
    for y in range(size):
        row = []
        for i, col in enumerate(colours):
            for x in range(size):
                on = glyph(i % 6, x, y, size)
                row.append(col + (255,) if on else (0, 0, 0, 0))
        rows.append(row)
    return rows


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def write_rgba(path, rows):
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_palette(path, rows):
    palette = [(0, 0, 0)]
    index = {}
    data = []
    for row in rows:
        line = bytearray(b"\0")
        for px in row:
            if px[3] == 0:
                line.append(0)
                continue
            key = px[:3]
            if key not in index:
                index[key] = len(palette)
                palette.append(key)
            line.append(index[key])
        data.append(bytes(line))
    h, w = len(rows), len(rows[0])
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 3, 0, 0, 0)
    plte = b"".join(bytes(c) for c in palette)
    trns = b"\0"  # entry 0 is transparent
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"PLTE", plte) +
                chunk(b"tRNS", trns) + chunk(b"IDAT", zlib.compress(b"".join(data), 9)) +
                chunk(b"IEND", b""))


if __name__ == "__main__":
    buttons = strip(BUTTON_COLOURS, 32)
    menu = strip(MENU_COLOURS, 16)
    write_rgba("xp.png", buttons)
    write_palette("xp2.png", buttons)
    write_rgba("menu.png", menu)
    write_palette("menu2.png", menu)
