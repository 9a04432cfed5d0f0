"""The 32x32, 16-colour (standard VGA palette) icon that quizpack's and the
editor's drawing scripts write: a colour per pixel, None for transparent."""
import struct

SIZE = 32
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, OLIVE, SILVER, GREY, RED, YELLOW, BLUE, WHITE = 0, 1, 3, 7, 8, 9, 11, 12, 15

# The question mark, one character per 2x2 block.
QUESTION = [
    ".####.",
    "##..##",
    "....##",
    "...##.",
    "..##..",
    "......",
    "..##..",
]


def icon_image(colour):
    """The icon's DIB (header, palette, 4-bit pixels, 1-bit mask), rows bottom up."""
    pixels = [[colour(x, y) for x in range(SIZE)] for y in range(SIZE)]
    rows = range(SIZE - 1, -1, -1)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in VGA)
    xor = bytearray()
    for y in rows:
        for x in range(0, SIZE, 2):
            hi, lo = pixels[y][x] or 0, pixels[y][x + 1] or 0
            xor.append((hi << 4) | lo)
    mask = bytearray()
    for y in rows:
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if pixels[y][x] is None else 0)
        mask += bits.to_bytes(4, "big")
    return header + palette + bytes(xor) + bytes(mask)


def write_icon(path, colour):
    image = icon_image(colour)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)
