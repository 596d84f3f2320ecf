#!/usr/bin/env python3
"""Draws the application's own icons as small PNG files (no image libraries needed).

Run from the repository root: python3 tools/make_icons.py
Each icon is a folder app/resources/icons/<name>/ with one <size>.png per size.
"""
import math
import os
import struct
import zlib

SIZES = (16, 24, 32, 48)
SAMPLES = 4  # per axis, for smooth edges


def png(width, height, rgba_rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(row) for row in rgba_rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def render(size, shapes):
    """shapes: list of (inside(x, y) on the unit square, (r, g, b)), painted in order."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    colour = None
                    for inside, rgb in shapes:
                        if inside(x, y):
                            colour = rgb
                    if colour:
                        r += colour[0]; g += colour[1]; b += colour[2]; a += 1
            n = SAMPLES * SAMPLES
            if a:
                row += [round(r / a), round(g / a), round(b / a), round(255 * a / n)]
            else:
                row += [0, 0, 0, 0]
        rows.append(row)
    return png(size, size, rows)


def app_icon():
    def disc(x, y):
        return math.hypot(x - 0.5, y - 0.5) <= 0.47

    def head(x, y):  # a tilted note head
        dx, dy = x - 0.42, y - 0.68
        c, s = math.cos(-0.45), math.sin(-0.45)
        u, v = dx * c - dy * s, dx * s + dy * c
        return (u / 0.13) ** 2 + (v / 0.09) ** 2 <= 1

    def stem(x, y):
        return 0.50 <= x <= 0.57 and 0.22 <= y <= 0.66

    def flag(x, y):
        return 0.50 <= x <= 0.72 and 0.22 <= y <= 0.42 and (x - 0.50) * 0.9 <= (y - 0.22) * 1.1 + 0.02 \
            and (y - 0.22) <= 0.08 + (x - 0.50) * 0.6

    return [(disc, (58, 110, 165)), (head, (255, 255, 255)), (stem, (255, 255, 255)),
            (flag, (255, 255, 255))]


ICONS = {"appIcon": app_icon}


def main():
    root = os.path.join("app", "resources", "icons")
    for name, shapes in ICONS.items():
        folder = os.path.join(root, name)
        os.makedirs(folder, exist_ok=True)
        for size in SIZES:
            with open(os.path.join(folder, "%d.png" % size), "wb") as f:
                f.write(render(size, shapes()))


if __name__ == "__main__":
    main()
