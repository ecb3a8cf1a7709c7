# Sourced by the benchmark scripts. Needs $runs and $work set; prepares the environment the
# program runs in without a display, with settings of its own.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export XDG_CONFIG_HOME="$work/config"

# Best of $runs wall-clock seconds of a command; its output is thrown away.
best() {
    local best_time=""
    for _ in $(seq "$runs"); do
        local start end t
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || true
        end=$(date +%s.%N)
        t=$(echo "$end - $start" | bc -l)
        if [[ -z "$best_time" ]] || (( $(echo "$t < $best_time" | bc -l) )); then
            best_time=$t
        fi
    done
    printf '%.3f' "$best_time"
}
