#!/bin/sh
# Bitmap container benchmarks: conversions, quantisation, turns and flips of a 4000x3000 picture against plain
# passes over its bytes. $1 is the bench build folder (configured with -DFOVEA_BENCH=ON).
set -e
BUILD="${1:?usage: dib.sh BENCH_BUILD_DIR}"
cmake --build "$BUILD" -j2 --target fovea_dib_bench >/dev/null
"$BUILD/tests/image/fovea_dib_bench"
