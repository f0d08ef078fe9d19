#!/usr/bin/env python3
"""Draws resources/logo.bmp: the picture of the about window.

A 265 x 85 light wooden name plate in a bevelled frame with the product name
"とまりん" carved in large dark-brown letters. The about window draws three lines of
13-pixel text over the picture, so two places stay plain wood: the top left
(x 6..102, y 6..19) for the maker's name and the lower right (x 125..262, y 51..77)
for the version and the platform line.

The letters' outline comes from ImageMagick's `convert` with the IPA Gothic font
(Debian package fonts-ipafont-gothic); everything else is drawn here from a fixed
integer hash, so every run writes the same bytes.
Usage: python3 tools/make_logo.py [output.bmp]
"""

import math
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # leave no cache folder in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmp24 import clamp_byte, hash01, write_bmp24  # noqa: E402

WIDTH, HEIGHT = 265, 85
NAME = "とまりん"
FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"
POINT_SIZE = 34
BOLDEN = 1.4  # outline stroke width that thickens the font's strokes
# Centred across the plate, just below the maker's line and above the version line.
NAME_TOP = 20

WOOD_LIGHT = (238, 212, 168)
WOOD_DARK = (206, 164, 110)
INK_TOP = (96, 56, 26)
INK_BOTTOM = (58, 31, 12)
LIP = (255, 246, 226)
FRAME_TINT = (176, 118, 64)

# Where the about window writes its own text (left, top, right, bottom; inclusive):
# no letter of the name may reach into them.
TEXT_AREAS = ((6, 6, 102, 19), (125, 51, 262, 77))

# Frame, counted in pixels from the plate's edge.
FRAME = 5


def value_noise(x, y, seed):
    """Smoothly interpolated lattice noise in [0, 1)."""
    xi, yi = math.floor(x), math.floor(y)
    fx, fy = x - xi, y - yi
    sx, sy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    a = hash01(xi, yi, seed)
    b = hash01(xi + 1, yi, seed)
    c = hash01(xi, yi + 1, seed)
    d = hash01(xi + 1, yi + 1, seed)
    top = a + (b - a) * sx
    bottom = c + (d - c) * sx
    return top + (bottom - top) * sy


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def shade(colour, factor):
    return tuple(c * factor for c in colour)


def wood(x, y):
    """Plank grain running along the plate: wavy growth lines and fine fibres."""
    warp = 7.0 * (value_noise(x / 70.0, y / 14.0, 1) - 0.5)
    warp += 3.0 * (value_noise(x / 23.0, y / 9.0, 2) - 0.5)
    lines = y + warp + 0.035 * x
    period = 7.5 + 2.5 * value_noise(0.0, lines / 20.0, 3)
    phase = (lines / period) % 1.0
    ring = max(0.0, 1.0 - abs(phase - 0.8) / 0.22) ** 2  # a narrow late-wood line
    fibre = value_noise(x / 19.0, y / 0.9, 4)
    blotch = value_noise(x / 55.0, y / 30.0, 5)
    t = 0.42 * ring + 0.22 * fibre + 0.18 * blotch
    return mix(WOOD_LIGHT, WOOD_DARK, t)


def frame(x, y, colour):
    """A darker wooden frame, bevelled and lit from the top left, around a sunk panel."""
    last_x, last_y = WIDTH - 1, HEIGHT - 1
    d_top, d_left, d_bottom, d_right = y, x, last_y - y, last_x - x
    ring = min(d_top, d_left, d_bottom, d_right)
    if ring >= FRAME:
        return colour
    lit = min(d_top, d_left) < min(d_bottom, d_right) or (
        min(d_top, d_left) == min(d_bottom, d_right) and d_top + d_left < d_bottom + d_right
    )
    base = mix(shade(colour, 0.86), FRAME_TINT, 0.25)
    if ring == 0:
        return shade(base, 0.5)
    if ring == FRAME - 1:
        # the inner step: the panel edge lies in the frame's shadow at the top left
        return shade(base, 0.7) if lit else mix(base, LIP, 0.45)
    strength = (FRAME - 1 - ring) / (FRAME - 2)  # 1 at the outer bevel, smaller inwards
    if lit:
        return mix(base, LIP, 0.2 + 0.35 * strength)
    return shade(base, 0.86 - 0.2 * strength)


def render_name():
    """The name's coverage, 0..1 per pixel, cut to its ink box, from ImageMagick."""
    command = [
        "convert", "-background", "black", "-fill", "white", "-stroke", "white",
        "-strokewidth", str(BOLDEN), "-font", FONT, "-pointsize", str(POINT_SIZE),
        "label:" + NAME, "-trim", "+repage", "-depth", "8", "pgm:-",
    ]
    data = subprocess.run(command, check=True, capture_output=True).stdout
    fields = []
    at = 0
    while len(fields) < 4:
        while data[at : at + 1].isspace():
            at += 1
        if data[at : at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end : end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    magic, width, height, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    if magic != b"P5" or maxval != 255:
        raise SystemExit("unexpected PGM from convert")
    raster = data[at + 1 : at + 1 + width * height]
    rows = [[raster[y * width + x] / 255.0 for x in range(width)] for y in range(height)]
    return width, height, rows


def draw():
    name_w, name_h, name = render_name()
    left = (WIDTH - name_w) // 2
    top = NAME_TOP

    def cover(x, y):
        u, v = x - left, y - top
        if 0 <= u < name_w and 0 <= v < name_h:
            return name[v][u]
        return 0.0

    for x0, y0, x1, y1 in TEXT_AREAS:
        if any(cover(x, y) > 0 for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)):
            raise SystemExit(f"the name reaches into the text area {(x0, y0, x1, y1)}")

    pixels = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            colour = wood(x, y)
            c = cover(x, y)
            # carved letters: the cut's lower-right lip catches the light,
            # a soft shadow falls to the lower right of the letters beyond it
            lip = max(0.0, cover(x - 1, y - 1) - c)
            shadow = max(0.0, cover(x - 2, y - 2) - max(c, cover(x - 1, y - 1)))
            colour = mix(colour, shade(colour, 0.85), 0.6 * shadow)
            colour = mix(colour, LIP, 0.7 * lip)
            ink = mix(INK_TOP, INK_BOTTOM, (y - top) / max(1, name_h - 1))
            ink = mix(ink, shade(wood(x, y), 0.35), 0.25)  # the grain shows faintly through
            colour = mix(colour, ink, c)
            row.append(frame(x, y, colour))
        pixels.append(row)
    return [[tuple(clamp_byte(c) for c in colour) for colour in row] for row in pixels]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "resources", "logo.bmp")
    path = sys.argv[1] if len(sys.argv) > 1 else default
    write_bmp24(path, WIDTH, HEIGHT, draw())


if __name__ == "__main__":
    main()
