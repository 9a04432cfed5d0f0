#!/usr/bin/env python3
"""Draws quizpack's icon: a parcel with a question mark on its side, the quiz
being packed. 32x32, 16 colours (the standard VGA palette), transparent around
the parcel. Run from this folder; quizpack.ico is committed so the build needs
no Python."""
import struct

SIZE = 32
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, OLIVE, GREY, YELLOW, BLUE, WHITE = 0, 3, 8, 11, 12, 15

# The question mark, one character per 2x2 block, drawn on the parcel's side.
QUESTION = [
    ".####.",
    "##..##",
    "....##",
    "...##.",
    "..##..",
    "......",
    "..##..",
]

# Parcel outline: a lid seen from slightly above (rows 4-9), the side below.
LEFT, RIGHT, LID_TOP, SIDE_TOP, BOTTOM = 3, 28, 4, 10, 28


def colour(x, y):
    if not (LEFT <= x <= RIGHT and LID_TOP <= y <= BOTTOM):
        return None  # transparent
    if x in (LEFT, RIGHT) or y in (LID_TOP, SIDE_TOP, BOTTOM):
        return BLACK
    if 14 <= x <= 17 and y < SIDE_TOP:
        return BLUE  # the tape across the lid
    if y < SIDE_TOP:
        return YELLOW
    qx, qy = (x - 10) // 2, (y - 13) // 2
    if 0 <= qy < len(QUESTION) and 0 <= qx < len(QUESTION[0]) and x >= 10 and y >= 13:
        if QUESTION[qy][qx] == "#":
            return WHITE
    if 14 <= x <= 17 and y <= 12:
        return BLUE  # the tape running down the side
    return OLIVE if (x + y) % 2 else YELLOW


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


write_icon("quizpack.ico", icon_image())
