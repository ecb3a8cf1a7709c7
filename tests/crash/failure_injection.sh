#!/usr/bin/env bash
# Runs the export of the demo catalogue with its Nth write-like call failing (disk full, or an
# I/O error for a sync), for every N until an export needs no more: every run that met a
# failure must exit non-zero with a message and leave the old pair byte for byte, with no
# temporary file beside it.
# Usage: failure_injection.sh KVISTBO SHIM.so EXAMPLES_DIR
set -euo pipefail
kvistbo=$1
shim=$2
examples=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM || true
cd "$work"
mkdir -p db out
cp "$examples/demo.tds" "$examples/demo.tdx" db/
"$kvistbo" --import db/demo.tds >/dev/null
"$kvistbo" --export db/demo.tdb out/demo.tds >/dev/null
printf 'old\r\n' >> out/demo.tds
printf 'old\r\n' >> out/demo.tdx
cp out/demo.tds old.tds
cp out/demo.tdx old.tdx

failed=0
n=0
while :; do
    n=$((n + 1))
    rm -f report
    rc=0
    KVISTBO_FAIL_DIR=$work/out KVISTBO_FAIL_AT=$n KVISTBO_FAIL_REPORT=$work/report \
        LD_PRELOAD=$shim "$kvistbo" --export db/demo.tdb out/demo.tds >/dev/null 2>err.txt || rc=$?
    if [ ! -s report ]; then
        # Every call went through: this export must be complete.
        [ "$rc" -eq 0 ] || { echo "FAIL: run $n exited $rc without a failure" >&2; failed=$((failed + 1)); }
        break
    fi
    what=$(cat report)
    if [ "$rc" -eq 0 ]; then
        echo "FAIL: call $what failed, yet the export exited 0" >&2; failed=$((failed + 1))
    fi
    if ! cmp -s old.tds out/demo.tds || ! cmp -s old.tdx out/demo.tdx; then
        echo "FAIL: call $what failed and the old pair changed" >&2; failed=$((failed + 1))
    fi
    if [ ! -s err.txt ]; then
        echo "FAIL: call $what failed without a message" >&2; failed=$((failed + 1))
    fi
    leftovers=$(ls -A out | grep -v -x -e demo.tds -e demo.tdx || true)
    if [ -n "$leftovers" ]; then
        echo "FAIL: call $what failed and left $leftovers" >&2; failed=$((failed + 1))
    fi
    # Each run starts from the old pair, whatever the last one did.
    rm -rf out && mkdir out && cp old.tds out/demo.tds && cp old.tdx out/demo.tdx
done
echo "failure injection: $((n - 1)) failing calls tried, ${failed} faults"
[ "$failed" -eq 0 ]
