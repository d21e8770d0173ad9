#!/bin/sh
# Listing benchmarks under Wine: SetPath (read, sort, fill) of a folder of 10,000 files into a real file list
# against the bare FindFirstFileA/FindNextFileA loop over the same folder, and 100,000 files listed in full against 10,000,
# measured side by side in one process (medians of alternating rounds). $1 is the bench build folder;
# RUN_TREE and WINE come from ./fovea.sh bench.
set -e
. "$(dirname "$0")/common.sh"
bench_setup bench_listing listing-folders
# Empty files with mixed extensions and names, so that the sort has work to do.
python3 - "$work" <<'PYTHON'
import os, sys
work = sys.argv[1]
extensions = ["JPG", "bmp", "TXT", "gif", "DOC", "tif"]
for count in (10000, 100000):
    folder = os.path.join(work, f"f{count}")
    os.makedirs(folder)
    for i in range(count):
        n = (i * 7919) % count
        open(os.path.join(folder, f"p{n:06d}_{i % 97:02d}.{extensions[i % 6]}"), "wb").close()
PYTHON
figures=$("$WINE" "$PROGRAMS/bench_listing.exe" "$(win "$work/f10000")" "$(win "$work/f100000")" 5 |
          tr -d '\r')
python3 - "$figures" <<'PYTHON'
import sys
rows = [line.split() for line in sys.argv[1].splitlines() if len(line.split()) == 4]
(n1, bare1, list1, paint1), (n2, bare2, list2, paint2) = [(int(a), float(b), float(c), float(d)) for a, b, c, d in rows]
print(f"SetPath of {n1:,} files: {list1 / bare1:.2f}x the bare enumeration "
      f"(list {list1:.0f} ms, FindFirstFileA/FindNextFileA {bare1:.0f} ms, medians of 5 alternating rounds; "
      f"target <= 2x)")
print(f"SetPath of {n2:,} files in full: {list2 / list1:.2f}x that of {n1:,} "
      f"(list {list2:.0f} ms, bare enumeration {bare2:.0f} ms; target <= 12x)")
print(f"first page painted after the listing: {paint1:.0f} ms ({n1:,} files), {paint2:.0f} ms ({n2:,} files)")
PYTHON
