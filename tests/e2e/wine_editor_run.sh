#!/usr/bin/env bash
# The editor of the Windows program under Wine, driven through its pane as a user would, and
# the same steps on the Linux program: the two leave the same files, byte for byte.
#  1. Linux Tovrin, then tovrin.exe, each on its own copy of one folder, with the clock stopped at
#     2026-12-08 14:29:30 (a record's time then is the same in both): the tray menu's Editor;
#     Add (a message typed, "once", OK); Change on the second row (a new text, OK); Delete on the
#     first, answered OK; the Tools folder; Settings (3 days' notice, no question before a
#     deletion, Apply); About and its link; Help; the title bar's close, which saves.
#  2. The store and the settings file of the two runs are the same, and hold what the steps made.
#  3. On Windows the help went to the shell as the absolute path of Base\Help.chm, and the shell
#     started Wine's viewer, hh.exe, with it; the about page's link went to the shell too, which
#     handed it to the desktop's browser (xdg-open, stood in for here by a recorder on PATH).
#  4. Windows ends the session (wineboot --end-session sends WM_QUERYENDSESSION and
#     WM_ENDSESSION) while the editor is open with a new record: the record is in the store.
# Needs: Xvfb, trayer, xdotool, xwininfo, xprop, import, convert, libfaketime, wine64.
# Environment: TOVRIN_WINDOWS_FOLDER (the program folder), TOVRIN_BIN (the Linux program),
# TOVRIN_CLI (Linux tovrin-cli), MAKE_STORE, E2E_X_CLOSE, E2E_X_PROBE, TOVRIN_SOURCE_DIR,
# E2E_WINEPREFIX; E2E_ARTIFACTS for the screenshots.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/e2e_lib.sh"
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/wine_lib.sh"
FOLDER=${TOVRIN_WINDOWS_FOLDER:?}
BIN=${TOVRIN_BIN:?}
CLI=${TOVRIN_CLI:?}
MAKE_STORE=${MAKE_STORE:?}
: "${TOVRIN_SOURCE_DIR:?}"
e2e_init
wine_init
e2e_need_tools convert wine64 wineserver

# The clock stands still: both programs read 14:29:30.000 whenever they look.
CLOCK='2026-12-08 14:29:30'
start_frozen() {
    local log=$1
    shift
    env LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME="$CLOCK" \
        "$@" >"$log" 2>&1 &
    APP=$!
    PIDS+=("$APP")
}

# The desktop's opener, for the help on Linux and for the web address on both (Wine's browser
# hands it to xdg-open): it writes down what it was given.
mkdir -p "$W/bin"
cat >"$W/bin/xdg-open" <<OPENER
#!/bin/sh
printf '%s\n' "\$*" >>"$W/opened.log"
OPENER
# And a viewer for compiled help that the desktop names, so that Linux Tovrin opens Help.chm.
printf '#!/bin/sh\necho xchm.desktop\n' >"$W/bin/xdg-mime"
chmod +x "$W/bin/xdg-open" "$W/bin/xdg-mime"
export PATH=$W/bin:$PATH
opened() { grep -qF "$1" "$W/opened.log" 2>/dev/null; }

e2e_start_screen
wine_start
ok "Xvfb $DISPLAY ${SW}x${SH}, trayer, Wine's services"

# Dialog units to pixels, and the record edit and settings pages at (136, 34) of the client area.
dx() { echo $((($1 * 6 + 2) / 4)); }
dy() { echo $((($1 * 13 + 4) / 8)); }
at_page() { echo $((EX + 136 + $(dx "$1") + $(dx "$3") / 2)) $((EY + 34 + $(dy "$2") + $(dy "$4") / 2)); }
click_page() { read -r PX PY < <(at_page "$@") && click "$PX" "$PY"; }
# The pane's items: 32-pixel icons 64 pixels apart, under the open folder's heading (and, for the
# second folder, the first one's above it); the closed second folder's heading at the bottom.
PANE_X=$(($(dx 1) + $(dx 83) / 2))
pane_item() { click $((EX + PANE_X)) $((EY + $(dy 19) + 1 + 20 * $1 + 8 + 16 + 64 * ($2 - 1))); }
open_tools() { click $((EX + PANE_X)) $((EY + $(dy 180) - 1 - 10)); }
# The list's rows, 16 pixels high under its heading.
click_row() { click $((EX + $(dx 88) + $(dx 257) / 2)) $((EY + $(dy 20) + 29 + 16 * ($1 - 1))); }
ink() { convert "$1" -crop "$2" +repage -fuzz 8% -fill black +opaque white -format '%[fx:1-mean]' info:; }
inked() { awk -v v="$(ink "$1" "$2")" 'BEGIN {exit !(v > 0.01)}'; }
editor_shown() { window_named "$APP" 'Tovrin'; }
editor_gone() { ! editor_shown; }

# A folder for one program: the English texts, the help, and two reminders.
make_folder() {
    mkdir -p "$1/Base"
    e2e_language_file "$1/Base"
    "$MAKE_STORE" "$1/Base/ztovrin.dat" \
        yearly 2000-05-05 09:00 "Anna's birthday" \
        monthly 2026-01-20 10:00 "Pay the rent" || fail "cannot write the store"
}

# The steps, the same for both programs. $1 names the screenshots.
editor_steps() {
    local name=$1 field okbox
    menu_command 3 editor_shown || fail "$name: Editor from the tray menu showed nothing"
    ED=$(editor_shown)
    abs_geom "$ED"
    EX=$X EY=$Y
    [ "$WIDTH" -eq "$(dx 346)" ] && [ "$HEIGHT" -eq "$(dy 199)" ] || fail "$name: editor ${WIDTH}x$HEIGHT"
    # Where the edit page's message field is, its text inked once the page shows.
    field="$(($(dx 145) - 4))x$(($(dy 13) - 6))+$((EX + 136 + $(dx 95) + 2))+$((EY + 34 + $(dy 30) + 3))"
    page_open() { shot "$name-page" && inked "$ART/$name-page.png" "$field"; }
    # Where the page's OK button was, the list's empty white once the page has gone.
    okbox="$(dx 50)x$(dy 14)+$((EX + 136 + $(dx 135)))+$((EY + 34 + $(dy 140)))"
    page_gone() { shot "$name-page" && ! inked "$ART/$name-page.png" "$okbox"; }

    pane_item 1 1
    waitfor 10 page_open || fail "$name: no record edit page after Add"
    xdotool type --delay 40 "Call the clinic"
    waitfor 2 keys_up || fail "keys held down after typing"
    click_page 96 93 55 10
    shot "$name-1-add"
    click_page 135 140 50 14
    waitfor 5 page_gone || fail "$name: the page stayed after OK"

    click_row 2
    pane_item 1 2
    waitfor 10 page_open || fail "$name: no record edit page after Change"
    click_page 95 30 145 13
    press ctrl+a
    xdotool type --delay 40 "Anna's birthday party"
    waitfor 2 keys_up || fail "keys held down after typing"
    shot "$name-2-change"
    click_page 135 140 50 14
    waitfor 5 page_gone || fail "$name: the page stayed after OK"

    click_row 1
    pane_item 1 3
    question() { window_named "$APP" "$(lng Editor 6)"; }
    waitfor 10 question || fail "$name: Delete asked nothing"
    BOX=$(question)
    shot "$name-3-delete-question"
    xdotool windowfocus --sync "$BOX" 2>/dev/null || true
    press Return
    waitfor 10 not_shown "$BOX" || fail "$name: Return did not answer the question"
    shot "$name-4-deleted"

    open_tools
    sleep 0.5
    pane_item 2 1
    sleep 0.5
    shot "$name-5-settings"
    click_page 161 39 25 15
    press ctrl+a
    xdotool type "3"
    click_page 171 69 8 8
    click_page 198 140 50 14
    waitfor 5 test -s Base/tovrin.ini || fail "$name: Apply wrote no settings"

    pane_item 2 3
    sleep 0.5
    shot "$name-6-about"
    # The link, at (43, 112) of the about page.
    click $((EX + 136 + 43 + 20)) $((EY + 34 + 112 + 5))
    waitfor 10 opened "https://tovrin.org/" || fail "$name: the about page's link opened nothing"

    pane_item 2 2
    sleep 1
    shot "$name-7-help"
}

# 1a. Linux Tovrin.
make_folder "$W/linux"
cp "$FOLDER/Base/Help.chm" "$W/linux/Base/" || fail "no help in $FOLDER"
e2e_own_copy "$BIN"
cd "$W/linux"
start_frozen "$W/linux.log" "$OWN_BIN"
waitfor 15 icon_id || fail "linux: no tray icon"
editor_steps linux
waitfor 10 opened "$W/linux/Base/Help.chm" || fail "linux: the help went to no opener"
close_window "$ED" || fail "linux: the editor refused to close"
waitfor 10 editor_gone || fail "linux: the editor did not close"
menu_command 7 gone "$APP" || fail "linux: Exit did not end the program"
reap "$APP"
ok "linux: add, change, delete, settings, about, help, close; exit code $RC"

# 1b. tovrin.exe, from a copy of the program folder with the same Base\.
wine_own_folder "$FOLDER"
rm -f "$WIN/Base/default.lng" "$WIN/Base/ztovrin.dat"
make_folder "$WIN"
cd "$WIN"
start_frozen "$W/win.log" wine64 ./tovrin.exe
waitfor 30 icon_id || fail "windows: no tray icon"
editor_steps windows
HELP=$(wine_path "$WIN/Base/Help.chm")
[ -n "$HELP" ] || fail "no Windows path for $WIN/Base/Help.chm"
viewer() { pgrep -af 'hh\.exe' | grep -F "$HELP"; }
waitfor 15 viewer || fail "windows: no hh.exe with $HELP (running: $(pgrep -af '\.exe' | tr '\n' ';'))"
ok "windows: the shell started $(viewer | sed 's/^ *[0-9]* //')"
close_window "$ED" || fail "windows: the editor refused to close"
waitfor 10 editor_gone || fail "windows: the editor did not close"
ok "windows: add, change, delete, settings, about, help, close"

# 2. The same files, and what the steps made.
for file in ztovrin.dat tovrin.ini; do
    cmp "$W/linux/Base/$file" "$WIN/Base/$file" >&2 ||
        fail "$file differs between Linux and Windows (cmp above)"
done
DUMP=$(cd "$WIN" && "$CLI" dump)
grep -q "yearly .*Anna's birthday party" <<<"$DUMP" && grep -q 'once .*14:29:30.000.*Call the clinic' <<<"$DUMP" &&
    ! grep -q 'Pay the rent' <<<"$DUMP" && [ "$(grep -c . <<<"$DUMP")" -eq 2 ] ||
    fail "the store holds: $DUMP"
[ "$(od -An -tu4 "$WIN/Base/tovrin.ini" | tr -s ' ')" = " 3 0" ] ||
    fail "the settings hold $(od -An -tu4 "$WIN/Base/tovrin.ini")"
ok "store ($(stat -c %s "$WIN/Base/ztovrin.dat") bytes) and settings the same on both, as the steps made them"

# 3. The web address went through Wine's shell to the browser.
[ "$(grep -cF "https://tovrin.org/" "$W/opened.log")" -ge 2 ] || fail "the link reached no browser under Wine"
ok "the about link reached the browser on both"

# 4. The session ends with the editor open and a new record in it.
menu_command 3 editor_shown || fail "windows: Editor from the tray menu showed nothing"
ED=$(editor_shown)
abs_geom "$ED"
EX=$X EY=$Y
pane_item 1 1
sleep 1
xdotool type --delay 40 "Saved as the session ended"
waitfor 2 keys_up || fail "keys held down after typing"
click_page 135 140 50 14
sleep 0.5
shot windows-8-before-session-end
wine64 wineboot --end-session >>"$W/wine.log" 2>&1 || fail "wineboot --end-session failed"
waitfor 20 gone "$APP" || fail "the program outlived the session"
(cd "$WIN" && "$CLI" dump) | grep -q 'Saved as the session ended' || fail "the session's end lost the new record"
ok "the session ended: the editor's new record is in the store"
echo "PASS total $(el) ms"
