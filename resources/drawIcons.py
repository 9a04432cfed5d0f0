#!/usr/bin/env python3
"""Draws the player's icons and cursor as .ico/.cur files.

Run from this folder; the outputs are committed so the build needs no Python.
play.ico  (1004): black right-pointing triangle on light grey, 32x32, 1 bit
stop.ico  (1005): black square on light grey, 32x32, 1 bit
hand.cur  (1003): pointing hand, 32x32, 1 bit, hot spot (6, 0)
app.ico   ("A"):  32x32, 16 colours, a question mark on a blue tile
"""
import struct

SIZE = 32


def mono_bits(pixels, colour_of):
    """Rows bottom-up, 1 bit per pixel, each row padded to 4 bytes."""
    out = bytearray()
    for y in range(SIZE - 1, -1, -1):
        row = 0
        for x in range(SIZE):
            row = (row << 1) | colour_of(pixels[y][x])
        out += row.to_bytes(4, "big")
    return bytes(out)


def image_entry(pixels, bit_count, palette, index_of, mask_of):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bit_count, 0, 0, 0, 0, 0, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    if bit_count == 1:
        xor = mono_bits(pixels, index_of)
    else:  # 4 bits per pixel
        xor = bytearray()
        for y in range(SIZE - 1, -1, -1):
            for x in range(0, SIZE, 2):
                xor.append((index_of(pixels[y][x]) << 4) | index_of(pixels[y][x + 1]))
        xor = bytes(xor)
    mask = mono_bits(pixels, mask_of)
    return header + table + xor + mask


def write_group(path, kind, data, bit_count, colours, hotspot=(0, 0)):
    directory = struct.pack("<HHH", 0, kind, 1)
    if kind == 1:
        entry = struct.pack("<BBBBHHII", SIZE, SIZE, colours, 0, 1, bit_count, len(data), 6 + 16)
    else:
        entry = struct.pack("<BBBBHHII", SIZE, SIZE, colours, 0, hotspot[0], hotspot[1], len(data), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + data)


def grid(fill):
    return [[fill(x, y) for x in range(SIZE)] for y in range(SIZE)]


LIGHT_GREY = (192, 192, 192)
BLACK = (0, 0, 0)


def play_icon():
    def inside(x, y):
        # Triangle with its point on the right: x from 9 to 24, narrowing.
        if not 9 <= x <= 24:
            return False
        half = (24 - x) * 8 // 15
        return abs(y - 15.5) <= half + 0.5
    pixels = grid(lambda x, y: 1 if inside(x, y) else 0)
    palette = [LIGHT_GREY, BLACK]
    return image_entry(pixels, 1, palette, lambda p: p, lambda p: 0)


def stop_icon():
    pixels = grid(lambda x, y: 1 if 9 <= x <= 22 and 9 <= y <= 22 else 0)
    palette = [LIGHT_GREY, BLACK]
    return image_entry(pixels, 1, palette, lambda p: p, lambda p: 0)


HAND = [
    "......##..........",
    ".....#..#.........",
    ".....#..#.........",
    ".....#..#.........",
    ".....#..#.........",
    ".....#..###.......",
    ".....#..#..###....",
    ".....#..#..#..##..",
    "..##.#..#..#..#.#.",
    "..#..#........#..#",
    "..#..#...........#",
    "...#.............#",
    "...#.............#",
    "....#............#",
    "....#...........#.",
    ".....#..........#.",
    ".....#.........#..",
    "......#........#..",
    "......##########..",
]


def hand_cursor():
    # The outline above has the fingertip at column 6, row 0: the hot spot.
    shape = [[" "] * SIZE for _ in range(SIZE)]
    for y, line in enumerate(HAND):
        for x, ch in enumerate(line):
            shape[y][x] = ch
    # Fill the inside white: every '.' between two '#' on its row, below row 0.
    for y in range(1, len(HAND)):
        row = shape[y]
        marks = [x for x in range(SIZE) if row[x] == "#"]
        if len(marks) >= 2:
            for x in range(marks[0] + 1, marks[-1]):
                if row[x] == ".":
                    row[x] = "w"
    pixels = shape
    # Palette: index 0 black, 1 white. Transparent where the mask is 1 and colour 0.
    palette = [BLACK, (255, 255, 255)]
    index_of = lambda p: 1 if p == "w" else 0
    mask_of = lambda p: 0 if p in "#w" else 1
    return image_entry(pixels, 1, palette, index_of, mask_of)


QUESTION = [
    "..........",
    "...####...",
    "..##..##..",
    "......##..",
    ".....##...",
    "....##....",
    "....##....",
    "..........",
    "....##....",
    "....##....",
]


def app_icon():
    palette16 = [
        (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
        (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
        (255, 0, 255), (0, 255, 255), (255, 255, 255),
    ]

    def colour(x, y):
        if x < 2 or y < 2 or x > 29 or y > 29:
            return 0  # transparent border, colour black under the mask
        qx, qy = (x - 1) // 3, (y - 1) // 3
        if 0 <= qy < len(QUESTION) and 0 <= qx < len(QUESTION[0]) and QUESTION[qy][qx] == "#":
            return 11  # yellow question mark
        return 12 if (x + y) % 2 else 4  # dithered blue tile

    pixels = grid(colour)
    mask = lambda p: 0
    border = [[1 if (x < 2 or y < 2 or x > 29 or y > 29) else 0 for x in range(SIZE)] for y in range(SIZE)]
    data = image_entry(pixels, 4, palette16, lambda p: p, mask)
    # Re-do the mask with the transparent border.
    mask_bytes = mono_bits(border, lambda p: p)
    return data[: len(data) - len(mask_bytes)] + mask_bytes


write_group("play.ico", 1, play_icon(), 1, 2)
write_group("stop.ico", 1, stop_icon(), 1, 2)
write_group("hand.cur", 2, hand_cursor(), 1, 2, hotspot=(6, 0))
write_group("app.ico", 1, app_icon(), 4, 16)
