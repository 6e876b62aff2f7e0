#!/usr/bin/env bash
# Resident memory of the whole application. First the peak (VmHWM) of an empty start and of
# 5,000 clips of mixed texts (80 % of 60 characters, 15 % of 2 KB, 5 % of 50 KB, prose with
# some accented words), 10 s after launch with no copy, each the median of three runs: the
# peak over the empty start divided by the store file's size. Then, for store files of 500,
# 5,000 and 20,000 short text clips, of as many mixed texts, and of 4,800 texts with 200
# images: the peak while loading, the steady RSS and PSS at idle, with the bar shown by the
# hot key (Ctrl+Shift+V), and after a search and three copies with their saves. Runs under
# its own Xvfb with a private D-Bus session, openbox and a test tray; HOME and XDG folders
# point into a temporary folder. Prints figures only.
#   bench/memory.sh [peak]   (VELLORA_BUILD_DIR selects the build, default ./build; "peak"
#                             measures the peak ratio only)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELLORA_BUILD_DIR:-$root/build}
settle_seconds=2
peak_seconds=10
peak_runs=3

source "$root/scripts/lib/sandbox.sh"
bench_on_own_display "$build" "$0" "$@"
start_window_manager
start_tray_host "$build"
store="$XDG_DATA_HOME/Dorvane/store.json"

memory() {
    local status
    status=$(grep -E '^(VmRSS|VmHWM)' "/proc/$1/status" | awk '{ printf "%s %6.1f MiB   ", $1, $2 / 1024 }')
    echo "$status$(awk '/^Pss:/ { printf "Pss: %6.1f MiB", $2 / 1024 }' "/proc/$1/smaps_rollup")"
}

# seed TEXT_CLIPS IMAGE_CLIPS [long]: a new data directory with that history, or none for 0 0.
seed() {
    rm -rf "$XDG_DATA_HOME/Dorvane"
    mkdir -p "$XDG_CONFIG_HOME/Vellora"
    # Keep the whole history: the default limit is 500 clips.
    printf '{"onboarded": true, "historyLimit": %d}\n' $(($1 + $2 > 500 ? $1 + $2 : 500)) \
        > "$XDG_CONFIG_HOME/Vellora/preferences.json"
    [ "$1$2" = "00" ] || QT_QPA_PLATFORM=offscreen "$build/bench/bench_seed_store" "$@" >/dev/null
}

# The median VmHWM in KiB, peak_seconds after launch, of peak_runs runs.
median_peak_kib() {
    local run app
    for run in $(seq "$peak_runs"); do
        "$build/src/vellora" &
        app=$!
        sandbox_pids+=("$app")
        sleep "$peak_seconds"
        awk '/^VmHWM/ { print $2 }' "/proc/$app/status"
        kill "$app"
        wait "$app" 2>/dev/null || true
    done | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}

seed 0 0
empty_kib=$(median_peak_kib)
seed 5000 0 long
full_kib=$(median_peak_kib)
store_bytes=$(stat -c %s "$store")
awk -v empty="$empty_kib" -v full="$full_kib" -v bytes="$store_bytes" 'BEGIN {
    over = (full - empty) * 1024
    printf "peak, empty start:        %6.1f MiB\n", empty / 1024
    printf "peak, 5,000 mixed texts:  %6.1f MiB (store file %.1f MiB)\n", full / 1024, bytes / 1048576
    printf "peak over empty:          %6.1f MiB = %.2f x the store file\n", over / 1048576, over / bytes
}'
[ "${1:-}" != peak ] || exit 0

for sizes in "500 0" "5000 0" "20000 0" "500 0 long" "5000 0 long" "20000 0 long" "4800 200"; do
    read -r text_clips image_clips shape <<<"$sizes"
    seed "$text_clips" "$image_clips" $shape
    echo "== $text_clips ${shape:+$shape }texts, $image_clips images: store file $(du -h "$store" | cut -f1)"

    "$build/src/vellora" &
    app=$!
    sandbox_pids+=("$app")
    sleep "$settle_seconds"
    echo "idle:       $(memory "$app")"
    xdotool key --clearmodifiers ctrl+shift+v
    sleep "$settle_seconds"
    echo "bar shown:  $(memory "$app")"
    # A search, then copies and their saves.
    xdotool type --delay 50 "clip 1"
    xdotool key Escape
    for copy in 1 2 3; do
        printf 'copied %s' "$copy" | xclip -selection clipboard
        sleep 0.5
    done
    sleep 3
    echo "after use:  $(memory "$app")"
    kill "$app"
    wait "$app" 2>/dev/null || true
done
