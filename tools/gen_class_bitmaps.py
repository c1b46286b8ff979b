#!/usr/bin/env python3
"""Draws the class pictures of the importer: 14 x 14 pixel symbols, one per
object class, written as "bin/NN.bmp" (24-bit) and "bin/NNd.bmp" (8-bit, for
palette displays), NN = 01..21 except 02.

usage: gen_class_bitmaps.py --out FOLDER   (writes FOLDER/bin/...)
"""
import argparse
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmpwrite import bmp24, bmp8  # noqa: E402

SIZE = 14
BG = (0, 0, 64)  # night-sky blue


class Canvas:
    def __init__(self):
        self.p = [[BG] * SIZE for _ in range(SIZE)]

    def dot(self, x, y, c):
        x, y = int(round(x)), int(round(y))
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.p[y][x] = c

    def line(self, x0, y0, x1, y1, c):
        n = int(max(abs(x1 - x0), abs(y1 - y0))) + 1
        for i in range(n + 1):
            t = i / n
            self.dot(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, c)

    def disc(self, cx, cy, r, c):
        for y in range(SIZE):
            for x in range(SIZE):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.p[y][x] = c

    def ring(self, cx, cy, r, c):
        for k in range(64):
            a = 2 * math.pi * k / 64
            self.dot(cx + r * math.cos(a), cy + r * math.sin(a), c)

    def ellipse(self, cx, cy, a, b, tilt, c, fill=False):
        ct, st = math.cos(tilt), math.sin(tilt)
        for y in range(SIZE):
            for x in range(SIZE):
                dx, dy = x - cx, y - cy
                u = (dx * ct + dy * st) / a
                v = (-dx * st + dy * ct) / b
                d = u * u + v * v
                if (fill and d <= 1.0) or (not fill and 0.55 <= d <= 1.1):
                    self.p[y][x] = c


WHITE, YELLOW, RED, CYAN, GREEN, ORANGE, GREY, PINK = (
    (255, 255, 255), (255, 230, 80), (255, 80, 60), (120, 220, 255),
    (120, 255, 120), (255, 160, 40), (150, 150, 150), (255, 150, 220))


def star(c, cx=6.5, cy=6.5, r=5, colour=WHITE):
    c.line(cx - r, cy, cx + r, cy, colour)
    c.line(cx, cy - r, cx, cy + r, colour)
    c.disc(cx, cy, 1.6, colour)


def draw(n):
    c = Canvas()
    if n == 1:  # constellation: stars joined by lines
        pts = [(1, 11), (4, 6), (8, 8), (12, 2)]
        for a, b in zip(pts, pts[1:]):
            c.line(*a, *b, GREY)
        for x, y in pts:
            c.disc(x, y, 0.8, WHITE)
    elif n == 3:  # Sun, Moon and planets: a ringed planet
        c.disc(6.5, 6.5, 3.5, YELLOW)
        c.ellipse(6.5, 6.5, 6.4, 2.0, -0.4, ORANGE)
    elif n == 4:  # comet
        c.disc(10, 3, 1.8, WHITE)
        for k in range(4):
            c.line(10, 3, 1 + k, 12 - k, CYAN)
    elif n == 5:  # minor planet: an irregular rock
        c.ellipse(6.5, 6.5, 4.5, 3.0, 0.6, GREY, fill=True)
        c.dot(5, 6, BG)
        c.dot(8, 7, BG)
    elif n == 6:
        star(c)
    elif n == 7:  # multiple star
        star(c, 4.5, 4.5, 3.5)
        star(c, 9.5, 9.5, 3, YELLOW)
    elif n == 8:  # variable star: half bright, half dim
        star(c, colour=WHITE)
        c.disc(6.5, 6.5, 1.6, RED)
    elif n == 9:  # star with orbit
        star(c, colour=WHITE)
        c.ellipse(6.5, 6.5, 6.0, 3.0, 0.3, CYAN)
    elif n == 10:  # multiple star with orbit
        star(c, 4.5, 4.5, 3)
        c.ellipse(6.5, 6.5, 6.0, 3.0, 0.3, CYAN)
        c.disc(10, 9, 1.2, YELLOW)
    elif n == 11:  # variable star with orbit
        star(c, colour=RED)
        c.ellipse(6.5, 6.5, 6.0, 3.0, 0.3, CYAN)
    elif n == 12:  # galaxy
        c.ellipse(6.5, 6.5, 6.0, 2.5, -0.5, PINK, fill=True)
        c.disc(6.5, 6.5, 1.2, WHITE)
    elif n == 13:  # galaxy group
        c.ellipse(4, 4, 3.2, 1.5, 0.4, PINK, fill=True)
        c.ellipse(9.5, 6, 2.8, 1.2, -0.6, PINK, fill=True)
        c.ellipse(5, 10.5, 2.6, 1.2, 0.1, PINK, fill=True)
    elif n == 14:  # quasar: a point with jets
        c.disc(6.5, 6.5, 1.5, CYAN)
        c.line(2, 11, 11, 2, CYAN)
    elif n == 15:  # planetary nebula: ring with a central star
        c.ring(6.5, 6.5, 4.5, GREEN)
        c.dot(6.5, 6.5, WHITE)
    elif n == 16:  # bright nebula
        c.ellipse(6.5, 6.5, 5.5, 4.0, 0.3, RED, fill=True)
        c.ellipse(7, 6, 3.0, 2.0, 0.3, PINK, fill=True)
    elif n == 17:  # dark nebula: a dark lane across a star field
        for x, y in [(1, 2), (11, 1), (3, 11), (12, 10), (7, 12), (2, 6)]:
            c.dot(x, y, WHITE)
        c.ellipse(6.5, 6.5, 6.5, 2.0, -0.7, (0, 0, 0), fill=True)
    elif n == 18:  # open cluster: scattered stars
        for x, y in [(3, 3), (9, 2), (6, 6), (11, 7), (2, 9), (7, 11), (10, 11), (5, 2)]:
            c.dot(x, y, WHITE)
    elif n == 19:  # globular cluster: dense disc
        c.disc(6.5, 6.5, 5.0, YELLOW)
        c.ring(6.5, 6.5, 5.0, (255, 255, 180))
        c.disc(6.5, 6.5, 2.0, WHITE)
    elif n == 20:  # sky mark: cross-hair
        c.ring(6.5, 6.5, 4.0, GREEN)
        c.line(6.5, 0, 6.5, 13, GREEN)
        c.line(0, 6.5, 13, 6.5, GREEN)
    elif n == 21:  # reference point: a diamond
        for k in range(5):
            c.line(6.5 - k, 6.5 - (4 - k), 6.5 + k, 6.5 + (4 - k), ORANGE)
            c.line(6.5 - k, 6.5 + (4 - k), 6.5 + k, 6.5 - (4 - k), ORANGE)
    else:
        raise ValueError(n)
    return c.p


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    folder = os.path.join(args.out, "bin")
    os.makedirs(folder, exist_ok=True)
    for n in range(1, 22):
        if n == 2:
            continue  # the combined solar-system flag has no picture
        pixels = draw(n)
        with open(os.path.join(folder, "%02d.bmp" % n), "wb") as f:
            f.write(bmp24(pixels))
        with open(os.path.join(folder, "%02dd.bmp" % n), "wb") as f:
            f.write(bmp8(pixels))


if __name__ == "__main__":
    main()
