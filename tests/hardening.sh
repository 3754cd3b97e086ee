#!/bin/bash
# Debian's hardening, read from the executable (readelf) or, for what leaves no
# mark in it, our compile commands (Debian 12's C start files carry no CET note).
# usage: hardening.sh <velkrin executable> <compile_commands.json> <build type>
fail() { echo "FAIL [hardening]: $*" >&2; exit 1; }
elf=$(readelf -hldW --dyn-syms "$1") || fail "readelf cannot read $1"
for mark in 'Type: *DYN' 'FLAGS_1.*PIE' GNU_RELRO 'BIND_NOW|FLAGS_1.* NOW' __stack_chk_fail; do
    grep -Eq "$mark" <<<"$elf" || fail "no \"$mark\" in the executable"
done
flags=(-fstack-protector-strong -fstack-clash-protection -fcf-protection)
[[ $3 == Debug ]] || flags+=(-D_FORTIFY_SOURCE=2)
for flag in "${flags[@]}"; do
    awk -v flag=" $flag " '/"command":/ { command = $0 }
        /"file": .*\/(app|platform|generation|window|output)\// { n++; if (!index(command, flag)) bad++ }
        END { exit !(n > 0 && bad == 0) }' "$2" || fail "$flag is missing from our compile commands"
done
echo "hardened: PIE, RELRO, BIND_NOW, stack protector, ${flags[*]}"
