#!/usr/bin/env bash
# Runs the export and the import of the demo catalogue with one file-system call on the files
# they write failing: for each kind of call (open, read, write, rename, sync, close), the Nth
# such call for every N until a run needs no more. A run that met a fault must exit non-zero
# with a message and leave the old files byte for byte (the old pair, the old .tdb), or, when it
# could absorb the fault, exit 0 with the right files; either way with no temporary file beside
# them. The run that no fault reached must write the right files. Every kind of call must have
# stopped a run at least once, so a shim that matches nothing fails here.
# Usage: failure_injection.sh KVISTBO SHIM.so EXAMPLES_DIR
set -euo pipefail
kvistbo=$1
shim=$2
examples=$3

work=$(realpath "$(mktemp -d)")
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM || true
cd "$work"
# The shim is given the folders through a symbolic link: it must compare resolved paths.
ln -s "$work" link
mkdir -p db out ref check
cp "$examples/demo.tds" "$examples/demo.tdx" db/
"$kvistbo" --import db/demo.tds >/dev/null
"$kvistbo" --export db/demo.tdb ref/demo.tds >/dev/null
cp db/demo.tdb old.tdb
printf 'old\r\n' | cat ref/demo.tds - > old.tds
printf 'old\r\n' | cat ref/demo.tdx - > old.tdx

failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=$((failed + 1))
}

# Puts the old files back, whatever the last run did.
reset() {
    rm -rf out && mkdir out && cp old.tds out/demo.tds && cp old.tdx out/demo.tdx
    cp old.tdb db/demo.tdb
}

# The run under test; its stderr goes to err.txt.
run() {
    case $1 in
        export) "$kvistbo" --export db/demo.tdb out/demo.tds ;;
        import) "$kvistbo" --import db/demo.tds --force ;;
    esac >/dev/null 2>err.txt
}

# The files a run may change are the old ones still.
unchanged() {
    case $1 in
        export) cmp -s old.tds out/demo.tds && cmp -s old.tdx out/demo.tdx ;;
        import) cmp -s old.tdb db/demo.tdb ;;
    esac
}

# The files of a run that went through are right: the new pair, or a database that exports it.
right() {
    case $1 in
        export) cmp -s ref/demo.tds out/demo.tds && cmp -s ref/demo.tdx out/demo.tdx ;;
        import)
            rm -f check/*
            "$kvistbo" --export db/demo.tdb check/demo.tds >/dev/null 2>&1 &&
                cmp -s ref/demo.tds check/demo.tds && cmp -s ref/demo.tdx check/demo.tdx ;;
    esac
}

folder_of() { [ "$1" = export ] && echo out || echo db; }

listing() { ls -A "$1" | sort | tr '\n' ' '; }

# operation  call    errno (ENOSPC 28, EIO 5, EACCES 13, EMFILE 24, EFBIG 27)
cases="
export open 13
export write 28
export write 27
export rename 5
export fsync 5
export close 5
import open 24
import read 5
import write 28
import write 27
import rename 5
import fsync 5
import close 5
"

declare -A refused absorbed
while read -r operation call errno; do
    [ -n "$operation" ] || continue
    folder=$(folder_of "$operation")
    expected=$(reset; listing "$folder")
    n=0
    while :; do
        n=$((n + 1))
        reset
        rm -f report
        rc=0
        KVISTBO_FAIL_DIR=$work/link/$folder KVISTBO_FAIL_CALLS=$call KVISTBO_FAIL_AT=$n \
            KVISTBO_FAIL_ERRNO=$errno KVISTBO_FAIL_REPORT=$work/report LD_PRELOAD=$shim \
            run "$operation" || rc=$?
        if [ ! -s report ]; then
            # Every call went through: this run must be complete and right.
            [ "$rc" -eq 0 ] || fail "$operation: run $n without a $call fault exited $rc: $(cat err.txt)"
            right "$operation" || fail "$operation: run $n without a $call fault wrote wrong files"
            break
        fi
        what="$operation: $call $(cat report)"
        left=$(listing "$folder")
        [ "$left" = "$expected" ] || fail "$what failed and left $left"
        if [ "$rc" -eq 0 ]; then
            # A fault the run could absorb (a close after the sync, a read of the .tdb being
            # replaced) is fine only when the result is complete and right.
            right "$operation" || fail "$what failed, the run exited 0 and wrote wrong files"
            absorbed[$call]=$((${absorbed[$call]:-0} + 1))
            continue
        fi
        refused[$call]=$((${refused[$call]:-0} + 1))
        [ -s err.txt ] || fail "$what failed without a message"
        # The user knows the files by their own names, not by a hidden temporary one.
        ! grep -qE '\.demo\.[a-z]+\.[0-9]+-' err.txt || fail "$what: message names a temporary file: $(cat err.txt)"
        unchanged "$operation" || fail "$what failed and the old files changed"
    done
done <<< "$cases"

# Every kind of call must have been failed, and at least once where it stops the run.
summary=""
for call in open read write rename fsync close; do
    summary+=" $call ${refused[$call]:-0}+${absorbed[$call]:-0}"
    [ "${refused[$call]:-0}" -gt 0 ] || fail "no failed $call call ever stopped a run"
done
echo "failure injection: faults injected (stopped the run + absorbed):$summary; ${failed} failures"
[ "$failed" -eq 0 ]
