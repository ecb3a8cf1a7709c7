#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds and runs the whole test suite through
# CTest: a normal build (with the crash and failure-injection tests), then one with AddressSanitizer
# and UndefinedBehaviorSanitizer, then a short libFuzzer run of each file reader and of the export
# of a hostile working database.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh clang-format

# Formatting first: a source that differs from what clang-format makes of it fails the run.
scripts/check-format.sh

run_suite() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j2
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j2
}

# Each harness gets about a minute on its seed corpus; new inputs go to the build folder.
run_fuzzers() {
    scripts/install-deps.sh clang libclang-rt-14-dev
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKVISTBO_FUZZ=ON -DKVISTBO_TESTS=OFF >/dev/null
    cmake --build build-fuzz -j2 --target fuzz_tdx fuzz_tds fuzz_tdb
    local seconds=${KVISTBO_FUZZ_SECONDS:-60}
    for reader in tdx tds tdb; do
        mkdir -p "build-fuzz/corpus-$reader"
        # A database's seed is a few pages; the text readers get their dictionaries.
        local options=(-max_len=4096 -dict="fuzz/$reader.dict")
        if [ "$reader" = tdb ]; then options=(-max_len=16384); fi
        ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
            "build-fuzz/fuzz/fuzz_$reader" -max_total_time="$seconds" "${options[@]}" \
            -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="build-fuzz/crash-$reader-" \
            "build-fuzz/corpus-$reader" "fuzz/corpus/$reader" 2> "build-fuzz/fuzz-$reader.log" \
            || { tail -n 60 "build-fuzz/fuzz-$reader.log"; return 1; }
        echo "fuzz_$reader: $(grep -E '^Done [0-9]+ runs' "build-fuzz/fuzz-$reader.log")"
    done
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "${KVISTBO_SKIP_SANITIZERS:-0}" != 1 ]; then
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DKVISTBO_SANITIZE=ON
fi
if [ "${KVISTBO_SKIP_FUZZ:-0}" != 1 ]; then
    run_fuzzers
fi
