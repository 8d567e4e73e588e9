#!/usr/bin/env bash
# A reminder written in the editor fires at its minute, driven as a user would on a virtual screen
# with a tray host and a faked wall clock that starts 30 seconds before 14:30:
#  1. the program starts with no reminders: a tray icon and nothing else;
#  2. a left click on the tray icon, then Editor: the editor opens on an empty list, and the empty
#     store file now exists;
#  3. Add; typing replaces the suggested message; "once" puts the picker on the current minute,
#     and the minutes go one up from the keyboard; OK: the new row shows in the list;
#     the pane's Delete on the row asks first, in the desktop's one language, and Escape keeps
#     the row;
#  4. the title bar's close: the editor goes, and the store holds the reminder;
#  5. at 14:30 the journal pops up at the bottom right, on top, with the typed text;
#  6. the editor again; its Help on a desktop without a viewer for Help.chm: the help's HTML pages
#     go to the browser; with a viewer: Help.chm goes to it; with a viewer that fails: the pages
#     after it; when both fail: a box names Help.chm (stand-in xdg-mime and xdg-open on PATH);
#     then Exit from the tray menu while the box that says the editor is open waits: the program
#     ends cleanly, the store as the editor left it.
# Needs: Xvfb, trayer, xdotool, xwininfo, xprop, import, setxkbmap, convert, libfaketime.
# Environment: TOVRIN_BIN, TOVRIN_CLI, E2E_X_CLOSE, E2E_X_PROBE, TOVRIN_SOURCE_DIR; E2E_ARTIFACTS
# for the screenshots; E2E_DESKTOP (bare, openbox, sni, ru; see e2e_lib.sh).
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/e2e_lib.sh"
BIN=${TOVRIN_BIN:?}
CLI=${TOVRIN_CLI:?}
: "${TOVRIN_SOURCE_DIR:?}" # the language files, read by e2e_language_file
e2e_init
e2e_need_tools setxkbmap convert

DAY=2026-12-08
# Half a minute and more for the steps before the close: a loaded machine, or a sanitizer build
# on a screen at twice the scale, takes over thirty seconds for them.
START="$DAY 14:29:15"
MESSAGE="Позвонить Ане в 14:30"

# Template geometry is in dialog units: a quarter of the 6-pixel average character width and an
# eighth of the 13-pixel character height, rounded half away from zero; in screen pixels (px, for a
# scaled screen).
dx() { px $((($1 * 6 + 2) / 4)); }
dy() { px $((($1 * 13 + 4) / 8)); }
# The record edit page sits at (136, 34) in the editor's client area, which is the window inside
# any frame.
PAGE_X=$(px 136)
PAGE_Y=$(px 34)
# at_page X Y W H [DX]: the screen point DX pixels into the control (default its centre), half way
# down, for a control of the page at that template rectangle.
at_page() {
    local off
    if [ -n "${5:-}" ]; then off=$(px "$5"); else off=$(($(dx "$3") / 2)); fi
    echo $((EX + PAGE_X + $(dx "$1") + off)) $((EY + PAGE_Y + $(dy "$2") + $(dy "$4") / 2))
}
# Fraction (0 to 1) of the pixels of a screenshot's rectangle that are not white.
ink() { convert "$1" -crop "$2" +repage -fuzz 8% -fill black +opaque white -format '%[fx:1-mean]' info:; }
# Ink above 1 %: text or a selection bar is drawn there.
inked() { awk -v v="$(ink "$1" "$2")" 'BEGIN {exit !(v > 0.01)}'; }
editor_shown() { window_named "$APP" 'Tovrin'; }
editor_gone() { ! editor_shown; }
store_json() { (cd "$RUN" && "$CLI" dump --json); }

# The desktop's MIME database and opener, stood in for: xdg-mime names a viewer for compiled help
# when $W/viewer says one, and xdg-open writes down what it was given and fails where told to.
mkdir -p "$W/bin"
printf '#!/bin/sh\n[ "$*" != "query default application/vnd.ms-htmlhelp" ] || cat "%s/viewer" 2>/dev/null\nexit 0\n' "$W" >"$W/bin/xdg-mime"
cat >"$W/bin/xdg-open" <<OPENER
#!/bin/sh
printf '%s\n' "\$*" >>"$W/opened.log"
case "\$1" in *.chm) [ ! -f "$W/chm-fails" ] || exit 3 ;; *) [ ! -f "$W/html-fails" ] || exit 4 ;; esac
OPENER
chmod +x "$W/bin/xdg-mime" "$W/bin/xdg-open"
export PATH=$W/bin:$PATH

# 1. A screen, a tray, a Russian keyboard for the message, and the program with an empty Base/
#    but for its texts and help.
e2e_start_desktop
e2e_keyboard ru
ok "Xvfb $DISPLAY ${SW}x${SH}, desktop $DESKTOP"
RUN=$W/run
mkdir -p "$RUN/Base/help"
e2e_language_file "$RUN/Base"
printf 'ITSF' >"$RUN/Base/Help.chm"
cp "$TOVRIN_SOURCE_DIR"/res/help/*.html "$TOVRIN_SOURCE_DIR"/res/help/style.css "$RUN/Base/help/"
e2e_own_copy "$BIN"
cd "$RUN"
e2e_start_faked "$START" "$W/app.log" "$OWN_BIN"
# The reminder's minute on the program's clock, in milliseconds since the epoch.
MINUTE_MS=$(($(date -d "$DAY 14:30" +%s) * 1000))
waitfor 15 desktop_icon_id || fail "no tray icon"
# Nothing is due, so the icon is all there is; its window is the only one of the program shown.
[ "$(xdotool search --onlyvisible --pid "$APP" 2>/dev/null | grep -vx "$(($(desktop_icon_id)))")" = "" ] ||
    fail "a window showed at start"
ok "tray icon $(desktop_icon_id), no window (nothing is due); clock $(fake_clock)"

# 2. Left click on the icon; Editor is the second command of four (Journal, -, Editor, Current
#    messages, -, Exit): the items are of one height and the separators thin, so its middle is
#    three eighths of the way down.
open_desktop_menu
shot 1-tray-menu
click $((X + WIDTH / 2)) $((Y + HEIGHT * 3 / 8))
waitfor 10 editor_shown || fail "Editor from the tray menu opened no editor"
ED=$(editor_shown)
# A window manager frames the editor and may still be moving it into place.
sleep 0.5
abs_geom "$ED"
EX=$X EY=$Y
[ "$WIDTH" -eq "$(dx 346)" ] && [ "$HEIGHT" -eq "$(dy 199)" ] || fail "editor ${WIDTH}x$HEIGHT"
if wm_running; then
    # Centred, frame and all, in the space the panel leaves.
    waitfor 3 frame_centred "$ED" ||
        fail "editor frame at $X,$Y ${WIDTH}x$HEIGHT off the work area's centre by ($OFF_X,$OFF_Y)/2"
    abs_geom "$ED"
    EX=$X EY=$Y
    xprop -id "$ED" _NET_WM_ALLOWED_ACTIONS | grep -q _NET_WM_ACTION_MAXIMIZE &&
        fail "the editor can be maximised"
else
    # Centred, give or take the odd pixel of halving.
    [ $((SW - WIDTH - 2 * EX)) -le "$SCALE" ] && [ $((SH - HEIGHT - 2 * EY)) -le "$SCALE" ] &&
        [ $((SW - WIDTH - 2 * EX)) -ge 0 ] && [ $((SH - HEIGHT - 2 * EY)) -ge 0 ] ||
        fail "editor at $EX,$EY not centred"
fi
# Asked for, it takes the keys, whatever a window manager's rules on new windows.
waitfor 3 has_keys "$ED" || fail "the editor did not take the keys"
waitfor 5 test -e Base/ztovrin.dat || fail "the editor did not create the empty store"
[ ! -s Base/ztovrin.dat ] || fail "the new store is not empty"
# The list, 1003, and the middle of its first row, below the headings and clear of grid lines.
ROW1="$(($(dx 257) - $(px 8)))x$(px 10)+$((EX + $(dx 88) + $(px 4)))+$((EY + $(dy 20) + $(px 20)))"
shot 2-editor-empty
inked "$ART/2-editor-empty.png" "$ROW1" && fail "a row in the new editor's list"
ok "editor ${WIDTH}x$HEIGHT centred at $EX,$EY, empty list; empty store created"

# 3. The pane's add item: its first folder is open under a 20-pixel heading, and the first item's
#    32-pixel icon sits 8 pixels below, in the middle of the pane (placeholder 1002 at 1, 19,
#    83 wide, inside a one-pixel sunken edge).
click $((EX + $(dx 1) + $(dx 83) / 2)) $((EY + $(dy 19) + $(px $((1 + 20 + 8 + 16)))))
FIELD="$(($(dx 145) - $(px 4)))x$(($(dy 13) - $(px 6)))+$((EX + PAGE_X + $(dx 95) + $(px 2)))+$((EY + PAGE_Y + $(dy 30) + $(px 3)))"
page_open() { shot 3-page-new && inked "$ART/3-page-new.png" "$FIELD"; }
waitfor 10 page_open || fail "no record edit page after Add"
# The suggested text is selected and focused, so typing replaces it.
xdotool type --delay 40 "$MESSAGE"
waitfor 2 keys_up || fail "keys held down after typing"
shot 4-page-typed
# Once (box 2012): the picker jumps to the current local time, in hours and minutes.
read -r BX BY < <(at_page 96 93 55 10 7)
click "$BX" "$BY"
CHECKED_MS=$(fake_now_ms)
shot 5-page-once
# Back to the message field, Tab into the picker (its hour field chosen), Right to the minutes and
# one step up.
read -r FX FY < <(at_page 95 30 145 13)
click "$FX" "$FY"
press Tab Right Up
shot 6-page-minute-ahead
CHECKED_MIN=$(date -d "@$((CHECKED_MS / 1000))" +%H:%M)
[ "$CHECKED_MIN" = 14:29 ] || fail "the once box was checked at $(fake_clock "$CHECKED_MS"), too late"
read -r OX OY < <(at_page 135 140 50 14)
click "$OX" "$OY"
# The new row, selected, at the top of the list that comes back; where the page's OK button was,
# the list's empty white (the page's own texts would ink the row's place too).
OKBOX="$(dx 50)x$(dy 14)+$((EX + PAGE_X + $(dx 135)))+$((EY + PAGE_Y + $(dy 140)))"
row_shown() {
    shot 7-editor-row && inked "$ART/7-editor-row.png" "$ROW1" && ! inked "$ART/7-editor-row.png" "$OKBOX"
}
waitfor 10 row_shown || fail "no new row in the list after OK"
ok "Add, typed \"$MESSAGE\", once at $(fake_clock "$CHECKED_MS"), minutes up, OK: a new row"

# The Delete key deletes nothing; the pane's Delete, two 64-pixel item pitches below Add, asks
# first; Escape answers Cancel and the row stays. The question's title is the one a window manager
# cuts when the box is too narrow for it: the screenshot shows it whole.
read -r RX RY < <(echo $((EX + $(dx 88) + $(dx 257) / 2)) $((EY + $(dy 20) + $(px 25))))
click "$RX" "$RY"
press Delete Return
question() { window_named "$APP" "$(lng Editor 6)"; }
sleep 0.5
! question >/dev/null || fail "the Delete key asked to delete"
row_shown || fail "a key took the row away"
click $((EX + $(dx 1) + $(dx 83) / 2)) $((EY + $(dy 19) + $(px $((1 + 20 + 8 + 16 + 128)))))
waitfor 10 question || fail "the pane's Delete on the row asked nothing"
BOX=$(question)
shot 7b-delete-question
xdotool windowfocus --sync "$BOX" 2>/dev/null || true
press Escape
waitfor 10 not_shown "$BOX" || fail "Escape did not answer the question"
waitfor 5 row_shown || fail "the row went although the question was cancelled"
ok "the Delete key did nothing; the pane's Delete asked \"$(lng Editor 5)\"; Escape kept the row"

# 4. The title bar's close. The editor saves as it goes and tells the main window about the new
#    timed reminder.
close_window "$ED" || fail "the editor refused WM_DELETE_WINDOW"
waitfor 10 editor_gone || fail "the editor did not close"
CLOSED_MS=$(fake_now_ms)
shot 8-editor-closed
alive "$APP" || fail "the program ended with the editor"
desktop_icon_id >/dev/null || fail "the tray icon went with the editor"
[ "$CLOSED_MS" -lt $((MINUTE_MS - 1000)) ] ||
    fail "the editor closed at $(fake_clock "$CLOSED_MS"), too late to fire at 14:30"
JSON=$(store_json) || fail "tovrin-cli cannot read the store"
# One record a line between the brackets: exactly one, once (57) at 14:30 with the typed text.
[ "$(grep -c '"index"' <<<"$JSON")" -eq 1 ] || fail "the store holds: $JSON"
WHEN='"year":2026,"month":12,"dayOfWeek":2,"day":8,"hour":14,"minute":30,'
grep -qF "\"mode\":57,\"state\":0,\"when\":{$WHEN" <<<"$JSON" &&
    grep -qF "\"text\":\"$MESSAGE\"}" <<<"$JSON" ||
    fail "the stored reminder is not once at 14:30 with the typed text: $JSON"
cp Base/ztovrin.dat "$W/store.saved"
ok "title-bar close at $(fake_clock "$CLOSED_MS"): editor gone, store holds once $DAY 14:30"

# 5. At 14:30 the journal shows itself at the bottom right, on top, with the text.
journal() { window_named "$APP" "$(lng Manager 3)"; }
# Timer ticks come a second apart, and a busy machine may hold one back a few more.
waitfor $(((MINUTE_MS + 15000 - $(fake_now_ms)) / 1000)) journal ||
    fail "no journal by $(fake_clock)"
FIRED_MS=$(fake_now_ms)
J=$(journal)
[ "$FIRED_MS" -ge $((MINUTE_MS - 1000)) ] ||
    fail "the journal showed at $(fake_clock "$FIRED_MS"), before 14:30"
journal_in_corner() {
    frame_geom "$J" && [ $((X + WIDTH)) -eq "$SW" ] && [ $((Y + HEIGHT)) -eq $((SH - $(px 50))) ]
}
waitfor 3 journal_in_corner || fail "journal frame at $X,$Y ${WIDTH}x$HEIGHT on ${SW}x$SH"
abs_geom "$J"
waitfor 3 is_on_top "$J" || fail "journal not kept on top"
# Its first row, under the menu bar and the column heading, holds the text.
journal_row() {
    shot 9-journal &&
        inked "$ART/9-journal.png" "$((WIDTH - $(px 8)))x$(px 10)+$((X + $(px 4)))+$((Y + $(px 37)))"
}
waitfor 5 journal_row || fail "the journal's first row is empty"
ok "journal at $(fake_clock "$FIRED_MS"): ${WIDTH}x$HEIGHT at $X,$Y, on top, a row"

# 6. Exit from the tray menu, its last item, with a box open: the editor again while it is open
#    only says so (Manager key 5); Exit ends that box, the editor (an unchanged close leaves the
#    store alone) and the program, cleanly.
menu_command 3 editor_shown || fail "Editor from the tray menu opened no editor"
ED=$(editor_shown)
sleep 0.5
# The pane's Help, second item of its second folder, whose heading waits closed at the pane's
# bottom.
click $((EX + $(dx 1) + $(dx 83) / 2)) $((EY + $(dy 180) - $(px 11)))
sleep 0.5
# The pointer comes onto the item before each click: a move to where it already is waits long for
# a motion that never comes, and the pane takes a click on the item it saw the pointer over.
help_item() {
    local x=$((EX + $(dx 1) + $(dx 83) / 2)) y=$((EY + $(dy 19) + $(px $((1 + 40 + 8 + 16 + 64)))))
    xdotool mousemove --sync $((x - $(px 4))) "$y" sleep 0.3 mousemove --sync "$x" "$y" click 1
}
# opened N...: the opener was given exactly these, in order, since N earlier opens.
opened() { [ "$(tail -n +$(($1 + 1)) "$W/opened.log" 2>/dev/null)" = "$(shift && printf '%s\n' "$@")" ]; }
help_boxes() { boxes_shown "$W/app.log" | grep -c -F "$RUN/Base/Help.chm" || true; }
PAGES=$RUN/Base/help/index.html
help_item
waitfor 10 opened 0 "$PAGES" || fail "no viewer: the opener got $(cat "$W/opened.log" 2>/dev/null)"
echo xchm.desktop >"$W/viewer"
help_item
waitfor 10 opened 1 "$RUN/Base/Help.chm" || fail "a viewer: the opener got $(cat "$W/opened.log")"
touch "$W/chm-fails"
help_item
waitfor 10 opened 2 "$RUN/Base/Help.chm" "$PAGES" ||
    fail "a failing viewer: the opener got $(cat "$W/opened.log")"
[ "$(help_boxes)" -eq 0 ] || fail "a box about the help while it opened"
touch "$W/html-fails"
help_item
help_box() {
    [ "$(help_boxes)" -eq 1 ] &&
        xdotool search --all --onlyvisible --pid "$APP" --name "^$(lng Editor 4)\$" | grep -vx "$ED" | head -1 | grep .
}
waitfor 10 help_box || fail "both roads failed and no box said so: $(boxes_shown "$W/app.log")"
opened 4 "$RUN/Base/Help.chm" "$PAGES" || fail "both failing: the opener got $(cat "$W/opened.log")"
BOX=$(help_box)
shot 10a-help-box
xdotool windowfocus --sync "$BOX" 2>/dev/null || true
press Return
waitfor 10 not_shown "$BOX" || fail "Return did not close the help's box"
ok "Help: pages without a viewer, Help.chm with one, the pages after a failing one; a box when both fail"

already_said() { boxes_shown "$W/app.log" | grep -q -F "$(lng Manager 5)"; }
menu_command 3 already_said || fail "Editor with the editor open said nothing"
shot 10-editor-already-open
open_desktop_menu
click $((X + WIDTH / 2)) $((Y + HEIGHT * 7 / 8))
waitfor 15 gone "$APP" || fail "Exit with a box open did not end the program"
reap "$APP"
[ "$RC" -eq 0 ] || fail "exit code $RC"
cmp -s Base/ztovrin.dat "$W/store.saved" || fail "the store changed after the editor closed"
ok "Exit with the editor's box open: exit code 0, store unchanged"

# 7. The boxes, the delete question at least, each in one language.
one_language_per_box "$W/app.log"
[ "$BOXES_READ" -ge 1 ] || fail "no box was written to the program's output"
ok "$BOXES_READ box(es), each in one language"
echo "PASS total $(el) ms"
