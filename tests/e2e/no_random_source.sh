#!/bin/bash
# No secure random source: getrandom(2) fails (a seccomp filter answers
# ENOSYS) and /dev/urandom and /dev/random are plain files, not devices (a
# private mount namespace covers them), which libsodium refuses. The window
# opens anyway; Create and Generate say that no password can be made and why,
# and make none. (glibc's arc4random, which expat uses when fontconfig reads
# its configuration, still reads the files; with no file at all glibc itself
# would end any program that loads fonts, before a window opens.)
source "$(dirname "$0")/lib.sh"
((EUID == 0)) || { echo "SKIP: needs root (a mount namespace)"; exit 77; }

start_xvfb
head -c 65536 /dev/zero >"$WORK/plain"
cat >"$WORK/no_getrandom.py" <<'EOF_PY'
import ctypes, os, struct, sys
arch, getrandom = {"x86_64": (0xC000003E, 318), "aarch64": (0xC00000B7, 278)}[os.uname().machine]
ALLOW, ENOSYS = 0x7FFF0000, 0x00050000 | 38
code = [(0x20, 0, 0, 4), (0x15, 1, 0, arch), (0x06, 0, 0, ALLOW),          # another architecture: allow
        (0x20, 0, 0, 0), (0x15, 0, 1, getrandom), (0x06, 0, 0, ENOSYS), (0x06, 0, 0, ALLOW)]
filters = ctypes.create_string_buffer(b"".join(struct.pack("HBBI", *c) for c in code))
program = struct.pack("HxxxxxxQ", len(code), ctypes.addressof(filters))
libc = ctypes.CDLL(None, use_errno=True)
assert libc.prctl(38, 1, 0, 0, 0) == 0 and libc.prctl(22, 2, ctypes.c_char_p(program), 0, 0) == 0
os.execv(sys.argv[1], sys.argv[1:])
EOF_PY
APP_WRAPPER=(unshare --mount sh -c 'mount --bind "$0" /dev/urandom && mount --bind "$0" /dev/random &&
                                     exec python3 "$1" "$2"' "$WORK/plain" "$WORK/no_getrandom.py")
start_app

key space # Create, which has the focus
expect_warning "Create without a random source"
for part in "No secure random source" "no password can be made" "getrandom" "/dev/urandom"; do
    [[ $WARNING_TEXT == *"$part"* ]] || fail "the warning does not say \"$part\": $WARNING_TEXT"
done
click_control XPButton1 # Generate
expect_warning "Generate without a random source"
save_with click_control XPButton3
[[ ! -s $TARGET ]] || fail "passwords were made without a secure source: $(head -c 80 "$TARGET")"
log PASS
