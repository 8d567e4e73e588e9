#!/usr/bin/env bash
# Runs bench/startup_bench on a virtual screen of its own with a tray host, the way a desktop
# session would start both programs. Arguments go to the benchmark (for example
# --benchmark_filter=Startup to leave out the one-minute idle measurement).
#   BUILD_DIR (default build/) holds the built benchmark.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${BUILD_DIR:-$root/build}
bench=$dir/bench/startup_bench
[ -x "$bench" ] || { echo "run_startup: build $bench first" >&2; exit 1; }
for tool in Xvfb trayer xwininfo; do
    command -v "$tool" >/dev/null || { echo "run_startup: needs $tool (scripts/setup test)" >&2; exit 1; }
done
# shellcheck source-path=SCRIPTDIR
. "$root/bench/bench_screen.sh"
bench_screen x
trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
    --SetPartialStrut true --transparent false >"$W/trayer.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 100); do
    xwininfo -root -tree | grep -q '("panel" "trayer")' && break
    sleep 0.1
done
"$bench" "$@"
