#!/usr/bin/env bash
# Builds the JPEG, TIFF, PNG and WebP libraries that the plug-ins link, for MinGW-w64, from Debian's own source
# packages (the versions Debian ships beside the native -dev packages the host and fuzz trees use):
#   build/libs/src/<package>-<version>/  the unpacked Debian sources (with Debian's patches applied)
#   build/libs/<triplet>/{include,lib}    static libjpeg (with its SIMD code, built with nasm), libtiff, libpng
#                                         and libwebp with its demuxer
# Usage: tools/build-libraries.sh BUILD_DIR TRIPLET...   (TRIPLET: i686-w64-mingw32 | x86_64-w64-mingw32)
# Quick when everything is already built: each library carries a stamp naming its source version.
set -euo pipefail

BUILD="$1"; shift
LIBS="$BUILD/libs"
SRC="$LIBS/src"
log() { printf '[fovea] %s\n' "$*" >&2; }
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# A deb-src entry for each Debian archive the machine already installs from, so that `apt-get source` takes
# the sources of exactly the packages the machine would install.
ensure_deb_src() {
    local list=/etc/apt/sources.list.d/fovea-deb-src.sources
    if [ -f "$list" ]; then
        # The entry is there but its lists were never fetched (an update that failed or was cut short).
        $sudo apt-get update -qq
        return 0
    fi
    local text
    text=$(python3 - <<'PY'
import glob, os, re
stanzas = []
# deb822 files: every enabled stanza of type deb from a Debian archive, turned into deb-src
for path in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
    if os.path.basename(path) == "fovea-deb-src.sources":
        continue
    for block in re.split(r"\n\s*\n", open(path, encoding="utf-8").read()):
        fields, key = {}, None
        for line in block.splitlines():
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            if line[0] in " \t" and key:
                fields[key] += " " + line.strip()
                continue
            key, _, value = line.partition(":")
            key = key.strip().lower()
            fields[key] = value.strip()
        if "deb" not in fields.get("types", "").split() or fields.get("enabled", "yes").lower() == "no":
            continue
        if "debian" not in fields.get("uris", ""):
            continue
        out = ["Types: deb-src", "URIs: " + fields["uris"], "Suites: " + fields.get("suites", ""),
               "Components: " + fields.get("components", "main")]
        if "signed-by" in fields:
            out.append("Signed-By: " + fields["signed-by"])
        stanzas.append("\n".join(out))
# one-line lists: "deb [options] URI SUITE COMPONENT..."
for path in ["/etc/apt/sources.list"] + sorted(glob.glob("/etc/apt/sources.list.d/*.list")):
    if not os.path.exists(path):
        continue
    for line in open(path, encoding="utf-8"):
        m = re.match(r"\s*deb\s+(\[[^\]]*\]\s+)?(\S+)\s+(\S+)\s*([^#]*)", line)
        if not m or "debian" not in m.group(2):
            continue
        out = ["Types: deb-src", "URIs: " + m.group(2), "Suites: " + m.group(3),
               "Components: " + (m.group(4).strip() or "main")]
        key = re.search(r"signed-by=([^\s\]]+)", m.group(1) or "")
        if key:
            out.append("Signed-By: " + key.group(1))
        stanzas.append("\n".join(out))
print("\n\n".join(dict.fromkeys(stanzas)))
PY
)
    if [ -z "$text" ]; then
        log "no Debian archive found in the apt sources: cannot fetch the library sources"
        exit 1
    fi
    log "adding deb-src entries for the machine's Debian archives ($list)"
    printf '%s\n' "$text" | $sudo tee "$list" >/dev/null
    $sudo apt-get update -qq
}

# Unpacks the Debian source package PACKAGE into $SRC (once per version); prints the source folder. The newest
# version the archives list is taken; where a mirror does not serve it (some carry no security sources), the
# next older one.
fetch_source() {
    local package="$1" versions version dir
    versions=$(apt-cache showsrc "$package" 2>/dev/null | sed -n 's/^Version: //p' | sort -Vru)
    if [ -z "$versions" ]; then
        ensure_deb_src
        versions=$(apt-cache showsrc "$package" 2>/dev/null | sed -n 's/^Version: //p' | sort -Vru)
    fi
    [ -n "$versions" ] || { log "no source package $package in the apt sources"; exit 1; }
    for version in $versions; do
        dir=$(grep -lx "$package $version" "$SRC"/*/.fovea-version 2>/dev/null | head -n 1 || true)
        [ -n "$dir" ] && { dirname "$dir"; return 0; }
    done
    local work="$SRC/.fetch-$package" unpacked
    for version in $versions; do
        log "fetching the Debian sources of $package $version"
        rm -rf "$work"
        mkdir -p "$work"
        # apt drops to the _apt user for downloads where it can: that user must be able to write here.
        chmod 777 "$work"
        if (cd "$work" && apt-get source -qq "$package=$version" >"$work.log" 2>&1); then
            unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
            [ -n "$unpacked" ] || { log "apt-get source $package gave no folder"; exit 1; }
            echo "$package $version" >"$unpacked/.fovea-version"
            rm -rf "$SRC/${unpacked##*/}"
            mv "$unpacked" "$SRC/"
            rm -rf "$work" "$work.log"
            echo "$SRC/${unpacked##*/}"
            return 0
        fi
        log "$package $version could not be fetched: $(grep -m1 '^E:' "$work.log" || tail -n 1 "$work.log")"
    done
    exit 1
}

cmake_toolchain() {
    local triplet="$1" file="$LIBS/$1/toolchain.cmake"
    local processor="${triplet%%-*}"
    mkdir -p "$LIBS/$triplet"
    cat >"$file.new" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR $processor)
set(CMAKE_C_COMPILER $triplet-gcc-posix)
set(CMAKE_CXX_COMPILER $triplet-g++-posix)
set(CMAKE_RC_COMPILER $triplet-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triplet $LIBS/$triplet)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
EOF
    cmp -s "$file.new" "$file" && rm "$file.new" || mv "$file.new" "$file"
    echo "$file"
}

build_jpeg() {
    local triplet="$1" src prefix="$LIBS/$1" stamp
    src=$(fetch_source libjpeg-turbo)
    stamp="$(cat "$src/.fovea-version") static simd arith"
    [ "$(cat "$prefix/.jpeg-stamp" 2>/dev/null)" = "$stamp" ] && return 0
    log "building libjpeg-turbo for $triplet"
    local work="$LIBS/work/$triplet/jpeg"
    rm -rf "$work"; mkdir -p "$(dirname "$work")"
    # CMAKE_ASM_NASM_OBJECT_FORMAT: the SIMD code needs the Windows object format of the target.
    local format=win32
    [ "${triplet%%-*}" = x86_64 ] && format=win64
    cmake -S "$src" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(cmake_toolchain "$triplet")" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_ASM_NASM_OBJECT_FORMAT=$format \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DWITH_ARITH_DEC=ON \
        -DWITH_ARITH_ENC=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DCMAKE_INSTALL_LIBDIR=lib >"$work.log" 2>&1 \
        || { cat "$work.log" >&2; exit 1; }
    cmake --build "$work" -- jpeg-static >>"$work.log" 2>&1 || { tail -n 40 "$work.log" >&2; exit 1; }
    mkdir -p "$prefix/include" "$prefix/lib"
    cp "$work/libjpeg.a" "$prefix/lib/libjpeg.a"
    cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$work/jconfig.h" "$prefix/include/"
    echo "$stamp" >"$prefix/.jpeg-stamp"
}

build_tiff() {
    local triplet="$1" src prefix="$LIBS/$1" stamp
    src=$(fetch_source tiff)
    stamp="$(cat "$src/.fovea-version") static jpeg zlib $(cat "$prefix/.jpeg-stamp")"
    [ "$(cat "$prefix/.tiff-stamp" 2>/dev/null)" = "$stamp" ] && return 0
    log "building libtiff for $triplet"
    local work="$LIBS/work/$triplet/tiff"
    rm -rf "$work"; mkdir -p "$(dirname "$work")"
    # Only the codecs whose libraries are linked: zlib (MinGW's static libz.a) and the JPEG library above.
    cmake -S "$src" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(cmake_toolchain "$triplet")" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
        -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dcxx=OFF \
        -Djpeg=ON -Dold-jpeg=ON -Djpeg12=OFF -Dzlib=ON -Dlibdeflate=OFF -Dpixarlog=ON -Dlzma=OFF -Dzstd=OFF \
        -Dwebp=OFF -Djbig=OFF -Dlerc=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Deflate=ON \
        -DJPEG_INCLUDE_DIR="$prefix/include" -DJPEG_LIBRARY="$prefix/lib/libjpeg.a" \
        -DZLIB_INCLUDE_DIR="/usr/$triplet/include" -DZLIB_LIBRARY="/usr/$triplet/lib/libz.a" \
        >"$work.log" 2>&1 || { cat "$work.log" >&2; exit 1; }
    cmake --build "$work" -- tiff >>"$work.log" 2>&1 || { tail -n 40 "$work.log" >&2; exit 1; }
    mkdir -p "$prefix/include" "$prefix/lib"
    cp "$work/libtiff/libtiff.a" "$prefix/lib/libtiff.a"
    cp "$src/libtiff/tiff.h" "$src/libtiff/tiffio.h" "$src/libtiff/tiffvers.h" "$work/libtiff/tiffconf.h" \
        "$prefix/include/"
    echo "$stamp" >"$prefix/.tiff-stamp"
}

# The SSE2 code of libpng and libwebp keeps values on the stack with aligned moves; a 32-bit Windows caller
# promises only 4-byte alignment, so each function that needs more aligns its own frame.
stack_flags() {
    [ "${1%%-*}" = i686 ] && echo "-mstackrealign"
    return 0
}

build_png() {
    local triplet="$1" src prefix="$LIBS/$1" stamp
    src=$(fetch_source libpng1.6)
    stamp="$(cat "$src/.fovea-version") static zlib $(stack_flags "$triplet")"
    [ "$(cat "$prefix/.png-stamp" 2>/dev/null)" = "$stamp" ] && return 0
    log "building libpng for $triplet"
    local work="$LIBS/work/$triplet/png"
    rm -rf "$work"; mkdir -p "$(dirname "$work")"
    cmake -S "$src" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(cmake_toolchain "$triplet")" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS="$(stack_flags "$triplet")" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
        -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_ALL=ON \
        -DZLIB_INCLUDE_DIR="/usr/$triplet/include" -DZLIB_LIBRARY="/usr/$triplet/lib/libz.a" \
        >"$work.log" 2>&1 || { cat "$work.log" >&2; exit 1; }
    cmake --build "$work" -- png_static >>"$work.log" 2>&1 || { tail -n 40 "$work.log" >&2; exit 1; }
    mkdir -p "$prefix/include" "$prefix/lib"
    cp "$(find "$work" -maxdepth 1 -name 'libpng*.a' | head -n 1)" "$prefix/lib/libpng.a"
    cp "$src/png.h" "$src/pngconf.h" "$work/pnglibconf.h" "$prefix/include/"
    echo "$stamp" >"$prefix/.png-stamp"
}

build_webp() {
    local triplet="$1" src prefix="$LIBS/$1" stamp
    src=$(fetch_source libwebp)
    stamp="$(cat "$src/.fovea-version") static demux nothreads $(stack_flags "$triplet")"
    [ "$(cat "$prefix/.webp-stamp" 2>/dev/null)" = "$stamp" ] && return 0
    log "building libwebp for $triplet"
    local work="$LIBS/work/$triplet/webp"
    rm -rf "$work"; mkdir -p "$(dirname "$work")"
    # The decoder (without the encoder) and the demuxer; threads would need the pthread library in the plug-in.
    cmake -S "$src" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(cmake_toolchain "$triplet")" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS="$(stack_flags "$triplet")" -DBUILD_SHARED_LIBS=OFF \
        -DWEBP_USE_THREAD=OFF -DWEBP_BUILD_ANIM_UTILS=OFF -DWEBP_BUILD_CWEBP=OFF -DWEBP_BUILD_DWEBP=OFF \
        -DWEBP_BUILD_GIF2WEBP=OFF -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF -DWEBP_BUILD_WEBPINFO=OFF \
        -DWEBP_BUILD_WEBPMUX=OFF -DWEBP_BUILD_EXTRAS=OFF -DWEBP_BUILD_LIBWEBPMUX=OFF \
        >"$work.log" 2>&1 || { cat "$work.log" >&2; exit 1; }
    cmake --build "$work" -- webpdecoder webpdemux >>"$work.log" 2>&1 || { tail -n 40 "$work.log" >&2; exit 1; }
    mkdir -p "$prefix/include/webp" "$prefix/lib"
    cp "$work/libwebpdecoder.a" "$prefix/lib/libwebpdecoder.a"
    cp "$work/libwebpdemux.a" "$prefix/lib/libwebpdemux.a"
    cp "$src/src/webp/decode.h" "$src/src/webp/demux.h" "$src/src/webp/mux_types.h" "$src/src/webp/types.h" \
        "$prefix/include/webp/"
    echo "$stamp" >"$prefix/.webp-stamp"
}

mkdir -p "$SRC"
for triplet in "$@"; do
    build_jpeg "$triplet"
    build_tiff "$triplet"
    build_png "$triplet"
    build_webp "$triplet"
done
