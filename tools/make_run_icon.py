#!/usr/bin/env python3
"""Writes resources/data/run.png: a 32x32 marker icon (an orange disc with a
white ring and a dark centre), using only the standard library."""
import struct
import sys
import zlib

SIZE = 32


def pixel(x, y):
    cx = cy = (SIZE - 1) / 2
    r = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    if r > 15:
        return (0, 0, 0, 0)
    if r > 13:
        return (255, 255, 255, 255)
    if r > 5:
        return (240, 120, 20, 255)
    return (40, 40, 40, 255)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def main(path):
    rows = b"".join(b"\x00" + bytes(c for x in range(SIZE) for c in pixel(x, y))
                    for y in range(SIZE))
    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(rows, 9))
           + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/data/run.png")
