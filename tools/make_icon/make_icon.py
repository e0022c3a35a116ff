#!/usr/bin/python3
"""Draws the updater's icon, a white download arrow over a bar on a blue
rounded square, at several sizes, and writes them as one ICO file.

    make_icon.py OUTPUT.ico
"""

import struct
import sys

SIZES = (16, 20, 24, 32, 40, 48, 64, 128)


def pixel(x, y, n):
    """RGBA of pixel (x, y) of an n-by-n image, shapes in unit coordinates."""
    u, v = (x + 0.5) / n, (y + 0.5) / n
    r = 0.18  # corner radius of the square
    cx, cy = min(max(u, r), 1 - r), min(max(v, r), 1 - r)
    if (u - cx) ** 2 + (v - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    shade = int(40 * v)
    colour = (30 + shade, 110 + shade, 210, 255)
    shaft = 0.42 <= u <= 0.58 and 0.16 <= v <= 0.52
    head = v >= 0.44 and v <= 0.70 and abs(u - 0.5) <= (0.70 - v) * 1.05
    bar = 0.76 <= v <= 0.84 and 0.22 <= u <= 0.78
    if shaft or head:
        return (255, 255, 255, 255)
    if bar:
        return (120, 230, 120, 255)
    return colour


def image(n):
    """A BMP-style icon image: header, bottom-up BGRA rows, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = bytearray()
    mask = bytearray()
    stride = ((n + 31) // 32) * 4
    for y in reversed(range(n)):
        bits = 0
        row_mask = bytearray(stride)
        for x in range(n):
            r, g, b, a = pixel(x, y, n)
            rows += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    return header + bytes(rows) + bytes(mask)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    images = [image(n) for n in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
