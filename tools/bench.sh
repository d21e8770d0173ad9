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

# FOVEA_BENCH_ONLY=REGEX runs only the benchmark scripts whose names match, and the start-up figures only when
# the regex matches "startup".
if [ -z "${FOVEA_BENCH_ONLY:-}" ] || [[ startup =~ $FOVEA_BENCH_ONLY ]]; then
echo "== start-up and idle (under Wine, $RUN_TREE)"
bin="$BUILD/$RUN_TREE/bin"
# The bench programs are built beside the test programs, out of the program's folder.
programs="$BUILD/$RUN_TREE/tests/bin"
to_windows() { echo "Z:${1//\//\\}"; }
# Installed as a user installs it, and started in its folder: the start drive is then C:. Started from the
# build folder the start drive is Z:, Wine's view of the whole Unix tree, whose folders (/usr/bin and the like)
# the folder trees read for their marks; that start is measured as well.
installed="$WINEPREFIX/drive_c/Program Files/Fovea"
rm -rf "$installed"
mkdir -p "$installed"
cp "$bin"/fovea.exe "$bin"/IF*.SPI "$programs"/bench_minimal_window.exe "$programs"/bench_startup.exe "$installed/"
# A window that stays open for the whole measurement keeps Wine's desktop process running, as a user's
# desktop is, so that neither program pays for starting it.
(cd "$programs" && "$WINE" bench_minimal_window.exe >/dev/null 2>&1 &)
sleep 3
measure() { # <folder to start in> <runs> <idle seconds> [--rest-pointer] <program>...
    local folder="$1"; shift
    # winefile asks every drive for its label; Wine's note that Z: (the Unix root) has none is noise here.
    (cd "$folder" && "$WINE" bench_startup.exe "$@" 2> >(grep -v 'FS volume label' >&2) | tr -d '\r')
}
minimal_c='C:\Program Files\Fovea\bench_minimal_window.exe'
fovea_c='C:\Program Files\Fovea\fovea.exe'
# Wine's own programs of the same shape: a two-pane file manager, and a tree beside a list.
winefile='C:\windows\system32\winefile.exe'
regedit='C:\windows\regedit.exe'
c_figures=$(measure "$installed" 21 0 "$minimal_c" "$fovea_c" "$winefile" "$regedit")
z_figures=$(measure "$programs" 21 0 "$(to_windows "$programs/bench_minimal_window.exe")" "$(to_windows "$bin/fovea.exe")")
# Idle with the pointer resting on a strip button, in small tips (the first start's setting) and in large tips.
idle_small=$(measure "$installed" 1 10 --rest-pointer "$minimal_c" "$fovea_c")
settings='HKCU\Software\Morrow Works\ふぉびあ\V300'
tip_mode=$("$WINE" reg query "$settings" /v 'ツールチップ表示' 2>/dev/null | tr -d '\r' | awk '/REG_DWORD/ {print $NF}')
"$WINE" reg add "$settings" /v 'ツールチップ表示' /t REG_DWORD /d 2 /f >/dev/null 2>&1
idle_large=$(measure "$installed" 1 10 --rest-pointer "$fovea_c")
"$WINE" reg add "$settings" /v 'ツールチップ表示' /t REG_DWORD /d "$((${tip_mode:-1}))" /f >/dev/null 2>&1
"$WINE" taskkill /im bench_minimal_window.exe >/dev/null 2>&1 || true
rm -rf "$installed"
python3 - "$c_figures" "$z_figures" "$idle_small" "$idle_large" <<'PYTHON'
import sys
def rows(text):
    found = {}
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 5:
            found[int(parts[0])] = (float(parts[2]), float(parts[4]))
    return [found[i] for i in sorted(found)]
(m, f, wf, rg), (mz, fz) = rows(sys.argv[1]), rows(sys.argv[2])
(mi, fi), (fl,) = rows(sys.argv[3]), rows(sys.argv[4])
print(f"start-up to a shown main window, installed on C: and started in its folder: {f[0] / m[0]:.2f}x a minimal "
      f"one-window program (fovea {f[0]:.0f} ms, minimal {m[0]:.0f} ms, medians of 21 alternating starts; "
      f"target <= 1.5x)")
print(f"  against Wine's own: {f[0] / wf[0]:.2f}x winefile, a two-pane file manager ({wf[0]:.0f} ms; target <= 1.0x); "
      f"{f[0] / rg[0]:.2f}x regedit, a tree beside a list ({rg[0]:.0f} ms)")
print(f"the same started from the build folder, start drive Z: (the Unix root): {fz[0] / mz[0]:.2f}x "
      f"(fovea {fz[0]:.0f} ms, minimal {mz[0]:.0f} ms)")
print(f"idle processor use over 10 s with the pointer resting on a button: fovea {max(0.0, fi[1]):.2f}% of one core "
      f"with small tips, {max(0.0, fl[1]):.2f}% with large tips, minimal {max(0.0, mi[1]):.2f}% (target: near zero)")
PYTHON
fi

for script in "$ROOT"/tools/bench/*.sh; do
    [ -e "$script" ] || continue
    [ -z "${FOVEA_BENCH_ONLY:-}" ] || [[ "$(basename "$script")" =~ $FOVEA_BENCH_ONLY ]] || continue
    [ "$(basename "$script")" = common.sh ] && continue # the set-up the others source
    echo "== $(basename "$script" .sh)"
    bash "$script" "$BENCH" || echo "($(basename "$script") failed)"
done
