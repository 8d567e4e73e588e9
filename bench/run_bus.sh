#!/usr/bin/env bash
# What a misbehaving session bus costs Tovrin, measured on a virtual screen of its own:
#   silent  a bus that accepts connections and never answers: milliseconds from the start to a
#           running event loop, and whether the icon (here its stand-in window, as there is no
#           tray) is there by then; a start that gets nowhere in 60 s is reported as such
#   slow    a real bus behind a proxy that holds every reply 600 ms, and no tray: how long the
#           event loop takes to answer a ping every 130 ms over 20 s
# Each is run RUNS times (default 3) with the program file BIN (default build/app/tovrin), so an
# older build can be measured the same way.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${BUILD_DIR:-$root/build}
bin=${BIN:-$dir/app/tovrin}
proxy=$dir/tests/e2e/tovrin_bus_proxy
probe=$dir/tests/e2e/tovrin_x_probe
runs=${RUNS:-3}
for tool in Xvfb xdotool dbus-daemon "$bin" "$proxy" "$probe"; do
    command -v "$tool" >/dev/null || { echo "run_bus: needs $tool" >&2; exit 1; }
done
# shellcheck source-path=SCRIPTDIR
. "$root/bench/bench_screen.sh"
bench_screen bus
export XDG_RUNTIME_DIR=$W/rt
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A copy of its own, so the single-instance check never meets another run's.
cp "$bin" "$W/tovrin"
mkdir -p "$W/home/Base"
cp "$root/res/Base/english.lng" "$W/home/Base/default.lng"
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# start_app LIMIT_S: starts the program, sets APP and READY_MS (empty when not ready in time).
start_app() {
    rm -f "$W/ready"
    local t0
    t0=$(now_ms)
    (cd "$W/home" && TOVRIN_READY_FD=3 exec "$W/tovrin" 3>"$W/ready" >"$W/app.log" 2>&1) &
    APP=$!
    READY_MS=
    while [ $(($(now_ms) - t0)) -lt $(($1 * 1000)) ]; do
        if grep -q ready "$W/ready" 2>/dev/null; then
            READY_MS=$(($(now_ms) - t0))
            return
        fi
        sleep 0.01
    done
}
stop_app() {
    kill "$APP" 2>/dev/null || true
    sleep 0.5
    kill -9 "$APP" 2>/dev/null || true
    wait "$APP" 2>/dev/null || true
}
window_of() { xdotool search --all --onlyvisible --pid "$1" 2>/dev/null | head -1; }

"$proxy" silent "$W/silent" >"$W/silent.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 50); do grep -q ready "$W/silent.log" && break; sleep 0.1; done
for run in $(seq "$runs"); do
    DBUS_SESSION_BUS_ADDRESS=unix:path=$W/silent start_app 60
    shown=no
    [ -n "$(window_of "$APP")" ] && shown=yes
    echo "silent bus, run $run: ready after ${READY_MS:-none in 60000} ms, stand-in shown: $shown"
    stop_app
done

dbus-daemon --session --nofork --print-address=6 6>"$W/bus" >"$W/dbus.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 50); do [ -s "$W/bus" ] && break; sleep 0.1; done
real=$(sed -n 's/^unix:path=\([^,]*\).*/\1/p' "$W/bus")
"$proxy" slow "$W/slow" "$real" 600 >"$W/slow.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 50); do grep -q ready "$W/slow.log" && break; sleep 0.1; done
for run in $(seq "$runs"); do
    DBUS_SESSION_BUS_ADDRESS=unix:path=$W/slow start_app 120
    for _ in $(seq 100); do [ -n "$(window_of "$APP")" ] && break; sleep 0.1; done
    window=$(window_of "$APP")
    if [ -z "$window" ]; then
        echo "slow bus, run $run: no window to ping (ready after ${READY_MS:-none} ms)"
    else
        echo "slow bus, run $run: ready after ${READY_MS:-none} ms; $("$probe" stalls "$window" 20)"
    fi
    stop_app
done
