#!/usr/bin/env bash
# One command for a fresh Debian 12 machine, run as root:
#   ./setup.sh run    installs what is missing, builds, opens the window
#   ./setup.sh test   installs what is missing, builds, runs every test
set -euo pipefail
cd "$(dirname "$0")"

install_missing() {
    local wanted missing=()
    wanted=$(grep -v -E '^\s*(#|$)' scripts/debian-packages.txt)
    for package in $wanted; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    if ((${#missing[@]})); then
        echo "== Installing: ${missing[*]}"
        apt-get update -q
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
    fi
}

build() { # build-folder cmake-arguments...
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir"
}

case "${1:-}" in
run)
    install_missing
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    exec build/app/velkrin
    ;;
test)
    install_missing
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    ctest --test-dir build --output-on-failure --timeout 600
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
