#!/usr/bin/env bash
# The Windows installer under Wine, as a user meets it, on a virtual screen with trayer:
#  1. a silent first install: the program folder byte for byte in %LOCALAPPDATA%\Programs\Tovrin,
#     the shipped texts and help in the user's %APPDATA%\Tovrin\Base, a Start-menu shortcut, an
#     entry in the list of installed programs, no start at logon;
#  2. Tovrin started from the shortcut runs in %APPDATA%\Tovrin and shows the reminders of its
#     Base\; Exit from the tray menu;
#  3. the installer again, through its pages: the start at logon is off, the user ticks it,
#     installs, and leaves "Start Tovrin now" ticked on the last page, which starts Tovrin in the
#     same folder;
#  4. a logon (Wine's start-up runs the Run values): Tovrin starts in %APPDATA%\Tovrin, and a
#     shipped text the user had deleted is back while their own language file stays;
#  5. Task Manager's switch: a silent install leaves a switched-off start as it is; the options
#     page shows it off, with a word on why, and ticking it clears the switch;
#  6. removal: program folder, shortcut, Run value, the switch and the entry gone, %APPDATA%\Tovrin
#     untouched;
#  7. an older version (3.2.0, with older texts and help) installed silently with the start at
#     logon, used, then upgraded silently: the reminders, the settings and the user's texts stay
#     byte for byte, the help and the program folder become the new ones, one entry shows the new
#     version, the start at logon stays; Tovrin starts from the shortcut with the reminders;
#  8. an upgrade while Tovrin runs is refused (exit code 2) and changes nothing; then removal again.
# Needs: Xvfb, trayer, xdotool, xwininfo, xprop, import, libfaketime, wine64, makensis.
# Environment: TOVRIN_WINDOWS_PACKAGE (what scripts/package-windows leaves), TOVRIN_WINDOWS_FOLDER
# (the program folder it was made from), TOVRIN_LOGON (its tovrin-logon.exe), E2E_DIALOG_PROBE
# (tovrin_dialog_probe.exe of the cross-build), MAKE_STORE, E2E_X_CLOSE, E2E_X_PROBE,
# TOVRIN_SOURCE_DIR, E2E_WINEPREFIX (a prefix where Tovrin is not installed); E2E_ARTIFACTS.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/e2e_lib.sh"
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/wine_lib.sh"
PACKAGE=${TOVRIN_WINDOWS_PACKAGE:?}
FOLDER=${TOVRIN_WINDOWS_FOLDER:?}
LOGON=${TOVRIN_LOGON:?}
PROBE=${E2E_DIALOG_PROBE:?}
MAKE_STORE=${MAKE_STORE:?}
: "${TOVRIN_SOURCE_DIR:?}"
e2e_init
wine_init
e2e_need_tools wine64 wineserver makensis

SETUP=$(find "$PACKAGE" -maxdepth 1 -name 'tovrin-*-setup.exe' | head -1)
[ -f "$SETUP" ] || fail "no installer in $PACKAGE"
VERSION=$(basename "$SETUP" | sed 's/^tovrin-\(.*\)-setup\.exe$/\1/')
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovrin'
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
APPROVED_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
SHIPPED=$FOLDER/Base

e2e_start_screen
wine_start
wine_user_folders
INSTDIR=$LOCALAPPDATA_DIR/Programs/Tovrin
USER_DIR=$APPDATA_DIR/Tovrin
LINK=$MENU_DIR/Tovrin.lnk
if [ -e "$INSTDIR" ] || wine_reg "$UNINSTALL_KEY" DisplayName >/dev/null; then
    fail "Tovrin is installed in this prefix already"
fi
ok "Xvfb $DISPLAY ${SW}x${SH}, trayer, Wine's services; $(basename "$SETUP") $(stat -c %s "$SETUP") bytes"

# ---- helpers ---------------------------------------------------------------------------------
# install_silently INSTALLER ARGS...: sets RC to its exit code.
install_silently() {
    local setup=$1
    shift
    RC=0
    wine64 "$(wine_path "$setup")" /S "$@" >>"$W/setup.log" 2>&1 || RC=$?
}
snapshot() { (cd "$1" && find . -type f -exec sha256sum {} + | LC_ALL=C sort); }
# The installed folder is the program folder it was made from, with the logon starter and the
# uninstaller beside it.
installed_from() {
    diff -r -x tovrin-logon.exe -x uninstall.exe "$1" "$INSTDIR" >"$W/diff.log" ||
        fail "the installed folder differs from $1: $(head -5 "$W/diff.log")"
    cmp -s "$LOGON" "$INSTDIR/tovrin-logon.exe" || fail "no tovrin-logon.exe as built in $INSTDIR"
    [ -f "$INSTDIR/uninstall.exe" ] || fail "no uninstaller in $INSTDIR"
}
# entry_shows VERSION: the list of installed programs shows Tovrin of that version, once.
entry_shows() {
    [ "$(wine_reg "$UNINSTALL_KEY" DisplayVersion)" = "$1" ] || fail "the entry's version is not $1"
    [ "$(wine_reg "$UNINSTALL_KEY" UninstallString)" = "\"$(wine_path "$INSTDIR")\\uninstall.exe\"" ] ||
        fail "the entry's UninstallString is $(wine_reg "$UNINSTALL_KEY" UninstallString)"
    [ "$(wine64 uninstaller --list 2>/dev/null | tr -d '\r' | grep -c '|||Tovrin$')" -eq 1 ] ||
        fail "Wine's list of installed programs: $(wine64 uninstaller --list 2>/dev/null | tr '\r\n' '  ')"
}
logon_value() { wine_reg "$RUN_KEY" Tovrin; }
LOGON_COMMAND=
expect_logon_on() {
    [ "$(logon_value)" = "$LOGON_COMMAND" ] || fail "the Run value is '$(logon_value || true)'"
}
# The user's reminders for 8 December 2026 (the faked clock's day) and for today (a logon runs
# on the real clock), with the English texts, as the user picked them.
give_reminders() {
    e2e_language_file "$USER_DIR/Base"
    "$MAKE_STORE" "$USER_DIR/Base/ztovrin.dat" \
        yearly 2000-12-08 09:00 "Anna's birthday" \
        yearly "2000-$(date +%m-%d)" 09:00 "Call Boris" \
        monthly 2026-01-09 00:00 "Pay for the internet" || fail "cannot write the store"
}
# started_in_user_folder SHOT: the Tovrin just started (APP) runs in %APPDATA%\Tovrin and shows
# the current messages of the reminders there.
started_in_user_folder() {
    waitfor 30 icon_id || fail "no tray icon"
    waitfor 20 window_named "$APP" 'Tovrin v3.3' || fail "current messages not shown"
    [ "$(readlink "/proc/$APP/cwd")" = "$USER_DIR" ] ||
        fail "Tovrin runs in $(readlink "/proc/$APP/cwd"), not in $USER_DIR"
    sleep 0.5 # its first paint comes a moment after it maps
    shot "$1"
}
# From the Start menu: Wine's shell opens the shortcut, as a click on it does.
start_from_shortcut() {
    e2e_start_faked '2026-12-08 10:00:00' "$W/start.log" wine64 start "$(wine_path "$LINK")"
    reap "$APP"
    wine_started 'tovrin\.exe'
    started_in_user_folder "$1"
}

# The installer's pages, read through the dialog probe: CLASS|ID|CHECK|X,Y,W,H|TEXT a line.
# (The text goes to awk through the environment: -v would take the backslashes of a path for
# escapes.)
controls() { wine64 "$PROBE" "Tovrin" 2>/dev/null | tr -d '\r'; }
control() { controls | T=$1 awk -F'|' '$5 == ENVIRON["T"] {print; f=1; exit} END {exit !f}'; }
control_containing() {
    controls | T=$1 awk -F'|' 'index($5, ENVIRON["T"]) {print; f=1; exit} END {exit !f}'
}
ticked() { [ "$(control "$1" | cut -d'|' -f3)" = 1 ]; }
# The wizard's buttons of one page after another sit in one place: a move there with --sync would
# wait for a motion that never comes (xdotool gives up after some 15 s), so only the click is sent.
press_control() {
    local place x y at
    place=$(control "$1" | cut -d'|' -f4) || fail "no '$1' on the page"
    IFS=, read -r X Y WIDTH HEIGHT <<<"$place"
    x=$((X + WIDTH / 2)) y=$((Y + HEIGHT / 2))
    at=$(xdotool getmouselocation | sed -n 's/^x:\([0-9]*\) y:\([0-9]*\) .*/\1 \2/p')
    if [ "$at" = "$x $y" ]; then
        xdotool click 1
    else
        click "$x" "$y"
    fi
}
# run_installer: the installer with its pages, in the background (SETUP_RUN), up to the options
# page, whose screenshot is SHOT.
run_installer() {
    wine64 "$(wine_path "$SETUP")" >>"$W/setup.log" 2>&1 &
    SETUP_RUN=$!
    PIDS+=("$SETUP_RUN")
    waitfor 30 control '&Next >' || fail "the installer's first page did not show"
    shot installer-welcome
    press_control '&Next >'
    waitfor 10 control 'Start Tovrin when I log on' || fail "no options page"
    sleep 0.3
    shot "$1"
}
finish_installer() {
    press_control '&Install'
    waitfor 60 control '&Finish' || fail "the installer did not come to its last page"
    if [ "$1" = start ]; then
        ticked 'Start Tovrin now' || fail "'Start Tovrin now' not ticked"
    else
        press_control 'Start Tovrin now'
        waitfor 3 eval '! ticked "Start Tovrin now"' || fail "'Start Tovrin now' stays ticked"
    fi
    shot installer-finish
    press_control '&Finish'
    waitfor 20 gone "$SETUP_RUN" || fail "the installer did not end"
    reap "$SETUP_RUN"
    [ "$RC" -eq 0 ] || fail "the installer's exit code $RC"
}
# uninstall_silently: the list's quiet uninstall, waited for: the uninstaller copies itself out
# of the folder it removes and runs from there, and the copy is the one to wait for.
uninstall_silently() {
    local command
    command=$(wine_reg "$UNINSTALL_KEY" QuietUninstallString) || fail "no QuietUninstallString"
    [[ $command =~ ^\"([^\"]+)\"\ (.*)$ ]] || fail "QuietUninstallString is $command"
    # shellcheck disable=SC2086 # the arguments, one word each
    wine64 "${BASH_REMATCH[1]}" ${BASH_REMATCH[2]} >>"$W/uninstall.log" 2>&1 ||
        fail "the uninstaller failed to start"
    waitfor 60 uninstaller_gone || fail "the uninstaller did not end"
}
uninstaller_gone() { [ -z "$(wine_pids '~nsu')" ]; }
removed_keeping() {
    local before=$1
    [ ! -e "$INSTDIR" ] || fail "left in $INSTDIR: $(find "$INSTDIR" | head -5 | tr '\n' ' ')"
    [ ! -e "$LINK" ] || fail "the shortcut is still there"
    ! logon_value >/dev/null || fail "the Run value is still there"
    ! wine_reg "$APPROVED_KEY" Tovrin >/dev/null || fail "Task Manager's switch is still there"
    ! wine_reg "$UNINSTALL_KEY" DisplayName >/dev/null || fail "the entry is still there"
    ! wine64 uninstaller --list 2>/dev/null | grep -q '|||Tovrin' || fail "Wine's list still shows Tovrin"
    [ "$(snapshot "$USER_DIR/Base")" = "$before" ] || fail "%APPDATA%\\Tovrin\\Base changed"
}

# ---- 1. the first install, silently ----------------------------------------------------------
install_silently "$SETUP"
[ "$RC" -eq 0 ] || fail "silent install: exit code $RC"
installed_from "$FOLDER"
for file in default.lng english.lng Help.chm; do
    cmp -s "$SHIPPED/$file" "$USER_DIR/Base/$file" || fail "$USER_DIR/Base/$file is not the shipped one"
done
[ "$(find "$USER_DIR/Base" -type f | wc -l)" -eq 3 ] ||
    fail "the user's Base holds $(find "$USER_DIR/Base" | tr '\n' ' ')"
[ -f "$LINK" ] || fail "no shortcut $LINK"
entry_shows "$VERSION"
! logon_value >/dev/null || fail "a first install turned the start at logon on unasked"
LOGON_COMMAND="\"$(wine_path "$INSTDIR")\\tovrin-logon.exe\""
ok "silent install: the program folder in $INSTDIR, texts and help in $USER_DIR/Base, shortcut, entry $VERSION, no Run value"

# ---- 2. from the shortcut ---------------------------------------------------------------------
give_reminders
start_from_shortcut shortcut-start
wine_exit_from_menu
ok "from the shortcut: runs in %APPDATA%\\Tovrin, current messages of its store; Exit"

# ---- 3. through the pages: start at logon on ---------------------------------------------------
run_installer options-off
! ticked 'Start Tovrin when I log on' || fail "the start at logon shows on"
control_containing "$(wine_path "$USER_DIR")\\Base" >/dev/null || fail "the page does not say where the reminders live"
press_control 'Start Tovrin when I log on'
waitfor 3 ticked 'Start Tovrin when I log on' || fail "the box did not take the tick"
finish_installer start
wine_started 'tovrin\.exe'
started_in_user_folder finish-start
expect_logon_on
wine_exit_from_menu
ok "through the pages: start at logon ticked, Run value $LOGON_COMMAND; the last page started Tovrin there"

# ---- 4. a logon ----------------------------------------------------------------------------------
own_texts=$(sha256sum <"$USER_DIR/Base/default.lng")
rm "$USER_DIR/Base/english.lng"
wine_stop
wine_start
wine_started 'tovrin\.exe'
started_in_user_folder logon-start
cmp -s "$SHIPPED/english.lng" "$USER_DIR/Base/english.lng" || fail "the deleted english.lng is not back"
[ "$(sha256sum <"$USER_DIR/Base/default.lng")" = "$own_texts" ] || fail "the user's default.lng was replaced"
wine_exit_from_menu
ok "at logon: Tovrin runs in %APPDATA%\\Tovrin; a deleted text is back, the user's own is kept"

# ---- 5. Task Manager's switch ------------------------------------------------------------------
switched_off=030000000102030405060708
wine64 reg add "$APPROVED_KEY" /v Tovrin /t REG_BINARY /d "$switched_off" /f >/dev/null
install_silently "$SETUP"
[ "$RC" -eq 0 ] || fail "silent reinstall: exit code $RC"
expect_logon_on
[ "$(wine_reg "$APPROVED_KEY" Tovrin)" = "$switched_off" ] || fail "the silent install undid Task Manager's switch"
run_installer options-switched-off
! ticked 'Start Tovrin when I log on' || fail "a start switched off in Task Manager shows on"
control_containing "switched off in Task Manager" >/dev/null || fail "the page does not say it is switched off"
press_control 'Start Tovrin when I log on'
waitfor 3 ticked 'Start Tovrin when I log on' || fail "the box did not take the tick"
finish_installer no-start
expect_logon_on
! wine_reg "$APPROVED_KEY" Tovrin >/dev/null || fail "ticking the box left Task Manager's switch off"
ok "switched off in Task Manager: kept by a silent install, shown off on the page, cleared by a tick"

# ---- 6. removal ------------------------------------------------------------------------------------
wine64 reg add "$APPROVED_KEY" /v Tovrin /t REG_BINARY /d 020000000000000000000000 /f >/dev/null
kept=$(snapshot "$USER_DIR/Base")
uninstall_silently
removed_keeping "$kept"
ok "removed: folder, shortcut, Run value, switch, entry; %APPDATA%\\Tovrin\\Base as it was"

# ---- 7. an upgrade over an older install -------------------------------------------------------
OLD=$W/old/Tovrin
mkdir -p "$W/old"
cp -r "$FOLDER" "$OLD"
printf '; the texts of 3.2.0\r\n' >>"$OLD/Base/english.lng"
printf 'older help' >>"$OLD/Base/Help.chm"
touch -d '2025-06-01 12:00' "$OLD/Base/Help.chm"
TOVRIN_NSIS_COMPRESSOR=zlib "$TOVRIN_SOURCE_DIR/dist/windows/make-installer" "$OLD" "$LOGON" 3.2.0 \
    "$W/old/tovrin-3.2.0-setup.exe" >"$W/old-installer.log" 2>&1 || fail "cannot make the older installer"
rm -rf "$USER_DIR"
install_silently "$W/old/tovrin-3.2.0-setup.exe" /AUTOSTART=1
[ "$RC" -eq 0 ] || fail "the older version's install: exit code $RC"
installed_from "$OLD"
entry_shows 3.2.0
expect_logon_on
cmp -s "$OLD/Base/Help.chm" "$USER_DIR/Base/Help.chm" || fail "the older install gave the user another help"
# The user at work with it: reminders, settings, their own texts.
give_reminders
cp "$TOVRIN_SOURCE_DIR/tests/data/settings/seven_days_no_confirm.ini" "$USER_DIR/Base/tovrin.ini"
before=$(snapshot "$USER_DIR/Base" | grep -v ' \./Help\.chm$')
install_silently "$SETUP"
[ "$RC" -eq 0 ] || fail "the upgrade: exit code $RC"
installed_from "$FOLDER"
entry_shows "$VERSION"
expect_logon_on
[ "$(snapshot "$USER_DIR/Base" | grep -v ' \./Help\.chm$')" = "$before" ] ||
    fail "the upgrade changed the user's reminders, settings or texts"
cmp -s "$SHIPPED/Help.chm" "$USER_DIR/Base/Help.chm" || fail "the upgrade left the older help"
[ "$(find "$MENU_DIR" -iname 'tovrin*.lnk' | wc -l)" -eq 1 ] || fail "shortcuts: $(find "$MENU_DIR" -iname 'tovrin*')"
start_from_shortcut upgraded-start
ok "upgraded 3.2.0 to $VERSION: reminders, settings, texts kept; new program folder and help; one entry; logon start kept"

# ---- 8. not while Tovrin runs --------------------------------------------------------------------
installed=$(snapshot "$INSTDIR")
install_silently "$SETUP"
[ "$RC" -eq 2 ] || fail "an upgrade while Tovrin runs: exit code $RC"
[ "$(snapshot "$INSTDIR")" = "$installed" ] || fail "an upgrade while Tovrin runs changed its folder"
alive "$APP" || fail "Tovrin ended"
wine_exit_from_menu
kept=$(snapshot "$USER_DIR/Base")
uninstall_silently
removed_keeping "$kept"
ok "an upgrade while Tovrin runs: exit code 2, nothing changed; removed after Exit, reminders kept"
echo "PASS total $(el) ms"
