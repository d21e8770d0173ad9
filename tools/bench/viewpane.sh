#!/bin/sh
# View pane benchmarks under Wine: a 4000 x 3000 JPEG opened in the pane until painted against the plug-in's
# decoding alone; the first screen of a 5.2 MB Shift-JIS text of 100,000 lines, and the whole text shown, against
# setting it into the same control in one call; and saved against one WriteFile of its bytes, with the ways of reading the text back out of the control
# alone, the floor of any save (medians of alternating rounds in one process). $1 is the bench build folder;
# RUN_TREE and WINE come from ./fovea.sh bench.
set -e
. "$(dirname "$0")/common.sh"
bench_setup bench_viewpane viewpane-files
cmake --build "$BUILD/$TREE" -j2 --target IFJPEG >/dev/null
# A photograph-like picture: a gradient with noise, so that the JPEG is of ordinary size for its pixels.
convert -size 4000x3000 gradient:navy-orange -attenuate 0.5 +noise Uniform "$work/photo.ppm"
python3 - "$work" <<'PYTHON'
import os, sys
work = sys.argv[1]
# 100,000 Shift-JIS lines of varied length, 5 MB in all; 表 and ソ carry the trail byte 0x5C.
with open(os.path.join(work, "text.txt"), "wb") as out:
    for i in range(100000):
        out.write("表示ソフト 行 {:06d} ".format(i).encode("cp932") + b"x" * (i % 60) + b"\r\n")
PYTHON
cjpeg -quality 90 "$work/photo.ppm" >"$work/photo.jpg"
rm -f "$work/photo.ppm"
cp "$BUILD/$TREE/bin/IF"*.SPI "$PROGRAMS/bench_viewpane.exe" "$work/"
figures=$("$WINE" "$work/bench_viewpane.exe" "$(win "$work/photo.jpg")" "$(win "$work/text.txt")" 7 | tr -d '\r')
python3 - "$figures" "$(stat -c %s "$work/text.txt")" <<'PYTHON'
import sys
rows = {parts[0]: (float(parts[1]), float(parts[2])) for parts in (l.split() for l in sys.argv[1].splitlines())
        if len(parts) == 3}
size = int(sys.argv[2]) / 1e6
o, d = rows["open-jpeg"]
print(f"opening a 4000x3000 JPEG in the pane until painted: {o / d:.2f}x decoding it with the plug-in alone "
      f"(pane {o:.0f} ms, plug-in {d:.0f} ms, medians of 7 alternating rounds; target <= 1.3x)")
f, b = rows["first-screen"]
print(f"first screen of a {size:.1f} MB Shift-JIS text of 100,000 lines: {f / b:.2f}x putting the whole text into "
      f"the control (first screen painted {f:.0f} ms, EM_STREAMIN of the whole text {b:.0f} ms; target <= 0.1x)")
s, b = rows["show-text"]
print(f"  the same text until all of it is in: {s / b:.2f}x (ShowText and its pieces {s:.0f} ms; target <= 1.5x)")
s, b = rows["save-text"]
print(f"SaveText of the same text: {s / b:.2f}x one WriteFile of its bytes (SaveText {s:.0f} ms, "
      f"WriteFile {b:.0f} ms; target <= 2x)")
reads = [float(v) for v in sys.argv[1].split("read-text", 1)[1].split()[:4]]
r = min(reads)
print(f"  the control alone hands the text back in {r:.0f} ms at the fastest, {r / b:.1f}x one WriteFile: SaveText is "
      f"{s / r:.2f}x that read (EM_GETTEXTEX in code page 932 {reads[0]:.0f} ms, in UTF-16 then WideCharToMultiByte "
      f"{reads[1]:.0f} ms, WM_GETTEXT {reads[2]:.0f} ms, EM_STREAMOUT {reads[3]:.0f} ms)")
PYTHON
