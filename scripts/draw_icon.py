#!/usr/bin/env python3
"""Draws the program's icon (a pointer over a target) into platform/win32/tavrin.ico."""
import struct
import sys


def pixel(x, y, size):
    s = size / 32.0
    cx, cy = 15.5 * s, 15.5 * s
    r = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    # Rounded blue tile.
    corner = 6 * s
    dx = max(corner - x, 0, x - (size - 1 - corner))
    dy = max(corner - y, 0, y - (size - 1 - corner))
    if (dx * dx + dy * dy) ** 0.5 > corner:
        return (0, 0, 0, 0)
    # White target rings and a red centre.
    if r < 3.2 * s:
        return (220, 40, 40, 255)
    if 7 * s < r < 9 * s or 11.5 * s < r < 13 * s:
        return (255, 255, 255, 255)
    return (40, 100, 200, 255)


def image(size):
    rows = []
    for y in reversed(range(size)):  # bottom-up
        for x in range(size):
            r, g, b, a = pixel(x + 0.5, y + 0.5, size)
            rows.append(struct.pack("BBBB", b, g, r, a))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor), 0, 0, 0, 0)
    return header + xor + b"\0" * (mask_row * size)


def main(path):
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "platform/win32/tavrin.ico")
