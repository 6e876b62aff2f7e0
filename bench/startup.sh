#!/usr/bin/env bash
# Whole-process figures for Vellora. First launch -> tray icon with an empty history beside a
# bare Qt program that only shows a tray icon (bench_bare_tray), interleaved in the same run:
# the medians and their ratio. Then, with store files of 0, 500, 5,000 and 20,000 clips: the
# time from launch to the status item being shown and to the history being loaded, the
# whole run from launch to the end of quitting, and the resident memory at idle 2 s after
# start. Runs under its own Xvfb with a private D-Bus session and a test tray; HOME and XDG
# folders point into a temporary folder. Prints figures only; it never passes or fails on time.
#   bench/startup.sh [runs] [sizes…]   (VELLORA_BUILD_DIR selects the build, default ./build;
#                                       VELLORA_BENCH_SHAPE=long seeds 5 % of 50 KB texts)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELLORA_BUILD_DIR:-$root/build}
runs=${1:-20}
sizes=("${@:2}")
[ ${#sizes[@]} -gt 0 ] || sizes=(0 500 5000 20000)
idle_seconds=2

source "$root/scripts/lib/sandbox.sh"
bench_on_own_display "$build" "$0" "$@"
start_tray_host "$build"
vellora="$build/src/vellora"

# Launch -> icon in ms: the wall clock the program prints at its icon minus the one just before
# it was started.
launch_to_icon() {
    local start shown
    start=$(date +%s%N)
    shown=$(VELLORA_BENCH_STARTUP=1 "$@" | sed -n 's/.*status_item_clock_ns=\([0-9]*\).*/\1/p')
    echo $(((shown - start) / 1000))
}

rm -rf "$XDG_DATA_HOME/Dorvane"
mkdir -p "$XDG_CONFIG_HOME/Vellora"
printf '{"onboarded": true}\n' > "$XDG_CONFIG_HOME/Vellora/preferences.json"
launch_to_icon "$vellora" >/dev/null # caches warm
launch_to_icon "$build/bench/bench_bare_tray" >/dev/null
: >"$sandbox/bare"
: >"$sandbox/vellora"
for _ in $(seq "$runs"); do
    launch_to_icon "$build/bench/bench_bare_tray" >>"$sandbox/bare"
    launch_to_icon "$vellora" >>"$sandbox/vellora"
done
median_us() { sort -n "$1" | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
awk -v bare="$(median_us "$sandbox/bare")" -v vellora="$(median_us "$sandbox/vellora")" -v runs="$runs" 'BEGIN {
    printf "== launch -> tray icon, empty history, median of %d interleaved runs\n", runs
    printf "bare Qt tray program     %6.1f ms\nVellora                  %6.1f ms = %.2f x\n", bare / 1000, vellora / 1000, vellora / bare
}'

for size in "${sizes[@]}"; do
    rm -rf "$XDG_DATA_HOME/Dorvane"
    mkdir -p "$XDG_CONFIG_HOME/Vellora"
    printf '{"onboarded": true, "historyLimit": %d}\n' "$((size > 500 ? size : 500))" \
        > "$XDG_CONFIG_HOME/Vellora/preferences.json"
    [ "$size" -eq 0 ] || QT_QPA_PLATFORM=offscreen "$build/bench/bench_seed_store" "$size" 0 ${VELLORA_BENCH_SHAPE:-} >/dev/null
    echo "== $size clips ($(du -h "$XDG_DATA_HOME/Dorvane/store.json" 2>/dev/null | cut -f1 || echo 0) store file)"
    VELLORA_BENCH_STARTUP=1 "$vellora" >/dev/null # first run: caches warm

    # since_exec counts from the kernel's start time of the process (clock-tick resolution,
    # 10 ms); since_main from the first line of main().
    for _ in $(seq "$runs"); do
        VELLORA_BENCH_STARTUP=1 "$vellora"
    done | awk '
        { for (i = 1; i <= NF; i++) { split($i, kv, "="); value[kv[1], ++count[kv[1]]] = kv[2] + 0 } }
        function stats(name,   n, i, j, t, a, sum) {
            n = count[name]; sum = 0
            for (i = 1; i <= n; i++) { a[i] = value[name, i]; sum += a[i] }
            for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
            printf "%-24s median %6.1f ms   mean %6.1f   min %6.1f   max %6.1f\n", name, a[int((n + 1) / 2)], sum / n, a[1], a[n]
        }
        END {
            stats("startup_ms_since_exec")
            stats("startup_ms_since_main")
            stats("history_ms_since_main")
            visible = 0; for (i = 1; i <= count["status_item_visible"]; i++) visible += value["status_item_visible", i]
            printf "status item visible in %d of %d runs\n", visible, count["status_item_visible"]
        }'

    if command -v hyperfine >/dev/null; then
        echo "-- whole process: launch, history loaded, quit without changes (hyperfine)"
        VELLORA_BENCH_STARTUP=1 hyperfine --style basic --warmup 3 --runs "$runs" --output null "$vellora" \
            | grep -E 'Time|Range'
    fi

    echo "-- resident memory at idle, ${idle_seconds} s after start"
    "$vellora" &
    app=$!
    sleep "$idle_seconds"
    grep -E '^(VmRSS|VmHWM)' "/proc/$app/status"
    grep -E '^Pss:' "/proc/$app/smaps_rollup"
    kill "$app"
    wait "$app" 2>/dev/null || true
done
