#!/usr/bin/env bash
# Benchmarks: each figure is a ratio against a baseline measured side by side in the same run.
# Called by ./fovea.sh bench with the build folder; RUN_TREE and WINE name the Windows tree and loader.
set -euo pipefail
BUILD="$1"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BENCH="$BUILD/bench"

if [ ! -f "$BENCH/build.ninja" ]; then
    CC=gcc CXX=g++ cmake -S "$ROOT" -B "$BENCH" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOVEA_BENCH=ON >/dev/null
fi
cmake --build "$BENCH" -j "$(nproc)" >/dev/null

# FOVEA_BENCH_ONLY=REGEX runs only the benchmark scripts whose names match, without the start-up figures.
if [ -z "${FOVEA_BENCH_ONLY:-}" ]; then
echo "== start-up and idle (under Wine, $RUN_TREE)"
bin="$BUILD/$RUN_TREE/bin"
to_windows() { echo "Z:${1//\//\\}"; }
# Installed as a user installs it, and started in its folder: the start drive is then C:. Started from the
# build folder the start drive is Z:, Wine's view of the whole Unix tree, whose folders (/usr/bin and the like)
# the folder trees read for their marks; that start is measured as well.
installed="$WINEPREFIX/drive_c/Program Files/Fovea"
rm -rf "$installed"
mkdir -p "$installed"
cp "$bin"/fovea.exe "$bin"/IF*.SPI "$bin"/bench_minimal_window.exe "$bin"/bench_startup.exe "$installed/"
# A window that stays open for the whole measurement keeps Wine's desktop process running, as a user's
# desktop is, so that neither program pays for starting it.
(cd "$bin" && "$WINE" bench_minimal_window.exe >/dev/null 2>&1 &)
sleep 3
measure() { # <folder to start in> <minimal> <fovea> <idle seconds>
    (cd "$1" && "$WINE" bench_startup.exe 21 "$4" "$2" "$3" | tr -d '\r')
}
c_figures=$(measure "$installed" 'C:\Program Files\Fovea\bench_minimal_window.exe' 'C:\Program Files\Fovea\fovea.exe' 10)
z_figures=$(measure "$bin" "$(to_windows "$bin/bench_minimal_window.exe")" "$(to_windows "$bin/fovea.exe")" 0)
"$WINE" taskkill /im bench_minimal_window.exe >/dev/null 2>&1 || true
rm -rf "$installed"
python3 - "$c_figures" "$z_figures" <<'PYTHON'
import sys
def rows(text):
    found = {}
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 5:
            found[parts[0]] = (float(parts[2]), float(parts[4]))
    return found["0"], found["1"]
(m, f), (mz, fz) = rows(sys.argv[1]), rows(sys.argv[2])
print(f"start-up to a shown main window, installed on C: and started in its folder: {f[0] / m[0]:.2f}x a minimal "
      f"one-window program (fovea {f[0]:.0f} ms, minimal {m[0]:.0f} ms, medians of 21 alternating starts; "
      f"target <= 1.5x)")
print(f"the same started from the build folder, start drive Z: (the Unix root): {fz[0] / mz[0]:.2f}x "
      f"(fovea {fz[0]:.0f} ms, minimal {mz[0]:.0f} ms)")
print(f"idle processor use over 10 s: fovea {max(0.0, f[1]):.2f}% of one core, minimal {max(0.0, m[1]):.2f}% "
      "(target: near zero)")
PYTHON
fi

for script in "$ROOT"/tools/bench/*.sh; do
    [ -e "$script" ] || continue
    [ -z "${FOVEA_BENCH_ONLY:-}" ] || [[ "$(basename "$script")" =~ $FOVEA_BENCH_ONLY ]] || continue
    [ "$(basename "$script")" = common.sh ] && continue # the set-up the others source
    echo "== $(basename "$script" .sh)"
    bash "$script" "$BENCH" || echo "($(basename "$script") failed)"
done
