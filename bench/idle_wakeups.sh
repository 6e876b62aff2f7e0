#!/usr/bin/env bash
# Wake-ups of an idle Vellora: the context switches (voluntary and not) of all its threads
# together over 20 s with nothing happening, once the history of 5,000 mixed texts is loaded,
# each thread named. Runs under its own Xvfb with a private D-Bus session, openbox and a test
# tray; HOME and XDG folders point into a temporary folder. Prints figures only.
#   bench/idle_wakeups.sh [seconds]   (VELLORA_BUILD_DIR selects the build, default ./build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELLORA_BUILD_DIR:-$root/build}
idle_seconds=${1:-20}
settle_seconds=5

source "$root/scripts/lib/sandbox.sh"
bench_on_own_display "$build" "$0" "$@"
start_window_manager
start_tray_host "$build"
mkdir -p "$XDG_CONFIG_HOME/Vellora"
printf '{"onboarded": true, "historyLimit": 5000}\n' > "$XDG_CONFIG_HOME/Vellora/preferences.json"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_seed_store" 5000 0 long >/dev/null

# One line per thread: its id, name and context switches so far.
switches() {
    local task
    for task in /proc/"$1"/task/*; do
        awk -v id="${task##*/}" '/^Name:/ { name = $2 } /ctxt_switches/ { n += $2 } END { print id, name, n }' \
            "$task/status"
    done
}

"$build/src/vellora" &
app=$!
sandbox_pids+=("$app")
sleep "$settle_seconds"
switches "$app" >"$sandbox/before"
sleep "$idle_seconds"
switches "$app" >"$sandbox/after"
kill "$app"
wait "$app" 2>/dev/null || true
echo "context switches over ${idle_seconds} s of idle, by thread:"
join "$sandbox/before" "$sandbox/after" | awk '
    { d = $5 - $3; total += d; printf "  %-8s %-20s %d\n", $1, $2, d }
    END { printf "all threads: %d\n", total }'
