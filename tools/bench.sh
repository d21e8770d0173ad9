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

echo "== start-up and idle (under Wine, $RUN_TREE)"
bin="$BUILD/$RUN_TREE/bin"
to_windows() { echo "Z:${1//\//\\}"; }
# A window that stays open for the whole measurement keeps Wine's desktop process running, as a user's
# desktop is, so that neither program pays for starting it.
(cd "$bin" && "$WINE" bench_minimal_window.exe >/dev/null 2>&1 &)
sleep 3
figures=$("$WINE" "$bin/bench_startup.exe" 11 10 "$(to_windows "$bin/bench_minimal_window.exe")" \
    "$(to_windows "$bin/fovea.exe")" | tr -d '\r')
"$WINE" taskkill /im bench_minimal_window.exe >/dev/null 2>&1 || true
python3 - "$figures" <<'PYTHON'
import sys
rows = {}
for line in sys.argv[1].splitlines():
    parts = line.split()
    if len(parts) == 5:
        rows[parts[0]] = (float(parts[2]), float(parts[4]))
m, f = rows["0"], rows["1"]
print(f"start-up to a shown main window: {f[0] / m[0]:.2f}x a minimal one-window program "
      f"(fovea {f[0]:.0f} ms, minimal {m[0]:.0f} ms, medians of 11 alternating starts; target <= 1.5x)")
print(f"idle processor use over 10 s: fovea {f[1]:.2f}% of one core, minimal {m[1]:.2f}% (target: near zero)")
PYTHON

for script in "$ROOT"/tools/bench/*.sh; do
    [ -e "$script" ] || continue
    [ "$(basename "$script")" = common.sh ] && continue # the set-up the others source
    echo "== $(basename "$script" .sh)"
    bash "$script" "$BENCH" || echo "($(basename "$script") failed)"
done
