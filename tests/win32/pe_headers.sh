#!/bin/bash
# Velkrin.exe as Windows sees it before running it: the machine type, the GUI
# subsystem, address-space randomisation and no-execute data, only Windows'
# own DLLs imported, the version record and the manifest.
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

# Imports: KnownDLLs only (on Windows 7 to 11 Windows maps these from
# System32 whatever lies beside the executable), and ntdll, which every
# process has before it starts. The C and C++ runtimes are linked in
# (-static); other system DLLs are loaded from System32 at run time.
known='kernel32|user32|gdi32|advapi32|msvcrt|ole32|oleaut32|shell32|comdlg32|shlwapi|imm32|rpcrt4|sechost'
known+='|clbcatq|difxapi|imagehlp|msctf|normaliz|nsi|psapi|setupapi|wldap32|ws2_32'
unexpected=$(grep 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' | grep -vxE "(ntdll|$known)\.dll")
[[ -z $unexpected ]] || fail "imports DLLs that are not KnownDLLs, which a file beside it could stand in for:" $unexpected

# The resources as windres reads them back: one 32 x 32 icon of 8 bits (256
# colours), and the version record in US English, Unicode.
resources=$("$arch-w64-mingw32-windres" -i "$exe" -O rc) || fail "windres cannot read its resources"
grep -q '"\\040\\040\\000\\000", 1, 8,' <<<"$resources" || fail "no 32 x 32 icon of 256 colours"
for line in 'FILEVERSION 1, 0, 0, 0' 'PRODUCTVERSION 1, 0, 0, 0' 'BLOCK "040904B0"' 'VALUE "Translation", 0x409, 1200' \
    'VALUE "FileVersion", "1.00"' 'VALUE "ProductVersion", "1.00"' 'VALUE "InternalName", "Velkrin"' \
    'VALUE "OriginalFilename", "Velkrin.exe"'; do
    grep -qF "$line" <<<"$resources" || fail "the version record lacks $line"
done

# The manifest (resource 1, RT_MANIFEST) as Windows parses it: a malformed
# one stops the program from starting at all.
manifest=$(sed -n '/^1 24 \/\* RT_MANIFEST \*\//,/^END/{s/^  "\(.*\)\\n"$/\1/p}' <<<"$resources" | sed 's/""/"/g')
[[ -n $manifest ]] || fail "no manifest"
python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parseString(sys.stdin.read())' <<<"$manifest" ||
    fail "the manifest is not well-formed XML"
for setting in 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' 'level="asInvoker" uiAccess="false"' \
    '>true/pm</dpiAware>' '>PerMonitorV2,PerMonitor</dpiAwareness>'; do
    grep -qF "$setting" <<<"$manifest" || fail "the manifest lacks $setting"
done
echo "$exe: $arch, GUI, $(grep -c 'DLL Name:' <<<"$headers") system DLLs, version 1.00, manifest, $(stat -c %s "$exe") bytes"
