#!/usr/bin/env bash
# The portable zip under Wine, as someone who keeps programs on a stick meets it:
#  1. unpacked into a folder whose path has a space: one Tovrin folder, holding the program
#     folder byte for byte and nothing else;
#  2. tovrin.exe started where it lies, with reminders in its Base\: the icon docks and the
#     current messages show them, the program's working folder being the unpacked one;
#  3. Exit from the tray menu; the folder moved to another place starts there the same, with its
#     reminders;
#  4. nothing of Tovrin anywhere but the folder: no %APPDATA%\Tovrin, no Start-menu entry, no
#     registry key or value naming it.
# Needs: Xvfb, trayer, xdotool, xwininfo, xprop, import, libfaketime, wine64, unzip.
# Environment: TOVRIN_WINDOWS_PACKAGE (what scripts/package-windows leaves), TOVRIN_WINDOWS_FOLDER
# (the program folder it was made from), MAKE_STORE, E2E_X_CLOSE, E2E_X_PROBE, TOVRIN_SOURCE_DIR,
# E2E_WINEPREFIX (a prefix where Tovrin was never installed); E2E_ARTIFACTS for the screenshots.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/e2e_lib.sh"
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/wine_lib.sh"
PACKAGE=${TOVRIN_WINDOWS_PACKAGE:?}
FOLDER=${TOVRIN_WINDOWS_FOLDER:?}
MAKE_STORE=${MAKE_STORE:?}
: "${TOVRIN_SOURCE_DIR:?}"
e2e_init
wine_init
e2e_need_tools wine64 wineserver unzip

ZIP=$(find "$PACKAGE" -maxdepth 1 -name 'tovrin-*-portable.zip' | head -1)
[ -f "$ZIP" ] || fail "no portable zip in $PACKAGE"
e2e_start_screen
wine_start
wine_user_folders
ok "Xvfb $DISPLAY ${SW}x${SH}, trayer, Wine's services; $(basename "$ZIP") $(stat -c %s "$ZIP") bytes"

# 1. Unpacked as a user would.
STICK="$W/USB stick"
mkdir -p "$STICK"
unzip -q "$ZIP" -d "$STICK" || fail "the zip does not unpack"
[ "$(find "$STICK" -mindepth 1 -maxdepth 1 -printf '%f\n')" = Tovrin ] ||
    fail "the zip unpacks into $(find "$STICK" -mindepth 1 -maxdepth 1 -printf '%f ') instead of one Tovrin folder"
DIR=$STICK/Tovrin
diff -r "$FOLDER" "$DIR" >"$W/diff.log" || fail "the unpacked folder differs from the program folder"
ok "unpacked into '$DIR': the program folder, byte for byte ($(find "$DIR" -type f | wc -l) files)"

# 2. Reminders for 8 December 2026 and the English texts, as the user keeps them on the stick.
e2e_language_file "$DIR/Base"
"$MAKE_STORE" "$DIR/Base/ztovrin.dat" \
    yearly 2000-12-08 09:00 "Anna's birthday" \
    monthly 2026-01-09 00:00 "Pay for the internet" || fail "cannot write the store"
cp "$DIR/Base/ztovrin.dat" "$W/store.before"

# start_here DIR SHOT: tovrin.exe started in DIR, where a double click in Explorer starts it;
# its icon, its current messages and its working folder.
start_here() {
    cd "$1"
    e2e_start_faked '2026-12-08 10:00:00' "$W/app.log" wine64 ./tovrin.exe
    cd "$W"
    waitfor 30 icon_id || fail "no tray icon"
    waitfor 15 window_named "$APP" 'Tovrin v3.3' || fail "current messages not shown"
    [ "$(readlink "/proc/$APP/cwd")" = "$1" ] || fail "working folder $(readlink "/proc/$APP/cwd")"
    sleep 0.5 # its first paint comes a moment after it maps
    shot "$2"
}
exit_from_menu() {
    wine_exit_from_menu
    reap "$APP"
    [ "$RC" -eq 0 ] || fail "exit code $RC"
}
start_here "$DIR" portable-start
ok "started where it was unpacked: icon, current messages, working folder '$DIR'"

# 3. Exit, then the whole folder carried elsewhere.
exit_from_menu
cmp -s "$DIR/Base/ztovrin.dat" "$W/store.before" || fail "the store changed"
OTHER="$W/Other stick/Programs"
mkdir -p "$OTHER"
mv "$DIR" "$OTHER/"
start_here "$OTHER/Tovrin" portable-moved
exit_from_menu
ok "moved to '$OTHER/Tovrin', it starts there with its reminders; Exit ends it"

# 4. No trace outside the folder. Wine keeps the registry in memory until its server ends.
[ ! -e "$APPDATA_DIR/Tovrin" ] || fail "a portable start made $APPDATA_DIR/Tovrin"
[ ! -e "$MENU_DIR/Tovrin.lnk" ] || fail "a portable start made a Start-menu entry"
wine_stop
if grep -il 'tovrin' "$WINEPREFIX"/*.reg >"$W/registry.log"; then
    fail "the registry names Tovrin: $(grep -i -m3 tovrin "$WINEPREFIX"/*.reg)"
fi
ok "no %APPDATA%\\Tovrin, no Start-menu entry, nothing in the registry"
echo "PASS total $(el) ms"
