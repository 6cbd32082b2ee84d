#!/usr/bin/env bash
# make-format-photos.sh OUT [--more]: one source picture written as PNG, HEIC, WebP
# and TIFF with Debian's own tools (ImageMagick, heif-enc, cwebp, webpmux,
# tiffset), for the tests that compare what the program makes of each:
#   photo.{png,heic,webp,tiff}        opaque; lossy HEIC and WebP
#   photo-lossless.webp               lossless WebP of photo.png
#   turned.png                        photo.png turned a quarter anticlockwise
#   turned6.{tiff,webp}               turned.png tagged Exif orientation 6
#                                     (turn clockwise to view): shows photo.png
#   alpha.{png,webp,tiff,heic}        transparent corners and a half-seen band
set -euo pipefail
out="$1"
mkdir -p "$out"
cd "$out"
convert -size 240x160 gradient:'#ffcf71'-'#2b6cb0' \
  -fill '#fff2c6' -draw 'circle 150,90 150,50' \
  -fill '#3d2352' -draw 'path "M 0 120 Q 60 90 120 115 T 240 105 L 240 160 L 0 160 Z"' \
  -depth 8 -type TrueColor -define png:color-type=2 photo.png
heif-enc -q 95 photo.png -o photo.heic >/dev/null
cwebp -quiet -q 95 photo.png -o photo.webp
cwebp -quiet -lossless photo.png -o photo-lossless.webp
convert photo.png -depth 8 -compress lzw photo.tiff

convert photo.png -rotate -90 -depth 8 -type TrueColor -define png:color-type=2 turned.png
convert turned.png -depth 8 -compress zip turned6.tiff
tiffset -s 274 6 turned6.tiff
# A little-endian Exif block with IFD0 holding only Orientation = 6.
printf 'II*\000\010\000\000\000\001\000\022\001\003\000\001\000\000\000\006\000\000\000\000\000\000\000' >exif6.bin
cwebp -quiet -lossless turned.png -o turned-plain.webp
webpmux -set exif exif6.bin turned-plain.webp -o turned6.webp >/dev/null 2>&1

# Opaque in the middle, clear at the corners, half-seen along a band.
convert photo.png \( -size 240x160 xc:white -fill black -draw 'circle 0,0 0,40' \
  -draw 'circle 240,160 240,120' -fill gray50 -draw 'rectangle 0,70 240,90' \) \
  -alpha off -compose copy_opacity -composite -depth 8 -define png:color-type=6 alpha.png
cwebp -quiet -lossless -exact alpha.png -o alpha.webp
convert alpha.png -depth 8 -compress lzw alpha.tiff
heif-enc -q 95 alpha.png -o alpha.heic >/dev/null

# With --more, the other kinds the decoders meet (the fuzzers' seeds): TIFFs
# tiled, grey, 16-bit, palette, CMYK and JPEG-compressed, a big-endian one,
# a HEIC with its thumbnail, a lossy WebP with alpha and an animated WebP;
# more-small.png is the picture they all hold.
if [[ "${2:-}" == "--more" ]]; then
  convert photo.png -resize 48x32 -depth 8 -type TrueColor -define png:color-type=2 more-small.png
  small=more-small.png
  convert $small -define tiff:tile-geometry=16x16 -compress zip more-tiled.tiff
  convert $small -colorspace gray -depth 8 -compress RLE more-grey.tiff
  convert $small -depth 16 -compress zip more-16bit.tiff
  convert $small -colors 16 -type Palette -compress lzw more-palette.tiff
  convert $small -colorspace cmyk -compress none more-cmyk.tiff
  convert $small -compress jpeg -quality 80 more-jpeg.tiff
  convert $small -endian MSB -compress none more-big-endian.tiff
  heif-enc -q 50 -t 16 more-small.png -o more-thumbnail.heic >/dev/null
  convert alpha.png -resize 48x32 more-alpha.png
  cwebp -quiet -q 60 -alpha_q 50 more-alpha.png -o more-alpha-lossy.webp
  convert more-small.png -rotate 180 more-small-180.png
  img2webp -loop 0 more-small.png -d 100 more-small-180.png -o more-animated.webp >/dev/null 2>&1
  rm -f more-small-180.png more-alpha.png
fi
