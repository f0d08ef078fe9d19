#!/usr/bin/env python3
"""Draws resources/builtin.bmp: the character shown until the user picks a picture.

A 90 x 30 brushed-steel plate with a bevelled edge, four rivets and the word ERROR
cut into it. The shape of the character window is cut from the picture's top-left
colour, so the plate fills the whole rectangle and exactly two pixels carry that key
colour: the corner (0, 0) and a nick in the top edge at (45, 1). Every other pixel
is kept off the key colour, so the window is the whole plate less those two pixels.

Pure Python, no randomness beyond a fixed integer hash: every run writes the same
bytes. Usage: python3 tools/make_builtin_picture.py [output.bmp]
"""

import math
import os
import sys

sys.dont_write_bytecode = True  # leave no cache folder in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmp24 import clamp_byte, hash01, write_bmp24  # noqa: E402

WIDTH, HEIGHT = 90, 30
KEY = (0x5E, 0x5F, 0x63)
KEY_PIXELS = ((0, 0), (45, 1))

# Letter geometry in pixels: cap height, stroke width, gap between letters.
CAP, STROKE, GAP = 17, 3, 3
TOP = 6
SUPERSAMPLE = 8


# --- letter shapes, each a predicate on a point (u, v) in the letter's own box ---


def in_rect(u, v, x0, y0, x1, y1):
    return x0 <= u < x1 and y0 <= v < y1


def in_round_rect(u, v, x0, y0, x1, y1, r):
    if not in_rect(u, v, x0, y0, x1, y1):
        return False
    cx = min(max(u, x0 + r), x1 - r)
    cy = min(max(v, y0 + r), y1 - r)
    return (u - cx) ** 2 + (v - cy) ** 2 <= r * r


def in_polygon(u, v, points):
    inside = False
    n = len(points)
    for i in range(n):
        (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
        if (ya > v) != (yb > v) and u < xa + (v - ya) * (xb - xa) / (yb - ya):
            inside = not inside
    return inside


def letter_e(u, v):
    s = STROKE
    mid = (CAP - s) // 2
    return (
        in_rect(u, v, 0, 0, s, CAP)
        or in_rect(u, v, 0, 0, 10, s)
        or in_rect(u, v, 0, mid, 9, mid + s)
        or in_rect(u, v, 0, CAP - s, 10, CAP)
    )


def letter_r(u, v):
    s = STROKE
    mid = (CAP - s) // 2  # the bowl closes on the same line as the E's middle bar
    bowl_bottom = mid + s
    radius = bowl_bottom / 2
    cx, cy = 11 - radius, radius
    outer = in_rect(u, v, 0, 0, cx, bowl_bottom) or (
        u >= cx and (u - cx) ** 2 + (v - cy) ** 2 <= radius**2
    )
    inner_r = radius - s
    hole = in_rect(u, v, s, s, cx, mid) or (u >= cx and (u - cx) ** 2 + (v - cy) ** 2 < inner_r**2)
    leg = in_polygon(u, v, ((4.6, mid + 1), (7.9, mid + 1), (11.4, CAP), (8.1, CAP)))
    return in_rect(u, v, 0, 0, s, CAP) or (outer and not hole) or leg


def letter_o(u, v):
    s = STROKE
    return in_round_rect(u, v, 0, 0, 12, CAP, 5.5) and not in_round_rect(
        u, v, s, s, 12 - s, CAP - s, 2.5
    )


WORD = ((letter_e, 10), (letter_r, 11), (letter_r, 11), (letter_o, 12), (letter_r, 11))


def groove_coverage():
    """Fraction of each pixel that lies inside a letter, by supersampling."""
    total = sum(w for _, w in WORD) + GAP * (len(WORD) - 1)
    left = (WIDTH - total) // 2
    cover = [[0.0] * WIDTH for _ in range(HEIGHT)]
    placed = []
    for shape, w in WORD:
        placed.append((shape, left, w))
        left += w + GAP
    step = 1.0 / SUPERSAMPLE
    for shape, x0, w in placed:
        for y in range(TOP, TOP + CAP):
            for x in range(x0, x0 + w + 1):
                hits = 0
                for j in range(SUPERSAMPLE):
                    v = y - TOP + (j + 0.5) * step
                    for i in range(SUPERSAMPLE):
                        if shape(x - x0 + (i + 0.5) * step, v):
                            hits += 1
                cover[y][x] = max(cover[y][x], hits / SUPERSAMPLE**2)
    return cover


def at(grid, x, y):
    if 0 <= x < WIDTH and 0 <= y < HEIGHT:
        return grid[y][x]
    return 0.0


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def steel(level):
    """A cool grey of the given brightness, tinted like the key colour."""
    return (level - 1.5, level - 0.5, level + 3.0)


def plate_face(x, y):
    """Brushed steel: a soft vertical gradient with horizontal streaks."""
    level = 176 - 22 * (y / (HEIGHT - 1))
    # streaks run along the rows, varying slowly along x
    band = hash01(y, 7)
    phase = hash01(y, 11) * 6.283
    level += (band - 0.5) * 10 + 3 * math.sin(x * 0.11 + phase)
    level += (hash01(x, y, 3) - 0.5) * 4
    # a faint diagonal sheen across the face
    level += 10 * math.exp(-(((x - 2.2 * y) - 30) / 18) ** 2)
    return steel(level)


def bevel(x, y):
    """The plate's rim: a dark outline, then two rows lit from the top left."""
    last_x, last_y = WIDTH - 1, HEIGHT - 1
    d_top, d_left, d_bottom, d_right = y, x, last_y - y, last_x - x
    ring = min(d_top, d_left, d_bottom, d_right)
    if ring == 0:
        return steel(70)
    if ring > 2:
        return None
    lit = min(d_top, d_left) < min(d_bottom, d_right) or (
        min(d_top, d_left) == min(d_bottom, d_right) and d_top + d_left < d_bottom + d_right
    )
    levels = {1: (232, 92), 2: (208, 120)}[ring]
    return steel(levels[0] if lit else levels[1])


RIVETS = ((6, 6), (83, 6), (6, 23), (83, 23))


def rivet(x, y, base):
    """A small domed rivet, lit from the top left like the rest of the plate."""
    for cx, cy in RIVETS:
        dx, dy = x - cx, y - cy
        if abs(dx) <= 1 and abs(dy) <= 1:
            light = {(-1, -1): 228, (0, -1): 214, (-1, 0): 214, (0, 0): 188, (1, -1): 160,
                     (-1, 1): 160, (1, 0): 128, (0, 1): 128, (1, 1): 104}[(dx, dy)]
            return steel(light)
        if (dx, dy) in ((2, 0), (2, 1), (0, 2), (1, 2), (2, 2)):
            return mix(base, steel(80), 0.4)  # the shadow it throws on the plate
    return None


def draw():
    cover = groove_coverage()
    pixels = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            rim = bevel(x, y)
            if rim is not None:
                row.append(rim)
                continue
            face = plate_face(x, y)
            c = cover[y][x]
            # light falls from the top left: the groove's far (lower-right) lip
            # catches it on the plate, its near wall throws a shadow into the cut
            lip = max(0.0, at(cover, x - 1, y - 1) - c)
            shade = max(0.0, c - at(cover, x - 1, y - 1))
            colour = mix(face, steel(244), 0.85 * lip)
            floor = mix(steel(92), steel(60), shade)
            colour = mix(colour, floor, c)
            studded = rivet(x, y, colour)
            row.append(studded if studded is not None else colour)
        pixels.append(row)
    return pixels


def key_out(pixels):
    """Rounds to bytes, nudges accidental key colours and stamps the two key pixels."""
    out = []
    for row in pixels:
        new_row = []
        for colour in row:
            rgb = tuple(clamp_byte(c) for c in colour)
            if rgb == KEY:
                rgb = (rgb[0], rgb[1], rgb[2] + 1)
            new_row.append(rgb)
        out.append(new_row)
    for x, y in KEY_PIXELS:
        out[y][x] = KEY
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "resources", "builtin.bmp")
    path = sys.argv[1] if len(sys.argv) > 1 else default
    write_bmp24(path, WIDTH, HEIGHT, key_out(draw()))


if __name__ == "__main__":
    main()
