#!/bin/sh
# JPEG, GIF and TIFF decoding against the reference tools on the same large files, side by side in one run.
# Usage: tools/bench/decoders-jpeg-gif-tiff.sh BENCH_BUILD_DIR   (a tree configured with -DFOVEA_BENCH=ON)
set -eu
build=${1:?usage: $0 BENCH_BUILD_DIR}
cmake --build "$build" -j2 --target decoder_bench >/dev/null
bench=$build/tests/plugins/golden/decoder_bench
work=$build/bench-decoders
mkdir -p "$work"
cd "$work"
runs=5

# Best wall time in ms of $runs runs of a command.
best_ms() {
    best=
    i=0
    while [ $i -lt $runs ]; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
        end=$(date +%s%N)
        ms=$(( (end - start) / 1000000 ))
        if [ -z "$best" ] || [ $ms -lt $best ]; then best=$ms; fi
        i=$((i + 1))
    done
    echo $best
}

report() {  # name size ours theirs tool target
    ratio=$(awk -v a="$3" -v b="$4" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
    echo "$1 decode $2: ${ratio}x $5 (ours $3 ms, $5 $4 ms; target <= $6)"
}

# 12 megapixels of smooth and noisy areas: neither trivially compressible nor pure noise.
if [ ! -f big.ppm ]; then
    convert -size 4000x3000 -seed 7 plasma:fractal -depth 8 big.ppm
fi
[ -f big.jpg ] || cjpeg -quality 90 -outfile big.jpg big.ppm
[ -f big.gif ] || convert big.ppm -dither None -colors 256 big.gif
[ -f big.tif ] || { convert big.ppm -compress None big-raw.tif && tiffcp -c lzw:2 big-raw.tif big.tif && rm big-raw.tif; }

ours=$(best_ms "$bench" jpeg big.jpg 1 out.bmp)
theirs=$(best_ms djpeg -bmp -outfile ref.bmp big.jpg)
report JPEG 4000x3000 "$ours" "$theirs" "djpeg -bmp" 2x

ours=$(best_ms "$bench" gif big.gif 1 out.bmp)
theirs=$(best_ms gif2rgb -1 -o ref.rgb big.gif)
report GIF 4000x3000 "$ours" "$theirs" gif2rgb 1.5x

ours=$(best_ms "$bench" tiff big.tif 1 out.bmp)
theirs=$(best_ms tiff2rgba -c none big.tif ref.tif)
report TIFF 4000x3000 "$ours" "$theirs" tiff2rgba 1.5x
rm -f out.bmp ref.bmp ref.rgb ref.tif
