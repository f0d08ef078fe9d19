"""Writes 24-bit Windows bitmaps for the artwork generators.

The program loads its built-in pictures straight from the resources, so the files
have one fixed form that every loader reads: a 14-byte file header, a 40-byte
BITMAPINFOHEADER, no palette, no compression (BI_RGB), rows stored bottom-up
(positive height), each row padded to a multiple of four bytes. Writing the headers
here keeps that form independent of any image tool's defaults.
"""

import struct

# 96 dots per inch, the resolution the forms are laid out at, in pixels per metre.
PIXELS_PER_METRE = 3780


def hash01(*values):
    """A fixed integer hash mapped to [0, 1): texture without a random generator,
    so that every run of a generator writes the same bytes."""
    h = 0x811C9DC5
    for v in values:
        h ^= v & 0xFFFFFFFF
        h = (h * 0x01000193) & 0xFFFFFFFF
        h ^= h >> 13
        h = (h * 0x5BD1E995) & 0xFFFFFFFF
        h ^= h >> 15
    return h / 2**32


def clamp_byte(value):
    """Rounds a colour channel and keeps it inside 0..255."""
    return max(0, min(255, int(round(value))))


def encode_bmp24(width, height, pixels):
    """Returns the file bytes for pixels[y][x] = (r, g, b), row 0 being the top row."""
    stride = (width * 3 + 3) & ~3
    image = bytearray()
    for y in range(height - 1, -1, -1):
        row = pixels[y]
        for x in range(width):
            r, g, b = row[x]
            image += bytes((b, g, r))
        image += bytes(stride - width * 3)
    offset = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    info_header = struct.pack(
        "<IiiHHIIiiII",
        40,
        width,
        height,
        1,
        24,
        0,  # BI_RGB
        len(image),
        PIXELS_PER_METRE,
        PIXELS_PER_METRE,
        0,
        0,
    )
    return file_header + info_header + bytes(image)


def write_bmp24(path, width, height, pixels):
    with open(path, "wb") as f:
        f.write(encode_bmp24(width, height, pixels))
