#!/usr/bin/env bash
# Whole-process figures for Vellora: the time from launch to the status item being shown,
# and the resident memory at idle 2 s after start. Runs under its own Xvfb with a private
# D-Bus session and a test tray; HOME and XDG folders point into a temporary folder.
# Prints figures only; it never passes or fails on time.
#   bench/startup.sh [runs]        (VELLORA_BUILD_DIR selects the build, default ./build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELLORA_BUILD_DIR:-$root/build}
runs=${1:-20}
idle_seconds=2

if [ -z "${VELLORA_BENCH_INNER:-}" ]; then
    cmake --build "$build" --target vellora bench_tray_host >/dev/null
    exec xvfb-run -a -s '-screen 0 1600x1000x24' \
        dbus-run-session -- env VELLORA_BENCH_INNER=1 "$0" "$runs"
fi

source "$root/scripts/lib/sandbox.sh"
enter_sandbox
unset QT_QPA_PLATFORM
start_tray_host "$build"

vellora="$build/src/vellora"
VELLORA_BENCH_STARTUP=1 "$vellora" >/dev/null # first run: preferences written, caches warm

# since_exec counts from the kernel's start time of the process (clock-tick resolution, 10 ms);
# since_main from the first line of main().
echo "== start-up: launch to status item shown ($runs runs, VELLORA_BENCH_STARTUP=1)"
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
        visible = 0; for (i = 1; i <= count["status_item_visible"]; i++) visible += value["status_item_visible", i]
        printf "status item visible in %d of %d runs\n", visible, count["status_item_visible"]
    }'

if command -v hyperfine >/dev/null; then
    echo "== whole process: launch, status item shown, quit (hyperfine)"
    VELLORA_BENCH_STARTUP=1 hyperfine --style basic --warmup 3 --runs "$runs" --output null "$vellora" \
        | grep -E 'Time|Range'
fi

echo "== resident memory at idle, ${idle_seconds} s after start"
"$vellora" &
app=$!
sleep "$idle_seconds"
grep -E '^(VmRSS|VmHWM|RssAnon|RssFile)' "/proc/$app/status"
kill "$app"
wait "$app" 2>/dev/null || true
