#!/bin/bash
# The executable carries Debian's hardening: read from the binary with readelf
# (PIE, RELRO, BIND_NOW, stack protector), and from the compile commands for
# what leaves no mark in it (FORTIFY, stack clash and control-flow protection:
# Debian 12's C start files carry no CET note, so no program shows one).
# usage: hardening.sh <velkrin executable> <compile_commands.json> <build type>
set -u
exe=$1 commands=$2 type=$3
fail() { echo "FAIL [hardening]: $*" >&2; exit 1; }

readelf -hW "$exe" | grep -q 'Type: *DYN' || fail "not a position-independent executable"
readelf -dW "$exe" | grep -q 'FLAGS_1.*PIE' || fail "no PIE flag"
readelf -lW "$exe" | grep -q GNU_RELRO || fail "no read-only relocations (RELRO)"
readelf -dW "$exe" | grep -Eq 'BIND_NOW|FLAGS_1.* NOW' || fail "relocations are not bound at start-up (BIND_NOW)"
readelf --dyn-syms -W "$exe" | grep -q __stack_chk_fail || fail "no stack protector"

wanted=(-fstack-protector-strong -fstack-clash-protection -fcf-protection -fPIC)
[[ $type == Debug ]] || wanted+=(-D_FORTIFY_SOURCE=2)
for flag in "${wanted[@]}"; do
    # Every compile command of the program's own sources has the flag.
    awk -v flag=" $flag " '/"command":/ { command = $0 }
        /"file": .*\/(app|platform|generation|window|output)\// { n++; if (!index(command, flag)) bad++ }
        END { exit !(n > 0 && bad == 0) }' "$commands" || fail "$flag is missing from the program's compile commands"
done
echo "hardened: PIE, RELRO, BIND_NOW, stack protector; compiled with ${wanted[*]}"
