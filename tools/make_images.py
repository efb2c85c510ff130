#!/usr/bin/python3
"""Makes the images the recorder ships in its program folder
(resources/data/): the earth texture of the globe, the eye texture shown
before a track exists, the start-up picture, the start button, and the
default image list mapfiles.ini naming them.

earthmap.tga is NASA's Blue Marble picture as Debian's xplanet-images
package ships it (/usr/share/xplanet/images/earth.jpg; public domain),
scaled to 1024 x 512. The other pictures are drawn here.

Needs Debian's python3-pil, xplanet-images and fonts-dejavu-core.
Usage: tools/make_images.py [OUT_DIR]   (default resources/data)
"""
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tga import write_tga  # noqa: E402

EARTH = "/usr/share/xplanet/images/earth.jpg"
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

MAPFILES = """\
# Images of trakomer, one a line: image,lat1,lon1,lat2,lon2
# (lat1, lon1) is the south-west corner of a map, (lat2, lon2) its
# north-east corner, in decimal degrees. A name without a folder lies in
# this folder. Map packages (*.tgz) in this folder are loaded before these
# lines; trakomer-cli mappack makes them from a picture.
# Add map lines above the four lines below, which must stay last.
earthmap.tga,-90,-180,90,180
eye.tga,0,0,0,0
startup.tga,0,0,0,0
startbutton.tga,0,0,0,0
"""


def font(size):
    return ImageFont.truetype(FONT, size)


def centred_text(draw, box, text, size, fill):
    f = font(size)
    left, top, right, bottom = draw.textbbox((0, 0), text, font=f)
    x = box[0] + (box[2] - box[0] - (right - left)) // 2 - left
    y = box[1] + (box[3] - box[1] - (bottom - top)) // 2 - top
    draw.text((x, y), text, font=f, fill=fill)


def earthmap():
    return Image.open(EARTH).convert("RGB").resize((1024, 512), Image.LANCZOS)


def eye():
    """A blue ball with a grid of meridians and parallels and an eye on its
    front (the middle of the picture faces the viewer first)."""
    w, h = 256, 128
    image = Image.new("RGB", (w, h), (18, 52, 110))
    draw = ImageDraw.Draw(image)
    for x in range(0, w, 16):
        draw.line([(x, 0), (x, h)], fill=(60, 110, 180))
    for y in range(0, h, 16):
        draw.line([(0, y), (w, y)], fill=(60, 110, 180))
    cx, cy = w // 2, h // 2
    draw.ellipse([cx - 36, cy - 18, cx + 36, cy + 18], fill=(245, 245, 240))
    draw.ellipse([cx - 15, cy - 15, cx + 15, cy + 15], fill=(40, 140, 90))
    draw.ellipse([cx - 7, cy - 7, cx + 7, cy + 7], fill=(0, 0, 0))
    draw.ellipse([cx - 3, cy - 9, cx + 1, cy - 5], fill=(255, 255, 255))
    return image


def startup():
    """Dark blue with a winding track, a start flag and the program name."""
    s = 256
    image = Image.new("RGB", (s, s), (10, 22, 48))
    draw = ImageDraw.Draw(image)
    for y in range(s):
        shade = int(10 + 30 * y / s)
        draw.line([(0, y), (s, y)], fill=(shade // 2, shade, 48 + shade))
    points = []
    for i in range(80):
        t = i / 79
        points.append((40 + 176 * t, 170 - 40 * math.sin(t * 5.5) - 30 * t))
    for i in range(len(points) - 1):
        k = i / (len(points) - 2)
        colour = (int(255 * k), int(255 * (1 - abs(2 * k - 1))), int(255 * (1 - k)))
        draw.line([points[i], points[i + 1]], fill=colour, width=4)
    fx, fy = points[0]
    draw.line([(fx, fy), (fx, fy - 30)], fill=(240, 240, 240), width=2)
    draw.polygon([(fx, fy - 30), (fx + 18, fy - 24), (fx, fy - 18)], fill=(230, 60, 50))
    centred_text(draw, (0, 70, s, 110), "trakomer", 34, (240, 240, 240))
    centred_text(draw, (0, 196, s, 226), "waiting for the GPS", 15, (170, 190, 220))
    return image


def startbutton():
    """A green button reading START, drawn over the bottom-left corner."""
    w, h = 256, 128
    image = Image.new("RGB", (w, h), (0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle([4, 8, w - 5, h - 9], radius=26, fill=(16, 120, 40),
                           outline=(230, 255, 230), width=6)
    draw.polygon([(26, 40), (26, 88), (62, 64)], fill=(255, 255, 255))
    centred_text(draw, (64, 8, w - 12, h - 9), "START", 46, (255, 255, 255))
    return image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/data"
    os.makedirs(out, exist_ok=True)
    for name, make in (("earthmap.tga", earthmap), ("eye.tga", eye), ("startup.tga", startup),
                       ("startbutton.tga", startbutton)):
        write_tga(os.path.join(out, name), make())
    with open(os.path.join(out, "mapfiles.ini"), "w", newline="\n") as f:
        f.write(MAPFILES)


if __name__ == "__main__":
    main()
