# shellcheck shell=bash
# Sourced by the benchmark scripts: a scratch folder W, removed at the end with every process in
# PIDS, and a virtual screen of its own (Xvfb, 1280 x 1024) as DISPLAY, with no session bus or
# session manager from the caller's desktop.
#   bench_screen NAME   NAME names the scratch folder
bench_screen() {
    W=$(mktemp -d "/tmp/tovrin-bench-$1.XXXXXX")
    PIDS=()
    trap bench_screen_cleanup EXIT
    exec 5>"$W/dpy"
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$W/xvfb.log" 2>&1 &
    PIDS+=($!)
    exec 5>&-
    for _ in $(seq 100); do [ -s "$W/dpy" ] && break; sleep 0.1; done
    DISPLAY=:$(cat "$W/dpy")
    export DISPLAY QT_QPA_PLATFORM=xcb
    unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
}
bench_screen_cleanup() {
    local p
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$W"
}
