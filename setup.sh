#!/usr/bin/env bash
# One command for a fresh Debian 12 machine:
#   ./setup.sh run    installs what is missing, builds, opens the window
#   ./setup.sh test   installs what is missing, builds, runs every test
#   ./setup.sh windows  installs MinGW-w64 and Wine, builds the Windows zips (scripts/windows.sh)
# `run` needs scripts/packages-run.txt, `test` that and scripts/packages-test.txt.
# As root it installs with apt-get. As an ordinary user it uses sudo for
# apt-get alone and builds, runs and tests as that user; when nothing is
# missing it needs no root at all.
set -euo pipefail
cd "$(dirname "$0")"

# cannot_install <reason> <package...>: no way to root, so say what to run.
cannot_install() {
    local reason=$1; shift
    {
        echo "setup.sh: these packages are missing: $*"
        echo "setup.sh: cannot install them: $reason."
        echo "As root, run:"
        echo "  apt-get update"
        echo "  apt-get install -y $*"
        echo "then run $0 $mode again."
    } >&2
    exit 1
}

install_missing() { # package-list files...
    local package missing=() as_root=()
    for package in $(grep -h -v -E '^\s*(#|$)' "$@"); do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    ((${#missing[@]})) || return 0

    if ((EUID != 0)); then
        command -v sudo >/dev/null || cannot_install "sudo is not installed" "${missing[@]}"
        echo "== Missing packages: ${missing[*]}"
        echo "== setup.sh will use sudo to install them (apt-get needs root); everything else runs as $(id -un)."
        if ! sudo -n true 2>/dev/null; then
            # sudo wants a password: ask for it once, on a terminal only.
            [[ -t 0 ]] || cannot_install "sudo needs a password and there is no terminal to ask for it" "${missing[@]}"
            sudo -v || cannot_install "sudo does not let $(id -un) run apt-get" "${missing[@]}"
        fi
        as_root=(sudo)
    fi
    echo "== Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -q
    # Recommended packages are not needed: the lists name all that is (a
    # third less to download on a fresh Debian 12).
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() { # build-folder cmake-arguments...
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)"
}

# --- phases: each says when it starts and how long it took -----------------
PHASE_TIMES=()
phase() { # name function [arguments...]
    local name=$1 start=$SECONDS; shift
    echo "== [$(date +%T)] $name ..."
    CURRENT_PHASE=$name
    "$@"
    CURRENT_PHASE=
    PHASE_TIMES+=("$(printf '%-26s %4d s' "$name" $((SECONDS - start)))")
    echo "== $name took $((SECONDS - start)) s"
}
phase_summary() {
    local status=$?
    ((${#PHASE_TIMES[@]})) || return 0
    echo "== Phases:"
    printf '==   %s\n' "${PHASE_TIMES[@]}"
    [[ -n ${CURRENT_PHASE:-} ]] && echo "== Failed in: $CURRENT_PHASE"
    echo "== All: $SECONDS s"
    return "$status"
}

# The tests run side by side, one per core: each end-to-end test has an X
# server and buses of its own.
run_tests() { # build-folder
    ctest --test-dir "$1" --output-on-failure --timeout 600 --parallel "$(nproc)" "${skip[@]}"
}

phase_install() { install_missing scripts/packages-run.txt scripts/packages-test.txt scripts/packages-windows.txt; }
phase_build() { build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKRIN_BUILD_TESTS=ON -DVELKRIN_BUILD_BENCH=ON; }
phase_tests() { run_tests build; }

# The whole suite once more with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer; any report fails the test that made it. Only
# what the tests run is built: no benchmarks.
phase_sanitizer_build() {
    build build-asan -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
        -DVELKRIN_BUILD_BENCH=OFF
}
phase_sanitizer_tests() {
    ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1 \
        LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0" \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        run_tests build-asan
}

# The typed-count path under libFuzzer (clang), from the committed seeds.
# New inputs go to build-fuzz/corpus-work; a failing input is written to
# build-fuzz/ and belongs in tests/fuzz/corpus once the bug is fixed.
phase_fuzzing() {
    cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
    cmake --build build-fuzz --parallel "$(nproc)"
    mkdir -p build-fuzz/corpus-work
    if ! build-fuzz/fuzz_count_text -max_total_time=60 -timeout=10 -print_final_stats=1 \
        -dict=tests/fuzz/count_text.dict -artifact_prefix=build-fuzz/ \
        build-fuzz/corpus-work tests/fuzz/corpus >build-fuzz/fuzz.log 2>&1; then
        tail -n 60 build-fuzz/fuzz.log
        echo "FAIL: the fuzzer found a failing input (see build-fuzz/fuzz.log and build-fuzz/crash-*)" >&2
        return 1
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' build-fuzz/fuzz.log
}

mode=${1:-}
case "$mode" in
run)
    install_missing scripts/packages-run.txt
    # Only the program: the tests' packages need not be there.
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKRIN_BUILD_TESTS=OFF -DVELKRIN_BUILD_BENCH=OFF
    exec build/app/velkrin
    ;;
test)
    trap phase_summary EXIT
    phase install phase_install
    # The test CUPS server of the printing test is a cupsd of its own, which
    # starts only as root; an ordinary user runs everything else.
    skip=()
    if ((EUID != 0)); then
        skip=(-E '^e2e\.(cups_start|cups_stop|print_cups)$')
        echo "== Not root: skipping e2e.print_cups and its CUPS fixture (e2e.cups_start, e2e.cups_stop),"
        echo "== which start a cupsd of their own and need root. Run $0 test as root to include them."
    fi
    phase build phase_build
    phase tests phase_tests
    phase "sanitizer build" phase_sanitizer_build
    phase "sanitizer tests" phase_sanitizer_tests
    phase fuzzing phase_fuzzing
    phase windows scripts/windows.sh test
    ;;
windows)
    install_missing scripts/packages-run.txt scripts/packages-windows.txt
    exec scripts/windows.sh build
    ;;
*)
    echo "usage: $0 run|test|windows" >&2
    exit 2
    ;;
esac
