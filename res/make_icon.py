#!/usr/bin/python3
"""Builds res/unattended.ico from the artwork below: a package with an arrow
going into it. Four images, in this order: 32x32 in 16 colours, 16x16 in 16
colours, 16x16 monochrome, 32x32 monochrome, each with its transparency mask.
The 32x32 images are the 16x16 artwork doubled. Run it to rebuild the icon;
the output depends on nothing but this file.

    /usr/bin/python3 res/make_icon.py res/unattended.ico
"""
import struct
import sys

ART = [
    "......GGGG......",
    "......GGGG......",
    "......GGGG......",
    "...GGGGGGGGGG...",
    "....GGGGGGGG....",
    ".....GGGGGG.....",
    "..KKKKKGGKKKKK..",
    ".KYYYYYKKYYYYYK.",
    ".KKKKKKKKKKKKKK.",
    ".KBBBBBBBBBBBBK.",
    ".KBBBBBYYBBBBBK.",
    ".KBBBBBYYBBBBBK.",
    ".KBBBBBBBBBBBBK.",
    ".KBBBBBBBBBBBBK.",
    ".KKKKKKKKKKKKKK.",
    "................",
]

# The platform's standard 16-colour palette, as (red, green, blue).
PALETTE_16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
PALETTE_2 = [(0, 0, 0), (255, 255, 255)]

# Artwork letter -> (index in the 16-colour palette, index in black and white).
COLOURS = {"K": (0, 0), "G": (2, 0), "B": (3, 0), "Y": (11, 1)}


def scaled(size):
    """The artwork at `size` pixels square (16 or 32)."""
    factor = size // 16
    return ["".join(c * factor for c in row) for row in ART for _ in range(factor)]


def packed_rows(pixels, bits):
    """Bottom-up rows of `bits`-per-pixel values, each padded to 4 bytes."""
    out = b""
    for row in reversed(pixels):
        value, count, line = 0, 0, bytearray()
        for p in row:
            value = (value << bits) | p
            count += bits
            if count == 8:
                line.append(value)
                value, count = 0, 0
        if count:
            line.append(value << (8 - count))
        while len(line) % 4:
            line.append(0)
        out += bytes(line)
    return out


def image(size, bits):
    """One icon image: header, palette, colour bitmap, transparency mask."""
    art = scaled(size)
    which = 0 if bits == 4 else 1
    colour = [[COLOURS[c][which] if c != "." else 0 for c in row] for row in art]
    mask = [[1 if c == "." else 0 for c in row] for row in art]
    palette = PALETTE_16 if bits == 4 else PALETTE_2
    xor = packed_rows(colour, bits)
    and_mask = packed_rows(mask, 1)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + quads + xor + and_mask


def icon():
    """The whole .ico file."""
    layout = [(32, 4), (16, 4), (16, 1), (32, 1)]
    images = [image(size, bits) for size, bits in layout]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bits), data in zip(layout, images):
        out += struct.pack("<BBBBHHII", size, size, 1 << bits, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(icon())
