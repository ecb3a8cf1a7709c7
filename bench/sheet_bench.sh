#!/usr/bin/env bash
# Writes a generated catalogue to a spreadsheet: kvistbo --to-sheet to .xlsx (and .csv) against
# our own .tds export of the same working database, reported as a ratio. Prints figures only;
# never fails on them.
#
#   bench/sheet_bench.sh [KVISTBO [WORKDIR]]
#
# KVISTBO defaults to build/kvistbo, WORKDIR to a temp folder removed at the end.
# BENCH_LINES (default 1000000) and BENCH_RUNS (default 1).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
kvistbo="${1:-build/kvistbo}"
work="${2:-}"
lines="${BENCH_LINES:-1000000}"
runs="${BENCH_RUNS:-1}"

[[ -x "$kvistbo" ]] || { echo "kvistbo binary not found: $kvistbo" >&2; exit 2; }
kvistbo="$(cd "$(dirname "$kvistbo")" && pwd)/$(basename "$kvistbo")"
if [[ -z "$work" ]]; then
    work="$(mktemp -d -t kvistbo-sheet-bench.XXXXXX)"
    trap 'rm -rf "$work"' EXIT
else
    mkdir -p "$work"
fi
source "$here/best_of.sh"

python3 "$here/gen_catalogue.py" generate "$work" --lines "$lines" >/dev/null
"$kvistbo" --import "$work/bench.tds" --force >/dev/null 2>&1
tds=$(best "$kvistbo" --export "$work/bench.tdb" "$work/out.tds" --allow-lossy)
xlsx=$(best "$kvistbo" --to-sheet "$work/bench.tdb" "$work/out.xlsx")
csv=$(best "$kvistbo" --to-sheet "$work/bench.tdb" "$work/out.csv")
printf 'lines %s: .tds export %ss, .xlsx %ss (x%.2f), .csv %ss (x%.2f)\n' "$lines" "$tds" \
    "$xlsx" "$(echo "$xlsx / $tds" | bc -l)" "$csv" "$(echo "$csv / $tds" | bc -l)"
