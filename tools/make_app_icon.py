#!/usr/bin/env python3
"""Writes the application icon twice from one drawing, using only the
standard library: resources/linux/org.example.trakomer.svg and a 256x256
resources/linux/org.example.trakomer.png.

The drawing: a rounded dark-green tile, a white track winding from the lower
left to the upper right, an orange start disc and a white-ringed orange
position marker at its end."""
import math
import struct
import sys
import zlib

SIZE = 256
TILE = (28, 94, 68)
TRACK = (255, 255, 255)
ORANGE = (240, 120, 20)
DARK = (40, 40, 40)
RADIUS = 40  # corner radius of the tile
# The track: a cubic Bezier curve from the start disc to the marker.
CURVE = [(56, 196), (40, 90), (200, 180), (184, 70)]
TRACK_WIDTH = 14
START = (56, 196, 18)
MARKER = (184, 70, 30)


def bezier(t):
    (x0, y0), (x1, y1), (x2, y2), (x3, y3) = CURVE
    u = 1 - t
    return (u ** 3 * x0 + 3 * u * u * t * x1 + 3 * u * t * t * x2 + t ** 3 * x3,
            u ** 3 * y0 + 3 * u * u * t * y1 + 3 * u * t * t * y2 + t ** 3 * y3)


SAMPLES = [bezier(i / 200) for i in range(201)]


def inside_tile(x, y):
    cx = min(max(x, RADIUS), SIZE - RADIUS)
    cy = min(max(y, RADIUS), SIZE - RADIUS)
    return (x - cx) ** 2 + (y - cy) ** 2 <= RADIUS ** 2


def near_track(x, y):
    limit = (TRACK_WIDTH / 2) ** 2
    return any((x - sx) ** 2 + (y - sy) ** 2 <= limit for sx, sy in SAMPLES[::2])


def colour(x, y):
    """The colour at a point of the drawing, None outside it."""
    def dist(c):
        return math.hypot(x - c[0], y - c[1])
    if dist(MARKER) <= MARKER[2] - 14:
        return DARK
    if dist(MARKER) <= MARKER[2] - 6:
        return ORANGE
    if dist(MARKER) <= MARKER[2]:
        return TRACK
    if dist(START) <= START[2]:
        return ORANGE
    if near_track(x, y):
        return TRACK
    if inside_tile(x, y):
        return TILE
    return None


def pixel(x, y):
    # 2x2 supersampling for smooth edges.
    hits = [colour(x + dx, y + dy) for dx in (0.25, 0.75) for dy in (0.25, 0.75)]
    filled = [c for c in hits if c is not None]
    if not filled:
        return (0, 0, 0, 0)
    rgb = tuple(round(sum(c[i] for c in filled) / len(filled)) for i in range(3))
    return rgb + (round(255 * len(filled) / len(hits)),)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def write_png(path):
    rows = b"".join(b"\x00" + bytes(c for x in range(SIZE) for c in pixel(x, y))
                    for y in range(SIZE))
    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(rows, 9))
           + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


def hexcolour(c):
    return "#%02x%02x%02x" % c


def write_svg(path):
    (x0, y0), (x1, y1), (x2, y2), (x3, y3) = CURVE
    mx, my, mr = MARKER
    sx, sy, sr = START
    svg = f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" viewBox="0 0 {SIZE} {SIZE}">
  <rect width="{SIZE}" height="{SIZE}" rx="{RADIUS}" fill="{hexcolour(TILE)}"/>
  <path d="M{x0},{y0} C{x1},{y1} {x2},{y2} {x3},{y3}" fill="none" stroke="{hexcolour(TRACK)}" stroke-width="{TRACK_WIDTH}" stroke-linecap="round"/>
  <circle cx="{sx}" cy="{sy}" r="{sr}" fill="{hexcolour(ORANGE)}"/>
  <circle cx="{mx}" cy="{my}" r="{mr}" fill="{hexcolour(TRACK)}"/>
  <circle cx="{mx}" cy="{my}" r="{mr - 6}" fill="{hexcolour(ORANGE)}"/>
  <circle cx="{mx}" cy="{my}" r="{mr - 14}" fill="{hexcolour(DARK)}"/>
</svg>
"""
    with open(path, "w") as f:
        f.write(svg)


if __name__ == "__main__":
    base = sys.argv[1] if len(sys.argv) > 1 else "resources/linux/org.example.trakomer"
    write_svg(base + ".svg")
    write_png(base + ".png")
