#!/bin/bash
# No secure source: getrandom(2) answers ENOSYS (seccomp), /dev/urandom and
# /dev/random are plain files (glibc's arc4random, used by fontconfig's expat,
# still reads them; libsodium refuses them). The window opens; Create and
# Generate say why no password can be made, and make none.
((EUID == 0)) && unshare --mount true || { echo "SKIP: needs root and a mount namespace"; exit 77; }
source "$(dirname "$0")/lib.sh"
start_xvfb
head -c 65536 /dev/zero >"$WORK/plain"
cat >"$WORK/no_getrandom.py" <<'EOF_PY'
import ctypes, os, struct, sys
arch, getrandom = {"x86_64": (0xC000003E, 318), "aarch64": (0xC00000B7, 278)}[os.uname().machine]
code = [(0x20, 0, 0, 4), (0x15, 1, 0, arch), (0x06, 0, 0, 0x7FFF0000), (0x20, 0, 0, 0),
        (0x15, 0, 1, getrandom), (0x06, 0, 0, 0x00050000 | 38), (0x06, 0, 0, 0x7FFF0000)]  # ENOSYS, else allow
filters = ctypes.create_string_buffer(b"".join(struct.pack("HBBI", *c) for c in code))
libc = ctypes.CDLL(None)
assert libc.prctl(38, 1, 0, 0, 0) == 0 and libc.prctl(22, 2, struct.pack("HxxxxxxQ", len(code), ctypes.addressof(filters)), 0, 0) == 0
os.execv(sys.argv[1], sys.argv[1:])
EOF_PY
APP_WRAPPER=(unshare --mount sh -c 'mount --bind "$0" /dev/urandom && mount --bind "$0" /dev/random &&
                                     exec python3 "$1" "$2"' "$WORK/plain" "$WORK/no_getrandom.py")
start_app
key space # Create, which has the focus
expect_warning "Create without a random source"
[[ $WARNING_TEXT == *"no password can be made"*getrandom*/dev/urandom* ]] || fail "the warning does not say why: $WARNING_TEXT"
click_control Generate # Generate
expect_warning "Generate without a random source"
save_with click_control Save
[[ ! -s $TARGET ]] || fail "passwords were made without a secure source: $(head -c 80 "$TARGET")"
log PASS
