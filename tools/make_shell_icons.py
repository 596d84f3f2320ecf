#!/usr/bin/env python3
"""Draws the icons of the main window, its file table and its docks (see make_icons.py).

Run from the repository root: python3 tools/make_shell_icons.py
"""
import math
import os

from make_icons import DARK, GREEN, RED, BLUE, write

GREY = (120, 120, 120)
PAPER = (250, 250, 250)
YELLOW = (230, 180, 50)


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def ring(cx, cy, r0, r1):
    return lambda x, y: r0 <= math.hypot(x - cx, y - cy) <= r1


def lines_icon():  # "list": four rows
    return [(rect(0.15, 0.18 + i * 0.18, 0.85, 0.28 + i * 0.18), DARK) for i in range(4)]


def select_all_icon():  # a dashed frame around a filled block
    shapes = []
    for i in range(4):
        t = 0.1 + i * 0.22
        shapes += [(rect(t, 0.08, t + 0.12, 0.14), BLUE), (rect(t, 0.86, t + 0.12, 0.92), BLUE),
                   (rect(0.08, t, 0.14, t + 0.12), BLUE), (rect(0.86, t, 0.92, t + 0.12), BLUE)]
    return shapes + [(rect(0.28, 0.28, 0.72, 0.72), BLUE)]


def sort_icon(ascending):
    def bar(i):
        length = 0.2 + 0.18 * (i if ascending else 3 - i)
        return rect(0.1, 0.14 + i * 0.2, 0.1 + length, 0.24 + i * 0.2)

    def arrow(x, y):
        yy = 1 - y if ascending else y
        return (0.72 <= x <= 0.82 and 0.15 <= yy <= 0.75) or (0.55 <= yy <= 0.9 and abs(x - 0.77) <= 0.9 - yy)

    return [(bar(i), DARK) for i in range(4)] + [(arrow, BLUE)]


def find_icon():
    def handle(x, y):
        u = (x + y - 1.3) / math.sqrt(2)
        v = (x - y) / math.sqrt(2)
        return 0 <= u <= 0.32 and abs(v) <= 0.07

    return [(ring(0.4, 0.4, 0.2, 0.3), DARK), (handle, DARK)]


def replace_icon():
    def arrow(x, y):
        return (0.3 <= x <= 0.7 and 0.45 <= y <= 0.55) or (0.6 <= x <= 0.9 and abs(y - 0.5) <= 0.9 - x)

    return [(rect(0.08, 0.15, 0.3, 0.85), GREY), (arrow, GREEN)]


def exit_icon():
    def cross(x, y):
        return (abs(x - y) <= 0.08 or abs(x + y - 1) <= 0.08) and 0.15 <= x <= 0.85

    return [(cross, RED)]


def refresh_icon():
    def arc(x, y):
        r = math.hypot(x - 0.5, y - 0.5)
        angle = math.atan2(y - 0.5, x - 0.5)
        return 0.24 <= r <= 0.36 and not (-1.2 <= angle <= -0.2)

    def head(x, y):
        return 0.58 <= x <= 0.92 and 0.08 <= y <= 0.42 and (x - 0.58) >= (y - 0.08)

    return [(arc, GREEN), (head, GREEN)]


def save_icon():
    return [(rect(0.12, 0.12, 0.88, 0.88), BLUE), (rect(0.28, 0.12, 0.72, 0.4), PAPER),
            (rect(0.28, 0.58, 0.72, 0.88), (200, 210, 230))]


def copy_icon():
    return [(rect(0.1, 0.1, 0.62, 0.7), GREY), (rect(0.16, 0.16, 0.56, 0.64), PAPER),
            (rect(0.38, 0.3, 0.9, 0.9), DARK), (rect(0.44, 0.36, 0.84, 0.84), PAPER)]


def folder_icon():
    return [(rect(0.08, 0.2, 0.45, 0.32), YELLOW), (rect(0.08, 0.3, 0.92, 0.82), YELLOW)]


def image_icon():
    def hill(x, y):
        return 0.15 <= x <= 0.85 and y >= 0.8 - 0.5 * max(0.0, 0.3 - abs(x - 0.45)) * 2 and y <= 0.82

    return [(rect(0.1, 0.15, 0.9, 0.85), BLUE), (rect(0.15, 0.2, 0.85, 0.8), (200, 225, 250)), (hill, GREEN),
            (ring(0.68, 0.38, 0.0, 0.08), YELLOW)]


def disc_icon():
    return [(ring(0.5, 0.5, 0.1, 0.42), GREY), (ring(0.5, 0.5, 0.0, 0.06), DARK)]


def person(cx, scale):
    return [(ring(cx, 0.32, 0.0, 0.14 * scale), BLUE),
            (lambda x, y: y >= 0.55 and math.hypot((x - cx) / 1.2, y - 0.9) <= 0.32 * scale, BLUE)]


ICONS = {"disc": disc_icon, "user": lambda: person(0.5, 1.0),
         "multiUser": lambda: person(0.32, 0.8) + person(0.68, 0.8),
         "list": lines_icon, "selectAll": select_all_icon, "sortAscending": lambda: sort_icon(True),
         "sortDescending": lambda: sort_icon(False), "find": find_icon, "replace": replace_icon,
         "exit": exit_icon, "refresh": refresh_icon, "save": save_icon, "copy": copy_icon,
         "folder": folder_icon, "image": image_icon}

if __name__ == "__main__":
    write(os.path.join("app", "resources", "icons"), ICONS, (16, 24, 32))
