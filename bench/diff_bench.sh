#!/usr/bin/env bash
# Compares two catalogues that differ in 1 % of their articles: kvistbo --diff against sqldiff
# (Debian's sqlite3-tools) on the same two .tdb files, and against one import of either.
# Prints figures only; never fails on them.
#
#   bench/diff_bench.sh [KVISTBO [WORKDIR]]
#
# KVISTBO defaults to build/kvistbo, WORKDIR to a temp folder removed at the end.
# BENCH_SIZES (default "200000"; e.g. "200000 1000000") and BENCH_RUNS (default 3).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
kvistbo="${1:-build/kvistbo}"
work="${2:-}"
sizes="${BENCH_SIZES:-200000}"
runs="${BENCH_RUNS:-3}"

[[ -x "$kvistbo" ]] || { echo "kvistbo binary not found: $kvistbo" >&2; exit 2; }
kvistbo="$(cd "$(dirname "$kvistbo")" && pwd)/$(basename "$kvistbo")"
command -v sqlite3 >/dev/null || { echo "sqlite3 shell not found" >&2; exit 2; }
have_sqldiff=1
command -v sqldiff >/dev/null || {
    echo "sqldiff not found (Debian package sqlite3-tools); its figures are skipped" >&2
    have_sqldiff=0
}
if [[ -z "$work" ]]; then
    work="$(mktemp -d -t kvistbo-diff-bench.XXXXXX)"
    trap 'rm -rf "$work"' EXIT
else
    mkdir -p "$work"
fi
source "$here/best_of.sh"

for lines in $sizes; do
    dir="$work/$lines"
    mkdir -p "$dir"
    python3 "$here/gen_catalogue.py" generate "$dir" --lines "$lines" >/dev/null
    import_time=$(best "$kvistbo" --import "$dir/bench.tds" --force)
    cp "$dir/bench.tdb" "$dir/a.tdb"
    cp "$dir/bench.tdb" "$dir/b.tdb"
    # 1 % of the articles differ: most changed in one field, some removed.
    sqlite3 "$dir/b.tdb" "UPDATE Articles SET PRIS = IFNULL(PRIS, '') || '9' WHERE rowid % 100 = 0;
                          DELETE FROM Articles WHERE rowid % 1000 = 1;"
    "$kvistbo" --diff "$dir/a.tdb" "$dir/b.tdb" --format tsv >"$dir/diff.tsv" || true
    diff_time=$(best "$kvistbo" --diff "$dir/a.tdb" "$dir/b.tdb" --format tsv)
    echo "lines=$lines import=${import_time}s diff=${diff_time}s differences=$(($(wc -l <"$dir/diff.tsv") - 1))"
    echo "diff_vs_import=$(echo "$diff_time / $import_time" | bc -l | xargs printf '%.2f')"
    if [[ $have_sqldiff -eq 1 ]]; then
        sqldiff_time=$(best sqldiff "$dir/a.tdb" "$dir/b.tdb")
        echo "sqldiff=${sqldiff_time}s diff_vs_sqldiff=$(echo "$diff_time / $sqldiff_time" | bc -l | xargs printf '%.2f')"
    fi
done
