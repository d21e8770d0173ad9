#!/bin/sh
# Tree walk benchmarks under Wine: WalkDir "Copy" of 2,000 files (200 MB) against xcopy /E /I, and "Remove"
# of 10,000 files against rmdir /S /Q, each contender started as its own process, alternating, medians of
# five rounds. $1 is the bench build folder; RUN_TREE and WINE come from ./fovea.sh bench.
set -e
. "$(dirname "$0")/common.sh"
bench_setup bench_walk walk-tree
# 20 folders of 100 files of 100 KB; 100 folders of 100 files of 1 KB.
python3 - "$work" <<'PYTHON'
import os, sys
work = sys.argv[1]
block = os.urandom(100 * 1024)
for d in range(20):
    folder = os.path.join(work, "copy", f"d{d:02}")
    os.makedirs(folder)
    for f in range(100):
        with open(os.path.join(folder, f"f{f:03}.bin"), "wb") as out:
            out.write(block[f:] + block[:f])
small = b"x" * 1024
for d in range(100):
    folder = os.path.join(work, "remove", f"d{d:03}")
    os.makedirs(folder)
    for f in range(100):
        with open(os.path.join(folder, f"f{f:03}.txt"), "wb") as out:
            out.write(small)
PYTHON
exe="$PROGRAMS/bench_walk.exe"
copy=$("$WINE" "$exe" race copy "$(win "$work/copy")" "$(win "$work")" 5 | tr -d '\r')
remove=$("$WINE" "$exe" race remove "$(win "$work/remove")" "$(win "$work")" 5 | tr -d '\r')
python3 - "$copy" "$remove" <<'PYTHON'
import sys
def rows(text):
    return {p[0]: float(p[1]) for p in (line.split() for line in text.splitlines()) if len(p) >= 2}
c, r = rows(sys.argv[1]), rows(sys.argv[2])
print(f"WalkDir Copy of 2,000 files (200 MB): {c['walkdir'] / c['xcopy']:.2f}x xcopy /E /I "
      f"(walk {c['walkdir']:.0f} ms, xcopy {c['xcopy']:.0f} ms, medians of 5 alternating rounds; target <= 1.1x)")
print(f"WalkDir Remove of 10,000 files: {r['walkdir'] / r['rmdir']:.2f}x rmdir /S /Q "
      f"(walk {r['walkdir']:.0f} ms, rmdir {r['rmdir']:.0f} ms, medians of 5 alternating rounds; target <= 1.2x)")
PYTHON
