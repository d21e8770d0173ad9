#!/bin/sh
# JPEG, GIF and TIFF decoding against the reference tools on the same large files, side by side in one run,
# and the JPEG preview against the whole decode.
# Usage: tools/bench/decoders-jpeg-gif-tiff.sh BENCH_BUILD_DIR   (a tree configured with -DFOVEA_BENCH=ON)
set -eu
. "$(dirname "$0")/common.sh"
decoder_setup
runs=5


# Best processor time (user and system) in ms of $runs runs of a command: on a machine shared with other work,
# the wall time of a run says as much about the neighbours as about the decoder.
best_cpu_ms() {
    python3 - "$runs" "$@" <<'PYTHON' || { echo "failed: $*" >&2; exit 1; }
import resource, subprocess, sys
best = None
for _ in range(int(sys.argv[1])):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(sys.argv[2:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    ms = (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000
    best = ms if best is None else min(best, ms)
print(round(best))
PYTHON
}

# The processor-time figure of the same pair, on its own line.
report_cpu() {  # name ours theirs tool
    ratio=$(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
    echo "  $1 in processor time: ${ratio}x $4 (ours $2 ms, $4 $3 ms)"
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
[ -f big.tif ] || { convert big.ppm -compress None big-raw.tif && tiffcp -c lzw:2 big-raw.tif big.tif; }
[ -f big-jpeg.tif ] || { convert big.ppm -compress None big-raw.tif && tiffcp -c jpeg:90 -r 16 big-raw.tif big-jpeg.tif; }
rm -f big-raw.tif

# The plug-ins decode with the same libjpeg-turbo and libtiff versions as the tools (Debian's, on the host).
ours=$(best_ms "$bench" jpeg big.jpg 1 out.bmp)
theirs=$(best_ms djpeg -bmp -outfile ref.bmp big.jpg)
report JPEG 4000x3000 "$ours" "$theirs" "djpeg -bmp" 1.1x

# A camera's photo stored sideways (6, the usual portrait) or upside down (3), with the EXIF orientation that
# turns it upright: the same coded picture as big.jpg, so the figure is the cost of turning it.
for o in 6 3; do
    [ -f big-exif$o.jpg ] || python3 - big.jpg big-exif$o.jpg $o <<'PYTHON'
import struct, sys
data = open(sys.argv[1], "rb").read()
tiff = b"MM" + struct.pack(">HIH", 42, 8, 1) + struct.pack(">HHIHH", 0x0112, 3, 1, int(sys.argv[3]), 0) + bytes(4)
body = b"Exif\0\0" + tiff
open(sys.argv[2], "wb").write(data[:2] + b"\xff\xe1" + struct.pack(">H", len(body) + 2) + body + data[2:])
PYTHON
    # Alternating, so that a change of the machine's load weighs on both alike.
    upright= turned=
    i=0
    while [ $i -lt $runs ]; do
        a=$(runs=1 best_ms "$bench" jpeg big.jpg 1 out.bmp)
        b=$(runs=1 best_ms "$bench" jpeg big-exif$o.jpg 1 out.bmp)
        if [ -z "$upright" ] || [ $a -lt $upright ]; then upright=$a; fi
        if [ -z "$turned" ] || [ $b -lt $turned ]; then turned=$b; fi
        i=$((i + 1))
    done
    ratio=$(awk -v a="$turned" -v b="$upright" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
    echo "JPEG with EXIF orientation $o 4000x3000: ${ratio}x the upright decode of the same picture (turned $turned ms, upright $upright ms; target <= 1.1x)"
done

# The reduced picture for samples (1/8 here) against the whole decode of the same file, both ours.
preview=$(best_ms "$bench" jpeg-preview big.jpg 1 out.bmp)
ratio=$(awk -v a="$preview" -v b="$ours" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
echo "JPEG preview 4000x3000 at 1/8: ${ratio}x the whole decode (preview $preview ms, whole $ours ms; target <= 0.25x)"
# What the library itself reaches: even at 1/8 every coefficient is still Huffman-decoded, so the scaled
# decode of djpeg against its own whole decode is the floor of the figure above.
scaled=$(best_ms djpeg -scale 1/8 -bmp -outfile ref8.bmp big.jpg)
report "JPEG preview 1/8" 4000x3000 "$preview" "$scaled" "djpeg -scale 1/8" 1.1x
ratio=$(awk -v a="$scaled" -v b="$theirs" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
echo "djpeg -scale 1/8 4000x3000: ${ratio}x djpeg -bmp (the library's own floor for the preview ratio)"

ours=$(best_ms "$bench" gif big.gif 1 out.bmp)
theirs=$(best_ms gif2rgb -1 -o ref.rgb big.gif)
report GIF 4000x3000 "$ours" "$theirs" gif2rgb 1.5x

ours=$(best_ms "$bench" tiff big.tif 1 out.bmp)
theirs=$(best_ms tiff2rgba -c none big.tif ref.tif)
report "TIFF (LZW)" 4000x3000 "$ours" "$theirs" tiff2rgba 1.2x
report_cpu "TIFF (LZW)" "$(best_cpu_ms "$bench" tiff big.tif 1 out.bmp)" \
    "$(best_cpu_ms tiff2rgba -c none big.tif ref.tif)" tiff2rgba

ours=$(best_ms "$bench" tiff big-jpeg.tif 1 out.bmp)
theirs=$(best_ms tiff2rgba -c none big-jpeg.tif ref.tif)
report "TIFF (JPEG)" 4000x3000 "$ours" "$theirs" tiff2rgba 1.2x
rm -f out.bmp ref.bmp ref8.bmp ref.rgb ref.tif
