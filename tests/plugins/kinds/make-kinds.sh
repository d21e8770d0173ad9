#!/bin/sh
# Writes the JPEG and TIFF pictures of every kind the plug-ins read, each made by the reference tools (cjpeg,
# tiffcp, ImageMagick) from one source picture, with the reference tools' own decode beside it as NAME.ref.ppm.
# manifest.txt lists one picture a line: FILE REFERENCE TOLERANCE CALL (CALL: picture or preview).
# Usage: make-kinds.sh OUT_DIR
set -eu
out=$1
mkdir -p "$out"
cd "$out"
rm -f manifest.txt manifest.new
add() { echo "$1 $2 $3 $4" >>manifest.new; }

# A picture with smooth areas, edges and odd sizes (partial blocks, strips and tiles).
convert -size 203x131 -seed 11 plasma:fractal -depth 8 src.ppm
convert -size 203x131 -seed 11 plasma:fractal -colorspace gray -depth 8 grey.pgm
# Large enough for a reduced preview: 1/4 keeps it at least 160 x 120, 1/8 would not.
convert -size 1000x700 -seed 5 plasma:fractal -depth 8 large.ppm

# JPEG: the library's own tool decodes each kind exactly as the plug-in must.
jpeg() { # name cjpeg-options
    cjpeg $2 -outfile "$1.jpg" src.ppm
    djpeg -pnm -outfile "$1.ref.ppm" "$1.jpg"
    add "$1.jpg" "$1.ref.ppm" 0 picture
}
jpeg baseline "-quality 85"
jpeg baseline444 "-quality 90 -sample 1x1"
jpeg baseline422 "-quality 90 -sample 2x1"
jpeg progressive "-progressive"
jpeg arithmetic "-arithmetic"
jpeg arithmetic-progressive "-arithmetic -progressive"
jpeg rgb "-rgb"
jpeg restart "-restart 2"
cjpeg -grayscale -outfile grey.jpg grey.pgm
djpeg -pnm -outfile grey-jpeg.ref.ppm grey.jpg
add grey.jpg grey-jpeg.ref.ppm 0 picture
# Ink: ImageMagick writes YCCK with Adobe's inverted values; its own reading is the reference.
convert src.ppm -colorspace CMYK ycck.jpg
convert ycck.jpg -colorspace sRGB -depth 8 ycck.ref.ppm
add ycck.jpg ycck.ref.ppm 2 picture
cjpeg -quality 90 -outfile large.jpg large.ppm
djpeg -scale 1/4 -pnm -outfile large-quarter.ref.ppm large.jpg
add large.jpg large-quarter.ref.ppm 0 preview
djpeg -pnm -outfile small-preview.ref.ppm baseline.jpg
add baseline.jpg small-preview.ref.ppm 0 preview

# TIFF: ImageMagick writes each kind, tiffcp re-lays and re-codes it; ImageMagick's reading is the reference
# (within a level where it rounds 16-bit levels its own way: deep samples, colour maps, ink, alpha).
convert src.ppm -compress none rgb.tif
convert grey.pgm -compress none grey8.tif
tiff() { # name source tiffcp-options tolerance
    tiffcp $3 "$2" "$1.tif"
    convert "$1.tif[0]" -background white -flatten -depth 8 "$1.ref.ppm"
    add "$1.tif" "$1.ref.ppm" "$4" picture
}
tiff none rgb.tif "-c none" 0
tiff lzw rgb.tif "-c lzw" 0
tiff lzw-predictor rgb.tif "-c lzw:2" 0
tiff deflate rgb.tif "-c zip:2" 0
tiff packbits rgb.tif "-c packbits" 0
tiff jpeg-ycbcr rgb.tif "-c jpeg:90 -r 16" 0
tiff jpeg-rgb rgb.tif "-c jpeg:r:90 -r 16" 0
tiff tiled rgb.tif "-c lzw -t -w 48 -l 32" 0
tiff planar rgb.tif "-c lzw -p separate" 0
tiff tiled-planar rgb.tif "-c zip -t -w 32 -l 32 -p separate" 0
tiff big-endian rgb.tif "-B -c lzw" 0
tiff grey grey8.tif "-c lzw" 0
convert grey.pgm -threshold 50% -compress Group4 white.tif
convert grey.pgm -threshold 50% -depth 1 -compress none black.tif
tiff g3 white.tif "-c g3" 0
tiff g3-2d black.tif "-c g3:2d:fill" 0
tiff g4 white.tif "-c g4" 0
tiff g4-black black.tif "-c g4" 0
tiff bilevel-packbits black.tif "-c packbits" 0
convert src.ppm -colors 16 -type Palette palette16.tif
tiff palette palette16.tif "-c lzw" 1
convert src.ppm -colors 200 -type Palette palette200.tif
tiff palette-tiled palette200.tif "-c zip -t -w 64 -l 64" 1
convert src.ppm -depth 16 -compress none deep.tif
tiff rgb16 deep.tif "-c zip" 1
convert grey.pgm -depth 16 -compress none deepgrey.tif
tiff grey16 deepgrey.tif "-c lzw" 1
convert src.ppm -colorspace CMYK -compress none cmyk0.tif
tiff cmyk cmyk0.tif "-c lzw" 1
convert src.ppm \( -size 203x131 gradient: \) -alpha off -compose CopyOpacity -composite -compress none alpha0.tif
tiff alpha alpha0.tif "-c lzw" 1
tiff alpha-planar alpha0.tif "-c lzw -p separate" 1
convert src.ppm -flip -compress none other.tif
tiffcp -c lzw rgb.tif other.tif multipage.tif
convert rgb.tif -depth 8 multipage.ref.ppm
add multipage.tif multipage.ref.ppm 0 picture

rm -f rgb.tif grey8.tif white.tif black.tif palette16.tif palette200.tif deep.tif deepgrey.tif cmyk0.tif alpha0.tif \
    other.tif src.ppm grey.pgm large.ppm
mv manifest.new manifest.txt
