#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite through CTest:
# a normal build, then one with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

run_suite() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j2
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j2
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "${KVISTBO_SKIP_SANITIZERS:-0}" != 1 ]; then
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DKVISTBO_SANITIZE=ON
fi
