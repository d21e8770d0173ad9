#!/bin/sh
# Writes PNG pictures of every colour type, bit depth and kind of transparency, plain and interlaced, each made by
# netpbm's pnmtopng (or ImageMagick) from one source picture, with pngtopam's reading of it composited on white
# beside it as NAME.ref.ppm (8 bits a sample). manifest.txt lists one picture a line: FILE REFERENCE TOLERANCE
# CALL (CALL: picture or preview).
# Usage: make-png-kinds.sh OUT_DIR
set -eu
out=$1
mkdir -p "$out"
cd "$out"
rm -f manifest.txt manifest.new
add() { echo "$1 $2 $3 $4" >>manifest.new; }

# Odd sizes: every Adam7 pass ends in a partial block.
convert -size 203x131 -seed 11 plasma:fractal -depth 8 src.ppm
convert -size 203x131 -seed 11 plasma:fractal -depth 16 src16.ppm
ppmtopgm src.ppm >grey.pgm
ppmtopgm src16.ppm >grey16.pgm
# Alpha from fully transparent to opaque across the picture, with an opaque and a clear band.
convert -size 131x203 gradient:black-white -rotate 90 -depth 8 -fill white -draw 'rectangle 0,0 202,20' \
    -fill black -draw 'rectangle 0,110 202,130' alpha.pgm
convert alpha.pgm -depth 16 alpha16.pgm
pamdepth 3 alpha.pgm >alpha4.pgm

# The colour and the grey level of the top-left pixel, named transparent in the tRNS kinds.
corner() { pamcut -left 0 -top 0 -width 1 -height 1 "$1" | pnmnoraw | tail -n 1 | awk '{$1=$1; print}'; }
set -- $(corner src.ppm)
rgb_corner="rgb:$(printf '%02x/%02x/%02x' "$1" "$2" "$3")"
set -- $(corner grey.pgm)
grey_corner="rgb:$(printf '%02x/%02x/%02x' "$1" "$1" "$1")"
set -- $(corner grey16.pgm)
grey16_corner="rgb:$(printf '%04x/%04x/%04x' "$1" "$1" "$1")"

# png NAME TOLERANCE: NAME.png is made; pngtopam reads it as a viewer shows it, over white.
png() {
    pngtopam -mix -background=white "$1.png" | pamdepth 255 >"$1.ref.ppm"
    add "$1.png" "$1.ref.ppm" "$2" picture
}
# pngtopam leaves the transparent colour of an RGB picture opaque: ImageMagick (on the same libpng) reads those.
png_magick() {
    convert "$1.png" -background white -alpha remove -alpha off -depth 8 "ppm:$1.ref.ppm"
    add "$1.png" "$1.ref.ppm" "$2" picture
}
for interlace in "" -interlace; do
    i=${interlace:+-adam7}
    pnmtopng $interlace src.ppm >"rgb8$i.png" && png "rgb8$i" 0
    pnmtopng $interlace src16.ppm >"rgb16$i.png" && png "rgb16$i" 1
    pnmtopng $interlace -alpha=alpha.pgm src.ppm >"rgba8$i.png" && png "rgba8$i" 1
    pnmtopng $interlace -alpha=alpha16.pgm src16.ppm >"rgba16$i.png" && png "rgba16$i" 1
    pnmtopng $interlace -transparent="$rgb_corner" src.ppm >"rgb8-trns$i.png" && png_magick "rgb8-trns$i" 0
    pnmtopng $interlace -transparent="$grey16_corner" -force grey16.pgm >"grey16-trns$i.png" && png "grey16-trns$i" 1
    for levels in 1 3 15 255; do
        pamdepth $levels grey.pgm 2>/dev/null | pnmtopng $interlace >"grey$levels$i.png" && png "grey$levels$i" 0
    done
    pnmtopng $interlace grey16.pgm >"grey16$i.png" && png "grey16$i" 1
    pnmtopng $interlace -transparent="$grey_corner" grey.pgm >"grey8-trns$i.png" && png "grey8-trns$i" 0
    pnmtopng $interlace -alpha=alpha.pgm grey.pgm >"greya8$i.png" && png "greya8$i" 1
    pnmtopng $interlace -alpha=alpha16.pgm grey16.pgm >"greya16$i.png" && png "greya16$i" 1
    for colours in 2 4 16 200; do
        pnmquant $colours src.ppm 2>/dev/null | pnmtopng $interlace >"palette$colours$i.png" && png "palette$colours$i" 0
    done
    # Palette entries of four opacities: a tRNS chunk of alpha levels per entry.
    pnmquant 16 src.ppm 2>/dev/null | pnmtopng $interlace -alpha=alpha4.pgm >"palette-alpha$i.png"
    png "palette-alpha$i" 1
done

# Large enough for reduced previews of interlaced pictures (every 4th pixel of 1000 x 700 is 250 x 175, which
# the test takes from the reference); the preview of a picture not interlaced is the whole picture.
convert -size 1000x700 -seed 5 plasma:fractal -depth 8 large.ppm
pnmtopng -interlace large.ppm >large-adam7.png
pngtopam large-adam7.png >large-adam7.ref.ppm
add large-adam7.png large-adam7.ref.ppm 0 picture
pnmtopng large.ppm >large.png
add large.png large-adam7.ref.ppm 0 preview
# Every 8th pixel of 1400 x 1000 is 175 x 125: grey with alpha, composited after the passes are gathered.
convert -size 1400x1000 -seed 6 plasma:fractal -colorspace gray -depth 8 large-grey.pgm
convert -size 1000x1400 gradient:black-white -rotate 90 -depth 8 large-alpha.pgm
pnmtopng -interlace -alpha=large-alpha.pgm large-grey.pgm >large-greya-adam7.png
pngtopam -mix -background=white large-greya-adam7.png >large-greya-adam7.ref.ppm

rm -f src.ppm src16.ppm grey.pgm grey16.pgm alpha.pgm alpha16.pgm alpha4.pgm large.ppm large-grey.pgm large-alpha.pgm
mv manifest.new manifest.txt
