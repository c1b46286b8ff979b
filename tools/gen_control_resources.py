#!/usr/bin/env python3
"""Writes the resource files of the custom controls into resources/:

  arrow512.bmp   bitmap 512, the 12 x 15 drop-down arrow of a link label
  check2222.bmp  bitmap 2222, the 10 x 15 check mark of a table row
  presscur.cur   cursor "PressCur", the pointing hand over links and click areas
  globe2557.bmp  bitmap 2557, the 16 x 16 globe of the places tree's regions
                 (blue on white; white is transparent in the tree)

Both bitmaps are 16-colour (4-bit) pictures. Their pixels are read from the
patterns in ui/controlpictures.cpp, which the controls also draw from when a
module carries no such resource, so the two can never differ.

usage: gen_control_resources.py [--out FOLDER]   (default: resources/)
"""
import argparse
import os
import re
import struct

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The 16 colours of the standard VGA palette; the pictures use black, white,
# bright red and bright green.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def read_pattern(name):
    """The rows of the C array `name` in ui/controlpictures.cpp."""
    with open(os.path.join(TOP, "ui", "controlpictures.cpp"), encoding="ascii") as f:
        text = f.read()
    m = re.search(r"%s\[\d+\]\s*=\s*\{(.*?)\};" % re.escape(name), text, re.S)
    if not m:
        raise SystemExit("pattern %s not found" % name)
    return re.findall(r'"([.#]+)"', m.group(1))


def bmp4(rows, ink, ground):
    """A 4-bit .bmp of the pattern: '#' in colour `ink`, '.' in `ground`."""
    h, w = len(rows), len(rows[0])
    ink_i, ground_i = VGA16.index(ink), VGA16.index(ground)
    stride = ((w * 4 + 31) // 32) * 4
    bits = bytearray()
    for row in reversed(rows):  # bottom row first
        line = bytearray(stride)
        for x, c in enumerate(row):
            v = ink_i if c == "#" else ground_i
            line[x // 2] |= v << 4 if x % 2 == 0 else v
        bits += line
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA16)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(bits), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(table)
    return b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset) + info + table + bytes(bits)


# The pointing hand: 'B' black, 'W' white, '.' transparent; hot spot at the
# fingertip.
HAND = [
    ".....BB..........",
    "....BWWB.........",
    "....BWWB.........",
    "....BWWB.........",
    "....BWWB.........",
    "....BWWBBB.......",
    "....BWWBWWBBB....",
    "....BWWBWWBWWBB..",
    ".BB.BWWBWWBWWBWB.",
    "BWWBBWWWWWWWWBWWB",
    "BWWWBWWWWWWWWWWWB",
    ".BWWWWWWWWWWWWWWB",
    "..BWWWWWWWWWWWWWB",
    "..BWWWWWWWWWWWWB.",
    "...BWWWWWWWWWWWB.",
    "...BWWWWWWWWWWB..",
    "....BWWWWWWWWWB..",
    "....BWWWWWWWWWB..",
    "....BBBBBBBBBBB..",
]
HOT_SPOT = (5, 0)


def cursor(art, hot):
    """A 32 x 32 monochrome .cur file: XOR mask (white) over AND mask
    (transparent), each 32 rows of 4 bytes, bottom row first."""
    size = 32
    xor_rows, and_rows = [], []
    for y in range(size):
        xor_bits, and_bits = 0, 0
        for x in range(size):
            c = art[y][x] if y < len(art) and x < len(art[y]) else "."
            bit = 1 << (31 - x)
            if c == "W":
                xor_bits |= bit
            if c == ".":
                and_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    image = (struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 256, 0, 0, 2, 0)
             + bytes((0, 0, 0, 0, 255, 255, 255, 0))
             + b"".join(reversed(xor_rows)) + b"".join(reversed(and_rows)))
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hot[0], hot[1], len(image), 6 + 16)
    return head + entry + image


def globe_rows(size=16):
    """A globe drawn from its geometry: the outline of a circle, the equator
    and the central meridian, and one pair of meridians as ellipses."""
    c, r = (size - 1) / 2.0, size / 2.0 - 0.5
    rows = []
    for y in range(size):
        row = ""
        for x in range(size):
            dx, dy = x - c, y - c
            d = (dx * dx + dy * dy) ** 0.5
            on = abs(d - r) < 0.6
            if d < r:
                on = on or abs(dy) < 0.5 or abs(dx) < 0.5
                on = on or abs((dx / (r * 0.55)) ** 2 + (dy / r) ** 2 - 1.0) < 0.18
            row += "#" if on else "."
        rows.append(row)
    return rows


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=os.path.join(TOP, "resources"))
    out = ap.parse_args().out
    os.makedirs(out, exist_ok=True)
    files = {
        "arrow512.bmp": bmp4(read_pattern("kArrowRows"), (0, 0, 0), (255, 255, 255)),
        "check2222.bmp": bmp4(read_pattern("kCheckRows"), (255, 0, 0), (0, 255, 0)),
        "presscur.cur": cursor(HAND, HOT_SPOT),
        "globe2557.bmp": bmp4(globe_rows(), (0, 0, 128), (255, 255, 255)),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print("wrote", os.path.join(out, name), len(data), "bytes")


if __name__ == "__main__":
    main()
