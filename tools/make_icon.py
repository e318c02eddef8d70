#!/usr/bin/env python3
"""Writes the builder's application icon (app/vornix.ico).

One 32 x 32 image in 16 colours: a 4 x 4 sliding-puzzle board whose bevelled
tiles carry the pieces of a red "V" on a sky gradient, with the bottom-right
tile missing, as in the puzzles the builder makes.

usage: make_icon.py [OUTPUT]   (default: app/vornix.ico beside this tool)
"""
import os
import struct
import sys

SIZE = 32
TILE = 8

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, TEAL, SILVER, GREY, RED, YELLOW, AQUA, WHITE = 0, 6, 7, 8, 9, 11, 14, 15


def in_letter_v(x, y):
    """True where the big "V" covers pixel (x, y), y = 0 at the top."""
    # Two strokes from the top corners meeting at the bottom centre.
    centre = (SIZE - 1) / 2.0
    half_width = centre * (1.0 - y / (SIZE - 4.0))
    distance = abs(abs(x - centre) - half_width)
    return y <= SIZE - 4 and distance <= 1.9


def pixel(x, y):
    col, row = x // TILE, y // TILE
    tx, ty = x % TILE, y % TILE
    if col == 3 and row == 3:
        # The empty slot: a dark hole with a shadow on its top and left edges.
        return GREY if tx == 0 or ty == 0 else BLACK
    if tx == TILE - 1 or ty == TILE - 1:
        return BLACK  # the gaps between tiles
    if tx == 0 or ty == 0:
        return WHITE  # highlight of the bevel
    if tx == TILE - 2 or ty == TILE - 2:
        return GREY  # shadow of the bevel
    if in_letter_v(x, y):
        return RED
    if col == 2 and row == 0 and 2 <= tx <= 4 and 2 <= ty <= 4:
        return YELLOW  # a small sun in the sky
    return AQUA if row < 2 else (SILVER if (col + row) % 2 else TEAL)


def build_icon():
    # Colour (XOR) bits: 4 bits per pixel, bottom-up rows of 16 bytes.
    xor_rows = []
    for y in range(SIZE - 1, -1, -1):
        row = bytearray()
        for x in range(0, SIZE, 2):
            row.append((pixel(x, y) << 4) | pixel(x + 1, y))
        xor_rows.append(bytes(row))
    xor_bits = b"".join(xor_rows)
    # Transparency (AND) bits: every pixel opaque; rows of 4 bytes.
    and_bits = bytes(SIZE * SIZE // 8)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor_bits) + len(and_bits), 0, 0, 16, 0)
    image = header + palette + xor_bits + and_bits
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "app", "vornix.ico")
    with open(output, "wb") as out:
        out.write(build_icon())


if __name__ == "__main__":
    main()
