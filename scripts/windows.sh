#!/usr/bin/env bash
# The Windows phase of setup.sh: Velkrin.exe for 64-bit and 32-bit Windows,
# cross-compiled with MinGW-w64, checked (scripts/../tests/win32/pe_headers.sh),
# and a zip of each that a Windows user unpacks and runs:
#   build-windows/Velkrin-1.00-win64.zip, build-windows/Velkrin-1.00-win32.zip
# `test` also builds the Windows tests and runs them under Wine (64-bit only:
# this kind of machine cannot run 32-bit code).
# usage: scripts/windows.sh build|test   (needs scripts/packages-windows.txt)
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-build}
out=build-windows
# Every file in the zips bears the time of the last commit, so two builds of
# one commit give the same zips, byte for byte.
stamp=$(git log -1 --format=%ct 2>/dev/null || echo "${SOURCE_DATE_EPOCH:-315532800}")

for arch in x86_64 i686; do
    bits=$([[ $arch == x86_64 ]] && echo 64 || echo 32)
    tests=OFF
    [[ $mode == test && $arch == x86_64 ]] && tests=ON
    echo "== Velkrin.exe for $bits-bit Windows ($out/$arch)"
    cmake -S . -B "$out/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-w64-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DVELKRIN_BUILD_TESTS=$tests -DVELKRIN_BUILD_BENCH=OFF >/dev/null
    cmake --build "$out/$arch" -j2

    # What the user gets: the program without its symbols, and a note.
    stage="$out/zip-$arch/Velkrin"
    rm -rf "$out/zip-$arch" && mkdir -p "$stage"
    # strip stamps the PE header with the time it runs unless told a time.
    SOURCE_DATE_EPOCH=$stamp "$arch-w64-mingw32-strip" -o "$stage/Velkrin.exe" "$out/$arch/app/Velkrin.exe"
    bash tests/win32/pe_headers.sh "$stage/Velkrin.exe" "$arch"
    sed 's/$/\r/' >"$stage/README.txt" <<NOTE
Velkrin 1.00 for $bits-bit Windows

Extract the zip (right-click it, Extract All) into a folder you can write,
for example in Documents, and run Velkrin.exe from there. Save writes
target.txt beside Velkrin.exe:
- under C:\\Program Files or C:\\Program Files (x86), which only
  administrators may change, Save writes nothing and warns "Access is denied";
- opened from inside the zip, Velkrin.exe runs in a temporary folder that
  Windows deletes later, target.txt with it: Save writes there, then warns.

Nothing to install: the program needs only Windows' own DLLs. Windows may
warn that the program comes from an unknown publisher (it is not signed).

To report a fault, say what you did, what you saw, the text of any message
box, and your Windows version (Win+R, winver).
NOTE
    zip="Velkrin-1.00-win$bits.zip"
    # Fixed modes, times and order; no extra attributes, no folder entries.
    chmod 0644 "$stage"/*
    touch -d "@$stamp" "$stage"/*
    (cd "$out/zip-$arch" && rm -f "../$zip" && TZ=UTC zip -q -X -D "../$zip" Velkrin/README.txt Velkrin/Velkrin.exe)
    echo "== $out/$zip: $(stat -c %s "$out/$zip") bytes (Velkrin.exe $(stat -c %s "$stage/Velkrin.exe") bytes)"
done

# What a user checks a download against: sha256sum -c SHA256SUMS.
(cd "$out" && sha256sum Velkrin-1.00-win64.zip Velkrin-1.00-win32.zip >SHA256SUMS)
echo "== $out/SHA256SUMS:" && sed 's/^/==   /' "$out/SHA256SUMS"

if [[ $mode == test ]]; then
    echo "== Windows tests under Wine ($out/x86_64)"
    start=$SECONDS
    skip=()
    if ((EUID != 0)); then
        # As in setup.sh: the tests' CUPS server starts as root only.
        skip=(-E '^e2e\.')
        echo "== Not root: skipping e2e.scenarios and its CUPS fixture."
    fi
    ctest --test-dir "$out/x86_64" --output-on-failure --timeout 300 "${skip[@]}"
    # Wine's server and services of the build's prefix end with the tests.
    WINEPREFIX="$PWD/$out/x86_64/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
    echo "== Windows tests took $((SECONDS - start)) s"
fi
