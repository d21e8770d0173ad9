#!/usr/bin/env bash
# Builds, runs, tests and measures the filer: ./fovea.sh run | test | bench | build
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="$ROOT/build"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

log() { printf '[fovea] %s\n' "$*" >&2; }

# Debian packages the project needs, with a binary that proves each is present.
PACKAGES=(
    "wine:/usr/bin/wine"
    "wine32:i386:/usr/lib/wine/wineserver32"
    "g++-mingw-w64-i686-posix:/usr/bin/i686-w64-mingw32-g++-posix"
    "cmake:/usr/bin/cmake"
    "ninja-build:/usr/bin/ninja"
    "xvfb:/usr/bin/Xvfb"
    "xauth:/usr/bin/xauth"
    "fonts-ipafont-gothic:/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"
    "fonts-wine:/usr/share/wine/fonts/marlett.ttf"
    "locales:/usr/sbin/locale-gen"
    "googletest:/usr/src/googletest/CMakeLists.txt"
    "libjpeg62-turbo-dev:/usr/include/jpeglib.h"
    "libtiff-dev:/usr/include/x86_64-linux-gnu/tiffio.h"
    "nasm:/usr/bin/nasm"
    "dpkg-dev:/usr/bin/dpkg-source"
    "imagemagick:/usr/bin/convert-im6.q16"
    "clang:/usr/bin/clang++"
    "libz-mingw-w64-dev:/usr/i686-w64-mingw32/include/zlib.h"
    "zlib1g-dev:/usr/include/zlib.h"
    "xdotool:/usr/bin/xdotool"
    "libjpeg-turbo-progs:/usr/bin/djpeg"
    "giflib-tools:/usr/bin/gifbuild"
    "libtiff-tools:/usr/bin/tiffcp"
    "libvips-tools:/usr/bin/vipsthumbnail"
    "x11-apps:/usr/bin/xwd"
    "python3:/usr/bin/python3"
    "g++:/usr/bin/g++"
    "libclang-rt-14-dev:/usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a"
    "wine64:/usr/lib/wine/wine64"
    "g++-mingw-w64-x86-64-posix:/usr/bin/x86_64-w64-mingw32-g++-posix"
    "libpng-dev:/usr/include/libpng16/png.h"
    "libwebp-dev:/usr/include/webp/demux.h"
    "netpbm:/usr/bin/pngtopam"
    "webp:/usr/bin/dwebp"
)

install_packages() {
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

ensure_packages() {
    local missing=() entry pkg file
    for entry in "${PACKAGES[@]}"; do
        file="${entry##*:}"
        pkg="${entry%:*}"
        [ -e "$file" ] || missing+=("$pkg")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        log "installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            $sudo dpkg --add-architecture i386
        fi
        # A mirror in the middle of a sync fails the refresh of one list; the lists already there may still do.
        $sudo apt-get update -qq || log "not every package list could be refreshed; installing from what is there"
        if ! install_packages "${missing[@]}"; then
            # Lists of one architecture refreshed and another's left stale ask for versions that do not fit
            # together ("held broken packages"): start again from clean lists once before giving up.
            log "installing failed; refreshing the package lists from scratch and trying again"
            $sudo rm -rf /var/lib/apt/lists/*
            $sudo apt-get update -qq || log "not every package list could be refreshed; installing from what is there"
            if ! install_packages "${missing[@]}"; then
                log "could not install: ${missing[*]}"
                log "the package lists or the mirror are not usable now; run the command again later"
                exit 1
            fi
        fi
    fi
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
        log "generating the ja_JP.UTF-8 locale"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
        $sudo locale-gen >/dev/null
    fi
}


JOBS=$(nproc)

# The product is the PE32 build (build/win32). Some virtual machines cannot execute 32-bit code at all, and
# then neither can wine32; there the same sources are also built as PE32+ (build/win64) and run under wine64.
# The tests get a prefix of their own (PREFIX_SUFFIX=-tests): their drives and settings never show in the
# program that run and bench start.
select_wine() {
    local suffix="${PREFIX_SUFFIX:-}"
    if /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
        RUN_TREE=win32
        export WINEARCH=win32
        export WINEPREFIX="$BUILD/wineprefix$suffix"
        WINE=/usr/lib/wine/wine
        export WINESERVER=/usr/lib/wine/wineserver32
    else
        RUN_TREE=win64
        export WINEARCH=win64
        export WINEPREFIX="$BUILD/wineprefix64$suffix"
        WINE=/usr/lib/wine/wine64
        export WINESERVER=/usr/lib/wine/wineserver64
        export WINELOADER=$WINE
    fi
}

# Where ccache is installed, every tree compiles through it; paths below the checkout are hashed relative to it,
# so that two checkouts of the project share what was compiled.
LAUNCHER=()
if command -v ccache >/dev/null 2>&1; then
    LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
fi

configure_and_build() {
    local tree="$1"; shift
    local dir="$BUILD/$tree"
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${LAUNCHER[@]}" "$@" >/dev/null
    fi
    cmake --build "$dir" -j "$JOBS" -- "${NINJA_TARGETS[@]}"
}

build_all() {
    NINJA_TARGETS=()
    # The host tree needs GCC: only it turns narrow literals into Shift-JIS (clang knows UTF-8 alone).
    CC=gcc CXX=g++ configure_and_build host
    # The plug-ins link libjpeg-turbo and libtiff built for MinGW from Debian's sources (once, into build/libs).
    local triplets=(i686-w64-mingw32)
    [ "$RUN_TREE" = win64 ] && triplets+=(x86_64-w64-mingw32)
    "$ROOT/tools/build-libraries.sh" "$BUILD" "${triplets[@]}"
    configure_and_build win32 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake"
    if [ "$RUN_TREE" = win64 ]; then
        configure_and_build win64 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake"
    fi
    # Only the fuzz targets are built in the fuzz tree.
    mkdir -p "$BUILD/fuzz"
    if [ ! -f "$BUILD/fuzz/build.ninja" ]; then
        CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            "${LAUNCHER[@]}" -DFOVEA_FUZZ=ON >/dev/null
    fi
    mapfile -t NINJA_TARGETS < <(ninja -C "$BUILD/fuzz" -t targets all 2>/dev/null \
        | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\): .*/\1/p' | sort -u)
    if [ ${#NINJA_TARGETS[@]} -gt 0 ]; then
        cmake --build "$BUILD/fuzz" -j "$JOBS" -- "${NINJA_TARGETS[@]}"
    fi
}

# The project's own Wine prefix, Japanese locale, and a server kept alive for the whole run.
wine_env() {
    export LANG=ja_JP.UTF-8
    export LC_ALL=ja_JP.UTF-8
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "creating the Wine prefix in $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        "$WINE" wineboot -i >/dev/null 2>&1 || true
        "$WINESERVER" -w
    fi
    # Window captions draw their buttons with the symbol font of Debian's fonts-wine, which Wine reads from the
    # prefix's Fonts folder only: without it the buttons show the letters 0, 1 and r.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -d "$fonts" ] && [ ! -e "$fonts/marlett.ttf" ]; then
        ln -sfn /usr/share/wine/fonts/marlett.ttf "$fonts/marlett.ttf"
    fi
    "$WINESERVER" -p >/dev/null 2>&1 || true
    # Start the prefix's services now, detached from any pipe: started by the first test instead, they would
    # inherit its output and keep ctest waiting for as long as the server lives.
    "$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# Earlier test runs mapped their drives into the program's own prefix: take them out again.
forget_test_drives() {
    local drive link removed=""
    for drive in q s; do
        link="$WINEPREFIX/dosdevices/$drive:"
        if [ -L "$link" ] && [[ "$(readlink "$link")" == "$BUILD/drives/"* ]]; then
            rm -f "$link"
            removed=1
        fi
    done
    if [ -n "$removed" ]; then
        "$WINE" reg delete 'HKLM\Software\Wine\Drives' /v q: /f >/dev/null 2>&1 || true
        # The mount manager reads the drives when the prefix's services start: start them again.
        "$WINESERVER" -k >/dev/null 2>&1 || true
        "$WINESERVER" -w >/dev/null 2>&1 || true
        "$WINESERVER" -p >/dev/null 2>&1 || true
        "$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
    fi
}

# What the Win32 tests expect of the Wine machine: Q: is a CD-ROM drive, and a read-only copy of the program
# folder exists where the machine allows a read-only bind mount.
prepare_fixtures() {
    mkdir -p "$BUILD/drives/cdrom"
    if [ ! -L "$WINEPREFIX/dosdevices/q:" ]; then
        ln -sfn "$BUILD/drives/cdrom" "$WINEPREFIX/dosdevices/q:"
        "$WINE" reg add 'HKLM\Software\Wine\Drives' /v q: /d cdrom /f >/dev/null 2>&1 || true
        # The drive types are read when the prefix's services start: start them again.
        "$WINESERVER" -k >/dev/null 2>&1 || true
        "$WINESERVER" -w >/dev/null 2>&1 || true
        "$WINESERVER" -p >/dev/null 2>&1 || true
        "$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
    fi
    # S: is a 2 MB tmpfs, a disk that fills up during a copy (mounting needs root; the test skips without it).
    local small="$BUILD/drives/small"
    mkdir -p "$small"
    mountpoint -q "$small" || mount -t tmpfs -o size=2m tmpfs "$small" 2>/dev/null || true
    if mountpoint -q "$small"; then
        ln -sfn "$small" "$WINEPREFIX/dosdevices/s:"
    fi
    local ro="$BUILD/$RUN_TREE/readonly" src="$BUILD/$RUN_TREE/readonly-src"
    umount "$ro" 2>/dev/null || true
    mkdir -p "$ro" "$src"
    cp "$BUILD/$RUN_TREE/bin/fovea.exe" "$src/"
    if mount --bind "$src" "$ro" 2>/dev/null; then
        mount -o remount,ro,bind "$ro" 2>/dev/null || umount "$ro" 2>/dev/null || true
    fi
}

# A virtual X server when there is no display.
XVFB_PID=""
ensure_display() {
    if [ -z "${DISPLAY:-}" ] || [ "${FOVEA_HEADLESS:-0}" = 1 ]; then
        local n=99
        while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        HEADLESS=1
    fi
}

cleanup() {
    umount "$BUILD/${RUN_TREE:-win32}/readonly" 2>/dev/null || true
    # Nothing stays mounted under build/, so that the folder can simply be deleted.
    umount "$BUILD/drives/small" 2>/dev/null || true
    # Its drive letter goes with it: found by the prefix's services when they next start, S: would show in every
    # drive list of the tests (the folder trees' too), where the tests expect only the drives of the machine.
    if [ -L "${WINEPREFIX:-}/dosdevices/s:" ]; then
        rm -f "$WINEPREFIX/dosdevices/s:"
    fi
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    "$WINESERVER" -k >/dev/null 2>&1 || true
}

run_fuzzers() {
    local seconds="${FOVEA_FUZZ_SECONDS:-8}" passed=0 failed=0 bin name seeds work
    for bin in $(find "$BUILD/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort); do
        name="$(basename "$bin")"
        [ -z "${FOVEA_TESTS:-}" ] || [[ "$name" =~ $FOVEA_TESTS ]] || continue
        seeds="$ROOT/tests/data/fuzz/${name#fuzz_}"
        work="$BUILD/fuzz/corpus/$name"
        mkdir -p "$work"
        if UBSAN_OPTIONS=halt_on_error=1 "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
            -artifact_prefix="$BUILD/fuzz/$name-" "$work" $( [ -d "$seeds" ] && echo "$seeds" ) \
            >"$BUILD/fuzz/$name.log" 2>&1; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
            log "fuzz target $name found a fault: see $BUILD/fuzz/$name.log"
        fi
    done
    echo "$passed $failed"
}

# Sums the GoogleTest reports of both trees; a test executable that left no report counts as one failure.
summarize() {
    local fuzz_passed="$1" fuzz_failed="$2"
    RUN_TREE="$RUN_TREE" python3 - "$BUILD" "$fuzz_passed" "$fuzz_failed" <<'PY'
import glob, os, sys, xml.etree.ElementTree as ET
build, fp, ff = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
passed, failed = fp, ff
for tree in ("host", os.environ["RUN_TREE"]):
    listed = os.path.join(build, tree, "tests.list")
    names = open(listed).read().split() if os.path.exists(listed) else []
    for name in names:
        report = os.path.join(build, tree, "results", name + ".xml")
        try:
            root = ET.parse(report).getroot()
            total = int(root.get("tests", 0)) - int(root.get("disabled", 0))
            bad = int(root.get("failures", 0)) + int(root.get("errors", 0))
            passed += total - bad
            failed += bad
            for case in root.iter("testcase"):
                if case.find("failure") is not None:
                    print(f"FAILED: {tree}/{name}: {case.get('classname')}.{case.get('name')}")
        except (OSError, ET.ParseError):
            print(f"FAILED: {tree}/{name}: no report (crashed or timed out)")
            failed += 1
print(f"{passed} passed, {failed} failed")
sys.exit(1 if failed else 0)
PY
}

# FOVEA_TESTS=REGEX runs only the test programs and fuzz targets whose names match (a developer's shortcut).
run_tests() {
    local tree rc=0 only=()
    [ -z "${FOVEA_TESTS:-}" ] || only=(-R "$FOVEA_TESTS")
    for tree in host "$RUN_TREE"; do
        rm -rf "$BUILD/$tree/results"
        mkdir -p "$BUILD/$tree/results"
        ctest --test-dir "$BUILD/$tree" -N "${only[@]}" | sed -n 's/^ *Test *#[0-9]*: *//p' >"$BUILD/$tree/tests.list"
        ctest --test-dir "$BUILD/$tree" -j "$JOBS" "${only[@]}" --output-on-failure >"$BUILD/$tree/ctest.log" 2>&1 || rc=1
        tail -n 3 "$BUILD/$tree/ctest.log" | sed "s/^/[$tree] /"
    done
    local fuzz
    fuzz=$(run_fuzzers)
    summarize $fuzz
}

# Windows of the tests on a bare X server: without a window manager Wine waits for one at every window that
# closes (about 2 s), so the test runs tell Wine not to hand windows to a manager. A user's own display keeps
# managed windows.
set_managed_windows() {
    local key='HKCU\Software\Wine\X11 Driver'
    if [ "$1" = no ]; then
        "$WINE" reg add "$key" /v Managed /d N /f >/dev/null 2>&1 || true
    else
        "$WINE" reg delete "$key" /v Managed /f >/dev/null 2>&1 || true
    fi
}

main_window_screenshot() {
    local out="$BUILD/screenshot.png"
    rm -f "$out"
    (cd "$BUILD/$RUN_TREE/bin" && "$WINE" explorer /desktop=fovea,1280x800 fovea.exe >/dev/null 2>&1 &)
    local found=""
    for _ in $(seq 150); do
        if xdotool search --name 'Fovea' >/dev/null 2>&1; then found=1; break; fi
        sleep 0.2
    done
    sleep "${FOVEA_SHOT_DELAY:-3}"
    import -window root "$out"
    [ -n "$found" ] || log "the main window did not appear"
    echo "$out"
}

cmd="${1:-test}"
case "$cmd" in
    build)
        ensure_packages
        select_wine
        build_all
        ;;
    test)
        ensure_packages
        PREFIX_SUFFIX=-tests select_wine
        build_all
        trap cleanup EXIT
        # The display first: the prefix's services, started next, then know it.
        ensure_display
        wine_env
        prepare_fixtures
        set_managed_windows no
        run_tests
        ;;
    run)
        ensure_packages
        select_wine
        build_all
        trap cleanup EXIT
        wine_env
        forget_test_drives
        HEADLESS=0
        ensure_display
        set_managed_windows yes
        if [ "$HEADLESS" = 1 ]; then
            main_window_screenshot
        else
            cd "$BUILD/$RUN_TREE/bin" && "$WINE" explorer /desktop=fovea,1280x800 fovea.exe
        fi
        ;;
    bench)
        ensure_packages
        select_wine
        build_all
        trap cleanup EXIT
        wine_env
        forget_test_drives
        ensure_display
        RUN_TREE="$RUN_TREE" WINE="$WINE" "$ROOT/tools/bench.sh" "$BUILD"
        ;;
    *)
        echo "usage: $0 run | test | bench | build" >&2
        exit 2
        ;;
esac
