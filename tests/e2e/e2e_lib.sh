# shellcheck shell=bash
# shellcheck disable=SC2034 # X Y WIDTH HEIGHT SW SH RC MENU APP are for the sourcing script
# Helpers for driving the real program as a user meets it: a virtual screen with a tray host, the
# program under a faked wall clock, polling instead of fixed sleeps, clicks, window look-ups and
# screenshots. Source it from a bash script that runs with `set -euo pipefail`, then:
#
#   e2e_init                  scratch folder $W, screenshots folder $ART, environment, clean-up
#                             (the *.log files of $W are copied to $ART at the end)
#   e2e_need_tools            fails unless the X tools, libfaketime and a font are there
#   e2e_start_screen          Xvfb and trayer; sets DISPLAY, SW and SH (the screen's size)
#   e2e_start_faked TIME LOG CMD...   CMD under a wall clock starting at TIME ("2026-12-08
#                             14:29:50", local time in $TZ), output to LOG; sets APP to its pid;
#                             fake_now_ms and fake_clock then tell what that clock reads
#   e2e_own_copy BIN          a copy of the program file BIN in $W, its path in OWN_BIN: runs
#                             side by side never meet through the single-instance check
#   press KEYS...             keys pressed and released with plain XTEST, then no key held down
#
# Needs: Xvfb, trayer, xdotool, xwininfo, xprop, import, libfaketime (scripts/setup test).
# Environment read: E2E_ARTIFACTS (screenshots; default ./artifacts), E2E_FAKETIME_LIB,
# E2E_X_CLOSE (the close_window helper), E2E_X_PROBE (keys_up and answers). Everything started is ended when the script exits.
# These names are relied on by other scripts: extend, but do not rename or change their meaning.

E2E_FAKETIME_LIB=${E2E_FAKETIME_LIB:-/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1}
PIDS=()

e2e_init() {
    T0=$(date +%s%N)
    ART=${E2E_ARTIFACTS:-$PWD/artifacts}
    mkdir -p "$ART"
    # Only this run's screenshots and logs: a fail.png left by an earlier run misleads.
    rm -f "$ART"/*.png "$ART"/*.log
    W=$(mktemp -d /tmp/tovrin-e2e.XXXXXX)
    export TZ=UTC QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$W/rt
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # Qt then uses the XEmbed tray that trayer offers; and there is no session manager to talk to.
    unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
    # Each box the program shows is written to its output, for one_language_per_box.
    export QT_LOGGING_RULES="tovrin.boxes.info=true"
    # A sanitizer build loads its runtime first; the fake clock must be allowed in after it. The
    # process-exit leak report of Qt's caches is not these runs' business, and the X keyboard
    # library copies strings by length, which the strict string check takes for an overflow.
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0:detect_leaks=0:strict_string_checks=0"
    trap e2e_cleanup EXIT
}

e2e_cleanup() {
    local p
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    # The programs' own output stays beside the screenshots, for whoever looks into a failure.
    cp "$W"/*.log "$ART"/ 2>/dev/null || true
    rm -rf "$W"
}

# xwininfo given an empty window id (a look-up that found nothing) waits for a click to choose a
# window, and the run would hang there: an empty id is refused instead.
xwininfo() {
    local previous='' arg
    for arg in "$@"; do
        if [ "$previous" = -id ] && [ -z "$arg" ]; then
            echo "xwininfo: no window id" >&2
            return 1
        fi
        previous=$arg
    done
    command xwininfo "$@"
}

# Milliseconds since e2e_init.
el() { echo $((($(date +%s%N) - T0) / 1000000)); }
ok() { printf 'ok   %6d ms  %s\n' "$(el)" "$*"; }
fail() {
    echo "FAIL $(el) ms: $*" >&2
    import -window root "$ART/fail.png" 2>/dev/null || true
    local log
    for log in "$W"/*.log; do [ -s "$log" ] && { echo "--- $log" >&2; head -40 "$log" >&2; }; done
    exit 1
}

# waitfor SECONDS CMD...: runs CMD every 100 ms until it succeeds; fails after SECONDS.
waitfor() {
    local end=$(($(date +%s%N) + $1 * 1000000000))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s%N)" -lt "$end" ] || return 1
        sleep 0.1
    done
}

# The screenshot NAME.png of the whole screen, in the artifacts folder.
shot() { import -window root "$ART/$1.png"; }

geom() { eval "$(xdotool getwindowgeometry --shell "$1")"; } # sets X Y WIDTH HEIGHT
click() { xdotool mousemove --sync "$1" "$2" click 1; }
alive() { kill -0 "$1" 2>/dev/null; }
gone() { ! kill -0 "$1" 2>/dev/null; }
# reap PID: waits for a process that has ended and sets RC to its exit code.
reap() {
    RC=0
    wait "$1" || RC=$?
}

# e2e_need_tools [MORE TOOLS...]
# shellcheck disable=SC2120 # the extra tools are optional
e2e_need_tools() {
    local tool
    for tool in Xvfb trayer xdotool xwininfo xprop import "$@"; do
        command -v "$tool" >/dev/null || fail "missing $tool (scripts/setup test)"
    done
    [ -e "$E2E_FAKETIME_LIB" ] || fail "missing libfaketime (scripts/setup test)"
    # Without any font every text would be empty boxes.
    [ "$(fc-list | wc -l)" -gt 0 ] || fail "no fonts installed"
}

# A screen of its own, 1280 x 1024, with a tray along the bottom and no window manager: windows
# then sit exactly where the program puts them.
e2e_start_screen() {
    exec 5>"$W/dpy"
    Xvfb -displayfd 5 -screen 0 "${E2E_SCREEN:-1280x1024}x24" -nolisten tcp >"$W/xvfb.log" 2>&1 &
    PIDS+=($!)
    exec 5>&-
    waitfor 10 test -s "$W/dpy" || fail "Xvfb did not start"
    DISPLAY=:$(cat "$W/dpy")
    export DISPLAY
    read -r SW SH < <(xdotool getdisplaygeometry)
    trayer --edge bottom --align right --widthtype request --height $((24 * SCALE)) --SetDockType true \
        --SetPartialStrut true --transparent false >"$W/trayer.log" 2>&1 &
    PIDS+=($!)
    waitfor 10 panel_id || fail "trayer did not start"
}

# `env` execs the command, so $! is the program itself and not a wrapper left behind.
e2e_start_faked() {
    local time=$1 log=$2
    shift 2
    FAKE_T0=$(($(date -d "$time" +%s) * 1000))
    FAKE_LAUNCH=$(date +%s%N)
    env LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME="@$time" \
        "$@" >"$log" 2>&1 &
    APP=$!
    PIDS+=("$APP")
}

# What the program's faked clock reads now, in milliseconds since the epoch. The fake clock starts
# when the program loads, a moment after the launch, so this runs at most that moment ahead.
fake_now_ms() { echo $((FAKE_T0 + ($(date +%s%N) - FAKE_LAUNCH) / 1000000)); }
# fake_clock [MS]: that reading (or MS) as HH:MM:SS.mmm.
fake_clock() {
    local ms=${1:-$(fake_now_ms)}
    printf '%s.%03d' "$(date -d "@$((ms / 1000))" +%H:%M:%S)" $((ms % 1000))
}

# The screen's keyboard layout, for example ru: text in that script then types with the layout's
# own keys, instead of xdotool rebinding a spare key for every character, which a busy program
# can read with the wrong binding.
e2e_keyboard() { setxkbmap -layout "$1" || fail "cannot set the keyboard layout $1"; }

# A listing of the window tree stops at a window that goes while it is read (another program's
# menu, a box closing), so a look-up that lists the tree tries three times.
panel_id() { thrice panel_id_once; }
panel_id_once() { xwininfo -root -tree | awk '!f && /\("panel" "trayer"\)/ {print $1; f=1} END {exit !f}'; }
thrice() { "$@" || { sleep 0.05 && "$@"; } || { sleep 0.05 && "$@"; }; }
# The program's icon, docked inside trayer's panel.
icon_id() { thrice icon_id_once; }
icon_id_once() {
    xwininfo -tree -id "$(panel_id)" | awk '!f && index($0, "(\"tovrin\"") {print $1; f=1} END {exit !f}'
}
icon_count() { xwininfo -tree -id "$(panel_id)" | grep -c '("tovrin"' || true; }
icon_gone() { ! icon_id; }
# window_named PID TITLE: a visible top-level window of that process with exactly that title.
window_named() {
    xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | head -1 | grep .
}
# menu_id [PID]: the open popup menu of the program (default $APP), an override-redirect window
# that is not the tray icon's: Qt makes that one override-redirect too.
menu_id() {
    local w icon
    icon=$(($(icon_id 2>/dev/null || echo 0)))
    for w in $(xdotool search --onlyvisible --pid "${1:-$APP}" 2>/dev/null); do
        [ "$w" -ne "$icon" ] || continue
        xwininfo -id "$w" | grep -q 'Override Redirect State: yes' && { echo "$w"; return 0; }
    done
    return 1
}
is_on_top() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }

# A left click on the tray icon; the menu that opens is MENU, its geometry in X Y WIDTH HEIGHT.
open_tray_menu() {
    geom "$(icon_id)"
    click $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    waitfor 5 menu_id "$APP" || fail "tray menu did not open"
    MENU=$(menu_id "$APP")
    geom "$MENU"
}

# e2e_program_folder: the run's folder RUN, with a Base/, and PROGRAM, the command that starts the
# program from a program file of the run's own: a copy of TOVRIN_BIN beside the folder, or on the
# wine desktop a copy of the program folder TOVRIN_WINDOWS_FOLDER, which is then RUN itself (its
# Base\ holding the shipped texts and the help), with tovrin.exe run by wine64.
e2e_program_folder() {
    if [ "$DESKTOP" = wine ]; then
        wine_own_folder "${TOVRIN_WINDOWS_FOLDER:?}"
        RUN=$WIN
        PROGRAM=(wine64 "$RUN/tovrin.exe")
    else
        RUN=$W/run
        mkdir -p "$RUN/Base"
        e2e_own_copy "${TOVRIN_BIN:?}"
        PROGRAM=("$OWN_BIN")
    fi
}

# A copy of the program file at a path of this run's own. The single-instance check tells programs
# apart by their file, so a copy is another program, and parallel runs never refuse each other.
e2e_own_copy() {
    OWN_BIN=$W/$(basename "$1")
    cp "$1" "$OWN_BIN" || fail "cannot copy $1"
}

# keys_up: true when the server holds no key down. A key left down (one whose window closed on the
# press, when the release was sent to that window) repeats into whatever has the focus next.
keys_up() {
    [ -x "${E2E_X_PROBE:-}" ] || fail "E2E_X_PROBE does not name the probe helper"
    "$E2E_X_PROBE" keys
}

# press KEYS...: through XTEST to whichever window has the focus, as a keyboard would; never aimed
# at a window, whose closing on the press could keep the release from the server.
press() {
    xdotool key "$@"
    waitfor 2 keys_up || fail "keys held down after $*: $("$E2E_X_PROBE" keys)"
}

# answers WINDOW: true when the program that owns WINDOW handles an X event within 10 seconds.
answers() {
    [ -x "${E2E_X_PROBE:-}" ] || fail "E2E_X_PROBE does not name the probe helper"
    "$E2E_X_PROBE" ping "$1" 10000
}

# What a window manager sends when the title bar's close button is pressed (WM_DELETE_WINDOW), so
# the program gets a real close it may even refuse. Needs the helper built beside the tests.
close_window() {
    [ -x "${E2E_X_CLOSE:-}" ] || fail "E2E_X_CLOSE does not name the close helper"
    "$E2E_X_CLOSE" "$1"
}

# ---- Desktops ----------------------------------------------------------------------------------
# E2E_DESKTOP picks the desktop the runs meet (default bare):
#   bare     no window manager, trayer's XEmbed tray, the C locale
#   openbox  openbox (a reparenting window manager: frames, focus, stacking) with trayer
#   sni      a StatusNotifier host over its own D-Bus session bus (status-notifier-watcher with
#            gtk-sni-tray-standalone), no XEmbed tray and no window manager
#   ru       as bare, in the ru_RU.UTF-8 locale with Qt's own texts in Russian
#   scaled   as bare, on a screen twice as large with Qt scaling everything by 2 (QT_SCALE_FACTOR):
#            SCALE is 2 there (1 elsewhere), and px N gives the screen pixels of N logical ones
#   wine     as bare, with the Windows program under Wine (wine_lib.sh), whose notification area
#            docks into trayer; the program is tovrin.exe of a copy of TOVRIN_WINDOWS_FOLDER
# e2e_start_desktop replaces e2e_start_screen for runs that take the parameter; it also sets
# DESKTOP. The icon, menu and geometry helpers below work on each.
DESKTOP=${E2E_DESKTOP:-bare}
SCALE=1
[ "$DESKTOP" != scaled ] || SCALE=2
px() { echo $(($1 * SCALE)); }

e2e_start_desktop() {
    case "$DESKTOP" in
        bare | openbox | ru) ;;
        wine)
            # shellcheck source-path=SCRIPTDIR
            . "$(dirname "${BASH_SOURCE[0]}")/wine_lib.sh"
            wine_init
            e2e_need_tools wine64 wineserver
            ;;
        scaled)
            E2E_SCREEN=2560x2048
            export QT_SCALE_FACTOR=$SCALE
            ;;
        sni) e2e_need_tools dbus-daemon dbus-send status-notifier-watcher gtk-sni-tray-standalone ;;
        *) fail "unknown desktop '$DESKTOP' (bare, openbox, sni, ru, scaled, wine)" ;;
    esac
    if [ "$DESKTOP" = ru ]; then
        locale -a | grep -qix 'ru_RU.utf-\?8' || fail "no ru_RU.UTF-8 locale (scripts/setup test)"
        export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
    fi
    if [ "$DESKTOP" != sni ]; then
        e2e_start_screen
    else
        exec 5>"$W/dpy"
        Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$W/xvfb.log" 2>&1 &
        PIDS+=($!)
        exec 5>&-
        waitfor 10 test -s "$W/dpy" || fail "Xvfb did not start"
        DISPLAY=:$(cat "$W/dpy")
        export DISPLAY
        read -r SW SH < <(xdotool getdisplaygeometry)
        e2e_start_session_bus
        # A run that shows a host coming after the program starts it itself (e2e_start_sni_host).
        [ "${E2E_SNI_LATE:-0}" = 1 ] || e2e_start_sni_host
    fi
    [ "$DESKTOP" != wine ] || wine_start
    if [ "$DESKTOP" = openbox ]; then
        e2e_need_tools openbox
        openbox --sm-disable >"$W/openbox.log" 2>&1 &
        PIDS+=($!)
        waitfor 10 wm_running || fail "openbox did not start"
    fi
}

# The window manager's check window on the root, as every EWMH window manager sets it.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

# A session bus of its own.
e2e_start_session_bus() {
    local address
    dbus-daemon --session --nofork --print-address=6 6>"$W/bus" >"$W/dbus.log" 2>&1 &
    PIDS+=($!)
    waitfor 10 test -s "$W/bus" || fail "no session bus"
    address=$(head -1 "$W/bus")
    export DBUS_SESSION_BUS_ADDRESS=$address
}

# A watcher on the session bus, and a standalone tray along the bottom showing the items the
# watcher knows.
# SNI_HOST holds their two process ids, for e2e_stop_sni_host.
e2e_start_sni_host() {
    status-notifier-watcher >>"$W/watcher.log" 2>&1 &
    SNI_HOST=($!)
    waitfor 10 sni_watcher_up || fail "status-notifier-watcher did not start"
    gtk-sni-tray-standalone --bottom --beginning --size 24 >>"$W/sni-tray.log" 2>&1 &
    SNI_HOST+=($!)
    PIDS+=("${SNI_HOST[@]}")
    waitfor 10 sni_tray_id || fail "gtk-sni-tray-standalone did not show"
}
# The host goes, as when a panel crashes or is restarted.
e2e_stop_sni_host() {
    kill "${SNI_HOST[@]}" 2>/dev/null || true
    wait "${SNI_HOST[@]}" 2>/dev/null || true
    waitfor 10 eval '! sni_watcher_up' || fail "the watcher did not go"
}
# sni_item_property NAME: a property of the program's item, as the host reads it.
sni_item_property() {
    dbus-send --session --print-reply --dest="$(sni_items | head -1)" /StatusNotifierItem \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierItem "string:$1"
}

sni_watcher_up() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher | grep -q true
}
# The items the watcher holds, one a line (service and path as the item registered them).
sni_items() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems | awk -F'"' '/string "/ {print $2}'
}
# The host's bar, 24 pixels high (its menus are windows of the same program).
sni_tray_id() {
    xwininfo -root -tree | awk '!f && /gtk-sni-tray-standalone/ && / [0-9]+x24\+/ {print $1; f=1} END {exit !f}'
}
# The menu the host draws for the item (from the item's own menu), once a right click opened it.
sni_item_menu_id() {
    local bar id geometry
    bar=$(($(sni_tray_id)))
    while read -r id geometry; do
        [ $((id)) -ne "$bar" ] || continue
        IFS='x+' read -r w h _ <<<"$geometry"
        [ "$w" -gt 50 ] && [ "$h" -gt 50 ] && { echo "$id"; return 0; }
    done < <(xwininfo -root -tree | grep 'gtk-sni-tray-standalone' |
        grep -oE '^ *0x[0-9a-f]+|[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+' | paste - -)
    return 1
}
# item_menu_command FIRST|LAST CHECK...: a right click on the item, then the first or the last
# command of the menu the host draws, until CHECK holds (a second try as menu_command has).
item_menu_command() {
    ITEM_WHICH=$1
    shift
    with_second_try "the item's menu" click_item_menu_entry "$@"
}
click_item_menu_entry() {
    local menu
    icon_centre || fail "no tray icon to click"
    xdotool mousemove --sync "$ICON_X" "$ICON_Y" click 3
    waitfor 5 sni_item_menu_id || return 1
    menu=$(sni_item_menu_id)
    waitfor 2 not_moving "$menu" || true
    abs_geom "$menu"
    shot item-menu
    if [ "$ITEM_WHICH" = first ]; then
        click $((X + WIDTH / 2)) $((Y + 15))
    else
        click $((X + WIDTH / 2)) $((Y + HEIGHT - 15))
    fi
}
# not_moving WINDOW: its place and size are the same a tenth of a second apart (a menu that is
# still sliding into place takes a click meant for one item as one for another).
not_moving() {
    local a b
    a=$(xwininfo -id "$1" | grep -E 'Absolute|Width|Height')
    sleep 0.1
    b=$(xwininfo -id "$1" | grep -E 'Absolute|Width|Height')
    [ "$a" = "$b" ]
}

# The program's icon: docked in trayer's panel, or (sni) the tray window whose first icon it is,
# for the host draws the items itself.
desktop_icon_id() {
    if [ "$DESKTOP" = sni ]; then
        [ "$(sni_items | grep -c .)" -ge 1 ] && sni_tray_id
    else
        icon_id
    fi
}
desktop_icon_count() {
    if [ "$DESKTOP" = sni ]; then sni_items | grep -c . || true; else icon_count; fi
}
desktop_icon_gone() { ! desktop_icon_id; }

# The middle of the program's icon on the screen, as ICON_X ICON_Y. The host draws its icons
# square, the height of its bar, from the start of the bar.
icon_centre() {
    local id
    id=$(desktop_icon_id) || return 1
    abs_geom "$id"
    if [ "$DESKTOP" = sni ]; then
        ICON_X=$((X + HEIGHT / 2)) ICON_Y=$((Y + HEIGHT / 2))
    else
        ICON_X=$((X + WIDTH / 2)) ICON_Y=$((Y + HEIGHT / 2))
    fi
}

# A left click on the program's icon on any of the desktops; the menu that opens is MENU, its
# geometry in X Y WIDTH HEIGHT.
open_desktop_menu() {
    icon_centre || fail "no tray icon to click"
    click "$ICON_X" "$ICON_Y"
    # A menu that opens on the press can be closed by the same click's release on a busy machine,
    # and a StatusNotifier host now and then loses a click (seen with gtk-sni-tray-standalone):
    # a user clicks again, and so does this, saying so in the log.
    if ! waitfor 5 desktop_menu_id; then
        echo "note $(el) ms: the host lost a click on the icon; clicking again" >&2
        click "$ICON_X" "$ICON_Y"
    fi
    waitfor 5 desktop_menu_id || fail "tray menu did not open"
    MENU=$(desktop_menu_id)
    abs_geom "$MENU"
}
# menu_command EIGHTHS CHECK...: opens the tray menu and clicks the item whose middle lies that
# many eighths down it (the items are of one height and the separators thin: 1, 3, 5 and 7 for
# Journal, Editor, Current messages and Exit), until CHECK holds; a second try when the menu
# went before the click landed (see open_desktop_menu), said in the log.
menu_command() {
    MENU_EIGHTHS=$1
    shift
    with_second_try "the menu's item" click_menu_item "$@"
}
click_menu_item() {
    open_desktop_menu
    click $((X + WIDTH / 2)) $((Y + HEIGHT * MENU_EIGHTHS / 8))
}
# with_second_try WHAT ACT CHECK...: ACT (open a menu and click in it), then up to 8 seconds for
# CHECK; once more, said in the log, when it did not hold.
with_second_try() {
    local what=$1 act=$2 try
    shift 2
    for try in 1 2; do
        "$act" && waitfor 8 "$@" && return 0
        [ "$try" -eq 1 ] && echo "note $(el) ms: $what did not take; again" >&2
        xdotool key Escape 2>/dev/null || true
    done
    return 1
}
# The program's open popup menu: an override-redirect window of $APP, on the root, that is not
# the icon (Qt's XEmbed icon window is override-redirect too).
desktop_menu_id() {
    local w icon
    icon=$(desktop_icon_id 2>/dev/null || echo 0)
    for w in $(xdotool search --onlyvisible --pid "$APP" 2>/dev/null); do
        [ "$w" -eq "$((icon))" ] && continue
        xwininfo -id "$w" | grep -q 'Override Redirect State: yes' && { echo "$w"; return 0; }
    done
    return 1
}

# abs_geom WINDOW: the window's own area (inside any frame) on the screen, in X Y WIDTH HEIGHT.
# xdotool reads a reparented window's place relative to its frame; xwininfo reads it absolutely.
abs_geom() {
    local info
    info=$(xwininfo -id "$1") || return 1
    X=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
    Y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
    WIDTH=$(awk '/^ *Width:/ {print $NF}' <<<"$info")
    HEIGHT=$(awk '/^ *Height:/ {print $NF}' <<<"$info")
}
# frame_geom WINDOW: the window with the window manager's frame around it (the frame extents
# it publishes), in X Y WIDTH HEIGHT; without a window manager the window itself.
frame_geom() {
    local l=0 r=0 t=0 b=0 ext
    abs_geom "$1" || return 1
    ext=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
    [ -n "$ext" ] && IFS=, read -r l r t b <<<"$ext"
    X=$((X - l)) Y=$((Y - t)) WIDTH=$((WIDTH + l + r)) HEIGHT=$((HEIGHT + t + b))
}
# frame_centred WINDOW: the window's frame is centred in the window manager's work area to the pixel
# (halving may leave one over); X Y WIDTH HEIGHT the frame, OFF_X OFF_Y its offset in half pixels.
frame_centred() {
    local ax ay aw ah
    frame_geom "$1" || return 1
    read -r ax ay aw ah < <(xprop -root _NET_WORKAREA | sed 's/.*= *//; s/,/ /g' | awk '{print $1, $2, $3, $4}')
    OFF_X=$((2 * (X - ax) + WIDTH - aw)) OFF_Y=$((2 * (Y - ay) + HEIGHT - ah))
    [ "${OFF_X#-}" -le 2 ] && [ "${OFF_Y#-}" -le 2 ]
}
# The window that has the keyboard focus, as the window manager says (_NET_ACTIVE_WINDOW), or
# the X server where there is no window manager.
focused_window() { xdotool getwindowfocus; }
# has_keys WINDOW: true when WINDOW has the keyboard.
has_keys() { [ "$(focused_window 2>/dev/null)" = "$1" ]; }
# not_shown WINDOW: the window is gone or unmapped.
not_shown() { ! xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# ---- Language ------------------------------------------------------------------------------------
# e2e_language_file BASE: gives the program the language file of the desktop's language, as a user
# would pick it (Russian on the Russian desktop, English on the others), so that its own texts and
# Qt's share a language. Sets LNG to it.
e2e_language_file() {
    local src=${TOVRIN_SOURCE_DIR:?}/res/Base
    if [ "$DESKTOP" = ru ]; then LNG=$src/default.lng; else LNG=$src/english.lng; fi
    cp "$LNG" "$1/default.lng" || fail "cannot copy $LNG"
}
# lng SECTION KEY: that text of the language file given, in UTF-8. awk reads to the end: one that
# left early could end the pipe's writers with SIGPIPE, which pipefail takes for a failure.
lng() {
    iconv -f WINDOWS-1251 -t UTF-8 "${LNG:?}" | tr -d '\r' |
        awk -v s="[$1]" -v k="$2=" '/^\[/ {in_s = ($0 == s); next}
            !done && in_s && index($0, k) == 1 {print substr($0, length(k) + 1); done = 1}'
}
# boxes_shown LOG...: the boxes the program showed, one a line: "box: caption | text | buttons".
boxes_shown() { cat "$@" 2>/dev/null | grep -a '^tovrin.boxes: box: ' | sed 's/^tovrin.boxes: //' || true; }
# one_language_per_box LOG...: fails on a box whose words mix Latin and Cyrillic letters, and
# says how many boxes it read. The program's name, file names and types (.chm), and the programs
# the help's box names (xchm, kchmviewer, xdg-open and its package) are Latin in any language.
one_language_per_box() {
    local line words count=0
    while IFS= read -r line; do
        count=$((count + 1))
        words=$(LC_ALL=C.UTF-8 sed -E 's#[^ ]*(/|[A-Za-z0-9]\.[A-Za-z])[^ ]*##g; s/[Tt]ovrin|xchm|kchmviewer|xdg-[a-z]+|\.[a-z]+//g' <<<"${line#box: }")
        if LC_ALL=C.UTF-8 grep -q '[A-Za-z]' <<<"$words" &&
            LC_ALL=C.UTF-8 grep -qP '[\x{0400}-\x{04FF}]' <<<"$words"; then
            fail "a box mixes languages: $line"
        fi
    done < <(boxes_shown "$@")
    BOXES_READ=$count
}
