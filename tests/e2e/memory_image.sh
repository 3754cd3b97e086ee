#!/bin/bash
# Run as nobody, the program is not dumpable (its /proc files belong to root;
# another process of that user can neither attach nor read its memory) and its
# core limit is 0. A memory image taken as root between two batches holds each
# listed password once and none of the random bytes of any password, made
# before it (spent) or after it (not yet drawn).
(((EUID == 0) && ($(awk '/CapEff/ { print "0x" $2 }' /proc/self/status) >> 19 & 1))) ||
    { echo "SKIP: needs root with CAP_SYS_PTRACE (gcore, and a second user to run the program as)"; exit 77; }
source "$(dirname "$0")/lib.sh"
command -v gcore >/dev/null || fail "gcore is missing (see scripts/packages-test.txt)"

mkdir -p "$WORK/app" "$WORK/home" "$WORK/runtime" && chmod 755 "$WORK"
chown nobody:nogroup "$WORK/app" "$WORK/home" "$WORK/runtime"
AS_USER=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
start_xvfb
start_app
[[ $(stat -c %U "/proc/$APP_PID/mem") == root ]] || fail "the program is dumpable"
grep -Eq '^Max core file size +0 +0 ' "/proc/$APP_PID/limits" || fail "core files are on: $(grep core "/proc/$APP_PID/limits")"
access=$("${AS_USER[@]}" /usr/bin/python3 -c 'import ctypes, os, sys
p = int(sys.argv[1])
def readable():
    try: return os.close(os.open(f"/proc/{p}/mem", os.O_RDONLY)) is None
    except OSError: return False
print(ctypes.CDLL(None).ptrace(0x4206, p, None, None) == 0, readable())  # PTRACE_SEIZE' "$APP_PID")
[[ $access == "False False" ]] || fail "another process of the same user can attach, read: $access"

key Tab && type_over 20 && key Tab && type_over 20 # 20 letters + 20 digits: unmistakable bytes
batch() { click_control Generate; wait_for_list "$1"; click_control Stop; }
batch 4
gcore -o "$WORK/core" "$APP_PID" >"$WORK/gcore.log" 2>&1 || fail "gcore could not attach as root"
batch 8
save_with click_control Save

python3 - "$WORK/core.$APP_PID" "$TARGET" <<'EOF_PY' || fail "the memory image gives passwords away"
import re, sys
core, passwords = open(sys.argv[1], "rb").read(), open(sys.argv[2]).read().split()
def raw(password):  # the bytes that pick this password, rejected ones (234..255) anywhere between
    pools = [(26, ord(c) - 97) if c.isalpha() else (10, (ord(c) - 49) % 10) for c in password]
    return rb"[\xea-\xff]*".join(b"[%s]" % re.escape(bytes(range(i, 256 - 256 % n, n))) for n, i in pools)
made = [p for p in passwords if p.encode() in core]
counts, later = [core.count(p.encode()) for p in made], passwords[len(made):]
print(f"{len(made)} passwords made before the image, each in it {counts} times; {len(later)} after")
assert len(made) >= 4 and len(later) >= 3 and counts == [1] * len(made) and not any(p.encode() in core for p in later)
# The letters' bytes of a match, rejected ones dropped, read as letters spell
# the password's letters: a plain search for that rules out nearly every
# password fast (the full search takes half a minute a password under load).
squeezed = core.translate(bytes(97 + b % 26 for b in range(256)), bytes(range(234, 256)))
def raw_in_core(password):
    letters = re.match("[a-z]*", password).group()
    return (len(letters) < 8 or letters.encode() in squeezed) and re.search(raw(password), core)
assert not [p for p in passwords if raw_in_core(p)], "random bytes of passwords are in the image"
EOF_PY
log PASS
