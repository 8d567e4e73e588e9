#!/usr/bin/env bash
# The Windows program, tovrin.exe from its program folder, under Wine on a virtual screen with
# trayer as the notification area (Wine docks its icons there) and a faked wall clock, as a user
# meets it:
#  1. started ten seconds before a reminder's minute, with reminders due today: the icon docks
#     and the current messages show at once;
#  2. the minute comes while the user types in another window: the journal pops up with its frame
#     against the right edge, 50 pixels above the bottom, kept above the others, and the keys stay
#     where they were typed;
#  3. a second start shows the warning and ends; the running copy and the files stay as they were;
#  4. the tray menu opens on the left button's release and each of its four commands does its
#     work: Journal, Current messages, Editor show their windows, Exit ends the program with exit
#     code 0 and takes the icon away.
# Needs: Xvfb, trayer, xdotool, xwininfo, xprop, xmessage, import, libfaketime, wine64.
# Environment: TOVRIN_WINDOWS_FOLDER (the program folder scripts/build-windows leaves), MAKE_STORE,
# E2E_X_CLOSE, E2E_X_PROBE, TOVRIN_SOURCE_DIR, E2E_WINEPREFIX; E2E_ARTIFACTS for the screenshots.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/e2e_lib.sh"
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/wine_lib.sh"
FOLDER=${TOVRIN_WINDOWS_FOLDER:?}
MAKE_STORE=${MAKE_STORE:?}
: "${TOVRIN_SOURCE_DIR:?}"
e2e_init
wine_init
e2e_need_tools xmessage wine64 wineserver

e2e_start_screen
wine_start
ok "Xvfb $DISPLAY ${SW}x${SH}, trayer, Wine's services"

# The program folder of the run's own, with the English texts and reminders for 8 December 2026.
wine_own_folder "$FOLDER"
e2e_language_file "$WIN/Base"
JOURNAL=$(lng Manager 3)
"$MAKE_STORE" "$WIN/Base/ztovrin.dat" \
    once 2026-12-08 14:30 "Call the clinic" \
    yearly 2000-12-08 09:00 "Anna's birthday" \
    monthly 2026-01-09 00:00 "Pay for the internet" \
    once 2026-12-08 16:00 "Collect the parcel" || fail "cannot write the store"
cp "$WIN/Base/ztovrin.dat" "$W/store.before"

# 1. Started from its folder, as a shortcut's "Start in" does.
cd "$WIN"
e2e_start_faked '2026-12-08 14:29:50' "$W/app.log" wine64 ./tovrin.exe
waitfor 30 icon_id || fail "no tray icon"
ok "tray icon $(icon_id), docked by Wine's notification area"
waitfor 15 window_named "$APP" 'Tovrin v3.3' || fail "current messages not shown"
NOTIFY=$(window_named "$APP" 'Tovrin v3.3')
geom "$NOTIFY"
[ "$WIDTH" -gt 500 ] && [ "$HEIGHT" -gt 250 ] || fail "current messages ${WIDTH}x$HEIGHT"
shot current-messages
ok "current messages ${WIDTH}x${HEIGHT} at $X,$Y; screenshot current-messages.png"

# The user goes on typing in another program's window, which has the keyboard.
xmessage -geometry +40+40 -name typing "Typing here" >"$W/xmessage.log" 2>&1 &
PIDS+=($!)
waitfor 10 xdotool search --onlyvisible --classname '^typing$' || fail "no window to type in"
TYPING=$(xdotool search --onlyvisible --classname '^typing$' | head -1)
xdotool windowfocus --sync "$TYPING" || fail "cannot focus the typing window"
typing_has_keys() { [ "$(focused_window)" = "$TYPING" ]; }
waitfor 5 typing_has_keys || fail "the typing window did not get the keyboard"

# 2. The minute comes.
waitfor 25 window_named "$APP" "$JOURNAL" || fail "journal not shown by 14:30"
J=$(window_named "$APP" "$JOURNAL")
journal_in_corner() {
    frame_geom "$J" && [ $((X + WIDTH)) -eq "$SW" ] && [ $((Y + HEIGHT)) -eq $((SH - 50)) ]
}
waitfor 3 journal_in_corner || fail "journal at $X,$Y ${WIDTH}x$HEIGHT on ${SW}x$SH"
waitfor 3 is_on_top "$J" || fail "journal not kept on top"
typing_has_keys || fail "the journal took the keyboard from the window being typed in"
shot journal
ok "journal ${WIDTH}x${HEIGHT} at $X,$Y, right edge $((X + WIDTH)), bottom $((Y + HEIGHT)); on top; keys stay"

# 3. A second start is refused with the warning and touches nothing.
env wine64 ./tovrin.exe >"$W/second.log" 2>&1 &
SECOND=$!
PIDS+=("$SECOND")
waitfor 20 window_named "$SECOND" 'Tovrin' || fail "no warning from the second start"
BOX=$(window_named "$SECOND" 'Tovrin')
shot second-start
alive "$APP" || fail "running copy ended"
[ "$(icon_count)" -eq 1 ] || fail "$(icon_count) icons docked"
xdotool windowfocus --sync "$BOX"
press Return
waitfor 15 gone "$SECOND" || fail "refused copy did not end"
reap "$SECOND"
[ "$RC" -eq 0 ] || fail "refused copy exit code $RC"
cmp -s Base/ztovrin.dat "$W/store.before" || fail "store changed"
[ ! -s Base/tovrin.ini ] || fail "settings written"
alive "$APP" || fail "running copy ended"
ok "second start refused with a warning (screenshot second-start.png), running copy untouched"

# 4. The menu's commands, each window closed first so each window seen is the one asked for.
close_window "$J" || fail "the journal refused to close"
waitfor 5 not_shown "$J" || fail "the journal did not close"
close_window "$NOTIFY" || fail "the current messages refused to close"
waitfor 5 not_shown "$NOTIFY" || fail "the current messages did not close"
journal_shown() { window_named "$APP" "$JOURNAL"; }
menu_command 1 journal_shown || fail "Journal from the tray menu showed nothing"
J=$(journal_shown)
close_window "$J" || fail "the journal refused to close"
waitfor 5 not_shown "$J" || fail "the journal did not close"
notify_shown() { window_named "$APP" 'Tovrin v3.3'; }
menu_command 5 notify_shown || fail "Current messages from the tray menu showed nothing"
NOTIFY=$(notify_shown)
close_window "$NOTIFY" || fail "the current messages refused to close"
waitfor 5 not_shown "$NOTIFY" || fail "the current messages did not close"
editor_shown() { window_named "$APP" 'Tovrin'; }
menu_command 3 editor_shown || fail "Editor from the tray menu showed nothing"
ED=$(editor_shown)
shot editor
close_window "$ED" || fail "the editor refused to close"
waitfor 5 not_shown "$ED" || fail "the editor did not close"
cmp -s Base/ztovrin.dat "$W/store.before" || fail "the store changed with no change made"
ok "Journal, Current messages and Editor from the menu each showed their window"

# Exit. The menu waits for the left button to come up on the icon.
geom "$(icon_id)"
xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) mousedown 1
! waitfor 1 menu_id "$APP" || fail "the tray menu opened on the press"
xdotool mouseup 1
waitfor 5 menu_id "$APP" || fail "the tray menu did not open on the release"
MENU=$(menu_id "$APP")
abs_geom "$MENU"
[ "$X" -ge 0 ] && [ $((X + WIDTH)) -le "$SW" ] && [ "$Y" -ge 0 ] && [ $((Y + HEIGHT)) -le "$SH" ] ||
    fail "menu at $X,$Y ${WIDTH}x$HEIGHT off the screen"
shot tray-menu
click $((X + WIDTH / 2)) $((Y + HEIGHT * 7 / 8))
if ! waitfor 10 gone "$APP"; then
    echo "note $(el) ms: Exit did not take; again" >&2
    menu_command 7 gone "$APP" || fail "Exit did not end the program"
fi
reap "$APP"
[ "$RC" -eq 0 ] || fail "exit code $RC"
waitfor 5 icon_gone || fail "tray icon still there"
ok "Exit from the tray menu: exit code 0, icon removed"
echo "PASS total $(el) ms"
