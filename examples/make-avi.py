#!/usr/bin/env python3
"""Writes a tiny uncompressed AVI (8-bit palette DIB frames, no sound): a
square of the given colour crossing a grey field. Every Windows video
player reads this format without a codec.

usage: make-avi.py OUT.avi RRGGBB [FRAMES]"""
import struct
import sys

WIDTH, HEIGHT, FPS = 64, 48, 5


def chunk(fourcc, data):
    pad = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, fourcc, body):
    return kind + struct.pack("<I", len(body) + 4) + fourcc + body


def frame(index, frames):
    # Palette: 0 grey field, 1 the square, 2 black border.
    side = 16
    x0 = (WIDTH - side) * index // max(frames - 1, 1)
    y0 = (HEIGHT - side) // 2
    rows = []
    for y in range(HEIGHT - 1, -1, -1):  # DIB rows run bottom-up
        row = bytearray()
        for x in range(WIDTH):
            border = x in (0, WIDTH - 1) or y in (0, HEIGHT - 1)
            inside = x0 <= x < x0 + side and y0 <= y < y0 + side
            row.append(2 if border else 1 if inside else 0)
        rows.append(bytes(row))  # 64 bytes: already a multiple of four
    return b"".join(rows)


def main():
    out, colour = sys.argv[1], sys.argv[2]
    frames = int(sys.argv[3]) if len(sys.argv) > 3 else 10
    r, g, b = (int(colour[i:i + 2], 16) for i in (0, 2, 4))
    palette = bytes([0xC0, 0xC0, 0xC0, 0, b, g, r, 0, 0, 0, 0, 0])  # RGBQUAD: blue, green, red, 0
    frame_size = WIDTH * HEIGHT

    avih = struct.pack("<IIIIIIIIII4I", 1000000 // FPS, frame_size * FPS, 0, 0x10, frames, 0, 1, frame_size,
                       WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"DIB ", 0, 0, 0, 0, 1, FPS, 0, frames, frame_size,
                       0xFFFFFFFF, 0, 0, 0, WIDTH, HEIGHT)
    strf = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, frame_size, 0, 0, 3, 3) + palette
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih) +
                     riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))

    movi_body = b""
    index = b""
    for i in range(frames):
        offset = 4 + len(movi_body)  # from the "movi" fourcc
        data = frame(i, frames)
        movi_body += chunk(b"00db", data)
        index += struct.pack("<4sIII", b"00db", 0x10, offset, len(data))
    movi = riff_list(b"LIST", b"movi", movi_body)
    with open(out, "wb") as f:
        f.write(riff_list(b"RIFF", b"AVI ", hdrl + movi + chunk(b"idx1", index)))


if __name__ == "__main__":
    main()
