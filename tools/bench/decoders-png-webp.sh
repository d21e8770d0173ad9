#!/bin/sh
# PNG and WebP decoding against the reference tools of the same libraries on the same large files, side by side
# in one run, and the reduced pictures for samples against the whole decodes.
# Usage: tools/bench/decoders-png-webp.sh BENCH_BUILD_DIR   (a tree configured with -DFOVEA_BENCH=ON)
set -eu
. "$(dirname "$0")/common.sh"
decoder_setup
runs=5


ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# The same 12 megapixels of smooth and noisy areas as the JPEG, GIF and TIFF figures.
if [ ! -f big.ppm ]; then
    convert -size 4000x3000 -seed 7 plasma:fractal -depth 8 big.ppm
fi
[ -f big.png ] || pnmtopng big.ppm >big.png
[ -f big-adam7.png ] || pnmtopng -interlace big.ppm >big-adam7.png
[ -f big.webp ] || cwebp -quiet -q 90 big.ppm -o big.webp

# The plug-ins decode with the same libpng and libwebp versions as the tools (Debian's, on the host); each side
# writes the whole picture to a file.
ours=$(best_ms "$bench" png big.png 1 out.bmp)
theirs=$(best_ms sh -c 'pngtopam big.png >ref.ppm')
echo "PNG decode 4000x3000 (RGB, not interlaced): $(ratio "$ours" "$theirs")x pngtopam (ours $ours ms, pngtopam $theirs ms; target <= 1.1x)"

# An interlaced picture's preview reads only its first passes (every 8th pixel both ways, 500 x 375 here).
whole=$(best_ms "$bench" png big-adam7.png 1 out.bmp)
preview=$(best_ms "$bench" png-preview big-adam7.png 1 out.bmp)
echo "PNG preview 4000x3000 interlaced, first pass: $(ratio "$preview" "$whole")x the whole decode (preview $preview ms, whole $whole ms)"

ours=$(best_ms "$bench" webp big.webp 1 out.bmp)
theirs=$(best_ms dwebp -ppm big.webp -o ref.ppm)
echo "WebP decode 4000x3000 (lossy): $(ratio "$ours" "$theirs")x dwebp -ppm (ours $ours ms, dwebp $theirs ms; target <= 1.1x)"

# The library scales while decoding (to 160 x 120 here): every macroblock is still decoded in full (the loop
# filter is already left out by the library when it scales down), so the saving is the large picture's memory.
preview=$(best_ms "$bench" webp-preview big.webp 1 out.bmp)
echo "WebP preview 4000x3000 scaled to 160x120: $(ratio "$preview" "$ours")x the whole decode (preview $preview ms, whole $ours ms)"
rm -f out.bmp ref.ppm
