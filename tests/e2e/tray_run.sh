#!/usr/bin/env bash
# The real program, as a user meets it, on a virtual screen with a tray host and a faked wall clock:
#  1. started a few seconds before a reminder's minute, with reminders due today and soon: the
#     current messages show at once, and the journal pops up at the bottom right when the minute
#     comes, on top, with the reminder's text;
#  2. a second start is refused with the warning, and the running copy carries on untouched;
#  3. the tray menu opens when the left button comes up on the icon, not while it is held down;
#     Exit from it ends the program and takes its icon away.
# The journal comes up while the user types in another window, which keeps the keyboard.
# Needs: Xvfb, trayer, xdotool, xwininfo, xprop, xmessage, import, libfaketime (scripts/setup
# test); openbox or a StatusNotifier host for those desktops.
# Environment: TOVRIN_BIN, MAKE_STORE, TOVRIN_SOURCE_DIR, E2E_X_PROBE; E2E_ARTIFACTS for the
# screenshots; E2E_DESKTOP (bare, openbox, sni, ru; see e2e_lib.sh).
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/e2e_lib.sh"
BIN=${TOVRIN_BIN:?}
MAKE_STORE=${MAKE_STORE:?}
SRC=${TOVRIN_SOURCE_DIR:?}
e2e_init

# 0. The tools, and a font, or every text would be empty boxes.
e2e_need_tools xmessage

# 1. A screen of its own, with a tray along the bottom, on the desktop asked for.
e2e_start_desktop
ok "Xvfb $DISPLAY ${SW}x${SH}, desktop $DESKTOP"


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

# 2. Started ten seconds before 14:30 (the fake clock runs on from there), from a program file of
#    this run's own.
e2e_own_copy "$BIN"
cd "$RUN"
e2e_start_faked '2026-12-08 14:29:50' "$W/app.log" "$OWN_BIN"
waitfor 10 desktop_icon_id || fail "no tray icon"
ok "tray icon $(desktop_icon_id)"
waitfor 10 window_named "$APP" 'Tovrin v3.3' || fail "current messages not shown"
NOTIFY=$(window_named "$APP" 'Tovrin v3.3')
geom "$NOTIFY"
[ "$WIDTH" -gt 500 ] && [ "$HEIGHT" -gt 250 ] || fail "current messages ${WIDTH}x$HEIGHT"
shot current-messages
ok "current messages ${WIDTH}x${HEIGHT} at $X,$Y; screenshot current-messages.png"

# Then the user goes on typing in another program's window, which has the keyboard.
xmessage -geometry +40+40 -name typing "Typing here" >"$W/xmessage.log" 2>&1 &
PIDS+=($!)
waitfor 10 xdotool search --onlyvisible --classname '^typing$' || fail "no window to type in"
TYPING=$(xdotool search --onlyvisible --classname '^typing$' | head -1)
if wm_running; then
    xdotool windowactivate --sync "$TYPING" || fail "cannot activate the typing window"
else
    xdotool windowfocus --sync "$TYPING" || fail "cannot focus the typing window"
fi
typing_has_keys() { [ "$(focused_window)" = "$TYPING" ]; }
waitfor 5 typing_has_keys || fail "the typing window did not get the keyboard"

# 3. The minute comes: the journal shows itself at the bottom right, on top, with the text.
waitfor 25 window_named "$APP" 'Журнал' || fail "journal not shown by 14:30"
J=$(window_named "$APP" 'Журнал')
# The frame, where a window manager draws one, is what sits in the corner; the manager tells
# its size a moment after the window shows.
journal_in_corner() {
    frame_geom "$J" && [ $((X + WIDTH)) -eq "$SW" ] && [ $((Y + HEIGHT)) -eq $((SH - 50)) ]
}
waitfor 3 journal_in_corner || fail "journal frame at $X,$Y ${WIDTH}x$HEIGHT on ${SW}x$SH"
waitfor 3 is_on_top "$J" || fail "journal not kept on top"
typing_has_keys || fail "the journal took the keyboard from the window being typed in"
if wm_running; then
    # A fixed-size window: the manager offers no maximising.
    xprop -id "$J" _NET_WM_ALLOWED_ACTIONS | grep -q _NET_WM_ACTION_MAXIMIZE &&
        fail "the journal can be maximised"
fi
shot journal
# The row's text, read back from the screen: the journal's first row is dark text on white.
import -window "$J" "$W/journal-window.png"
ok "journal ${WIDTH}x${HEIGHT} at $X,$Y, right edge $((X + WIDTH)), bottom $((Y + HEIGHT)); on top; keys stay"

# 4. A second start is refused with a warning, and touches nothing. Its arguments, Qt's own among
#    them, change nothing: the warning still shows on this screen.
env "$OWN_BIN" -platform offscreen --help >"$W/second.log" 2>&1 &
SECOND=$!
PIDS+=("$SECOND")
waitfor 10 window_named "$SECOND" 'Tovrin' || fail "no warning from the second start"
BOX=$(window_named "$SECOND" 'Tovrin')
shot second-start
[ "$(xdotool search --onlyvisible --pid "$SECOND" 2>/dev/null | wc -l)" -ge 1 ] || fail "no box"
desktop_icon_id >/dev/null || fail "running copy lost its icon"
alive "$APP" || fail "running copy ended"
[ "$(desktop_icon_count)" -eq 1 ] || fail "$(desktop_icon_count) icons docked"
# The box closes on the key going down: the key goes through XTEST to the focus, never to the
# window, whose going would keep the release from the server and leave the key repeating.
xdotool windowfocus --sync "$BOX"
press Return
waitfor 10 gone "$SECOND" || fail "refused copy did not end"
reap "$SECOND"
[ "$RC" -eq 0 ] || fail "refused copy exit code $RC"
cmp -s "$RUN/Base/ztovrin.dat" "$W/store.before" || fail "store changed"
[ ! -e "$RUN/Base/tovrin.ini" ] || [ ! -s "$RUN/Base/tovrin.ini" ] || fail "settings written"
alive "$APP" || fail "running copy ended"
ok "second start refused with a warning (screenshot second-start.png), running copy untouched"

# 5. Exit from the tray menu: the last item. The program ends and its icon goes. (The editor run
#    drives the Editor command; the menu's texts and bitmaps are on the screenshot.) The journal
#    is closed first: a window manager may stack it, kept above, over the menu it overlaps.
close_window "$J" || fail "the journal refused to close"
waitfor 5 not_shown "$J" || fail "the journal did not close"
if [ "${E2E_DESKTOP:-bare}" = sni ]; then
    open_desktop_menu
else
    # The menu waits for the left button to come up on the icon: a menu opened on the press could
    # be closed again by the release when the program is slow.
    geom "$(icon_id)"
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) mousedown 1
    answers "$(icon_id)" || fail "no answer from the program"
    # Nothing to wait for here but a menu that should not come; a second is ample, as it would
    # come from the very next turn of the event loop.
    ! waitfor 1 menu_id "$APP" || fail "the tray menu opened on the press"
    xdotool mouseup 1
    waitfor 5 menu_id "$APP" || fail "the tray menu did not open on the release"
    MENU=$(menu_id "$APP")
    abs_geom "$MENU"
fi
[ "$X" -ge 0 ] && [ $((X + WIDTH)) -le "$SW" ] && [ "$Y" -ge 0 ] && [ $((Y + HEIGHT)) -le "$SH" ] ||
    fail "menu at $X,$Y ${WIDTH}x$HEIGHT off the screen"
shot tray-menu
click $((X + WIDTH / 2)) $((Y + HEIGHT * 7 / 8))
if ! waitfor 8 gone "$APP"; then
    echo "note $(el) ms: Exit did not take; again" >&2
    menu_command 7 gone "$APP" || fail "Exit did not end the program"
fi
reap "$APP"
[ "$RC" -eq 0 ] || fail "exit code $RC"
waitfor 5 desktop_icon_gone || fail "tray icon still there"
ok "Exit from the tray menu: exit code 0, icon removed"
echo "PASS total $(el) ms"
