#!/bin/sh
# Set-up shared by the benchmarks that run under Wine, sourced after `set -e` with the script's own arguments:
# the bench build folder ($1) and the trees beside it, the Windows tree and loader from ./fovea.sh bench, the
# work folder and Windows paths.
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

# A Unix path as Wine's drive Z: shows it.
win() { echo "Z:$1" | sed 's|/|\\|g'; }
