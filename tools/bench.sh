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
minimal=$("$WINE" "$bin/bench_startup.exe" "$(to_windows "$bin/bench_minimal_window.exe")" 5 10 | tr -d '\r')
fovea=$("$WINE" "$bin/bench_startup.exe" "$(to_windows "$bin/fovea.exe")" 5 10 | tr -d '\r')
python3 - "$minimal" "$fovea" <<'PY'
import sys
def parse(text):
    return {k: float(v) for k, v in (line.split() for line in text.splitlines() if line.strip())}
m, f = parse(sys.argv[1]), parse(sys.argv[2])
print(f"start-up to a shown main window: {f['startup_ms'] / m['startup_ms']:.2f}x a minimal one-window program "
      f"(fovea {f['startup_ms']:.0f} ms, minimal {m['startup_ms']:.0f} ms; target <= 1.5x)")
print(f"idle processor use over 10 s: fovea {f['idle_cpu_percent']:.2f}% of one core, "
      f"minimal {m['idle_cpu_percent']:.2f}% (target: near zero)")
PY

for script in "$ROOT"/tools/bench/*.sh; do
    [ -e "$script" ] || continue
    echo "== $(basename "$script" .sh)"
    bash "$script" "$BENCH" || echo "($(basename "$script") failed)"
done
