#!/usr/bin/env bash
# Screenshots of the controls gallery under Xvfb, to look at: plain, hovered, scrolled, the tray
# menu, and the stand-in window on a desktop without a tray that gives way once a tray appears.
#   tests/controls/gallery_shots.sh <build dir> <output dir>
set -euo pipefail
BUILD=${1:?build dir}; OUT=${2:?output dir}; APP=$BUILD/tests/controls/controls_gallery
mkdir -p "$OUT"; W=$(mktemp -d /tmp/gallery.XXXXXX)
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$W/rt; mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS
PIDS=()
cleanup() { for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null; rm -rf "$W"; }
trap cleanup EXIT
waitfor() { local end=$(( $(date +%s) + $1 )); shift
  until "$@" >/dev/null 2>&1; do [ "$(date +%s)" -lt "$end" ] || return 1; sleep 0.1; done; }
shot() { sleep 0.4; import -window root "$OUT/$1.png"; echo "shot $1"; }
panel_id() { xwininfo -root -tree | awk '!f && /\("panel" "trayer"\)/{print $1; f=1} END{exit !f}'; }
icon_id() { xwininfo -tree -id "$(panel_id)" | awk '!f && /controls_gallery/{print $1; f=1} END{exit !f}'; }
gallery_up() { xdotool search --onlyvisible --name '^Controls gallery$'; }
fallback_up() { xdotool search --onlyvisible --name '^Tovrin: '; }
start_trayer() { trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
  --SetPartialStrut true --transparent false >"$W/trayer.log" 2>&1 & TRAYER=$!; PIDS+=("$TRAYER"); }

exec 5>"$W/dpy"; Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$W/xvfb.log" 2>&1 &
PIDS+=($!); exec 5>&-
waitfor 5 test -s "$W/dpy"; export DISPLAY=:$(cat "$W/dpy")

# 1. No notification area: the stand-in window offers the menu; a tray appears and takes over.
"$APP" >"$W/app1.log" 2>&1 & APP1=$!; PIDS+=("$APP1")
waitfor 5 gallery_up && waitfor 5 fallback_up
shot no-tray
eval "$(xdotool getwindowgeometry --shell "$(fallback_up)")"
xdotool mousemove --sync $((X + 20)) $((Y + 20)) click 1
shot no-tray-menu
xdotool key Escape
start_trayer; waitfor 5 panel_id; waitfor 6 icon_id
waitfor 4 sh -c '! xdotool search --onlyvisible --name "^Tovrin: "'
shot tray-arrived
kill "$APP1"; wait "$APP1" 2>/dev/null || true

# 2. With the tray: the gallery, hover, scrolling and the tray menu.
"$APP" >"$W/app2.log" 2>&1 & APP2=$!; PIDS+=("$APP2")
waitfor 5 gallery_up; waitfor 6 icon_id
xdotool mousemove --sync 700 600; shot gallery
xdotool mousemove --sync 64 150; shot hover-item
xdotool mousemove --sync 64 280; shot hover-header
xdotool mousemove --sync 240 193 click 1 sleep 0.2 click 1; xdotool mousemove --sync 700 600
shot scrolled
eval "$(xdotool getwindowgeometry --shell "$(icon_id)")"
xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
shot tray-menu
xdotool key Escape
cat "$W/app1.log" "$W/app2.log"
