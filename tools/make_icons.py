#!/usr/bin/env python3
"""Draws the application's own icons as small PNG files (no image libraries needed).

Run from the repository root: python3 tools/make_icons.py
Each icon is a folder <package>/resources/icons/<name>/ with one <size>.png per size: the
application's own under app/, the GUI toolkit's under libgui/.
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


# The GUI toolkit's icons: simple shapes on the unit square.
GREEN, RED, BLUE, DARK = (46, 140, 60), (200, 50, 40), (45, 95, 170), (60, 60, 60)


def plus_icon():
    def bar_h(x, y):
        return 0.15 <= x <= 0.85 and 0.40 <= y <= 0.60

    def bar_v(x, y):
        return 0.40 <= x <= 0.60 and 0.15 <= y <= 0.85

    return [(bar_h, GREEN), (bar_v, GREEN)]


def minus_icon():
    def bar_h(x, y):
        return 0.15 <= x <= 0.85 and 0.40 <= y <= 0.60

    return [(bar_h, RED)]


def arrow_icon(up):
    def head(x, y):
        yy = y if up else 1 - y
        return 0.10 <= yy <= 0.55 and abs(x - 0.5) <= (yy - 0.10)

    def shaft(x, y):
        yy = y if up else 1 - y
        return 0.40 <= x <= 0.60 and 0.45 <= yy <= 0.90

    return [(head, BLUE), (shaft, BLUE)]


def edit_icon():
    # A pencil from the lower left to the upper right.
    def along(x, y):
        return ((x - 0.15) + (0.85 - y)) / math.sqrt(2), ((x - 0.15) - (0.85 - y)) / math.sqrt(2)

    def body(x, y):
        u, v = along(x, y)
        return 0.18 <= u <= 0.92 and abs(v) <= 0.10

    def tip(x, y):
        u, v = along(x, y)
        return 0.0 <= u < 0.18 and abs(v) <= u * 0.55

    def lead(x, y):
        u, v = along(x, y)
        return 0.0 <= u < 0.07 and abs(v) <= u * 0.55

    return [(body, (225, 160, 40)), (tip, (235, 205, 160)), (lead, DARK)]


def clock_icon():
    def rim(x, y):
        return math.hypot(x - 0.5, y - 0.5) <= 0.46

    def face(x, y):
        return math.hypot(x - 0.5, y - 0.5) <= 0.38

    def hour(x, y):
        return 0.46 <= x <= 0.54 and 0.24 <= y <= 0.54

    def minute(x, y):
        return 0.46 <= y <= 0.54 and 0.46 <= x <= 0.76

    return [(rim, BLUE), (face, (255, 255, 255)), (hour, DARK), (minute, DARK)]


def color_icon():
    def dot(cx, cy):
        return lambda x, y: math.hypot(x - cx, y - cy) <= 0.24

    return [(dot(0.5, 0.30), (220, 50, 50)), (dot(0.30, 0.66), (50, 170, 70)),
            (dot(0.70, 0.66), (50, 100, 220))]


GUI_ICONS = {"add": plus_icon, "remove": minus_icon, "up": lambda: arrow_icon(True),
             "down": lambda: arrow_icon(False), "edit": edit_icon, "clock": clock_icon,
             "color": color_icon}


ICONS = {"appIcon": app_icon}


def write(root, icons, sizes):
    for name, shapes in icons.items():
        folder = os.path.join(root, name)
        os.makedirs(folder, exist_ok=True)
        for size in sizes:
            with open(os.path.join(folder, "%d.png" % size), "wb") as f:
                f.write(render(size, shapes()))


def main():
    write(os.path.join("app", "resources", "icons"), ICONS, SIZES)
    write(os.path.join("libgui", "resources", "icons"), GUI_ICONS, (16, 24, 32))


if __name__ == "__main__":
    main()
