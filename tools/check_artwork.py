#!/usr/bin/env python3
"""Checks the committed artwork bitmaps that the program embeds.

Both pictures must be plain 24-bit Windows bitmaps of a fixed size: a 40-byte
BITMAPINFOHEADER, no palette, BI_RGB, rows stored bottom-up. The built-in picture
also carries the window's shape: its top-left colour is the key that is cut away,
and exactly one other pixel, (45, 1) counted from the top, has that colour, so the
character window is the whole plate less two pixels.

Usage: python3 tools/check_artwork.py [resources-directory]
Exits with 1 and lists every violation when a rule is broken.
"""

import os
import struct
import sys

KEY = (0x5E, 0x5F, 0x63)
BUILTIN_KEY_PIXELS = [(0, 0), (45, 1)]

# file name, width, height
ARTWORK = (
    ("builtin.bmp", 90, 30),
    ("logo.bmp", 265, 85),
)


def read_bmp24(path, problems):
    """Returns pixels[y][x] = (r, g, b) with row 0 at the top, or None after a problem."""
    with open(path, "rb") as f:
        data = f.read()
    name = os.path.basename(path)
    if len(data) < 54 or data[:2] != b"BM":
        problems.append(f"{name}: not a Windows bitmap")
        return None
    file_size, offset = struct.unpack_from("<I4xI", data, 2)
    (info_size, width, height, planes, bits, compression, image_size) = struct.unpack_from(
        "<IiiHHII", data, 14
    )
    rules = (
        (file_size == len(data), f"file size field {file_size}, file has {len(data)} bytes"),
        (info_size == 40, f"info header of {info_size} bytes, not 40"),
        (offset == 54, f"pixels at offset {offset}, not 54 (no palette)"),
        (planes == 1, f"{planes} planes"),
        (bits == 24, f"{bits} bits per pixel, not 24"),
        (compression == 0, f"compression {compression}, not BI_RGB"),
        (height > 0, f"height {height}: rows not stored bottom-up"),
        (width > 0, f"width {width}"),
    )
    broken = [text for ok, text in rules if not ok]
    problems.extend(f"{name}: {text}" for text in broken)
    if broken:
        return None
    stride = (width * 3 + 3) & ~3
    if len(data) < offset + stride * height or image_size not in (0, stride * height):
        problems.append(f"{name}: pixel data does not match {width} x {height}")
        return None
    pixels = []
    for y in range(height):
        start = offset + (height - 1 - y) * stride
        row = data[start : start + width * 3]
        pixels.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, width * 3, 3)])
    return pixels


def check(directory):
    problems = []
    for name, width, height in ARTWORK:
        path = os.path.join(directory, name)
        if not os.path.isfile(path):
            problems.append(f"{name}: missing from {directory}")
            continue
        pixels = read_bmp24(path, problems)
        if pixels is None:
            continue
        if (len(pixels[0]), len(pixels)) != (width, height):
            problems.append(f"{name}: {len(pixels[0])} x {len(pixels)}, not {width} x {height}")
            continue
        if name == "builtin.bmp":
            if pixels[0][0] != KEY:
                problems.append(f"{name}: top-left colour {pixels[0][0]}, not the key {KEY}")
            keyed = [(x, y) for y, row in enumerate(pixels) for x, c in enumerate(row) if c == KEY]
            if keyed != BUILTIN_KEY_PIXELS:
                problems.append(f"{name}: key-coloured pixels at {keyed}, not {BUILTIN_KEY_PIXELS}")
    return problems


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    directory = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    problems = check(directory)
    for problem in problems:
        print("check_artwork: " + problem, file=sys.stderr)
    if problems:
        return 1
    print("check_artwork: builtin.bmp and logo.bmp are well-formed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
