#!/usr/bin/env python3
"""Draws resources/tomarin.ico: the program's icon, as Explorer shows it.

The first letter of the product name, "と", cut from the about window's wooden
plate (resources/logo.bmp) and framed like the plate, at 48, 32 and 16 pixels.
Run tools/make_logo.py first when the logo changes. Needs ImageMagick's `convert`;
the result is the same bytes on every run.
Usage: python3 tools/make_icon.py [output.ico]
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
LOGO = os.path.join(HERE, "..", "resources", "logo.bmp")
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "resources", "tomarin.ico")

# The square of the logo around its first letter.
CROP = "40x40+59+16"
FRAME = "#b07640"


def size(px):
    """One icon size: the letter square scaled, inside a frame of the plate's tint."""
    border = max(1, px // 16)
    inner = px - 2 * border
    return ["(", LOGO, "-crop", CROP, "+repage", "-filter", "Lanczos", "-resize",
            f"{inner}x{inner}!", "-bordercolor", FRAME, "-border", str(border), ")"]


def main():
    cmd = ["convert"]
    for px in (48, 32, 16):
        cmd += size(px)
    cmd += ["-define", "png:exclude-chunks=date,time", OUT]
    subprocess.run(cmd, check=True)


if __name__ == "__main__":
    main()
