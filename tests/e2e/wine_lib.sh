# shellcheck shell=bash
# shellcheck disable=SC2034 # APP, MENU_DIR and the folders are for the sourcing script
# The Windows program under Wine in the end-to-end runs, on top of e2e_lib.sh (source that first,
# then this, then call e2e_init and wine_init):
#
#   wine_init             Wine's environment, the prefix E2E_WINEPREFIX (scripts/test-windows
#                         keeps one for the suite; default a fresh one of the run's own), and its
#                         server ended when the script exits
#   wine_start            after e2e_start_screen: Wine's services on this run's screen, so its
#                         notification area docks into this run's trayer
#   wine_own_folder DIR   a copy of the program folder DIR in $W/win, its path in WIN: a program
#                         file of the run's own, which meets no other run's single-instance marker
#   wine_path FILE        FILE as the Windows program names it (Z:\...)
#   wine_user_folders     the user's folders of the prefix as Linux paths: APPDATA_DIR (%APPDATA%),
#                         LOCALAPPDATA_DIR (%LOCALAPPDATA%), MENU_DIR (the Start menu's Programs)
#   wine_reg KEY NAME     the data of a registry value (REG_BINARY as hex digits); fails when
#                         there is none
#   wine_pids PATTERN     the processes of this prefix whose command line matches PATTERN
#   wine_started PATTERN  waits for the one process of this prefix matching PATTERN that the shell
#                         started for us (a shortcut, a Run value), and sets APP to it
#   wine_exit_from_menu   Exit from the tray menu of APP: it ends, and its icon goes
#
# Wine's notification area is a window of explorer.exe that docks one small XEmbed window per icon
# into trayer's panel, so icon_id finds the icon of that process there as well as Tovrin's own.
# A program started with `wine64` keeps the process id it was started with, so APP, window_named
# and menu_id work on it as on the Linux program.
# Environment read: E2E_WINEPREFIX.

# shellcheck source-path=SCRIPTDIR
. "$(dirname "${BASH_SOURCE[0]}")/../support/wine.sh"

wine_init() {
    wine_env "${E2E_WINEPREFIX:-$W/prefix}"
    # One server per screen: its desktop process stays on the screen it met first.
    wine_stop
    wine_prepare_prefix >>"$W/wine.log" 2>&1
    trap 'wine_stop; e2e_cleanup' EXIT
}

wine_start() {
    wine_start_services >>"$W/wine.log" 2>&1
}

wine_own_folder() {
    WIN=$W/win
    cp -r "$1" "$WIN" || fail "cannot copy the program folder $1"
}

wine_path() { wine64 winepath -w "$1" 2>/dev/null | tr -d "\r"; }

# The program's icon: Linux Tovrin's own window, or the one Wine's explorer.exe docks for it.
icon_id_once() {
    xwininfo -tree -id "$(panel_id)" |
        awk '!f && (index($0, "(\"tovrin\"") || index($0, "(\"explorer.exe\"")) {print $1; f=1} END {exit !f}'
}
icon_count() {
    xwininfo -tree -id "$(panel_id)" | grep -c '("tovrin"\|("explorer.exe"' || true
}

wine_user_folders() {
    local name
    for name in APPDATA LOCALAPPDATA; do
        # winepath names them through dosdevices/c:, a link to drive_c.
        printf -v "${name}_DIR" '%s' "$(readlink -f "$(wine64 winepath -u "$(wine64 cmd /c echo "%$name%" | tr -d '\r')" 2>/dev/null)")"
    done
    MENU_DIR="$APPDATA_DIR/Microsoft/Windows/Start Menu/Programs"
    if [ ! -d "$APPDATA_DIR" ] || [ ! -d "$LOCALAPPDATA_DIR" ]; then
        fail "the prefix's user folders are not there"
    fi
}

wine_reg() {
    local out
    out=$(wine64 reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
    awk -v name="$2" '{
        i = index($0, "    " name "    REG_"); if (i != 1) next
        rest = substr($0, length(name) + 9); sub(/^REG_[A-Z_]+    /, "", rest); print rest; found = 1
    } END {exit !found}' <<<"$out"
}

wine_pids() {
    local p
    for p in $(pgrep -f -- "$1"); do
        tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$p"
    done
    return 0
}

wine_started() {
    waitfor 30 wine_one "$1" || fail "no one process matching $1 started: $(wine_pids "$1" | tr '\n' ' ')"
    APP=$(wine_pids "$1")
}
wine_one() { [ "$(wine_pids "$1" | wc -l)" -eq 1 ]; }

# A menu clicked while Wine still places it can lose the click (seen on a loaded machine): the
# click waits for it to stand still, and a user's third try is allowed for.
wine_exit_from_menu() {
    local try
    for try in 1 2 3; do
        open_desktop_menu
        waitfor 2 not_moving "$MENU" || true
        abs_geom "$MENU"
        click $((X + WIDTH / 2)) $((Y + HEIGHT * 7 / 8))
        waitfor 10 gone "$APP" && break
        [ "$try" -lt 3 ] || fail "Exit did not end the program"
        echo "note $(el) ms: Exit did not take; again" >&2
        xdotool key Escape 2>/dev/null || true
    done
    waitfor 5 icon_gone || fail "tray icon still there"
}
