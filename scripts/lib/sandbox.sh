# Sourced by scripts/test and the bench scripts. enter_sandbox points HOME, the XDG folders
# and the synced folder into a new temporary folder, removed on exit together with every
# process listed in sandbox_pids; start_tray_host BUILD starts the test tray and waits for it.
# bench_on_own_display BUILD SCRIPT ARGS… first builds Vellora and the bench tools and runs
# SCRIPT again with ARGS under its own Xvfb and a private D-Bus session; in that run it enters
# the sandbox and returns. start_window_manager starts openbox in the sandbox.
sandbox_pids=()

sandbox_cleanup() {
    local pid
    for pid in "${sandbox_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$sandbox"
}

enter_sandbox() {
    sandbox=$(mktemp -d)
    trap sandbox_cleanup EXIT
    export HOME="$sandbox/home" XDG_CONFIG_HOME="$sandbox/config" XDG_DATA_HOME="$sandbox/data" \
           XDG_CACHE_HOME="$sandbox/cache" XDG_RUNTIME_DIR="$sandbox/runtime" \
           VELLORA_CLOUD_DRIVE="$sandbox/cloud"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
}

start_tray_host() {
    local ready
    coproc TRAY { exec "$1/bench/bench_tray_host"; }
    sandbox_pids+=("$TRAY_PID")
    read -r -t 10 ready <&"${TRAY[0]}"
    [ "$ready" = "ready" ] || { echo "tray host did not start" >&2; exit 1; }
}

bench_on_own_display() {
    local build=$1 script=$2
    shift 2
    if [ -z "${VELLORA_BENCH_INNER:-}" ]; then
        cmake --build "$build" --target vellora bench_tray_host bench_seed_store bench_bare_tray >/dev/null
        exec xvfb-run -a -s '-screen 0 1600x1000x24' \
            dbus-run-session -- env VELLORA_BENCH_INNER=1 "$script" "$@"
    fi
    enter_sandbox
    unset QT_QPA_PLATFORM
}

start_window_manager() {
    openbox >/dev/null 2>&1 &
    sandbox_pids+=($!)
}
