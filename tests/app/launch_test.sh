#!/usr/bin/env bash
# The launcher behind the start command: it says plainly when there is no display, gives a first
# start the shipped texts in the user's data folder, never replaces the user's own, and runs the
# program there, so its files land in that folder's Base/.
set -euo pipefail
LAUNCH=${TOVRIN_LAUNCH:?}
W=$(mktemp -d /tmp/tovrin-launch.XXXXXX)
APP=
cleanup() {
    [ -n "$APP" ] && kill "$APP" 2>/dev/null || true
    rm -rf "$W"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
. "$(dirname "$0")/../support/launched_app.sh"
export XDG_DATA_HOME=$W/data XDG_RUNTIME_DIR=$W/rt
mkdir -m 700 "$XDG_RUNTIME_DIR"
LAUNCH=$(own_launcher "$LAUNCH")

# No display: a plain word and the way round it, and nothing started.
set +e
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$LAUNCH" 2>&1)
rc=$?
set -e
[ "$rc" -ne 0 ] || fail "started without a display"
grep -q 'no display' <<<"$out" || fail "no plain word: $out"
grep -q 'xvfb-run -a' <<<"$out" || fail "no xvfb-run hint: $out"
echo "ok   no display: exit $rc with the xvfb-run hint"

# A first start on a screen of its own: seeded, running in the data folder, ended by SIGTERM.
start_launched "$LAUNCH"
[ "$(readlink "/proc/$APP/exe")" = "$W/tovrin-own" ] || fail "not running this test's own copy"
base=$XDG_DATA_HOME/tovrin/Base
cmp -s "$base/default.lng" "$TOVRIN_SOURCE_DIR/res/Base/default.lng" || fail "texts not seeded"
[ -f "$base/tovrin.ini" ] || fail "settings not made in the data folder"
if [ -f "${TOVRIN_HELP:-}" ]; then
    cmp -s "$base/Help.chm" "$TOVRIN_HELP" || fail "help not seeded"
fi
stop_launched
echo "ok   first start seeded $base and ran there; SIGTERM ended it with 0"

# The user's own texts stay.
printf '; my own copy, changed by hand\r\n' >>"$base/default.lng"
start_launched "$LAUNCH"
stop_launched
grep -q 'my own copy' "$base/default.lng" || fail "user's texts replaced"
echo "ok   the user's default.lng is kept"

# A Wayland session that offers an X server too: the program runs on X, where it can place the
# journal; a platform the user chose stays. /proc tells what the program was started with.
if command -v Xvfb >/dev/null; then
    exec 5>"$W/dpy"
    Xvfb -displayfd 5 -screen 0 640x480x24 -nolisten tcp >"$W/xvfb.log" 2>&1 &
    XVFB=$!
    exec 5>&-
    for _ in $(seq 100); do [ -s "$W/dpy" ] && break; sleep 0.1; done
    [ -s "$W/dpy" ] || fail "Xvfb did not start"
    platform_of() { tr '\0' '\n' <"/proc/$APP/environ" | sed -n 's/^QT_QPA_PLATFORM=//p'; }
    rm -f "$W/ready"
    env -u QT_QPA_PLATFORM WAYLAND_DISPLAY=wayland-none XDG_SESSION_TYPE=wayland \
        DISPLAY=":$(cat "$W/dpy")" TOVRIN_READY_FD=3 "$LAUNCH" 3>"$W/ready" >"$W/app.log" 2>&1 &
    APP=$!
    for _ in $(seq 100); do grep -q ready "$W/ready" 2>/dev/null && break; sleep 0.1; done
    grep -q ready "$W/ready" || fail "not ready on XWayland's X server: $(cat "$W/app.log")"
    [ "$(platform_of)" = xcb ] || fail "a Wayland session ran on '$(platform_of)', not X"
    stop_launched
    WAYLAND_DISPLAY=wayland-none start_launched "$LAUNCH" # the caller chose offscreen
    [ "$(platform_of)" = offscreen ] || fail "the user's platform was replaced by '$(platform_of)'"
    stop_launched
    kill "$XVFB"
    wait "$XVFB" 2>/dev/null || true
    echo "ok   Wayland with an X server runs on X; a chosen platform stays"
fi
echo "PASS"
