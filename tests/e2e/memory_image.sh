#!/bin/bash
# What other programs can learn from the running program. Run as an ordinary
# user (nobody), it is not dumpable: its /proc files belong to root, another
# process of the same user can neither attach to it nor read its memory, and
# its core-file limit is 0. A memory image taken as root between two batches
# holds none of the random bytes of the passwords made before it (spent) or
# after it (not yet drawn), and the list's storage holds each password once.
source "$(dirname "$0")/lib.sh"
((EUID == 0)) || { echo "SKIP: needs root (gcore, and a second user to run the program as)"; exit 77; }
command -v gcore >/dev/null || fail "gcore is missing (see scripts/packages-test.txt)"

start_xvfb
mkdir -p "$WORK/app" "$WORK/home" "$WORK/runtime"
chmod 755 "$WORK"
chown nobody:nogroup "$WORK/app" "$WORK/home" "$WORK/runtime"
as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
APP_WRAPPER=("${as_nobody[@]}")
start_app
pid=$APP_PID

[[ $(stat -c %U "/proc/$pid/mem") == root ]] || fail "the program is dumpable (/proc/$pid/mem belongs to $(stat -c %U "/proc/$pid/mem"))"
grep -Eq '^Max core file size +0 +0 ' "/proc/$pid/limits" || fail "core files are on: $(grep core "/proc/$pid/limits")"
access=$("${as_nobody[@]}" /usr/bin/python3 -c '
import ctypes, sys
pid = int(sys.argv[1])
attached = ctypes.CDLL(None).ptrace(0x4206, pid, None, None) == 0  # PTRACE_SEIZE: attach without stopping it
try:
    open(f"/proc/{pid}/mem", "rb").close(); readable = True
except OSError:
    readable = False
print(f"attach={attached} read={readable}")' "$pid")
[[ $access == "attach=False read=False" ]] || fail "another process of the same user could get in: $access"
log "not dumpable, core limit 0, same user: $access"

# Passwords of 20 letters and 20 digits, so that each one's bytes are unmistakable.
key Tab && type_over 20 && key Tab && type_over 20
batch() { # rows: run Generate until the list shows that many rows
    local rows=$1
    click_control XPButton1
    wait_until 10 eval '(($(list_rows_shown) >= rows))' || fail "the list never showed $rows rows"
    click_control XPButton2
}
batch 4
gcore -o "$WORK/core" "$pid" >"$WORK/gcore.log" 2>&1 || { cat "$WORK/gcore.log" >&2; fail "gcore could not attach as root"; }
batch 8
save_with click_control XPButton3

python3 - "$WORK/core.$pid" "$TARGET" <<'EOF_PY' || fail "the memory image gives passwords away"
import re, sys
core = open(sys.argv[1], "rb").read()
passwords = open(sys.argv[2]).read().split()
def raw_bytes(password):  # the bytes the picker turns into this password, rejected ones anywhere between
    parts = []
    for c in password:
        pool, index = (26, ord(c) - 97) if c.isalpha() else (10, (ord(c) - 49) % 10)
        limit = 256 - 256 % pool
        parts.append(b"[" + b"".join(b"\\x%02x" % b for b in range(index, limit, pool)) + b"]")
    return re.compile(rb"[\xea-\xff]*".join(parts))  # rejected bytes: 234.. for letters, 250.. for digits
made = [p for p in passwords if p.encode() in core]
later = passwords[len(made):]
print(f"{len(made)} passwords made before the image, {len(later)} after; in it as text:",
      [core.count(p.encode()) for p in made])
assert len(made) >= 4 and len(later) >= 3 and not any(p.encode() in core for p in later)
assert all(core.count(p.encode()) == 1 for p in made), "a password is in the image more than once"
found = [p for p in passwords if re.search(raw_bytes(p), core)]
assert not found, f"random bytes of {found} are in the image"
EOF_PY
log PASS
