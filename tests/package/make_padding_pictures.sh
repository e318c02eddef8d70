#!/bin/sh
# Writes the compressed pictures of the padding tests into the folder given:
# each as ImageMagick writes it, and the same file with zero bytes appended
# up to a multiple of 8 (as the package stores it) and with 7 zero bytes
# appended (the most padding can add).
set -e
out="$1"
rm -rf "$out"
mkdir -p "$out"
cd "$out"
convert -seed 7 -size 37x23 plasma:red-blue rgb.png
convert -seed 7 -size 37x23 plasma: -colors 16 PNG8:palette.png
convert -seed 7 -size 37x23 plasma: -colorspace Gray -depth 8 grey.png
convert -size 37x23 gradient:red-none PNG32:rgba.png
convert -seed 7 -size 37x23 plasma: -depth 16 PNG48:deep.png
convert -seed 7 -size 37x23 plasma: -quality 85 photo.jpg
convert -seed 7 -size 37x23 plasma: -quality 85 -interlace Plane progressive.jpg
convert -seed 7 -size 37x23 plasma: -colors 32 picture.gif
convert -seed 7 -size 37x23 plasma: -compress none plain.tif
convert -seed 7 -size 37x23 plasma: -compress lzw -endian MSB lzw.tif
for f in *.png *.jpg *.gif *.tif; do
    n=$(wc -c < "$f")
    pad=$(( (8 - n % 8) % 8 ))
    { cat "$f"; head -c "$pad" /dev/zero; } > "padded-$f"
    { cat "$f"; head -c 7 /dev/zero; } > "seven-$f"
done
