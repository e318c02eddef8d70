#!/usr/bin/env bash
# make_wic_pictures.sh CONVERT FOLDER
# Writes the pictures of the Windows decoder's differential test with
# ImageMagick, and for each picture NAME.EXT the reference NAME.ppm: the
# pixels as ImageMagick decodes them, composited over white, turned upright.
# Also NAME.padded.EXT: the file with zero bytes appended up to a multiple of
# 8 (8 when it already is one), and checks here that ImageMagick decodes it
# to the same pixels.
set -euo pipefail
convert=$1
dir=$2
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"

# Colourful, non-square and deterministic: ImageMagick's built-in rose, and a
# larger gradient with shapes on it.
"$convert" rose: rose.ppm
"$convert" -size 97x61 gradient:'#ff2040-#20a0ff' -fill '#30c040' -draw 'circle 40,30 40,10' \
           -fill '#ffe000' -draw 'rectangle 60,5 90,25' -depth 8 scene.ppm

"$convert" rose.ppm PNG24:png_rgb.png
"$convert" scene.ppm -colors 32 PNG8:png_palette.png
"$convert" rose.ppm -colorspace Gray -depth 8 -type Grayscale png_grey.png
"$convert" rose.ppm -depth 16 PNG48:png_16bit.png
# 16-bit samples of every value, not only widened 8-bit ones: colour and grey.
"$convert" -size 300x200 gradient:'#102030-#f0e0d0' -depth 16 PNG48:png_16bit_deep.png
"$convert" -size 300x200 gradient:'#000000-#ffffff' -rotate 90 -colorspace Gray -depth 16 png_grey16.png
# Alpha from fully transparent on the left to opaque on the right. The 16-bit
# files hold 8-bit values widened (v * 257), as 16-bit files made from 8-bit
# pictures do: the decoder's 8-bit result can then be exact.
"$convert" -size 61x97 gradient:black-white -rotate 90 -depth 8 alpha.pgm
"$convert" scene.ppm alpha.pgm -alpha off -compose CopyOpacity -composite PNG32:png_rgba.png
"$convert" scene.ppm alpha.pgm -alpha off -compose CopyOpacity -composite -depth 16 PNG64:png_rgba16.png
"$convert" scene.ppm -colors 64 gif_plain.gif
"$convert" -size 40x30 xc:red -fill blue -draw 'rectangle 5,5 25,20' -fill green \
           -draw 'circle 30,20 30,25' -transparent red gif_transparent.gif
"$convert" rose.ppm -compress none tiff_plain.tif
"$convert" rose.ppm -orient RightTop tiff_orient6.tif
"$convert" scene.ppm -compress lzw -endian MSB tiff_lzw_msb.tif
"$convert" scene.ppm -alpha set -channel A -evaluate set 50% +channel -compress zip tiff_alpha.tif
# Full-resolution chroma (4:4:4) and the usual subsampled chroma (4:2:0).
"$convert" scene.ppm -quality 92 -sampling-factor 1x1 jpeg_baseline.jpg
"$convert" scene.ppm -quality 85 -sampling-factor 1x1 -interlace Plane jpeg_progressive.jpg
"$convert" rose.ppm -quality 85 -sampling-factor 2x2 jpeg_subsampled.jpg
"$convert" scene.ppm -colorspace Gray -quality 90 jpeg_grey.jpg
"$convert" -size 1x1 xc:'#336699' jpeg_1x1.jpg

# The eight orientations: an Exif block (little-endian TIFF, one entry,
# 0x0112 SHORT) right after the start-of-image marker of the same JPEG.
for o in 1 2 3 4 5 6 7 8; do
  {
    printf '\xff\xd8\xff\xe1\x00\x22Exif\x00\x00II\x2a\x00\x08\x00\x00\x00\x01\x00'
    printf '\x12\x01\x03\x00\x01\x00\x00\x00'
    printf "\\x0$o"
    printf '\x00\x00\x00\x00\x00\x00\x00'
    tail -c +3 jpeg_baseline.jpg
  } >"jpeg_orient$o.jpg"
done

for f in *.png *.gif *.tif *.jpg; do
  name=${f%.*}
  ext=${f##*.}
  "$convert" "$f[0]" -auto-orient -background white -alpha remove -alpha off -depth 8 "ppm:$name.ppm"
  size=$(stat -c %s "$f")
  pad=$(( (8 - size % 8) % 8 ))
  [ "$pad" -eq 0 ] && pad=8
  { cat "$f"; head -c "$pad" /dev/zero; } >"$name.padded.$ext"
  "$convert" "$name.padded.$ext[0]" -auto-orient -background white -alpha remove -alpha off -depth 8 \
             "ppm:$name.padded.ppm"
  if ! cmp -s "$name.ppm" "$name.padded.ppm"; then
    echo "ImageMagick decodes $name.padded.$ext differently from $f" >&2
    exit 1
  fi
  rm -f "$name.padded.ppm"
done
rm -f rose.ppm scene.ppm alpha.pgm
echo "pictures written to $dir"
