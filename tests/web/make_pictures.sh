#!/usr/bin/env bash
# make_pictures.sh CONVERT FOLDER
# The pictures of the browser scenario, all of one upright 240 x 320 scene
# (sky, sun top right, ground, a red house; see tests/image/make_photos.sh):
# photo6.jpg (stored turned, Exif orientation 6), transparent.png (the sky
# clear), bitmap16.bmp (16 bits a pixel, 5-6-5) and scene.tif; also
# big.jpg, a 4000 x 3000 photo-sized JPEG for the page size check.
set -euo pipefail
convert=$1
dir=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bash "$here/../image/make_photos.sh" "$convert" "$dir" >/dev/null
cd "$dir"
# 16 bits a pixel, 5-5-5 (BI_RGB), bottom-up rows: written here, as
# ImageMagick reads its own 16-bit bitmaps back wrong.
python3 - <<'PY'
import struct
with open("upright.ppm", "rb") as f:
    magic, size, depth, pixels = f.read().split(b"\n", 3)
width, height = map(int, size.split())
assert magic == b"P6" and depth == b"255"
row = (width * 2 + 3) // 4 * 4
body = bytearray()
for y in reversed(range(height)):
    line = bytearray()
    for x in range(width):
        r, g, b = pixels[3 * (y * width + x):3 * (y * width + x) + 3]
        line += struct.pack("<H", (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)
    body += line + bytes(row - len(line))
header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 16, 0, len(body), 2835, 2835, 0, 0)
open("bitmap16.bmp", "wb").write(header + info + body)
PY
"$convert" upright.ppm -compress lzw scene.tif
"$convert" -size 4000x3000 plasma:fractal -seed 7 -quality 90 big.jpg 2>/dev/null ||
  "$convert" -size 4000x3000 gradient:'#5090e0'-'#40a040' -quality 90 big.jpg
echo "pictures written to $dir"
