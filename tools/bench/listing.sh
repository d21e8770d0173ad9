#!/bin/sh
# Listing benchmarks under Wine: SetPath (read, sort, fill) of a folder of 10,000 files into a real file list
# against the bare FindFirstFileA/FindNextFileA loop over the same folder, and 100,000 files listed in full against
# 10,000; then folders of 1,000, 10,000 and 100,000 pictures listed with their bank (1,002, 10,002 and 100,002
# entries) and the first catalog page painted, against the same listing without a bank, the 100,000 case read back
# from the screen on its last page and its memory measured. Medians of alternating rounds in one process. $1 is
# the bench build folder; RUN_TREE and WINE come from ./fovea.sh bench.
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
rm -rf "$work/f10000" "$work/f100000"

# Empty pictures p00000.jpg ... with and without a bank of their 80 x 60 samples, frame k all of one colour of
# its own (R = k & 255, G = (k >> 8) & 255, B = 0x40 | k >> 16), as the sample store writes a bank.
python3 - "$work" <<'PYTHON'
import os, struct, sys
work = sys.argv[1]
w, h = 80, 60
stride = w * 3
for count in (1000, 10000, 100000):
    for kind in ("banked", "plain"):
        folder = os.path.join(work, f"{kind}{count}")
        os.makedirs(folder)
        for i in range(count):
            open(os.path.join(folder, f"p{i:05d}.jpg"), "wb").close()
    folder = os.path.join(work, f"banked{count}")
    rows = count * h
    header = struct.pack("<2sIHHI", b"BM", (54 + rows * stride) & 0xFFFFFFFF, 0, 0, 54)
    header += struct.pack("<IiiHHIIiiII", 40, w, rows, 1, 24, 0, (rows * stride) & 0xFFFFFFFF, 0, 0, 0, 0)
    with open(os.path.join(folder, "SB2400.BMS"), "wb") as bank:
        bank.write(header)
        for k in range(count):
            bank.write(bytes((0x40 | k >> 16, (k >> 8) & 255, k & 255)) * (w * h))
    with open(os.path.join(folder, "SB2400.TXT"), "wb") as index:
        index.write(b"".join(f"p{i:05d}\r\n".encode() for i in range(count)))
PYTHON
catalog() { # <count> <rounds> [last]
    "$WINE" "$PROGRAMS/bench_listing.exe" catalog "$(win "$work/banked$1")" "$(win "$work/plain$1")" "$2" \
        ${3:-} | tr -d '\r'
}
show1=$(catalog 1000 9)
show10=$(catalog 10000 7)
show100=$(catalog 100000 5 last)
bank100=$(stat -c %s "$work/banked100000/SB2400.BMS")
python3 - "$show1" "$show10" "$show100" "$bank100" <<'PYTHON'
import sys
def rows(text):
    return {line.split()[0]: line.split()[1:] for line in text.splitlines() if line.split()}
bank = int(sys.argv[4])
for text, target in ((sys.argv[1], 1.2), (sys.argv[2], 1.3), (sys.argv[3], 1.3)):
    r = rows(text)
    entries, plain, banked = int(r["catalog"][0]), float(r["catalog"][1]), float(r["catalog"][2])
    print(f"listing {entries:,} pictures with their bank and painting the first catalog page: "
          f"{banked / plain:.2f}x without a bank (bank {banked:.0f} ms, none {plain:.0f} ms; target <= {target}x)")
    if "lastpage" in r:
        cells, wrong = map(int, r["lastpage"])
        growth, mapped = map(int, r["memory"])
        print(f"  its last page read back from the screen: {cells - wrong} of {cells} cells show their own frame "
              f"(target: all)")
        print(f"  memory beyond the listing with the bank shown: {growth / 2**20:.1f} MB for a bank of "
              f"{bank / 1e9:.2f} GB ({mapped / 2**20:.0f} MB of it mapped; target <= 64 MB)")
PYTHON
