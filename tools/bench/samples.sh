#!/bin/sh
# Sample store benchmarks under Wine, each a ratio measured side by side in one run:
# - making samples of 100 JPEG pictures of 4000 x 3000 against ImageMagick (-sample, a full decode) and against
#   vipsthumbnail (shrink-on-load) over the same files, each in one process;
# - listing a folder of 1,000 and of 10,000 pictures with its bank and painting the first catalog page, against
#   the same listing without a bank, and for 10,000 against reading 10,000 separate 80 x 60 .BMP files;
# - the memory the loaded 10,000-sample bank holds against its size on disk.
# $1 is the bench build folder; RUN_TREE and WINE come from ./fovea.sh bench.
set -e
. "$(dirname "$0")/common.sh"
bench_setup bench_samples sample-store
cmake --build "$BUILD/$TREE" -j2 --target IFJPEG >/dev/null
exe="$PROGRAMS/bench_samples.exe"

# Camera-sized pictures from ImageMagick's built-in images, copied up to 100 files.
mkdir -p "$work/jpeg" "$work/im" "$work/vips" "$work/ours"
i=0
for image in rose: logo: wizard: netscape: granite:; do
    convert "$image" -resize '4000x3000!' -quality 90 "$work/jpeg/base$i.jpg"
    i=$((i + 1))
done
for n in $(seq 0 99); do
    cp "$work/jpeg/base$((n % 5)).jpg" "$work/jpeg/p$(printf %03d "$n").jpg"
done
rm "$work"/jpeg/base*.jpg

seconds() { python3 -c 'import time; print(time.monotonic())'; }
t0=$(seconds)
# mogrify reads, reduces and writes one picture after the other in its one process.
mogrify -path "$work/im" -format bmp -sample '80x60!' "$work"/jpeg/*.jpg
t1=$(seconds)
vipsthumbnail "$work"/jpeg/*.jpg --size '80x60!' -o "$work/vips/%s.bmp" 2>/dev/null ||
    vipsthumbnail "$work"/jpeg/*.jpg --size '80x60!' -o "$work/vips/%s.png"
t2=$(seconds)
made=$("$WINE" "$exe" make "$(win "$work/jpeg")" "$(win "$work/ours")" | tr -d '\r')

# Folders of 1,000 and 10,000 empty picture files, with a bank of their samples and without one, and 10,000
# single sample files.
python3 - "$work" <<'PYTHON'
import os, struct, sys
work = sys.argv[1]
w, h = 80, 60
stride = w * 3
frame = bytes(range(256)) * (stride * h // 256) + bytes(stride * h % 256)
for count in (1000, 10000):
    for kind in ("banked", "plain"):
        folder = os.path.join(work, f"{kind}{count}")
        os.makedirs(folder)
        for i in range(count):
            open(os.path.join(folder, f"p{i:05d}.jpg"), "wb").close()
    folder = os.path.join(work, f"banked{count}")
    rows = count * h
    header = struct.pack("<2sIHHI", b"BM", 54 + rows * stride, 0, 0, 54)
    header += struct.pack("<IiiHHIIiiII", 40, w, rows, 1, 24, 0, rows * stride, 0, 0, 0, 0)
    with open(os.path.join(folder, "SB2400.BMS"), "wb") as bank:
        bank.write(header)
        for i in range(count):
            bank.write(frame)
    with open(os.path.join(folder, "SB2400.TXT"), "wb") as index:
        index.write(b"".join(f"p{i:05d}\r\n".encode() for i in range(count)))
single = os.path.join(work, "single")
os.makedirs(single)
one = struct.pack("<2sIHHI", b"BM", 54 + h * stride, 0, 0, 54)
one += struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, h * stride, 0, 0, 0, 0) + frame
for i in range(10000):
    with open(os.path.join(single, f"p{i:05d}.bmp"), "wb") as f:
        f.write(one)
PYTHON
show1=$("$WINE" "$exe" show "$(win "$work/banked1000")" "$(win "$work/plain1000")" 7 | tr -d '\r')
show10=$("$WINE" "$exe" show "$(win "$work/banked10000")" "$(win "$work/plain10000")" 5 | tr -d '\r')
files=$("$WINE" "$exe" files "$(win "$work/single")" 3 | tr -d '\r')

python3 - "$t0" "$t1" "$t2" "$made" "$show1" "$show10" "$files" <<'PYTHON'
import sys
t0, t1, t2 = map(float, sys.argv[1:4])
made = sys.argv[4].split()
ours = float(made[2])
im = (t1 - t0) * 1000
vips = (t2 - t1) * 1000
print(f"samples of {made[1]} JPEG pictures of 4000 x 3000: {ours / im:.2f}x ImageMagick -sample 80x60! "
      f"(ours {ours:.0f} ms, ImageMagick {im:.0f} ms; target <= 0.5x)")
print(f"samples of {made[1]} JPEG pictures of 4000 x 3000: {ours / vips:.2f}x vipsthumbnail "
      f"(ours {ours:.0f} ms, vipsthumbnail {vips:.0f} ms; target <= 2x)")
def rows(text):
    return {line.split()[0]: line.split()[1:] for line in text.splitlines() if line.split()}
files = rows(sys.argv[7])["files"]
for text, target in ((sys.argv[5], 1.5), (sys.argv[6], 2.5)):
    r = rows(text)
    entries, plain, banked = int(r["show"][0]), float(r["show"][1]), float(r["show"][2])
    print(f"listing {entries:,} pictures with their bank and painting the first catalog page: "
          f"{banked / plain:.2f}x without a bank (bank {banked:.0f} ms, none {plain:.0f} ms; target <= {target}x)")
    if entries >= 10000:
        print(f"showing 10,000 samples from the bank: {banked / float(files[1]):.2f}x reading {int(files[0]):,} "
              f"separate 80 x 60 .BMP files (bank {banked:.0f} ms, files {float(files[1]):.0f} ms; target <= 0.2x)")
        growth, size = map(int, r["memory"])
        print(f"memory held by the loaded 10,000-sample bank: {growth / size:.2f}x its size on disk "
              f"({growth / 2**20:.0f} MB for {size / 2**20:.0f} MB; target <= 1.5x)")
PYTHON
