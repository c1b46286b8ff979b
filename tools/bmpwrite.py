"""Writing Windows .bmp files (uncompressed, 8-bit paletted or 24-bit) from
rows of pixels. Shared by the picture generators of the demo installation."""
import struct


def _file(info, table, bits):
    offset = 14 + len(info) + len(table)
    head = b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset)
    return head + info + table + bits


def bmp24(pixels):
    """pixels: rows top to bottom of (r, g, b). Returns the file bytes."""
    h, w = len(pixels), len(pixels[0])
    stride = (w * 3 + 3) & ~3
    bits = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        bits += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    return _file(info, b"", bytes(bits))


def bmp8(pixels):
    """The same picture as an 8-bit file with its own colour table (at most 256
    colours), for palette displays."""
    colours = []
    index = {}
    for row in pixels:
        for c in row:
            if c not in index:
                index[c] = len(colours)
                colours.append(c)
    if len(colours) > 256:
        raise ValueError("more than 256 colours")
    h, w = len(pixels), len(pixels[0])
    stride = (w + 3) & ~3
    bits = bytearray()
    for row in reversed(pixels):
        line = bytes(index[c] for c in row)
        bits += line + b"\0" * (stride - len(line))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(bits), 2835, 2835,
                       len(colours), len(colours))
    return _file(info, table, bytes(bits))
