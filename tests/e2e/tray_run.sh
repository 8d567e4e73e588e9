#!/usr/bin/env bash
# The real program, as a user meets it, on a virtual screen with a tray host and a faked wall clock:
#  1. started a few seconds before a reminder's minute, with reminders due today and soon: the
#     current messages show at once, and the journal pops up at the bottom right when the minute
#     comes, on top, with the reminder's text;
#  2. a second start is refused with the warning, and the running copy carries on untouched;
#  3. each of the tray menu's four commands does its work: Journal, Editor and Current messages
#     show their windows; the menu opens when the left button comes up on the icon, not while it
#     is held down, and Exit ends the program and takes its icon away. On a StatusNotifier tray
#     the host comes after the program, which shows its stand-in window until then, and the
#     item's own menu (the host's, on a right click) carries the commands too;
#  4. every box speaks one language.
# The journal comes up while the user types in another window, which keeps the keyboard.
# Needs: Xvfb, trayer, xdotool, xwininfo, xprop, xmessage, import, libfaketime (scripts/setup
# test); openbox or a StatusNotifier host for those desktops, wine64 for the Windows program.
# Environment: TOVRIN_BIN (or, on the wine desktop, TOVRIN_WINDOWS_FOLDER and E2E_WINEPREFIX),
# MAKE_STORE, TOVRIN_SOURCE_DIR, E2E_X_PROBE; E2E_ARTIFACTS for the screenshots; E2E_DESKTOP
# (bare, openbox, sni, ru, scaled, wine; see e2e_lib.sh).
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/e2e_lib.sh"
MAKE_STORE=${MAKE_STORE:?}
: "${TOVRIN_SOURCE_DIR:?}" # the language files, read by e2e_language_file
e2e_init

# 0. The tools, and a font, or every text would be empty boxes.
e2e_need_tools xmessage

# 1. A screen of its own, with a tray along the bottom, on the desktop asked for. A StatusNotifier
#    host starts after the program.
E2E_SNI_LATE=1
e2e_start_desktop
ok "Xvfb $DISPLAY ${SW}x${SH}, desktop $DESKTOP"


# The program's folder: its texts, and reminders for 8 December 2026, 14:30.
e2e_program_folder
e2e_language_file "$RUN/Base"
JOURNAL=$(lng Manager 3)
"$MAKE_STORE" "$RUN/Base/ztovrin.dat" \
    once 2026-12-08 14:30 "Позвонить в поликлинику" \
    yearly 2000-12-08 09:00 "День рождения Анны" \
    monthly 2026-01-09 00:00 "Оплатить интернет" \
    once 2026-12-08 16:00 "Забрать посылку" || fail "cannot write the store"
cp "$RUN/Base/ztovrin.dat" "$W/store.before"

# 2. Started ten seconds before 14:30 (the fake clock runs on from there), from a program file of
#    this run's own. libfaketime reaches the Windows program too: Wine reads the clock through the
#    C library.
cd "$RUN"
e2e_start_faked '2026-12-08 14:29:50' "$W/app.log" "${PROGRAM[@]}"
if [ "$DESKTOP" = sni ]; then
    # No notification area yet: the stand-in window carries the menu until one comes.
    stand_in() { window_named "$APP" "$(lng Manager 2)"; }
    waitfor 10 stand_in || fail "no stand-in window while there is no tray"
    STAND_IN=$(stand_in)
    e2e_start_sni_host
    waitfor 10 desktop_icon_id || fail "no item on the StatusNotifier host that came later"
    waitfor 5 not_shown "$STAND_IN" || fail "the stand-in window stayed beside the tray icon"
    # The tip the host shows on hovering, and a picture for the icon.
    sni_item_property ToolTip | grep -qF "$(lng Manager 2)" || fail "the item carries no tip"
    [ "$(sni_item_property IconPixmap | grep -c 'int32 ')" -ge 2 ] || fail "the item has no icon"
    # The host goes (a panel restarting): the stand-in comes back, and gives way once more.
    e2e_stop_sni_host
    waitfor 10 stand_in || fail "no stand-in window after the host went"
    e2e_start_sni_host
    waitfor 10 desktop_icon_id || fail "no item on the host that came back"
    waitfor 5 not_shown "$STAND_IN" || fail "the stand-in window stayed when the host came back"
    ok "stand-in until the host came, an item with its tip and icon, the stand-in again while the host was gone"
fi
waitfor 20 desktop_icon_id || fail "no tray icon"
ok "tray icon $(desktop_icon_id)"
if [ "$DESKTOP" = wine ]; then
    # Windows' notification area shows the icon's tip itself, in a window of its own process.
    EXPLORER=$(xdotool getwindowpid "$(icon_id)")
    tip_id() {
        local w icon
        icon=$(($(icon_id)))
        for w in $(xdotool search --onlyvisible --pid "$EXPLORER" 2>/dev/null); do
            [ "$w" -ne "$icon" ] && xwininfo -id "$w" | grep -q 'Override Redirect State: yes' &&
                { echo "$w"; return 0; }
        done
        return 1
    }
    icon_centre || fail "no tray icon to point at"
    xdotool mousemove --sync "$ICON_X" "$ICON_Y"
    waitfor 10 tip_id || fail "no tip on the tray icon"
    shot tray-tip
    xdotool mousemove --sync 10 10
    ok "the icon's tip (screenshot tray-tip.png)"
fi
waitfor 10 window_named "$APP" 'Tovrin v3.3' || fail "current messages not shown"
NOTIFY=$(window_named "$APP" 'Tovrin v3.3')
geom "$NOTIFY"
[ "$WIDTH" -gt "$(px 500)" ] && [ "$HEIGHT" -gt "$(px 250)" ] || fail "current messages ${WIDTH}x$HEIGHT"
if wm_running; then
    waitfor 3 frame_centred "$NOTIFY" ||
        fail "current messages' frame at $X,$Y ${WIDTH}x$HEIGHT off the work area's centre by ($OFF_X,$OFF_Y)/2"
fi
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
waitfor 25 window_named "$APP" "$JOURNAL" || fail "journal not shown by 14:30"
J=$(window_named "$APP" "$JOURNAL")
# The frame, where a window manager draws one, is what sits in the corner; the manager tells
# its size a moment after the window shows.
journal_in_corner() {
    frame_geom "$J" && [ $((X + WIDTH)) -eq "$SW" ] && [ $((Y + HEIGHT)) -eq $((SH - $(px 50))) ]
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
env "${PROGRAM[@]}" -platform offscreen --help >"$W/second.log" 2>&1 &
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

# 5. The menu's commands, each with its windows closed first, so that each window seen is the one
#    the command showed. A window manager may also stack the journal, kept above, over the menu.
close_window "$J" || fail "the journal refused to close"
waitfor 5 not_shown "$J" || fail "the journal did not close"
close_window "$NOTIFY" || fail "the current messages refused to close"
waitfor 5 not_shown "$NOTIFY" || fail "the current messages did not close"
journal_shown() { window_named "$APP" "$JOURNAL"; }
if [ "$DESKTOP" = sni ]; then
    # The host's own menu for the item, as hosts that never send a click to the item show it.
    item_menu_command first journal_shown || fail "Journal from the item's own menu showed nothing"
else
    menu_command 1 journal_shown || fail "Journal from the tray menu showed nothing"
fi
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
cmp -s "$RUN/Base/ztovrin.dat" "$W/store.before" || fail "the store changed with no change made"
ok "Journal, Current messages and Editor from the menu each showed their window"

# 6. Exit, the menu's last command: the program ends and its icon goes.
if [ "$DESKTOP" = sni ]; then
    item_menu_command last gone "$APP" || fail "Exit from the item's own menu did not end the program"
    MENU=
else
    # The menu waits for the left button to come up on the icon: a menu opened on the press could
    # be closed again by the release when the program is slow.
    geom "$(icon_id)"
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) mousedown 1
    # Under Wine the icon's window is explorer.exe's, which answers no ping: the second below
    # stands alone there.
    [ "$DESKTOP" = wine ] || answers "$(icon_id)" || fail "no answer from the program"
    # Nothing to wait for here but a menu that should not come; a second is ample, as it would
    # come from the very next turn of the event loop.
    ! waitfor 1 menu_id "$APP" || fail "the tray menu opened on the press"
    xdotool mouseup 1
    waitfor 5 menu_id "$APP" || fail "the tray menu did not open on the release"
    MENU=$(menu_id "$APP")
    abs_geom "$MENU"
fi
if [ -n "$MENU" ]; then
    [ "$X" -ge 0 ] && [ $((X + WIDTH)) -le "$SW" ] && [ "$Y" -ge 0 ] && [ $((Y + HEIGHT)) -le "$SH" ] ||
        fail "menu at $X,$Y ${WIDTH}x$HEIGHT off the screen"
    shot tray-menu
    click $((X + WIDTH / 2)) $((Y + HEIGHT * 7 / 8))
    if ! waitfor 8 gone "$APP"; then
        echo "note $(el) ms: Exit did not take; again" >&2
        menu_command 7 gone "$APP" || fail "Exit did not end the program"
    fi
fi
reap "$APP"
[ "$RC" -eq 0 ] || fail "exit code $RC"
waitfor 5 desktop_icon_gone || fail "tray icon still there"
ok "Exit from the tray menu: exit code 0, icon removed"

# 7. The boxes: the refused copy's warning at least, each in one language. Wine hands no QT_
#    variable to a Windows program, so there the boxes are not written down.
if [ "$DESKTOP" = wine ]; then
    echo "PASS total $(el) ms"
    exit 0
fi
one_language_per_box "$W/app.log" "$W/second.log"
[ "$BOXES_READ" -ge 1 ] || fail "no box was written to the program's output"
ok "$BOXES_READ box(es), each in one language"
echo "PASS total $(el) ms"
