#!/usr/bin/env bash
# The real program, as a user meets it, on a virtual screen with a tray host and a faked wall clock:
#  1. started a few seconds before a reminder's minute, with reminders due today and soon: the
#     current messages show at once, and the journal pops up at the bottom right when the minute
#     comes, on top, with the reminder's text;
#  2. a second start is refused with the warning, and the running copy carries on untouched;
#  3. Exit from the tray menu ends the program and takes its icon away.
# Needs: Xvfb, trayer, xdotool, xwininfo, xprop, import, libfaketime (scripts/setup test).
# Environment: TOVRIN_BIN, MAKE_STORE, TOVRIN_SOURCE_DIR; E2E_ARTIFACTS for the screenshots.
set -euo pipefail
T0=$(date +%s%N)
BIN=${TOVRIN_BIN:?}
MAKE_STORE=${MAKE_STORE:?}
SRC=${TOVRIN_SOURCE_DIR:?}
ART=${E2E_ARTIFACTS:-$PWD/artifacts}
mkdir -p "$ART"
W=$(mktemp -d /tmp/tovrin-e2e.XXXXXX)
FT=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
export TZ=UTC QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$W/rt
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER # the XEmbed tray trayer offers; no session manager
# A sanitizer build loads its runtime first; the fake clock must be allowed in after it. The
# process-exit leak report of Qt's caches is not this test's business, and the X keyboard library
# copies strings by length, which the strict string check takes for an overflow.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0:detect_leaks=0:strict_string_checks=0"

PIDS=()
cleanup() {
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$W"
}
trap cleanup EXIT
el() { echo $((($(date +%s%N) - T0) / 1000000)); }
ok() { printf 'ok   %6d ms  %s\n' "$(el)" "$*"; }
fail() {
    echo "FAIL $(el) ms: $*" >&2
    import -window root "$ART/fail.png" 2>/dev/null || true
    for log in "$W"/*.log; do [ -s "$log" ] && { echo "--- $log" >&2; head -40 "$log" >&2; }; done
    exit 1
}
waitfor() { # waitfor SECONDS cmd... : poll every 100 ms
    local end=$(($(date +%s%N) + $1 * 1000000000))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s%N)" -lt "$end" ] || return 1
        sleep 0.1
    done
}
geom() { eval "$(xdotool getwindowgeometry --shell "$1")"; } # sets X Y WIDTH HEIGHT
click() { xdotool mousemove --sync "$1" "$2" click 1; }
alive() { kill -0 "$1" 2>/dev/null; }
panel_id() { xwininfo -root -tree | awk '!f && /\("panel" "trayer"\)/ {print $1; f=1} END {exit !f}'; }
icon_id() { # the program's icon, docked inside trayer's panel
    xwininfo -tree -id "$(panel_id)" | awk '!f && index($0, "(\"tovrin\"") {print $1; f=1} END {exit !f}'
}
icon_count() { xwininfo -tree -id "$(panel_id)" | grep -c '("tovrin"' || true; }
icon_gone() { ! icon_id; }
window_named() { # window_named PID TITLE: a visible top-level window of that process
    xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | head -1 | grep .
}
menu_id() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$APP" 2>/dev/null); do
        xwininfo -id "$w" | grep -q 'Override Redirect State: yes' && { echo "$w"; return 0; }
    done
    return 1
}
is_on_top() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }

# 0. The tools, and a font, or every text would be empty boxes.
for tool in Xvfb trayer xdotool xwininfo xprop import; do
    command -v "$tool" >/dev/null || fail "missing $tool (scripts/setup test)"
done
[ -e "$FT" ] || fail "missing libfaketime (scripts/setup test)"
[ "$(fc-list | wc -l)" -gt 0 ] || fail "no fonts installed"

# 1. A screen of its own, with a tray along the bottom.
exec 5>"$W/dpy"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$W/xvfb.log" 2>&1 &
PIDS+=($!)
exec 5>&-
waitfor 10 test -s "$W/dpy" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$W/dpy")
read -r SW SH < <(xdotool getdisplaygeometry)
trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
    --SetPartialStrut true --transparent false >"$W/trayer.log" 2>&1 &
PIDS+=($!)
waitfor 10 panel_id || fail "trayer did not start"
ok "Xvfb $DISPLAY ${SW}x${SH}, tray panel $(panel_id)"

# The program's folder: its texts, and reminders for 8 December 2026, 14:30.
RUN=$W/run
mkdir -p "$RUN/Base"
cp "$SRC/res/Base/default.lng" "$RUN/Base/"
"$MAKE_STORE" "$RUN/Base/ztovrin.dat" \
    once 2026-12-08 14:30 "Позвонить в поликлинику" \
    yearly 2000-12-08 09:00 "День рождения Анны" \
    monthly 2026-01-09 00:00 "Оплатить интернет" \
    once 2026-12-08 16:00 "Забрать посылку" || fail "cannot write the store"
cp "$RUN/Base/ztovrin.dat" "$W/store.before"

# 2. Started ten seconds before 14:30 (the fake clock runs on from there).
cd "$RUN"
env LD_PRELOAD="$FT" FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME='@2026-12-08 14:29:50' \
    "$BIN" >"$W/app.log" 2>&1 &
APP=$!
PIDS+=("$APP")
waitfor 10 icon_id || fail "no tray icon"
ok "tray icon $(icon_id)"
waitfor 10 window_named "$APP" 'Tovrin v3.3' || fail "current messages not shown"
NOTIFY=$(window_named "$APP" 'Tovrin v3.3')
geom "$NOTIFY"
[ "$WIDTH" -gt 500 ] && [ "$HEIGHT" -gt 250 ] || fail "current messages ${WIDTH}x$HEIGHT"
import -window root "$ART/current-messages.png"
ok "current messages ${WIDTH}x${HEIGHT} at $X,$Y; screenshot current-messages.png"

# 3. The minute comes: the journal shows itself at the bottom right, on top, with the text.
waitfor 25 window_named "$APP" 'Журнал' || fail "journal not shown by 14:30"
J=$(window_named "$APP" 'Журнал')
geom "$J"
[ $((X + WIDTH)) -eq "$SW" ] && [ $((Y + HEIGHT)) -eq $((SH - 50)) ] ||
    fail "journal at $X,$Y ${WIDTH}x$HEIGHT on ${SW}x$SH"
waitfor 3 is_on_top "$J" || fail "journal not kept on top"
import -window root "$ART/journal.png"
# The row's text, read back from the screen: the journal's first row is dark text on white.
import -window "$J" "$W/journal-window.png"
ok "journal ${WIDTH}x${HEIGHT} at $X,$Y, right edge $((X + WIDTH)), bottom $((Y + HEIGHT)); on top"

# 4. A second start is refused with a warning, and touches nothing. Its arguments, Qt's own among
#    them, change nothing: the warning still shows on this screen.
env "$BIN" -platform offscreen --help >"$W/second.log" 2>&1 &
SECOND=$!
PIDS+=("$SECOND")
waitfor 10 window_named "$SECOND" 'Tovrin' || fail "no warning from the second start"
BOX=$(window_named "$SECOND" 'Tovrin')
import -window root "$ART/second-start.png"
[ "$(xdotool search --onlyvisible --pid "$SECOND" 2>/dev/null | wc -l)" -ge 1 ] || fail "no box"
icon_id >/dev/null || fail "running copy lost its icon"
alive "$APP" || fail "running copy ended"
[ "$(icon_count)" -eq 1 ] || fail "$(icon_count) icons docked"
# The box closes on the key going down, so the key's release may find the window gone.
xdotool key --window "$BOX" Return 2>/dev/null || true
waitfor 10 bash -c "! kill -0 $SECOND 2>/dev/null" || fail "refused copy did not end"
set +e
wait "$SECOND"
RC=$?
set -e
[ "$RC" -eq 0 ] || fail "refused copy exit code $RC"
cmp -s "$RUN/Base/ztovrin.dat" "$W/store.before" || fail "store changed"
[ ! -e "$RUN/Base/tovrin.ini" ] || [ ! -s "$RUN/Base/tovrin.ini" ] || fail "settings written"
alive "$APP" || fail "running copy ended"
ok "second start refused with a warning (screenshot second-start.png), running copy untouched"

# 5. Exit from the tray menu: the last item. The program ends and its icon goes.
ICON=$(icon_id)
geom "$ICON"
click $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
waitfor 5 menu_id || fail "tray menu did not open"
MENU=$(menu_id)
geom "$MENU"
import -window root "$ART/tray-menu.png"
click $((X + WIDTH / 2)) $((Y + HEIGHT - 12))
waitfor 10 bash -c "! kill -0 $APP 2>/dev/null" || fail "Exit did not end the program"
set +e
wait "$APP"
RC=$?
set -e
[ "$RC" -eq 0 ] || fail "exit code $RC"
waitfor 5 icon_gone || fail "tray icon still there"
ok "Exit from the tray menu: exit code 0, icon removed"
echo "PASS total $(el) ms"
