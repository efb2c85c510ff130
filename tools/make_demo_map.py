#!/usr/bin/python3
"""Makes the demo map package resources/data/demo-route.tgz: a shaded
relief map with contour lines of the hills the demo receiver's runner
crosses (the terrain of tools/make_demo_log.py, whose route altitudes it
matches), with the route drawn in as a path. The package holds the image
demo-route.tga (1024 x 1024, 24-bit, bottom row first) and its
calibration demo-route.txt ("lat1 lon1 lat2 lon2", the south-west and
north-east corners), as the recorder loads map packages.

Needs Debian's python3-pil. Deterministic: the same file every run.
Usage: tools/make_demo_map.py [OUT]   (default resources/data/demo-route.tgz)
"""
import io
import math
import os
import sys
import zipfile

from PIL import Image, ImageDraw, ImageFilter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_demo_log as demo  # noqa: E402
from tga import write_tga  # noqa: E402

SIZE = 1024
SPAN = 0.048  # degrees on each side: the projection spans both alike
LAT1 = 48.0933
LON1 = 11.4755
LAT2, LON2 = LAT1 + SPAN, LON1 + SPAN
CONTOUR_M = 5.0
M_PER_DEG_LON = demo.M_PER_DEG_LAT * math.cos(math.radians(demo.CENTRE_LAT))
# Hills away from the route (north and west metres from the loop's middle,
# height, width); they fade out near the route so its altitudes stay true.
HILLS = [(900, -1900, 35, 500), (-1400, -700, -18, 600), (1500, 1300, 26, 700),
         (-1500, 1800, 30, 500), (200, 2600, -20, 450)]


def height(lat, lon):
    """Terrain height in metres: on the loop it is the demo log's altitude."""
    north = (lat - demo.CENTRE_LAT) * demo.M_PER_DEG_LAT
    west = (demo.CENTRE_LON - lon) * M_PER_DEG_LON
    # The loop is an ellipse around this middle, stretched 1.2 east-west.
    x = -(west - 1.2 * demo.RADIUS_M) / 1.2
    rho = math.hypot(north, x)
    angle = math.atan2(north, x)
    ring = rho / demo.RADIUS_M
    h = demo.BASE_ALTITUDE + (28 * math.sin(angle) + 9 * math.sin(3 * angle + 1)) * ring
    away = 1.0 - math.exp(-((rho - demo.RADIUS_M) / 220.0) ** 2)
    mx = -(west - 1.2 * demo.RADIUS_M)
    for hn, hx, hh, hw in HILLS:
        h += away * hh * math.exp(-((north - hn) ** 2 + (mx - hx) ** 2) / (2 * hw * hw))
    return h


def pixel(lat, lon):
    return ((lon - LON1) / SPAN * SIZE, (LAT2 - lat) / SPAN * SIZE)


def relief():
    step = SPAN / SIZE
    heights = [[height(LAT2 - (y + 0.5) * step, LON1 + (x + 0.5) * step) for x in range(SIZE)]
               for y in range(SIZE)]
    low = min(min(r) for r in heights)
    high = max(max(r) for r in heights)
    image = Image.new("RGB", (SIZE, SIZE))
    out = image.load()
    texel_m = step * demo.M_PER_DEG_LAT
    for y in range(SIZE):
        row = heights[y]
        up = heights[max(y - 1, 0)]
        down = heights[min(y + 1, SIZE - 1)]
        for x in range(SIZE):
            h = row[x]
            dx = (row[min(x + 1, SIZE - 1)] - row[max(x - 1, 0)]) / (2 * texel_m)
            dy = (up[x] - down[x]) / (2 * texel_m)
            # Light from the north-west.
            shade = max(0.0, min(1.0, 0.78 + 2.4 * (-dx * 0.7 + dy * 0.7)))
            k = (h - low) / (high - low)
            base = (int(120 + 90 * k), int(170 + 40 * k - 60 * k * k), int(100 + 20 * k))
            band = math.floor(h / CONTOUR_M)
            contour = any(math.floor(n / CONTOUR_M) != band
                          for n in (row[min(x + 1, SIZE - 1)], down[x]))
            f = shade * (0.62 if contour else 1.0)
            if contour and band % 5 == 0:
                f *= 0.8
            out[x, y] = tuple(min(255, int(c * f)) for c in base)
    return image


def draw_route(image):
    draw = ImageDraw.Draw(image)
    points = [pixel(*demo.route_position(d)[:2]) for d in range(0, 6800, 4)]
    draw.line(points, fill=(120, 90, 60), width=7, joint="curve")
    draw.line(points, fill=(245, 230, 190), width=4, joint="curve")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/data/demo-route.tgz"
    image = relief().filter(ImageFilter.SMOOTH)
    draw_route(image)
    tga = io.BytesIO()
    tmp = out + ".tga.tmp"
    write_tga(tmp, image)
    with open(tmp, "rb") as f:
        tga.write(f.read())
    os.remove(tmp)
    calibration = f"{LAT1:.6f} {LON1:.6f} {LAT2:.6f} {LON2:.6f}\r\n"
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for name, data in (("demo-route.tga", tga.getvalue()),
                           ("demo-route.txt", calibration.encode())):
            info = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)


if __name__ == "__main__":
    main()
