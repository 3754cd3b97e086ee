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

    # The whole suite once more with AddressSanitizer, LeakSanitizer and
    # UndefinedBehaviorSanitizer; any report fails the test that made it.
    echo "== Sanitizer build (build-asan)"
    build build-asan -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
        -DVELKRIN_BUILD_BENCH=OFF
    ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1 \
        LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0" \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-asan --output-on-failure --timeout 600

    # The typed-count path under libFuzzer (clang), from the committed seeds.
    # New inputs go to build-fuzz/corpus-work; a failing input is written to
    # build-fuzz/ and belongs in tests/fuzz/corpus once the bug is fixed.
    echo "== Fuzzing the count boxes' text for 60 s (build-fuzz)"
    cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
    cmake --build build-fuzz
    mkdir -p build-fuzz/corpus-work
    if ! build-fuzz/fuzz_count_text -max_total_time=60 -timeout=10 -print_final_stats=1 \
        -dict=tests/fuzz/count_text.dict -artifact_prefix=build-fuzz/ \
        build-fuzz/corpus-work tests/fuzz/corpus >build-fuzz/fuzz.log 2>&1; then
        tail -n 60 build-fuzz/fuzz.log
        echo "FAIL: the fuzzer found a failing input (see build-fuzz/fuzz.log and build-fuzz/crash-*)" >&2
        exit 1
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' build-fuzz/fuzz.log
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
