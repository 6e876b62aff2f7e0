#!/usr/bin/env bash
# Resident memory of the whole application with store files of 500, 5,000 and 20,000 short
# text clips, of as many texts of which some are long (5 % of 50 KB), and of 4,800 texts with
# 200 images: the peak while loading (VmHWM), the steady RSS and PSS at idle, with the bar shown
# by the hot key (Ctrl+Shift+V), and after a search and three copies with their saves. Runs
# under its own Xvfb with a private D-Bus session, openbox and a test tray; HOME and XDG
# folders point into a temporary folder. Prints figures only.
#   bench/memory.sh          (VELLORA_BUILD_DIR selects the build, default ./build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELLORA_BUILD_DIR:-$root/build}
settle_seconds=2

if [ -z "${VELLORA_BENCH_INNER:-}" ]; then
    cmake --build "$build" --target vellora bench_tray_host bench_seed_store >/dev/null
    exec xvfb-run -a -s '-screen 0 1600x1000x24' dbus-run-session -- env VELLORA_BENCH_INNER=1 "$0"
fi

source "$root/scripts/lib/sandbox.sh"
enter_sandbox
unset QT_QPA_PLATFORM
openbox >/dev/null 2>&1 &
sandbox_pids+=($!)
start_tray_host "$build"

memory() {
    local status
    status=$(grep -E '^(VmRSS|VmHWM)' "/proc/$1/status" | awk '{ printf "%s %6.1f MiB   ", $1, $2 / 1024 }')
    echo "$status$(awk '/^Pss:/ { printf "Pss: %6.1f MiB", $2 / 1024 }' "/proc/$1/smaps_rollup")"
}

for sizes in "500 0" "5000 0" "20000 0" "500 0 long" "5000 0 long" "20000 0 long" "4800 200"; do
    read -r text_clips image_clips shape <<<"$sizes"
    rm -rf "$XDG_DATA_HOME/Dorvane"
    mkdir -p "$XDG_CONFIG_HOME/Vellora"
    # Keep the whole history: the default limit is 500 clips.
    printf '{"onboarded": true, "historyLimit": %d}\n' $((text_clips + image_clips)) \
        > "$XDG_CONFIG_HOME/Vellora/preferences.json"
    QT_QPA_PLATFORM=offscreen "$build/bench/bench_seed_store" "$text_clips" "$image_clips" $shape >/dev/null
    echo "== $text_clips ${shape:+$shape }texts, $image_clips images: store file $(du -h "$XDG_DATA_HOME/Dorvane/store.json" | cut -f1)"

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
