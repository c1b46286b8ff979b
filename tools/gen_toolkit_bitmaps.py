#!/usr/bin/env python3
"""Draws the pictures of the window toolkit into <out>/bin:

  nj.pal              the suite's 256-colour RIFF palette (1048 bytes)
  clock_0..3.bmp      the four frames of the busy clock (32 x 32, 24-bit,
                      pure green where the dialog shows through)
  <name>.bmp          instrument drawings of the telescope, binocular and
  <name>d.bmp         camera dialogs (24-bit, and 8-bit in the palette's
                      colours for 256-colour displays): scope, finder, eyep1,
                      eyep2, binocs, ccd_camera

usage: gen_toolkit_bitmaps.py --out FOLDER
"""
import argparse
import math
import os
import struct

# ---- palette -------------------------------------------------------------

# The twenty colours Windows reserves on palette displays: ten at the start,
# ten at the end of the system palette.
STATIC_LOW = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
              (128, 0, 128), (0, 128, 128), (192, 192, 192), (192, 220, 192),
              (166, 202, 240)]
STATIC_HIGH = [(255, 251, 240), (160, 160, 164), (128, 128, 128), (255, 0, 0),
               (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
               (0, 255, 255), (255, 255, 255)]
# The transparent colour of the pictures drawn for palette displays.
PALETTE_KEY = (206, 66, 24)


def suite_palette():
    """256 colours: the low static colours, a 6 x 6 x 6 colour cube, greys,
    the palette key colour and the high static colours."""
    colours = list(STATIC_LOW)
    levels = [0, 51, 102, 153, 204, 255]
    for r in levels:
        for g in levels:
            for b in levels:
                colours.append((r, g, b))
    colours.append(PALETTE_KEY)
    grey = 8
    while len(colours) < 246:
        colours.append((grey, grey, grey))
        grey += 12
    colours.extend(STATIC_HIGH)
    assert len(colours) == 256
    return colours


def palette_file(colours):
    """RIFF "PAL " file: RIFF header, "data" chunk with version 0x0300, the
    entry count and 256 entries of red, green, blue and flags 0."""
    entries = b"".join(struct.pack("<BBBB", r, g, b, 0) for r, g, b in colours)
    data = struct.pack("<HH", 0x0300, len(colours)) + entries
    body = b"PAL " + b"data" + struct.pack("<I", len(data)) + data
    out = b"RIFF" + struct.pack("<I", len(body)) + body
    assert len(out) == 1048
    return out


# ---- bitmap files -----------------------------------------------------------

def bmp_24(pixels):
    """24-bit uncompressed .bmp, bottom row first; pixels[y][x] = (r, g, b)
    with y = 0 the top row."""
    h, w = len(pixels), len(pixels[0])
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(h - 1, -1, -1):
        row = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in pixels[y])
        rows.append(row + b"\0" * (stride - len(row)))
    image = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    offset = 14 + 40
    head = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    return head + info + image


def bmp_8(pixels, colours):
    """8-bit .bmp whose table is the palette; each pixel takes the nearest
    palette colour."""
    h, w = len(pixels), len(pixels[0])
    stride = (w + 3) & ~3
    cache = {}

    def nearest(c):
        if c not in cache:
            cache[c] = min(range(len(colours)),
                           key=lambda i: sum((a - b) ** 2 for a, b in zip(colours[i], c)))
        return cache[c]

    rows = []
    for y in range(h - 1, -1, -1):
        row = bytes(nearest(c) for c in pixels[y])
        rows.append(row + b"\0" * (stride - len(row)))
    image = b"".join(rows)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(image), 2835, 2835,
                       len(colours), 0)
    offset = 14 + 40 + len(table)
    head = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    return head + info + table + image


# ---- drawing ----------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, ground):
        self.w, self.h = w, h
        self.px = [[ground] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def line(self, x0, y0, x1, y1, width, c):
        n = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(n + 1):
            t = i / n
            x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            half = width / 2.0
            for yy in range(int(y - half), int(y + half) + 1):
                for xx in range(int(x - half), int(x + half) + 1):
                    if (xx + 0.5 - x) ** 2 + (yy + 0.5 - y) ** 2 <= half * half + 0.25:
                        self.put(xx, yy, c)


GREEN_KEY = (0, 255, 0)
FACE = (192, 192, 192)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
DARK = (64, 64, 64)
TUBE = (255, 255, 255)
BLUE = (0, 0, 128)


def clock_frame(k):
    """32 x 32 clock: white dial with a black rim on pure green, the hand
    pointing to 12, 3, 6 and 9 o'clock for frames 0 to 3."""
    c = Canvas(32, 32, GREEN_KEY)
    c.disc(16, 16, 15, BLACK)
    c.disc(16, 16, 13, WHITE)
    for h in range(12):
        a = h * math.pi / 6
        c.put(int(16 + 11 * math.sin(a)), int(16 - 11 * math.cos(a)), BLACK)
    a = k * math.pi / 2
    c.line(16, 16, 16 + 10 * math.sin(a), 16 - 10 * math.cos(a), 2.5, BLUE)
    c.disc(16, 16, 2, BLACK)
    return c.px


def telescope():
    c = Canvas(64, 48, FACE)
    c.line(14, 30, 54, 10, 9, TUBE)             # tube
    c.line(14, 30, 54, 10, 1, DARK)
    c.line(50, 6, 58, 14, 3, DARK)              # dew cap rim
    c.line(30, 22, 30, 26, 3, DARK)             # finder foot
    c.line(26, 20, 38, 14, 3, DARK)             # finder
    c.line(30, 28, 18, 46, 2, DARK)             # tripod
    c.line(30, 28, 30, 46, 2, DARK)
    c.line(30, 28, 42, 46, 2, DARK)
    c.disc(30, 27, 3, BLACK)
    return c.px


def finder():
    c = Canvas(64, 48, FACE)
    c.line(8, 30, 52, 18, 7, TUBE)
    c.line(8, 30, 52, 18, 1, DARK)
    c.rect(20, 30, 24, 38, DARK)                # brackets
    c.rect(36, 26, 40, 34, DARK)
    c.rect(12, 38, 50, 41, BLACK)               # base
    return c.px


def eyepiece(wide):
    c = Canvas(48, 48, FACE)
    barrel = 10 if wide else 8
    top = 22 if wide else 16
    c.rect(24 - barrel // 2, 30, 24 + barrel // 2, 46, DARK)     # barrel
    c.rect(24 - top // 2, 8, 24 + top // 2, 30, BLACK)           # body
    c.rect(24 - top // 2 + 2, 4, 24 + top // 2 - 2, 8, DARK)     # eye cup
    c.rect(24 - top // 2 + 3, 12, 24 + top // 2 - 3, 14, (128, 128, 128))
    return c.px


def binoculars():
    c = Canvas(64, 48, FACE)
    for x in (20, 44):
        c.rect(x - 8, 14, x + 8, 42, BLACK)     # prism housings
        c.disc(x, 40, 7, DARK)                  # objectives
        c.rect(x - 4, 6, x + 4, 14, DARK)       # eyepieces
    c.rect(28, 20, 36, 26, DARK)                # bridge
    return c.px


def ccd_camera():
    c = Canvas(64, 48, FACE)
    c.rect(10, 12, 54, 40, DARK)                # body
    c.rect(26, 4, 38, 12, BLACK)                # nose piece
    c.rect(20, 20, 44, 32, BLUE)                # sensor window
    c.rect(46, 34, 52, 38, (0, 255, 0))         # power lamp
    return c.px


PICTURES = {
    "scope": telescope,
    "finder": finder,
    "eyep1": lambda: eyepiece(False),
    "eyep2": lambda: eyepiece(True),
    "binocs": binoculars,
    "ccd_camera": ccd_camera,
}


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, help="folder that receives bin/")
    args = parser.parse_args()
    folder = os.path.join(args.out, "bin")
    os.makedirs(folder, exist_ok=True)
    colours = suite_palette()
    write(os.path.join(folder, "nj.pal"), palette_file(colours))
    for k in range(4):
        write(os.path.join(folder, "clock_%d.bmp" % k), bmp_24(clock_frame(k)))
    for name, draw in PICTURES.items():
        pixels = draw()
        write(os.path.join(folder, name + ".bmp"), bmp_24(pixels))
        write(os.path.join(folder, name + "d.bmp"), bmp_8(pixels, colours))


if __name__ == "__main__":
    main()
