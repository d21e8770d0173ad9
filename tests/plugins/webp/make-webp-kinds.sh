#!/bin/sh
# Writes WebP pictures of every kind (lossy, lossless, each with and without alpha, animated with the first frame
# covering the canvas or only part of it), made by cwebp, img2webp and webpmux from one source picture, with
# dwebp's reading of each beside it as NAME.ref.ppm (alpha composited on white by ImageMagick).
# manifest.txt lists one picture a line: FILE REFERENCE TOLERANCE CALL (CALL: picture or preview).
# Usage: make-webp-kinds.sh OUT_DIR
set -eu
out=$1
mkdir -p "$out"
cd "$out"
rm -f manifest.txt manifest.new
add() { echo "$1 $2 $3 $4" >>manifest.new; }

# Odd sizes: partial macroblocks and chroma samples at the right and bottom edges.
convert -size 203x131 -seed 11 plasma:fractal -depth 8 src.ppm
convert src.ppm \( -size 131x203 gradient:black-white -rotate 90 -fill white -draw 'rectangle 0,0 202,20' \
    -fill black -draw 'rectangle 0,110 202,130' \) -alpha off -compose CopyOpacity -composite alpha.png
convert -size 203x131 -seed 12 plasma:fractal -depth 8 second.ppm

# webp NAME [dwebp options]: NAME.webp is made; dwebp reads it, with its alpha over white where it has any.
webp() {
    name=$1
    shift
    dwebp -quiet "$@" -pam "$name.webp" -o "$name.ref.pam"
    convert "$name.ref.pam" -background white -alpha remove -alpha off -depth 8 "ppm:$name.ref.ppm"
    rm -f "$name.ref.pam"
}
cwebp -quiet -q 80 src.ppm -o lossy.webp && webp lossy && add lossy.webp lossy.ref.ppm 0 picture
cwebp -quiet -q 90 -sharp_yuv -m 6 src.ppm -o lossy-sharp.webp && webp lossy-sharp
add lossy-sharp.webp lossy-sharp.ref.ppm 0 picture
cwebp -quiet -lossless src.ppm -o lossless.webp && webp lossless && add lossless.webp lossless.ref.ppm 0 picture
cwebp -quiet -q 80 alpha.png -o lossy-alpha.webp && webp lossy-alpha
add lossy-alpha.webp lossy-alpha.ref.ppm 1 picture
cwebp -quiet -q 80 -alpha_q 50 -alpha_filter best alpha.png -o lossy-alpha-q.webp && webp lossy-alpha-q
add lossy-alpha-q.webp lossy-alpha-q.ref.ppm 1 picture
cwebp -quiet -lossless -exact alpha.png -o lossless-alpha.webp && webp lossless-alpha
add lossless-alpha.webp lossless-alpha.ref.ppm 1 picture
# A still picture in the extended layout (VP8X with metadata chunks before the image).
cwebp -quiet -q 80 -metadata all -o extended.webp alpha.png
webpmux -set exif alpha.png extended.webp -o extended.webp 2>/dev/null || true
webp extended && add extended.webp extended.ref.ppm 1 picture

# Animations: the first frame is what shows. Full-canvas frames from img2webp; then a first frame of part of the
# canvas at an offset, the rest of the canvas white.
img2webp -loop 0 -lossy -q 80 src.ppm -d 100 second.ppm -o animated.webp >/dev/null 2>&1
webpmux -get frame 1 animated.webp -o first.webp >/dev/null 2>&1
webp first && mv first.ref.ppm animated.ref.ppm && add animated.webp animated.ref.ppm 0 picture
convert src.ppm -crop 120x80+0+0 +repage small.ppm
cwebp -quiet -lossless alpha.png -o frame-big.webp
cwebp -quiet -lossless small.ppm -o frame-small.webp
webpmux -frame frame-small.webp +100+40+30 -frame frame-big.webp +100+0+0 -loop 0 -bgcolor 255,255,0,0 \
    -o offset.webp >/dev/null 2>&1
dwebp -quiet -ppm frame-small.webp -o frame-small.ppm
convert -size 203x131 xc:white frame-small.ppm -geometry +40+30 -composite -depth 8 offset.ref.ppm
add offset.webp offset.ref.ppm 0 picture

# Reduced previews: the library scales while decoding to the least size of the picture's proportions that is
# at least 160 x 120 (1000 x 700 becomes 172 x 120, 203 x 131 186 x 120).
convert -size 1000x700 -seed 5 plasma:fractal -depth 8 large.ppm
convert large.ppm \( -size 700x1000 gradient:black-white -rotate 90 \) -alpha off -compose CopyOpacity -composite \
    large-alpha.png
cwebp -quiet -q 80 large.ppm -o large.webp && webp large -scale 172 120 && add large.webp large.ref.ppm 0 preview
cwebp -quiet -lossless large-alpha.png -o large-alpha.webp && webp large-alpha -scale 172 120
add large-alpha.webp large-alpha.ref.ppm 1 preview
dwebp -quiet -scale 186 120 -ppm lossy.webp -o lossy-preview.ref.ppm
add lossy.webp lossy-preview.ref.ppm 0 preview
# Too small to reduce: the preview is the whole picture.
add frame-small.webp frame-small.ppm 0 preview

rm -f src.ppm second.ppm alpha.png small.ppm frame-big.webp first.webp large.ppm large-alpha.png
mv manifest.new manifest.txt
