#!/usr/bin/env bash
# Resident memory of the whole application with a large history: 4,800 text clips and 200
# image clips, at idle and with the bar shown by the hot key (Ctrl+Shift+V). Runs under its
# own Xvfb with a private D-Bus session, openbox and a test tray; HOME and XDG folders point
# into a temporary folder. Prints figures only.
#   bench/memory.sh          (VELLORA_BUILD_DIR selects the build, default ./build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELLORA_BUILD_DIR:-$root/build}
text_clips=4800
image_clips=200
settle_seconds=2

if [ -z "${VELLORA_BENCH_INNER:-}" ]; then
    cmake --build "$build" --target vellora bench_tray_host bench_seed_store >/dev/null
    exec xvfb-run -a -s '-screen 0 1600x1000x24' dbus-run-session -- env VELLORA_BENCH_INNER=1 "$0"
fi

source "$root/scripts/lib/sandbox.sh"
enter_sandbox
unset QT_QPA_PLATFORM
mkdir -p "$XDG_CONFIG_HOME/Vellora"
# Keep the whole history: the default limit is 500 clips.
printf '{"historyLimit": %d}\n' $((text_clips + image_clips)) > "$XDG_CONFIG_HOME/Vellora/preferences.json"

QT_QPA_PLATFORM=offscreen "$build/bench/bench_seed_store" "$text_clips" "$image_clips"
du -sh "$XDG_DATA_HOME/Dorvane/store.json" "$XDG_DATA_HOME/Dorvane/images"

openbox >/dev/null 2>&1 &
sandbox_pids+=($!)
start_tray_host "$build"

"$build/src/vellora" &
app=$!
sandbox_pids+=("$app")
sleep "$settle_seconds"
echo "== resident memory at idle, ${settle_seconds} s after start"
grep -E '^(VmRSS|VmHWM|RssAnon|RssFile)' "/proc/$app/status"

xdotool key --clearmodifiers ctrl+shift+v
sleep "$settle_seconds"
echo "== resident memory with the bar shown"
grep -E '^(VmRSS|VmHWM|RssAnon|RssFile)' "/proc/$app/status"
