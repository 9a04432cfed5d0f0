#!/bin/sh
# Rebuilds the pictures of the Windows-side picture tests (ImageMagick and
# Python 3). The JPEGs are two flat halves, red on the left and blue on the
# right, so a test can tell that the whole picture reached the whole box.
set -e
cd "$(dirname "$0")"

halves() {  # width height output
    half=$(($1 / 2))
    convert -size "${half}x$2" xc:'#d00000' -size "$(($1 - half))x$2" xc:'#0000d0' +append \
        -strip -quality 60 -sampling-factor 2x2 "$3"
}
halves 640 480 landscape640x480.jpg
halves 130 65 wide130x65.jpg
halves 65 130 tall65x130.jpg
halves 260 260 square260.jpg

# 6 x 3 true-colour PNG: stripes of red, green and blue over two rows and a
# row of distinct greys-ish colours that shows the byte order.
cat > stripes.ppm <<'PPM'
P3
6 3
255
255 0 0  255 0 0  0 255 0  0 255 0  0 0 255  0 0 255
200 0 0  200 0 0  0 200 0  0 200 0  0 0 200  0 0 200
10 20 30  40 50 60  70 80 90  100 110 120  130 140 150  160 170 180
PPM
convert stripes.ppm -strip -define png:color-type=2 -define png:bit-depth=8 stripes6x3.png
convert stripes.ppm -strip -define png:color-type=3 png8:stripes-palette.png
rm stripes.ppm

python3 - <<'PY'
import struct

def chunks(data):
    at = 8
    while at + 12 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        yield at, length, kind
        at += length + 12

data = bytearray(open("stripes6x3.png", "rb").read())
# Preset-dictionary bit set in the zlib header: the image cannot be inflated.
for at, length, kind in chunks(data):
    if kind == b"IDAT":
        data[at + 9] |= 0x20
        break
open("preset-dictionary.png", "wb").write(data)

# A palette image without its PLTE chunk: parsed and inflated, never drawn.
data = open("stripes-palette.png", "rb").read()
out = data[:8]
for at, length, kind in chunks(data):
    if kind != b"PLTE":
        out += data[at:at + length + 12]
open("palette-without-plte.png", "wb").write(out)
PY
rm stripes-palette.png
: > empty.bin
