#!/usr/bin/env bash
# Import/export timings of kvistbo against a plain sqlite3 shell load of the
# same rows, then filling the article grid against the same query in the shell,
# then saving the grid after edits against our own import, then renaming the
# library against the shell running the same UPDATE statements, finding a text
# against the shell's LIKE, and the longest stall of the event loop during an
# import, an export and a find. Every figure is printed, and again per 1,000
# lines at the end. Prints figures only; never fails on them.
#
#   bench/run_bench.sh [--baseline-only] [LINES] [KVISTBO [WORKDIR [GRID_BENCH]]]
#   bench/run_bench.sh --scaling [KVISTBO [WORKDIR [GRID_BENCH]]]
#
# LINES defaults to BENCH_LINES or 200000. --scaling runs 100000, 200000 and
# 1000000 lines in turn and prints each figure per 1,000 lines side by side.
# KVISTBO defaults to build/kvistbo, WORKDIR to a fresh temp folder that is
# removed at the end (a WORKDIR you pass is left in place; "" means the
# default), GRID_BENCH to build-bench/bench/kvistbo_bench_grid (the grid part
# is skipped when it is missing). BENCH_RUNS (default 3) sets the runs.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
baseline_only=0
scaling=0
args=()
for a in "$@"; do
    case "$a" in
        --baseline-only) baseline_only=1 ;;
        --scaling) scaling=1 ;;
        -h|--help) sed -n '2,20p' "${BASH_SOURCE[0]}"; exit 0 ;;
        *) args+=("$a") ;;
    esac
done
lines="${BENCH_LINES:-200000}"
if [[ ${#args[@]} -gt 0 && "${args[0]}" =~ ^[0-9]+$ ]]; then
    lines="${args[0]}"
    args=("${args[@]:1}")
fi

# Each size in turn; the per-1,000-line figures of every run side by side.
if [[ $scaling -eq 1 ]]; then
    pass=()
    [[ $baseline_only -eq 1 ]] && pass+=(--baseline-only)
    sizes=(100000 200000 1000000)
    tables=()
    for n in "${sizes[@]}"; do
        out="$(mktemp -t kvistbo-scaling.XXXXXX)"
        tables+=("$out")
        echo "=== $n lines ==="
        "${BASH_SOURCE[0]}" "${pass[@]}" "$n" "${args[@]}" | tee "$out"
    done
    echo "=== per 1,000 lines ==="
    python3 - "${tables[@]}" <<'PY'
import re, sys
cols, rows = [], {}
for path in sys.argv[1:]:
    figures = {}
    for line in open(path):
        m = re.match(r"^(\w+)_per_1000_lines=([-0-9.]+)$", line.strip())
        if m:
            figures[m.group(1)] = m.group(2)
    cols.append(figures)
names = sorted({k for c in cols for k in c})
print(f"{'figure':40} {'100,000':>12} {'200,000':>12} {'1,000,000':>12}")
for name in names:
    print(f"{name:40} " + " ".join(f"{c.get(name, '-'):>12}" for c in cols))
PY
    rm -f "${tables[@]}"
    exit 0
fi

# The whole output once more at the end as figures per 1,000 lines: times (_s, _ms) and sizes
# (_mib), so runs of different sizes show how each cost grows.
if [[ -z "${KVISTBO_BENCH_INNER:-}" ]]; then
    out="$(mktemp -t kvistbo-bench-out.XXXXXX)"
    set +e
    KVISTBO_BENCH_INNER=1 "${BASH_SOURCE[0]}" "$@" | tee "$out"
    status=${PIPESTATUS[0]}
    set -e
    echo "per 1,000 lines ($lines lines):"
    python3 - "$out" "$lines" <<'PY'
import re, sys
lines = int(sys.argv[2])
seen = set()
for line in open(sys.argv[1]):
    m = re.match(r"^(\w+_(?:s|ms|mib))=([-0-9.]+)$", line.strip())
    if m and m.group(1) not in seen:
        seen.add(m.group(1))
        print(f"{m.group(1)}_per_1000_lines={float(m.group(2)) * 1000 / lines:.4g}")
PY
    rm -f "$out"
    exit "$status"
fi

kvistbo="${args[0]:-build/kvistbo}"
work="${args[1]:-}"
grid_bench="${args[2]:-build-bench/bench/kvistbo_bench_grid}"
runs="${BENCH_RUNS:-3}"

command -v sqlite3 >/dev/null || { echo "sqlite3 shell not found" >&2; exit 2; }
command -v python3 >/dev/null || { echo "python3 not found" >&2; exit 2; }
# .import --csv needs sqlite 3.32 or later.
ver="$(sqlite3 --version | cut -d' ' -f1)"
if [[ "$(printf '%s\n3.32.0\n' "$ver" | sort -V | head -n1)" != "3.32.0" ]]; then
    echo "sqlite3 $ver is too old for .import --csv (need 3.32+)" >&2
    exit 2
fi
if [[ $baseline_only -eq 0 ]]; then
    [[ -x "$kvistbo" ]] || { echo "kvistbo binary not found: $kvistbo" >&2; exit 2; }
    kvistbo="$(cd "$(dirname "$kvistbo")" && pwd)/$(basename "$kvistbo")"
fi
run_grid=0
if [[ $baseline_only -eq 0 ]]; then
    if [[ -x "$grid_bench" ]]; then
        grid_bench="$(cd "$(dirname "$grid_bench")" && pwd)/$(basename "$grid_bench")"
        run_grid=1
    else
        echo "grid bench not found: $grid_bench; the grid part is skipped (see bench/README.md)" >&2
    fi
fi

if [[ -z "$work" ]]; then
    work="$(mktemp -d -t kvistbo-bench.XXXXXX)"
    trap 'rm -rf "$work"' EXIT
else
    mkdir -p "$work"
fi
work="$(cd "$work" && pwd)"
# The program is a Qt application; keep it off any display.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

echo "work folder: $work"
echo "sqlite3 $ver"
echo "generating $lines lines ..."
python3 "$here/gen_catalogue.py" generate "$work" --lines "$lines"
python3 "$here/gen_catalogue.py" to-csv "$work/bench.tds" "$work/bench.tdx" "$work/csv"
{
    cat "$work/csv/schema.sql"
    echo "BEGIN;"
    echo ".import --csv '$work/csv/articles.csv' Articles"
    echo ".import --csv '$work/csv/eqv.csv' Eqv"
    echo ".import --csv '$work/csv/designations.csv' Designations"
    echo "COMMIT;"
    echo "BEGIN;"
    cat "$work/csv/indexes.sql"
    echo "COMMIT;"
} > "$work/baseline_import.sql"
echo "bench.tds: $(wc -l < "$work/bench.tds") lines, $(wc -c < "$work/bench.tds") bytes"

# Wall-clock seconds of one command, on stdout.
elapsed() {
    local t0 t1
    t0=$EPOCHREALTIME
    "$@" || { echo "failed: $*" >&2; return 1; }
    t1=$EPOCHREALTIME
    python3 -c "print(f'{$t1 - $t0:.3f}')"
}

median() {
    printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'
}

# Output goes to a log that is shown only when the program fails.
run_logged() {
    local log="$1"; shift
    "$@" > "$log" 2>&1 || { tail -n 20 "$log" >&2; return 1; }
}
ours_import() { run_logged "$work/ours_import.log" "$kvistbo" --import "$work/bench.tds" --force; }
ours_export() { run_logged "$work/ours_export.log" "$kvistbo" --export "$work/bench.tdb" "$work/out.tds"; }
base_import() { sqlite3 -bail "$work/bench_baseline.db" < "$work/baseline_import.sql"; }
base_export() {
    sqlite3 -csv "$work/bench_baseline.db" 'SELECT * FROM Articles; SELECT * FROM Eqv;' > "$work/baseline_out.csv"
}

declare -a oi=() oe=() bi=() be=()
for ((r = 1; r <= runs; r++)); do
    if [[ $baseline_only -eq 0 ]]; then
        # Both imports build a new file where none is: freeing the old one is timed for neither.
        rm -f "$work/bench.tdb"
        oi+=("$(elapsed ours_import)")
        oe+=("$(elapsed ours_export)")
        echo "run $r: ours import ${oi[-1]} s, export ${oe[-1]} s"
    fi
    rm -f "$work/bench_baseline.db" "$work/bench_baseline.db-journal"
    bi+=("$(elapsed base_import)")
    be+=("$(elapsed base_export)")
    echo "run $r: baseline import ${bi[-1]} s, export ${be[-1]} s"
done

echo "rows: baseline Articles=$(sqlite3 "$work/bench_baseline.db" 'SELECT count(*) FROM Articles;')" \
     "Eqv=$(sqlite3 "$work/bench_baseline.db" 'SELECT count(*) FROM Eqv;')" \
     "Designations=$(sqlite3 "$work/bench_baseline.db" 'SELECT count(*) FROM Designations;')"
if [[ $baseline_only -eq 0 ]]; then
    echo "rows: ours out.tds lines=$(wc -l < "$work/out.tds")"
fi

mb_i="$(median "${bi[@]}")"
mb_e="$(median "${be[@]}")"
echo "baseline_import_s=$mb_i"
echo "baseline_export_s=$mb_e"
if [[ $baseline_only -eq 0 ]]; then
    mo_i="$(median "${oi[@]}")"
    mo_e="$(median "${oe[@]}")"
    echo "ours_import_s=$mo_i"
    echo "ours_export_s=$mo_e"
    python3 -c "print(f'import_ratio={$mo_i / $mb_i:.2f}'); print(f'export_ratio={$mo_e / $mb_e:.2f}')"
    echo "(goal: both ratios <= 0.6)"
fi

[[ $run_grid -eq 1 ]] || exit 0

# --- Filling the article grid from the database our import made ---
group="$(cat "$work/bench_group.txt")"
root_sql='SELECT Articles.*, Designations.DESCRIPTION FROM Articles INNER JOIN Designations ON Articles.BL_NAME = Designations.BL_NAME ORDER BY Designations.DESCRIPTION, Articles.RAD;'
group_sql="SELECT * FROM Articles WHERE BL_NAME = '$group' ORDER BY RAD;"

# Wall-clock milliseconds of one command, on stdout.
elapsed_ms() {
    local t0 t1
    t0=$EPOCHREALTIME
    "$@" || { echo "failed: $*" >&2; return 1; }
    t1=$EPOCHREALTIME
    python3 -c "print(f'{($t1 - $t0) * 1000:.1f}')"
}
# The value of KEY in a line of key=value pairs.
field() { tr ' ' '\n' <<< "$2" | sed -n "s/^$1=//p"; }

grid_root() { "$grid_bench" "$work/bench.tdb" root; }
grid_group() { "$grid_bench" "$work/bench.tdb" group "$group"; }
base_root() { sqlite3 "$work/bench.tdb" "$root_sql" > /dev/null; }
base_group() { sqlite3 "$work/bench.tdb" "$group_sql" > /dev/null; }
base_start() { sqlite3 "$work/bench.tdb" 'SELECT 1;' > /dev/null; }

echo "grid: root view and group $group of $work/bench.tdb"
declare -a gr=() gg=() br=() bg=() bs=() rss=()
for ((r = 1; r <= runs; r++)); do
    line_r="$(grid_root)"
    line_g="$(grid_group)"
    gr+=("$(field open_fill_ms "$line_r")")
    gg+=("$(field open_fill_ms "$line_g")")
    rss+=("$(field peak_rss_mib "$line_r")")
    br+=("$(elapsed_ms base_root)")
    bg+=("$(elapsed_ms base_group)")
    bs+=("$(elapsed_ms base_start)")
    echo "run $r: ours root: $line_r"
    echo "run $r: ours group: $line_g"
    echo "run $r: baseline root ${br[-1]} ms, group ${bg[-1]} ms, start-up alone ${bs[-1]} ms"
done

echo "rows: baseline root=$(sqlite3 "$work/bench.tdb" "SELECT count(*) FROM (${root_sql%;});")" \
     "group=$(sqlite3 "$work/bench.tdb" "SELECT count(*) FROM (${group_sql%;});")"
mg_r="$(median "${gr[@]}")"
mg_g="$(median "${gg[@]}")"
mb_r="$(median "${br[@]}")"
mb_g="$(median "${bg[@]}")"
# The largest of the runs: memory is about the worst case, not the typical one.
peak="$(printf '%s\n' "${rss[@]}" | sort -g | tail -n1)"
tds_bytes="$(wc -c < "$work/bench.tds")"
echo "ours_grid_root_ms=$mg_r"
echo "ours_grid_group_ms=$mg_g"
echo "baseline_grid_root_ms=$mb_r"
echo "baseline_grid_group_ms=$mb_g"
# The shell's own start is inside its figures but not in ours; shown to weigh small ones.
echo "baseline_startup_ms=$(median "${bs[@]}")"
python3 - <<EOF
tds = $tds_bytes / 1048576
print(f"grid_root_ratio={$mg_r / $mb_r:.2f}")
print(f"grid_group_ratio={$mg_g / $mb_g:.2f}")
print(f"grid_root_peak_rss_mib={$peak:.1f}")
print(f"tds_mib={tds:.1f}")
print(f"grid_memory_ratio={$peak / tds:.2f}")
EOF
echo "(goals: grid_root_ratio <= 2, grid_memory_ratio <= 3)"

# Saving the root view after edits, each run on a fresh copy of the imported database.
save_bench="$(dirname "$grid_bench")/kvistbo_bench_save"
if [[ -x "$save_bench" ]]; then
    echo "save: root view of $work/bench.tdb"
    modes=(one delete all every-cell)
    declare -A saves=()
    for ((r = 1; r <= runs; r++)); do
        for mode in "${modes[@]}"; do
            cp "$work/bench.tdb" "$work/save.tdb"
            line_s="$("$save_bench" "$work/save.tdb" "$mode")"
            echo "run $r: ours save: $line_s"
            saves[$mode]+="$(field save_ms "$line_s") "
        done
    done
    rm -f "$work/save.tdb"
    for mode in "${modes[@]}"; do
        # shellcheck disable=SC2086
        ms="$(median ${saves[$mode]})"
        key="${mode//-/_}"
        echo "ours_save_${key}_ms=$ms"
        python3 -c "print(f'save_${key}_ratio={$ms / 1000 / $mo_i:.2f}')"
    done
    echo "(ratios against ours_import_s; goals: save_one_ratio <= 0.2, save_all_ratio <= 1.0)"
else
    echo "(no $save_bench: save part skipped)"
fi

# Renaming the library of the imported database against the shell running the same UPDATE
# statements, each run on a fresh copy.
prefix_bench="$(dirname "$grid_bench")/kvistbo_bench_prefix"
if [[ -x "$prefix_bench" ]]; then
    old_prefix="$(cut -c1-4 "$work/bench_group.txt")"
    new_prefix="TEST"
    {
        echo ".param set ?1 '$old_prefix'"
        echo ".param set ?2 '$new_prefix'"
        echo "BEGIN IMMEDIATE;"
        "$prefix_bench" --sql "$work/bench.tdb"
        echo "COMMIT;"
    } > "$work/prefix.sql"
    echo "prefix: $old_prefix -> $new_prefix in $work/bench.tdb, the shell running:"
    sed 's/^/    /' "$work/prefix.sql"
    ours_prefix() { "$prefix_bench" "$work/prefix_ours.tdb" "$old_prefix" "$new_prefix" > "$work/prefix.log"; }
    base_prefix() { sqlite3 -bail "$work/prefix_base.tdb" < "$work/prefix.sql"; }
    # The five renamed columns, in row order, to show that both did the same.
    renamed_digest() {
        sqlite3 "$1" "SELECT BL_NAME, \"TBH/APP\" FROM Articles ORDER BY rowid;
                      SELECT BL_NAME FROM Designations ORDER BY rowid;
                      SELECT BL_NAME, \"BENÄMNING\" FROM Eqv ORDER BY rowid;" | md5sum | cut -d' ' -f1
    }
    declare -a op=() bp=()
    for ((r = 1; r <= runs; r++)); do
        cp "$work/bench.tdb" "$work/prefix_ours.tdb"
        cp "$work/bench.tdb" "$work/prefix_base.tdb"
        op+=("$(elapsed_ms ours_prefix)")
        bp+=("$(elapsed_ms base_prefix)")
        echo "run $r: ours prefix ${op[-1]} ms ($(cat "$work/prefix.log")), baseline ${bp[-1]} ms"
    done
    if [[ "$(renamed_digest "$work/prefix_ours.tdb")" == "$(renamed_digest "$work/prefix_base.tdb")" ]]; then
        echo "prefix: both renamed the same"
    else
        echo "prefix: THE RESULTS DIFFER" >&2
    fi
    rm -f "$work/prefix_ours.tdb" "$work/prefix_base.tdb"
    mo_p="$(median "${op[@]}")"
    mb_p="$(median "${bp[@]}")"
    echo "ours_prefix_ms=$mo_p"
    echo "baseline_prefix_ms=$mb_p"
    python3 -c "print(f'prefix_ratio={$mo_p / $mb_p:.2f}')"
    echo "(goal: prefix_ratio <= 1.5)"
else
    echo "(no $prefix_bench: prefix part skipped)"
fi

# Finding a text in every column of every article, against the shell running the same query.
search_bench="$(dirname "$grid_bench")/kvistbo_bench_search"
if [[ -x "$search_bench" ]]; then
    # One text with many hits (not ASCII) and one with none.
    for pair in "many:skärmad" "none:qxqxq"; do
        key="${pair%%:*}"
        text="${pair#*:}"
        "$search_bench" --sql "$work/bench.tdb" "$text" > "$work/search.sql"
        base_search() { sqlite3 "$work/bench.tdb" < "$work/search.sql" > "$work/search.out"; }
        declare -a os=() bsr=()
        for ((r = 1; r <= runs; r++)); do
            line_f="$("$search_bench" "$work/bench.tdb" "$text")"
            os+=("$(field open_find_ms "$line_f")")
            bsr+=("$(elapsed_ms base_search)")
            echo "run $r: search '$text': ours $line_f, baseline ${bsr[-1]} ms ($(wc -l < "$work/search.out") rows)"
        done
        mo_f="$(median "${os[@]}")"
        mb_f="$(median "${bsr[@]}")"
        echo "ours_search_${key}_ms=$mo_f"
        echo "baseline_search_${key}_ms=$mb_f"
        python3 -c "print(f'search_${key}_ratio={$mo_f / $mb_f:.2f}')"
    done
    echo "(goal: a search within 0.3 s at 1,000,000 lines)"
else
    echo "(no $search_bench: search part skipped)"
fi

# Editing operations that walk every row of a 50,000-article root view, built in memory.
edit_bench="$(dirname "$grid_bench")/kvistbo_bench_edit"
if [[ -x "$edit_bench" ]]; then
    echo "editing 50,000 rows:"
    "$edit_bench" 50000
else
    echo "(no $edit_bench: editing part skipped)"
fi

# The catalogue check of the same file against its import in the same run (the program times
# both, one after the other).
check_bench="$(dirname "$grid_bench")/kvistbo_bench_check"
if [[ -x "$check_bench" ]]; then
    echo "check of $lines lines against its import:"
    for r in $(seq 1 "$runs"); do
        echo "run $r: $("$check_bench" "$work/bench.tds")"
    done
    echo "(goal: check_ratio <= 0.5)"
else
    echo "(no $check_bench: check part skipped)"
fi

# The longest time the event loop got no turn (the window no repaint) during an import, an
# export and a find, run as the window runs them.
stall_bench="$(dirname "$grid_bench")/kvistbo_bench_stall"
if [[ -x "$stall_bench" ]]; then
    cp "$work/bench.tds" "$work/stall.tds"
    cp "$work/bench.tdx" "$work/stall.tdx"
    for op in import export find; do
        case "$op" in
            import) line_t="$("$stall_bench" import "$work/stall.tds")" ;;
            export) line_t="$("$stall_bench" export "$work/stall.tdb" "$work/stall_out.tds")" ;;
            find) line_t="$("$stall_bench" find "$work/stall.tdb" "skärmad")" ;;
        esac
        echo "stall $op: $line_t"
        echo "ours_${op}_longest_stall_ms=$(field longest_stall_ms "$line_t")"
    done
    rm -f "$work"/stall*.tds "$work"/stall*.tdx "$work/stall.tdb"
    echo "(goal: no stall over 100 ms)"
else
    echo "(no $stall_bench: stall part skipped)"
fi
