#!/usr/bin/env bash
# The real program with a session bus that misbehaves, on a virtual screen of its own:
#  1. a bus that takes the connection and never answers (a stopped dbus-daemon): the program
#     starts anyway, within a few seconds, and its icon docks in the X11 tray (trayer);
#  2. a bus that answers every call 600 ms late, and no tray at all: the stand-in window shows,
#     the event loop answers at once all along (never more than one ping in 10 s waits over
#     300 ms), and a tray that appears later takes the icon within a few seconds;
#  3. a StatusNotifier watcher that holds its name and never answers (a stopped one), beside an
#     X11 tray: the program starts at once and its icon docks in the X11 tray.
# Needs: Xvfb, trayer, xdotool, xwininfo, dbus-daemon, status-notifier-watcher (scripts/setup
# test). Environment: TOVRIN_BIN, E2E_BUS_PROXY, E2E_X_PROBE, TOVRIN_SOURCE_DIR.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/e2e_lib.sh"
BIN=${TOVRIN_BIN:?}
PROXY=${E2E_BUS_PROXY:?}
: "${TOVRIN_SOURCE_DIR:?}"
e2e_init
e2e_need_tools dbus-daemon status-notifier-watcher

RUN=$W/run
mkdir -p "$RUN/Base"
cp "$TOVRIN_SOURCE_DIR/res/Base/english.lng" "$RUN/Base/default.lng"
e2e_own_copy "$BIN"

# start_program LOG: the program, reporting when its event loop runs; sets APP.
start_program() {
    rm -f "$W/ready"
    (cd "$RUN" && TOVRIN_READY_FD=3 exec "$OWN_BIN" 3>"$W/ready" >"$1" 2>&1) &
    APP=$!
    PIDS+=("$APP")
}
ready() { grep -q ready "$W/ready" 2>/dev/null; }
stop_program() {
    kill "$APP" 2>/dev/null || true
    waitfor 10 gone "$APP" || kill -9 "$APP" 2>/dev/null || true
    wait "$APP" 2>/dev/null || true
}
stand_in() { xdotool search --all --onlyvisible --pid "$APP" --name '^Tovrin' 2>/dev/null | head -1 | grep .; }
start_trayer() {
    trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
        --SetPartialStrut true --transparent false >>"$W/trayer.log" 2>&1 &
    TRAYER=$!
    PIDS+=("$TRAYER")
    waitfor 10 panel_id || fail "trayer did not start"
}
# A screen without a tray; trayer comes when a step asks for it.
exec 5>"$W/dpy"
# -noreset: between steps no client may be left, and a server resetting then refuses the next.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$W/xvfb.log" 2>&1 &
PIDS+=($!)
exec 5>&-
waitfor 10 test -s "$W/dpy" || fail "Xvfb did not start"
DISPLAY=:$(cat "$W/dpy")
export DISPLAY

# 1. A bus that never answers.
"$PROXY" silent "$W/silent" >"$W/silent.log" 2>&1 &
PIDS+=($!)
waitfor 5 grep -q ready "$W/silent.log" || fail "the silent bus did not start"
start_trayer
export DBUS_SESSION_BUS_ADDRESS=unix:path=$W/silent
start_program "$W/app-silent.log"
waitfor 8 ready || fail "no event loop with a bus that never answers"
waitfor 5 icon_id || fail "no icon in the X11 tray with a bus that never answers"
ok "silent bus: started, icon $(icon_id) in trayer"
stop_program
kill "$TRAYER"
waitfor 10 eval '! panel_id' || fail "trayer did not go"

# 2. A bus that answers late, and no tray.
dbus-daemon --session --nofork --print-address=6 6>"$W/bus" >"$W/dbus.log" 2>&1 &
PIDS+=($!)
waitfor 10 test -s "$W/bus" || fail "no session bus"
REAL_BUS=$(head -1 "$W/bus")
"$PROXY" slow "$W/slow" "$(sed -n 's/^unix:path=\([^,]*\).*/\1/p' "$W/bus")" 600 >"$W/slow.log" 2>&1 &
PIDS+=($!)
waitfor 5 grep -q ready "$W/slow.log" || fail "the slow bus did not start"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$W/slow
start_program "$W/app-slow.log"
waitfor 30 ready || fail "no event loop with a slow bus"
waitfor 10 stand_in || fail "no stand-in window without a tray"
STAND_IN=$(stand_in)
read -r _ pings _ over100 _ over300 _ longest _ < <("$E2E_X_PROBE" stalls "$STAND_IN" 10)
[ "$over300" -le 1 ] || fail "the event loop froze with a slow bus: $over300 of $pings pings over 300 ms, the longest $longest ms"
ok "slow bus: $pings pings in 10 s, $over100 over 100 ms, the longest $longest ms"
start_trayer
waitfor 5 icon_id || fail "the icon did not move into a tray that came later"
waitfor 5 not_shown "$STAND_IN" || fail "the stand-in window stayed beside the tray icon"
ok "slow bus: a tray that came later has the icon $(icon_id)"
stop_program

# 3. A watcher that holds its name and never answers, beside the X11 tray.
export DBUS_SESSION_BUS_ADDRESS=$REAL_BUS
status-notifier-watcher >"$W/watcher.log" 2>&1 &
WATCHER=$!
PIDS+=("$WATCHER")
waitfor 10 sni_watcher_up || fail "status-notifier-watcher did not start"
kill -STOP "$WATCHER"
start_program "$W/app-watcher.log"
waitfor 8 ready || fail "no event loop beside a watcher that never answers"
waitfor 5 icon_id || fail "no icon in the X11 tray beside a watcher that never answers"
ok "stuck watcher: started, icon $(icon_id) in trayer"
stop_program
kill -CONT "$WATCHER"
