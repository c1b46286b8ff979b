#!/usr/bin/env python3
"""Draws a few charts of the demo data with the chart rendering tool
(build/native/chartrender) and keeps them as PNG files for looking at:
Orion, the Pleiades, the north polar cap and the whole sky.

usage: render_charts.py --build BUILD_DIR --data DEMO_DATA_FOLDER --out DIR
"""
import argparse
import os
import struct
import subprocess
import zlib

CHARTS = [
    # name, RA deg, Dec deg, field deg, frame, projection kind (0: chosen)
    ("orion", 83.8, 2.0, 40, 1, 0),
    ("pleiades", 56.75, 24.1, 15, 1, 0),
    ("polar", 0.0, 90.0, 70, 1, 0),
    ("allsky", 0.0, 0.0, 360, 1, 5),
]


def bmp_to_png(src, dst):
    d = open(src, "rb").read()
    (offset,) = struct.unpack_from("<I", d, 10)
    w, h = struct.unpack_from("<ii", d, 18)
    stride = (w * 3 + 3) & ~3
    raw = bytearray()
    for y in range(h):
        row = d[offset + (h - 1 - y) * stride:offset + (h - 1 - y) * stride + 3 * w]
        raw.append(0)
        for x in range(w):
            raw += bytes((row[3 * x + 2], row[3 * x + 1], row[3 * x]))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff))
    with open(dst, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(bytes(raw), 6)) + chunk(b"IEND", b""))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--data", required=True)
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    tool = os.path.join(args.build, "chartrender")
    for name, ra, dec, field, frame, kind in CHARTS:
        bmp = os.path.join(args.out, name + ".bmp")
        subprocess.check_call([tool, args.data, bmp, str(ra), str(dec), str(field), str(frame),
                               str(kind)], stdout=subprocess.DEVNULL)
        bmp_to_png(bmp, os.path.join(args.out, name + ".png"))
        os.remove(bmp)
        print(os.path.join(args.out, name + ".png"))


if __name__ == "__main__":
    main()
