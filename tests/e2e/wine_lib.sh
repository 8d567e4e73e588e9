# shellcheck shell=bash
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
