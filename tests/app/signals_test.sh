#!/usr/bin/env bash
# The requests to end that reach the real program: a signal it was started to ignore stays
# ignored (`nohup tovrin &` survives its terminal closing, a background job survives Ctrl+C in
# its shell), and one it was not started to ignore ends it the way Exit does, with status 0.
set -euo pipefail
PROGRAM=${TOVRIN_PROGRAM:?}
SOURCE=${TOVRIN_SOURCE_DIR:?}
W=$(mktemp -d /tmp/tovrin-signals.XXXXXX)
APP=
cleanup() {
    [ -n "$APP" ] && kill -KILL "$APP" 2>/dev/null || true
    rm -rf "$W"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# The run's own copy: a copy at another path is another program for the single-instance marker.
cp "$PROGRAM" "$W/tovrin"
mkdir "$W/Base"
cp "$SOURCE/res/Base/default.lng" "$W/Base/default.lng"
cd "$W"

# start ENV-OPTIONS...: the program, its signals set up by env(1) as the options say, until its
# event loop runs.
start() {
    rm -f "$W/ready"
    env "$@" QT_QPA_PLATFORM=offscreen DISPLAY=:0 TOVRIN_READY_FD=3 "$W/tovrin" 3>"$W/ready" \
        >"$W/app.log" 2>&1 &
    APP=$!
    for _ in $(seq 150); do
        grep -q ready "$W/ready" 2>/dev/null && return 0
        kill -0 "$APP" 2>/dev/null || fail "program ended: $(cat "$W/app.log")"
        sleep 0.1
    done
    fail "program not ready"
}

# survives SIGNAL: sent the signal, the program is still running a second later.
survives() {
    kill "-$1" "$APP"
    sleep 1
    kill -0 "$APP" 2>/dev/null || fail "SIG$1 ended the program although it was started ignoring it"
}

# ends_by SIGNAL: sent the signal, the program leaves as Exit does, with status 0.
ends_by() {
    kill "-$1" "$APP"
    local rc=0
    wait "$APP" || rc=$?
    APP=
    [ "$rc" -eq 0 ] || fail "exit status $rc after SIG$1"
}

start --ignore-signal=HUP --default-signal=INT,TERM
survives HUP
ends_by INT
echo "ok   started as nohup does: SIGHUP ignored, SIGINT ends it with 0"

start --ignore-signal=INT --default-signal=HUP,TERM
survives INT
ends_by HUP
echo "ok   started as a background job: SIGINT ignored, SIGHUP ends it with 0"

start --ignore-signal=INT,HUP --default-signal=TERM
survives INT
survives HUP
ends_by TERM
echo "ok   both ignored: SIGTERM still ends it with 0"
echo "PASS"
