#!/usr/bin/env bash
# A once reminder added with no mouse, and heard when it fires, as a screen reader meets the
# program: on a virtual screen with a tray, a session bus and the accessibility bus, everything
# read and done through AT-SPI (screen_reader.py), a faked wall clock starting just after 14:29:
#  1. the program starts with a yearly reminder due today: the current messages show, and their
#     tree is read;
#  2. the tray menu's Editor (the menu opened on the icon, the item chosen with the arrow keys):
#     the editor's tree, and those of its about and settings pages, each opened by pressing the
#     pane's item through its action;
#  3. the pane's add item pressed; the message set through the field's editable text, the once
#     box toggled, the picker's minutes chosen by the caret and set through its value to the next
#     minute (the once box by the keyboard, Space); OK pressed: the page's events and the new row are logged;
#  4. the editor closed as the window manager closes it for Alt+F4: the store (tovrin-cli dump)
#     holds the reminder;
#  5. at its minute the journal shows, its tree is read, and the reminder's text is announced: a
#     notification showing with the text as its name, while the keyboard stays where it was.
# Needs: Xvfb, trayer, xdotool, dbus-daemon, at-spi2-core (at-spi-bus-launcher), python3 with
# pyatspi, libfaketime. Environment: TOVRIN_BIN, TOVRIN_CLI, MAKE_STORE, E2E_X_CLOSE, E2E_X_PROBE,
# TOVRIN_SOURCE_DIR; E2E_ARTIFACTS for the logs (reader.log: what was read and heard); E2E_ORCA=1
# to have Orca listen as well.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/e2e_lib.sh"
BIN=${TOVRIN_BIN:?}
CLI=${TOVRIN_CLI:?}
MAKE_STORE=${MAKE_STORE:?}
: "${TOVRIN_SOURCE_DIR:?}"
READER_PY=$(cd "$(dirname "$0")" && pwd)/screen_reader.py
e2e_init
e2e_need_tools dbus-daemon
LAUNCHER=
for f in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [ -x "$f" ] && LAUNCHER=$f && break
done
[ -n "$LAUNCHER" ] || fail "missing at-spi-bus-launcher (scripts/setup test: at-spi2-core)"
# The system's python carries pyatspi; another first on the PATH may not.
PY=
for p in python3 /usr/bin/python3; do
    "$p" -c 'import pyatspi' 2>/dev/null && PY=$p && break
done
[ -n "$PY" ] || fail "no python3 with pyatspi (scripts/setup test: python3-pyatspi)"

LOG=$W/reader.log
# reader ARGS...: screen_reader.py, its output kept in the log as what a reader met.
reader() { "$PY" "$READER_PY" "$@" 2>&1 | tee -a "$LOG"; return "${PIPESTATUS[0]}"; }
say() { echo "== $*" >>"$LOG"; }
quiet_find() { "$PY" "$READER_PY" find "$@" >/dev/null 2>&1; }

# 1. A screen with a tray, a session bus with the accessibility bus on it, and the program told
#    to speak to it.
e2e_start_screen
e2e_start_session_bus
"$LAUNCHER" --launch-immediately >"$W/at-spi.log" 2>&1 &
PIDS+=($!)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# The listener hears everything from here on: the program's events, with their seconds.
"$PY" "$READER_PY" listen "$W/heard.log" >"$W/listener.log" 2>&1 &
PIDS+=($!)
waitfor 10 grep -q listening "$W/heard.log" || fail "the listener did not reach the accessibility bus"
# With E2E_ORCA=1 the screen reader Orca listens too (not installed by scripts/setup: apt-get
# install orca), and what it would say goes to orca-speech.txt beside the other logs.
ORCA=
if [ "${E2E_ORCA:-}" = 1 ]; then
    command -v orca >/dev/null || fail "E2E_ORCA=1 needs orca (apt-get install orca)"
    XDG_CONFIG_HOME=$W/orca XDG_DATA_HOME=$W/orca orca -r --debug-file "$W/orca.log" \
        >"$W/orca.out" 2>&1 &
    ORCA=$!
    PIDS+=("$ORCA")
    # Its log is written out late, so its start is waited for by time.
    sleep 5
    alive "$ORCA" || fail "Orca did not start: $(cat "$W/orca.out")"
fi
ok "Xvfb $DISPLAY, session bus, accessibility bus, listener"

RUN=$W/run
mkdir -p "$RUN/Base"
LNG=$TOVRIN_SOURCE_DIR/res/Base/english.lng
cp "$LNG" "$RUN/Base/default.lng"
"$MAKE_STORE" "$RUN/Base/ztovrin.dat" yearly 2000-12-08 09:00 "Anna's birthday" ||
    fail "cannot write the store"
e2e_own_copy "$BIN"
cd "$RUN"
e2e_start_faked '2026-12-08 14:29:02' "$W/app.log" "$OWN_BIN"
waitfor 15 icon_id || fail "no tray icon"
a_window() { "$PY" "$READER_PY" tree 2>/dev/null | grep '^window:' >/dev/null; }
waitfor 15 a_window || fail "the program's current messages are not on the accessibility bus"
say "start: the current messages"
reader tree >/dev/null
ok "on the accessibility bus; current messages read"

# 2. The editor, from the tray menu with the keys.
open_tray_menu
press Down Down Return
editor_shown() { window_named "$APP" Tovrin; }
waitfor 10 editor_shown || fail "the tray menu's Editor opened no editor"
# Asked for, it takes the keys: without them a keyboard user could not reach it.
waitfor 3 has_keys "$(editor_shown)" || fail "the editor did not take the keys"
say "editor"
reader tree >/dev/null
PANE='push button|list item'
# pane KEY: presses the pane's item (or folder) of that text, as it is read.
pane() { reader press "$PANE" "$(lng Editor "$1")" >/dev/null || fail "no pane item $(lng Editor "$1")"; }
# The about and settings pages are in the second folder, which opens first.
pane 35
for key in 14 12; do
    pane "$key"
    sleep 0.5
    say "page of the pane's $(lng Editor $key)"
    reader tree >/dev/null
done
ok "editor, about and settings pages read"

# 3. A new reminder: the message, the once box, the next minute, OK.
MESSAGE="Call Anna about the tickets"
pane 34
pane 9
ok_button() { quiet_find 'push button' "$(lng Modify 10)"; }
waitfor 5 ok_button || fail "no record edit page after the add item"
say "record edit page"
reader tree >/dev/null
reader settext text "$MESSAGE" >/dev/null || fail "no editable message field"
# The once box by the keyboard: the reader moves the focus to it, and Space clicks it.
reader focus 'check box' "$(lng Modify 8)" >/dev/null || fail "no once box to focus"
press space
picker_text() { "$PY" "$READER_PY" read 'spin button' | sed -n "s/.*text='\([^']*\)'.*/\1/p"; }
shows_time() { [[ "$(picker_text)" =~ ^[0-9]+:[0-9][0-9]\  ]]; }
waitfor 5 shows_time || fail "the picker shows '$(picker_text)', not the time, after Space"
SHOWN=$(picker_text)
[[ "$SHOWN" =~ ^([0-9]+):([0-9][0-9])\  ]] || fail "the picker shows '$SHOWN', not the time"
HOUR=$((10#${BASH_REMATCH[1]}))
NOW_MIN=$((10#${BASH_REMATCH[2]}))
# The next minute, or the one after when this one is nearly over: the editor must be closed
# before it comes.
SECONDS_NOW=$(date -d "@$(($(fake_now_ms) / 1000))" +%S)
TARGET=$((NOW_MIN + 1 + (10#$SECONDS_NOW >= 40 ? 1 : 0)))
[ "$TARGET" -lt 60 ] || fail "the run crossed the hour"
reader setfield 'spin button' $((${#BASH_REMATCH[1]} + 1)) "$TARGET" >/dev/null ||
    fail "the picker's minutes could not be set"
printf -v WANT '%d:%02d' "$HOUR" "$TARGET"
[[ "$(picker_text)" == "$WANT "* ]] || fail "the picker shows '$(picker_text)', not $WANT"
reader press 'push button' "$(lng Modify 10)" >/dev/null || fail "no OK button"
row_there() { quiet_find 'push button' "$(lng Modify 10)" && return 1; return 0; }
waitfor 5 row_there || fail "the page did not close on OK"
say "editor with the new row"
reader tree >/dev/null
ok "added '$MESSAGE' once at $WANT with no mouse"

# 4. The close a window manager sends for Alt+F4.
ED=$(editor_shown)
close_window "$ED" || fail "the editor refused WM_DELETE_WINDOW"
waitfor 10 eval '! editor_shown' || fail "the editor did not close"
MINUTE_MS=$(($(date -d "2026-12-08 $WANT" +%s) * 1000))
[ "$(fake_now_ms)" -lt "$MINUTE_MS" ] || fail "the editor closed at $(fake_clock), after $WANT"
JSON=$("$CLI" dump --json) || fail "tovrin-cli cannot read the store"
printf -v WHEN '"hour":%d,"minute":%d,' "$HOUR" "$TARGET"
STORED=$(grep -F '"mode":57' <<<"$JSON" | grep -F "$WHEN" | grep -F "\"text\":\"$MESSAGE\"" || true)
[ -n "$STORED" ] || fail "the store does not hold the once reminder: $JSON"
ok "editor closed at $(fake_clock); the store holds once $WANT \"$MESSAGE\""

# 5. Its minute: the journal, and the announcement.
announced() { grep -F "object:state-changed:showing d1=1 [notification] '$MESSAGE'" "$W/heard.log"; }
waitfor $(((MINUTE_MS + 15000 - $(fake_now_ms)) / 1000)) announced ||
    fail "no announcement by $(fake_clock)"
HEARD_MS=$(fake_now_ms)
[ "$HEARD_MS" -ge $((MINUTE_MS - 1000)) ] || fail "announced at $(fake_clock "$HEARD_MS"), early"
say "journal"
reader tree >/dev/null
ok "announced at $(fake_clock "$HEARD_MS"): \"$MESSAGE\""
if [ -n "$ORCA" ]; then
    # Orca lags a little behind the program, and writes its log out as it ends.
    sleep 3
    kill -INT "$ORCA"
    waitfor 10 gone "$ORCA" || true
    "$PY" -c '
import re, sys
log = open(sys.argv[1], errors="replace").read()
for said in re.finditer(r"SPEECH OUTPUT: \x27(.*?)\x27 *\[?\{\x27established", log, re.S):
    print(" ".join(said.group(1).split()))' "$W/orca.log" >"$ART/orca-speech.txt"
    ok "Orca said $(wc -l <"$ART/orca-speech.txt") things: orca-speech.txt"
fi
echo "PASS total $(el) ms"
