#!/bin/sh
# Set-up shared by the benchmarks (most run under Wine), sourced after `set -e` with the script's own arguments:
# the bench build folder ($1) and the trees beside it, the Windows tree and loader from ./fovea.sh bench, the
# work folder and Windows paths, and the best time of a few runs.
BENCH="${1:?usage: $0 BENCH_BUILD_DIR}"
BUILD="$(dirname "$BENCH")"
TREE="${RUN_TREE:-win32}"
WINE="${WINE:-wine}"
# The bench programs of the Windows tree, built beside the test programs (the program's folder holds only the
# program and its plug-ins).
PROGRAMS="$BUILD/$TREE/tests/bin"

# bench_setup TARGET FOLDER: builds the bench program TARGET of the Windows tree and makes $work, an empty
# FOLDER below the bench folder, removed again when the script ends.
bench_setup() {
    cmake --build "$BUILD/$TREE" -j2 --target "$1" >/dev/null
    work="$BENCH/$2"
    rm -rf "$work"
    mkdir -p "$work"
    trap 'rm -rf "$work"' EXIT
}

# decoder_setup: builds the decoder bench program of the bench tree ($bench) and enters the folder that holds
# the large pictures the decoder figures share.
decoder_setup() {
    cmake --build "$BENCH" -j2 --target decoder_bench >/dev/null
    bench=$BENCH/tests/plugins/golden/decoder_bench
    mkdir -p "$BENCH/bench-decoders"
    cd "$BENCH/bench-decoders"
}

# best_ms COMMAND...: the best wall time in ms of $runs runs (5 unless set) of a command, its output discarded.
best_ms() {
    best=
    i=0
    while [ $i -lt "${runs:-5}" ]; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
        end=$(date +%s%N)
        ms=$(( (end - start) / 1000000 ))
        if [ -z "$best" ] || [ $ms -lt $best ]; then best=$ms; fi
        i=$((i + 1))
    done
    echo $best
}

# A Unix path as Wine's drive Z: shows it.
win() { echo "Z:$1" | sed 's|/|\\|g'; }
