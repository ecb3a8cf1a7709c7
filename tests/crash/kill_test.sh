#!/usr/bin/env bash
# Kills --import, --export and a database save at random moments and checks after every kill
# that the earlier files are byte-identical or the new ones complete (an interrupted pair
# replacement may leave its backup, holding the old pair, for the next run), that the next run
# goes through and leaves no temporary file, and that the database passes its integrity check.
# Then, through the shim, kills a small export and a small import at each of their file-system
# calls in turn; after a killed export the next run must first put back exactly the old pair when
# a backup was left, or find a complete pair.
# Usage: kill_test.sh KVISTBO CRASH_SAVE SHIM.so [ROUNDS_PER_OPERATION]
set -euo pipefail
kvistbo=$1
crash_save=$2
shim=$3
rounds=${4:-12}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM || true
cd "$work"
mkdir -p src out ref save

passed=0
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=$((failed + 1))
}

# No hidden file may stay in a folder once a run has gone through.
only_expected() {
    local folder=$1; shift
    local listing
    listing=$(ls -A "$folder" | sort | tr '\n' ' ')
    [ "$listing" = "$* " ] || { fail "left in $folder: $listing"; return 1; }
}

now_ms() { date +%s%3N; }

# Starts a command, kills it after a random part of `limit` milliseconds, waits for it.
run_and_kill() {
    local limit=$1; shift
    "$@" >/dev/null 2>&1 &
    local pid=$!
    local delay=$((RANDOM % (limit > 1 ? limit : 1)))
    sleep "$(awk -v ms="$delay" 'BEGIN { printf "%.3f", ms / 1000 }')"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# A catalogue large enough that every step takes a while: one big group, a few small ones and
# the equivalence lines.
printf 'BL_NAME,Blocknamn,8\r\nTYP,Typ,3\r\nBEN\xc4MNING,Ben\xe4mning,20\r\nFABRIKAT,Fabrikat,12\r\n' \
    > src/big.tdx
awk 'BEGIN {
    for (i = 0; i < 30000; i++)
        printf "%-8s%-3s%-20s%-12s\r\n", "KATAI010", i % 900 + 1, "Artikel " i, "Nordel";
    for (g = 20; g < 60; g++)
        for (i = 0; i < 50; i++)
            printf "%-8s%-3s%-20s%-12s\r\n", "KATAI0" g, i + 1, "Grupp " g, "Ostrom";
    printf "%-8s%-3s%-20s%-12s\r\n", "KATAI061", "", "=KATAI060", "";
}' > src/big.tds
articles=$((30000 + 40 * 50))

# ------------------------------------------------------------------------------ the import
start=$(now_ms)
"$kvistbo" --import src/big.tds --force >/dev/null
import_ms=$(( $(now_ms) - start ))
cp src/big.tdb ref/big.tdb
for ((round = 1; round <= rounds; round++)); do
    cp src/big.tdb before.tdb
    run_and_kill "$import_ms" "$kvistbo" --import src/big.tds --force
    if cmp -s before.tdb src/big.tdb; then
        :
    else
        state=$("$crash_save" src/big.tdb KATAI010 check 2>&1 || true)
        [ "$state" = "ok $articles Artikel" ] || fail "import round $round: database is '$state'"
    fi
    "$kvistbo" --import src/big.tds --force >/dev/null 2>&1 || fail "import round $round: next run"
    only_expected src "big.tdb big.tds big.tdx" || true
    passed=$((passed + 1))
done

# ------------------------------------------------------------------------------ the export
"$kvistbo" --export src/big.tdb ref/big.tds >/dev/null
start=$(now_ms)
"$kvistbo" --export src/big.tdb ref/big.tds >/dev/null
export_ms=$(( $(now_ms) - start ))
for ((round = 1; round <= rounds; round++)); do
    # The old pair differs from what the export writes, so either can be told apart.
    { cat ref/big.tds; printf 'old %d\r\n' "$round"; } > out/big.tds
    { cat ref/big.tdx; printf 'old %d\r\n' "$round"; } > out/big.tdx
    cp out/big.tds old.tds
    cp out/big.tdx old.tdx
    run_and_kill "$export_ms" "$kvistbo" --export src/big.tdb out/big.tds
    backup=out/.big.tds.backup
    if cmp -s old.tds out/big.tds && cmp -s old.tdx out/big.tdx; then
        :
    elif cmp -s ref/big.tds out/big.tds && cmp -s ref/big.tdx out/big.tdx; then
        :
    elif [ -d "$backup" ] && cmp -s old.tds "$backup/first" && cmp -s old.tdx "$backup/second"; then
        :
    else
        fail "export round $round: neither the old nor the new pair"
    fi
    err=$("$kvistbo" --export src/big.tdb out/big.tds 2>&1 >/dev/null) \
        || fail "export round $round: next run: $err"
    cmp -s ref/big.tds out/big.tds && cmp -s ref/big.tdx out/big.tdx \
        || fail "export round $round: next run wrote another pair"
    only_expected out "big.tds big.tdx" || true
    passed=$((passed + 1))
done

# ------------------------------------------------------------------------------- the save
cp ref/big.tdb save/big.tdb
"$crash_save" save/big.tdb KATAI010 save A
start=$(now_ms)
"$crash_save" save/big.tdb KATAI010 save B
save_ms=$(( $(now_ms) - start ))
previous=B
for ((round = 1; round <= rounds; round++)); do
    value=$([ "$previous" = A ] && echo B || echo A)
    run_and_kill "$save_ms" "$crash_save" save/big.tdb KATAI010 save "$value"
    state=$("$crash_save" save/big.tdb KATAI010 check 2>&1 || true)
    if [ "$state" = "ok $articles $previous" ]; then
        :
    elif [ "$state" = "ok $articles $value" ]; then
        previous=$value
    else
        fail "save round $round: database is '$state'"
    fi
    # The next save goes through and the engine's journal is gone afterwards.
    value=$([ "$previous" = A ] && echo B || echo A)
    "$crash_save" save/big.tdb KATAI010 save "$value" || fail "save round $round: next save"
    previous=$value
    only_expected save "big.tdb" || true
    passed=$((passed + 1))
done

# ------------------------------------------------------- a kill at each file-system call
mkdir -p small kout
cp src/big.tdx small/s.tdx
head -n 200 src/big.tds > small/s.tds
"$kvistbo" --import small/s.tds --force >/dev/null
"$kvistbo" --export small/s.tdb ref/s.tds >/dev/null

# Runs a command under the shim, killed at call N on a file under FOLDER (0: counts the calls).
killed_at() {
    local folder=$1 at=$2; shift 2
    rm -f count
    KVISTBO_FAIL_DIR=$folder KVISTBO_FAIL_CALLS=all KVISTBO_FAIL_AT=$at KVISTBO_FAIL_ERRNO=kill \
        KVISTBO_FAIL_COUNT=$work/count LD_PRELOAD=$shim "$@" >/dev/null 2>&1
}

old_pair() {
    { cat ref/s.tds; printf 'old\r\n'; } > kout/s.tds
    { cat ref/s.tdx; printf 'old\r\n'; } > kout/s.tdx
}
is_pair() { cmp -s "$1.tds" kout/s.tds && cmp -s "$1.tdx" kout/s.tdx; }
old_pair
cp kout/s.tds old-s.tds
cp kout/s.tdx old-s.tdx
killed_at "$work/kout" 0 "$kvistbo" --export small/s.tdb kout/s.tds || fail "counted export failed"
calls=$(cat count)
[ "$calls" -gt 0 ] || fail "the shim counted no call of the export"
for ((n = 1; n <= calls; n++)); do
    old_pair
    killed_at "$work/kout" "$n" "$kvistbo" --export small/s.tdb kout/s.tds \
        && fail "export call $n: not killed"
    if [ -d kout/.s.tds.backup ] || is_pair old-s; then
        expect=old-s
    elif is_pair ref/s; then
        expect=ref/s
    else
        fail "export call $n: neither the old nor the new pair, and no backup"
        continue
    fi
    # An import reads the pair without writing it: it shows what the recovery put back.
    "$kvistbo" --import kout/s.tds --force >/dev/null 2>&1 || true
    is_pair "$expect" || fail "export call $n: the next run did not leave the pair $expect"
    rm -f kout/s.tdb
    err=$("$kvistbo" --export small/s.tdb kout/s.tds 2>&1 >/dev/null) \
        || fail "export call $n: next run: $err"
    is_pair ref/s || fail "export call $n: next run wrote another pair"
    only_expected kout "s.tds s.tdx" || true
    passed=$((passed + 1))
done
export_calls=$calls

cp small/s.tdb old-s.tdb
killed_at "$work/small" 0 "$kvistbo" --import small/s.tds --force || fail "counted import failed"
calls=$(cat count)
[ "$calls" -gt 0 ] || fail "the shim counted no call of the import"
for ((n = 1; n <= calls; n++)); do
    killed_at "$work/small" "$n" "$kvistbo" --import small/s.tds --force \
        && fail "import call $n: not killed"
    if ! cmp -s old-s.tdb small/s.tdb; then
        state=$("$crash_save" small/s.tdb KATAI010 check 2>&1 || true)
        [ "$state" = "ok 200 Artikel" ] || fail "import call $n: database is '$state'"
    fi
    "$kvistbo" --import small/s.tds --force >/dev/null 2>&1 || fail "import call $n: next run"
    only_expected small "s.tdb s.tds s.tdx" || true
    cp small/s.tdb old-s.tdb
    passed=$((passed + 1))
done
echo "killed at each of ${export_calls} calls of an export and ${calls} of an import"

echo "import ${import_ms} ms, export ${export_ms} ms, save ${save_ms} ms per run"
echo "kill test: ${passed} rounds, ${failed} failures"
[ "$failed" -eq 0 ]
