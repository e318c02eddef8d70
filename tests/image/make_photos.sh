#!/usr/bin/env bash
# make_photos.sh CONVERT FOLDER
# Writes the pictures of the end-to-end photo test with ImageMagick: an
# upright 240 x 320 scene (sky, sun top right, ground, a red house), stored as
# a phone stores a picture taken upright: turned a quarter anticlockwise, with
# Exif orientation 6 saying so (photo6.jpg); and the scene as a PNG whose sky
# is transparent (transparent.png). upright.ppm is what both must show. Also
# a 1 x 1 JPEG (one_pixel.jpg).
set -euo pipefail
convert=$1
dir=$2
mkdir -p "$dir"
cd "$dir"
"$convert" -size 240x320 xc:'#40a040' -fill '#5090e0' -draw 'rectangle 0,0 239,159' \
           -fill '#f8d030' -draw 'circle 200,50 200,88' \
           -fill '#d03030' -draw 'rectangle 120,170 200,260' -depth 8 upright.ppm
"$convert" upright.ppm -rotate -90 -quality 95 -sampling-factor 1x1 stored.jpg
{
  printf '\xff\xd8\xff\xe1\x00\x22Exif\x00\x00II\x2a\x00\x08\x00\x00\x00\x01\x00'
  printf '\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00\x00\x00\x00\x00'
  tail -c +3 stored.jpg
} >photo6.jpg
rm -f stored.jpg
# ImageMagick must agree that the stored picture stands upright.
"$convert" photo6.jpg -auto-orient -depth 8 check.ppm
"$convert" check.ppm -format '%w %h' info: | grep -qx '240 320'
rm -f check.ppm
"$convert" upright.ppm -alpha set \
           -channel A -fx "(b > 0.8 && r < 0.4) ? 0 : 1" +channel PNG32:transparent.png
# The smallest photo there is.
"$convert" -size 1x1 xc:'#336699' -quality 95 one_pixel.jpg
echo "photos written to $dir"
