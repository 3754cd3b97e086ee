# Where the tests' own CUPS server keeps its state and socket. Sourced by the
# fixture scripts and the printing tests; $1 of the caller is the build
# folder's e2e directory.

cups_state_dir() { # base-dir
    local dir="$1/cups"
    # A Unix socket path must fit in 108 bytes; deep build folders fall back
    # to a short, stable name under /tmp.
    if ((${#dir} > 90)); then
        dir="/tmp/velkrin-e2e-cups-$(printf '%s' "$1" | cksum | cut -d' ' -f1)"
    fi
    printf '%s\n' "$dir"
}

readonly VELKRIN_TEST_QUEUE=VelkrinTest
