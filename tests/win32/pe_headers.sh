#!/bin/bash
# Velkrin.exe as Windows sees it before running it: the machine type, the GUI
# subsystem, address-space randomisation and no-execute data, only Windows'
# own DLLs imported, and the version record.
# usage: pe_headers.sh <Velkrin.exe> <x86_64|i686>
set -uo pipefail
exe=$1 arch=$2
fail() { echo "FAIL: $exe: $*" >&2; exit 1; }
headers=$("$arch-w64-mingw32-objdump" -p "$exe") || fail "objdump cannot read it"

case $arch in
x86_64) magic='020b' machine='8664' ;;
i686) magic='010b' machine='014c' ;;
esac
grep -Eq "^Magic[[:space:]]+$magic" <<<"$headers" || fail "not a $arch executable"
[[ $(od -An -tx2 -j $(($(od -An -tu4 -j 60 -N 4 "$exe") + 4)) -N 2 "$exe" | tr -d ' ') == "$machine" ]] ||
    fail "machine type is not $machine"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not a GUI program"
for flag in DYNAMIC_BASE NX_COMPAT; do
    grep -q "$flag" <<<"$headers" || fail "no $flag"
done

# Windows' own DLLs only: the C and C++ runtimes are linked in (-static).
unexpected=$(grep 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' |
    grep -vxE 'kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|advapi32.dll|bcrypt.dll|winspool.drv|ntdll.dll|msvcrt.dll|ole32.dll|oleaut32.dll|oleacc.dll')
[[ -z $unexpected ]] || fail "imports DLLs that are not Windows' own: $unexpected"

# The resources as windres reads them back: one 32 x 32 icon of 8 bits (256
# colours), and the version record in US English, Unicode.
resources=$("$arch-w64-mingw32-windres" -i "$exe" -O rc) || fail "windres cannot read its resources"
grep -q '"\\040\\040\\000\\000", 1, 8,' <<<"$resources" || fail "no 32 x 32 icon of 256 colours"
for line in 'FILEVERSION 1, 0, 0, 0' 'PRODUCTVERSION 1, 0, 0, 0' 'BLOCK "040904B0"' 'VALUE "Translation", 0x409, 1200' \
    'VALUE "FileVersion", "1.00"' 'VALUE "ProductVersion", "1.00"' 'VALUE "InternalName", "Velkrin"' \
    'VALUE "OriginalFilename", "Velkrin.exe"'; do
    grep -qF "$line" <<<"$resources" || fail "the version record lacks $line"
done
echo "$exe: $arch, GUI, $(grep -c 'DLL Name:' <<<"$headers") system DLLs, version 1.00, $(stat -c %s "$exe") bytes"
