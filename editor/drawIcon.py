#!/usr/bin/env python3
"""Draws the editor's icon: a white sheet with a question mark, a pencil
lying across its corner, the quiz being written. 32x32, 16 colours (the
standard VGA palette), transparent around the sheet and the pencil. Run from
this folder; atelier.ico is committed so the build needs no Python."""
import struct

SIZE = 32
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, SILVER, GREY, RED, YELLOW, BLUE, WHITE = 0, 1, 7, 8, 9, 11, 12, 15

# The question mark, one character per 2x2 block, in blue on the sheet.
QUESTION = [
    ".####.",
    "##..##",
    "....##",
    "...##.",
    "..##..",
    "......",
    "..##..",
]

SHEET_LEFT, SHEET_RIGHT, SHEET_TOP, SHEET_BOTTOM = 4, 23, 2, 29


def pencil(x, y):
    """The pencil runs from the lower left (its point at 12, 27) up to the upper right, four pixels thick."""
    u = (x - 12) - (27 - y)  # across the pencil: 0 on its axis
    v = (x - 12) + (27 - y)  # along the pencil, from its point
    if abs(u) > 2 or v < 0 or v > 34:
        return None
    if v <= 2:
        return BLACK  # the lead
    if v <= 6:
        return SILVER if abs(u) < 2 else BLACK  # the sharpened wood
    if v >= 31:
        return RED  # the eraser
    if v >= 29:
        return GREY  # its metal band
    return BLACK if abs(u) == 2 else YELLOW


def colour(x, y):
    drawn = pencil(x, y)
    if drawn is not None:
        return drawn
    if not (SHEET_LEFT <= x <= SHEET_RIGHT and SHEET_TOP <= y <= SHEET_BOTTOM):
        return None  # transparent
    if x in (SHEET_LEFT, SHEET_RIGHT) or y in (SHEET_TOP, SHEET_BOTTOM):
        return BLACK
    qx, qy = (x - 8) // 2, (y - 6) // 2
    if x >= 8 and y >= 6 and qy < len(QUESTION) and qx < len(QUESTION[0]) and QUESTION[qy][qx] == "#":
        return BLUE
    return WHITE


def rows_bottom_up():
    return range(SIZE - 1, -1, -1)


def icon_image():
    pixels = [[colour(x, y) for x in range(SIZE)] for y in range(SIZE)]
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in VGA)
    xor = bytearray()
    for y in rows_bottom_up():
        for x in range(0, SIZE, 2):
            hi, lo = pixels[y][x] or 0, pixels[y][x + 1] or 0
            xor.append((hi << 4) | lo)
    mask = bytearray()
    for y in rows_bottom_up():
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if pixels[y][x] is None else 0)
        mask += bits.to_bytes(4, "big")
    return header + palette + bytes(xor) + bytes(mask)


def write_icon(path, image):
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)


write_icon("atelier.ico", icon_image())
