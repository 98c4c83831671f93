#!/usr/bin/env python3
"""Draws the program's icon and writes it as notice.ico.

    python3 resources/make_icon.py              # rewrites resources/notice.ico
    python3 resources/make_icon.py OUT.ico      # writes elsewhere
    python3 resources/make_icon.py --verify     # exit 1 if notice.ico is stale

Standard library only. The output is the same bytes on every run, so the
committed notice.ico can be checked against this script.

The picture: a blue rounded tile holding a white speech bubble with three
sound bars in it. Shapes are bold so they still read at 16 x 16.

The file holds one 64 x 64 image, 32 bits per pixel with straight (not
premultiplied) alpha, in the bitmap form (BITMAPINFOHEADER with twice the
height, the colour rows and then a 1-bit AND mask), which every Windows
version reads; PNG-compressed entries are not.
"""

import math
import os
import struct
import sys

SIZE = 64
SAMPLES = 8  # per axis and pixel: the edges are antialiased by coverage

TILE_TOP = (0x4F, 0xB3, 0xF6)  # RGB
TILE_BOTTOM = (0x1A, 0x64, 0xD6)
BUBBLE = (0xFF, 0xFF, 0xFF)
BARS = (0x1A, 0x6E, 0xDC)


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        dx = max(x0 + radius - x, 0.0, x - (x1 - radius))
        dy = max(y0 + radius - y, 0.0, y - (y1 - radius))
        return x0 <= x <= x1 and y0 <= y <= y1 and dx * dx + dy * dy <= radius * radius
    return inside


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        s1, s2, s3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
    return inside


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def coverage(shape, px, py):
    hits = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            if shape(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES):
                hits += 1
    return hits / (SAMPLES * SAMPLES)


def tile_colour(py):
    t = min(max((py - 4) / (SIZE - 8), 0.0), 1.0)
    return tuple(top + (bottom - top) * t for top, bottom in zip(TILE_TOP, TILE_BOTTOM))


def bar(cx, half_height, half_width=3.0, cy=28.0):
    return rounded_rect(cx - half_width, cy - half_height, cx + half_width, cy + half_height,
                        half_width)


def layers():
    """Shapes from back to front, each with a function giving its colour at row py."""
    tile = rounded_rect(2, 2, 62, 62, 14)
    bubble = union(rounded_rect(10, 11, 54, 45, 11),
                   triangle((16, 38), (30, 38), (13, 55)))
    bars = union(bar(22, 6), bar(32, 11), bar(42, 8))
    return [(tile, tile_colour),
            (bubble, lambda py: BUBBLE),
            (bars, lambda py: BARS)]


def render():
    """Returns rows top to bottom of (r, g, b, a) tuples, each 0..255."""
    drawn = layers()
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            # Composite in premultiplied form, front over back.
            r = g = b = a = 0.0
            for shape, colour in drawn:
                alpha = coverage(shape, px, py)
                if alpha == 0.0:
                    continue
                cr, cg, cb = colour(py)
                r = cr * alpha + r * (1 - alpha)
                g = cg * alpha + g * (1 - alpha)
                b = cb * alpha + b * (1 - alpha)
                a = alpha + a * (1 - alpha)
            if a == 0.0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(math.floor(v / a + 0.5)) for v in (r, g, b))
                           + (int(math.floor(a * 255 + 0.5)),))
        rows.append(row)
    return rows


def ico_bytes(rows):
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom row first
        bits = 0
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
            bits = (bits << 1) | (1 if a == 0 else 0)
        mask += bits.to_bytes(SIZE // 8, "big")  # 64 bits: already a 32-bit multiple
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image),
                        len(directory) + 16)
    return directory + entry + image


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "notice.ico")
    data = ico_bytes(render())
    if argv[1:] == ["--verify"]:
        with open(default, "rb") as existing:
            if existing.read() != data:
                print(f"{default} differs from what {argv[0]} draws: rerun it")
                return 1
        print(f"{default} is up to date")
        return 0
    if len(argv) > 2 or (len(argv) == 2 and argv[1].startswith("-")):
        print(__doc__.split("\n\n")[1])
        return 2
    out = argv[1] if len(argv) == 2 else default
    with open(out, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
