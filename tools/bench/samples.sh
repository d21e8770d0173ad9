#!/bin/sh
# Sample store benchmarks under Wine, each a ratio measured side by side in one run: making samples of 100 JPEG
# pictures of 4000 x 3000 against ImageMagick (-sample, a full decode) and against vipsthumbnail (shrink-on-load)
# over the same files, each in one process; then the same for 100 PNG pictures against vipsthumbnail. (A folder shown from its bank: tools/bench/listing.sh.)
# $1 is the bench build folder; RUN_TREE and WINE come from ./fovea.sh bench.
set -e
. "$(dirname "$0")/common.sh"
bench_setup bench_samples sample-store
cmake --build "$BUILD/$TREE" -j2 --target IFJPEG IFPNG >/dev/null
exe="$PROGRAMS/bench_samples.exe"

# Camera-sized pictures from ImageMagick's built-in images, copied up to 100 files.
mkdir -p "$work/jpeg" "$work/png" "$work/im" "$work/vips" "$work/vips-png" "$work/ours" "$work/ours-png"
i=0
for image in rose: logo: wizard: netscape: granite:; do
    convert "$image" -resize '4000x3000!' -quality 90 "$work/jpeg/base$i.jpg"
    convert "$image" -resize '4000x3000!' -depth 8 "PNG24:$work/png/base$i.png"
    i=$((i + 1))
done
for n in $(seq 0 99); do
    cp "$work/jpeg/base$((n % 5)).jpg" "$work/jpeg/p$(printf %03d "$n").jpg"
    cp "$work/png/base$((n % 5)).png" "$work/png/p$(printf %03d "$n").png"
done
rm "$work"/jpeg/base*.jpg "$work"/png/base*.png

seconds() { python3 -c 'import time; print(time.monotonic())'; }
t0=$(seconds)
# mogrify reads, reduces and writes one picture after the other in its one process.
mogrify -path "$work/im" -format bmp -sample '80x60!' "$work"/jpeg/*.jpg
t1=$(seconds)
vipsthumbnail "$work"/jpeg/*.jpg --size '80x60!' -o "$work/vips/%s.bmp" 2>/dev/null ||
    vipsthumbnail "$work"/jpeg/*.jpg --size '80x60!' -o "$work/vips/%s.png"
t2=$(seconds)
made=$("$WINE" "$exe" make "$(win "$work/jpeg")" "$(win "$work/ours")" | tr -d '\r')
t3=$(seconds)
vipsthumbnail "$work"/png/*.png --size '80x60!' -o "$work/vips-png/%s.bmp" 2>/dev/null ||
    vipsthumbnail "$work"/png/*.png --size '80x60!' -o "$work/vips-png/%s.png"
t4=$(seconds)
made_png=$("$WINE" "$exe" make "$(win "$work/png")" "$(win "$work/ours-png")" PNG | tr -d '\r')

python3 - "$t0" "$t1" "$t2" "$made" "$t3" "$t4" "$made_png" <<'PYTHON'
import sys
t0, t1, t2 = map(float, sys.argv[1:4])
made = sys.argv[4].split()
t3, t4 = map(float, sys.argv[5:7])
made_png = sys.argv[7].split()
ours = float(made[2])
im = (t1 - t0) * 1000
vips = (t2 - t1) * 1000
print(f"samples of {made[1]} JPEG pictures of 4000 x 3000: {ours / im:.2f}x ImageMagick -sample 80x60! "
      f"(ours {ours:.0f} ms, ImageMagick {im:.0f} ms; target <= 0.5x)")
print(f"samples of {made[1]} JPEG pictures of 4000 x 3000: {ours / vips:.2f}x vipsthumbnail "
      f"(ours {ours:.0f} ms, vipsthumbnail {vips:.0f} ms; target <= 2x)")
ours_png = float(made_png[2])
vips_png = (t4 - t3) * 1000
print(f"samples of {made_png[1]} PNG pictures of 4000 x 3000: {ours_png / vips_png:.2f}x vipsthumbnail "
      f"(ours {ours_png:.0f} ms, vipsthumbnail {vips_png:.0f} ms; target <= 1.5x)")
PYTHON
