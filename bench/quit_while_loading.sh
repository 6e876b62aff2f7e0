#!/usr/bin/env bash
# SIGTERM 60 ms after launch, while the history of 5,000 and 20,000 mixed texts is still
# loading: the time from the signal to the end of the process (median of the runs), and
# whether the store file stayed as it was. Runs under its own Xvfb with a private D-Bus
# session and a test tray; HOME and XDG folders point into a temporary folder. Prints figures.
#   bench/quit_while_loading.sh [runs]   (VELLORA_BUILD_DIR selects the build, default ./build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELLORA_BUILD_DIR:-$root/build}
runs=${1:-20}
signal_after_seconds=0.06

source "$root/scripts/lib/sandbox.sh"
bench_on_own_display "$build" "$0" "$@"
start_tray_host "$build"
store="$XDG_DATA_HOME/Dorvane/store.json"

for size in 5000 20000; do
    rm -rf "$XDG_DATA_HOME/Dorvane"
    mkdir -p "$XDG_CONFIG_HOME/Vellora"
    printf '{"onboarded": true, "historyLimit": %d}\n' "$size" > "$XDG_CONFIG_HOME/Vellora/preferences.json"
    QT_QPA_PLATFORM=offscreen "$build/bench/bench_seed_store" "$size" 0 long >/dev/null
    before=$(stat -c '%i %s %Y' "$store")
    changed=0
    : >"$sandbox/times"
    for _ in $(seq "$runs"); do
        "$build/src/vellora" &
        app=$!
        sleep "$signal_after_seconds"
        start=$(date +%s%N)
        kill -TERM "$app"
        wait "$app" 2>/dev/null || true
        echo $((($(date +%s%N) - start) / 1000)) >>"$sandbox/times"
        [ "$(stat -c '%i %s %Y' "$store")" = "$before" ] || changed=$((changed + 1))
    done
    sort -n "$sandbox/times" | awk -v size="$size" '{ a[NR] = $1 } END {
        printf "%6d clips: SIGTERM -> exit median %6.1f ms   min %6.1f   max %6.1f\n",
               size, a[int((NR + 1) / 2)] / 1000, a[1] / 1000, a[NR] / 1000 }'
    echo "        store file changed in $changed of $runs runs"
done
