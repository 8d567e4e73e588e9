#!/usr/bin/env bash
# The installed tree as a user gets it, installed under a prefix with a blank in its name:
#  1. exactly the files the package is made of, the menu entry valid and naming the installed
#     launcher, the icons at the sizes their folders promise;
#  2. a first start through the installed launcher runs the installed program in the user's data
#     folder and seeds Base/ from the installed texts and help (Help.chm and its HTML pages); the
#     English texts copied over default.lng are what tovrin-cli then reads;
#  3. tovrin-autostart turns the login entry on and off, and tells which.
# Environment: TOVRIN_BUILD_DIR, a built tree; TOVRIN_SOURCE_DIR.
set -euo pipefail
BUILD=${TOVRIN_BUILD_DIR:?}
W=$(mktemp -d /tmp/tovrin-install.XXXXXX)
APP=
cleanup() {
    [ -n "$APP" ] && kill "$APP" 2>/dev/null || true
    rm -rf "$W"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
. "$(dirname "$0")/../support/launched_app.sh"
ok() { echo "ok   $*"; }

# 1. The installed files.
P="$W/my apps"
cmake --install "$BUILD" --prefix "$P" >"$W/install.log" 2>&1 || fail "install: $(cat "$W/install.log")"
expected=(
    bin/tovrin bin/tovrin-autostart bin/tovrin-cli libexec/tovrin/tovrin
    share/applications/tovrin.desktop share/doc/tovrin/changelog.gz share/doc/tovrin/copyright
    share/man/man1/tovrin-autostart.1.gz share/man/man1/tovrin-cli.1.gz share/man/man1/tovrin.1.gz
    share/tovrin/Help.chm share/tovrin/default.lng share/tovrin/english.lng
)
for page in editor index modes notice record settings tray; do
    expected+=("share/tovrin/help/$page.html")
done
expected+=(share/tovrin/help/style.css)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/tovrin.png")
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$P" && find . -type f -printf '%P\n' | sort) ||
    fail "installed files differ from the list above (< missing, > unexpected)"
for program in bin/tovrin bin/tovrin-autostart bin/tovrin-cli libexec/tovrin/tovrin; do
    [ -x "$P/$program" ] || fail "$program is not executable"
done
ok "installed ${#expected[@]} files, and only those"

# The width and height stand in the PNG header, big-endian, at bytes 16 to 23.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $3 * 256 + $4 "x" $7 * 256 + $8}'; }
for dir in "$P"/share/icons/hicolor/*/apps; do
    want=$(basename "$(dirname "$dir")")
    [ "$(head -c 8 "$dir/tovrin.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
        fail "$dir/tovrin.png is not a PNG"
    [ "$(png_size "$dir/tovrin.png")" = "$want" ] ||
        fail "$dir/tovrin.png is $(png_size "$dir/tovrin.png"), not $want"
done
ok "icons are PNGs of their folders' sizes"

command -v desktop-file-validate >/dev/null || fail "missing desktop-file-validate (scripts/setup test)"
entry=$P/share/applications/tovrin.desktop
desktop-file-validate "$entry" || fail "menu entry not valid"
# The blank in the prefix makes the entry quote the path.
[ "$(sed -n 's/^Exec=//p' "$entry")" = "\"$P/bin/tovrin\"" ] ||
    fail "menu entry runs $(sed -n 's/^Exec=//p' "$entry")"
grep -qx 'Icon=tovrin' "$entry" || fail "menu entry has another icon"
ok "menu entry valid, runs the installed launcher"

# 2. A first start through the installed launcher, as the menu entry starts it.
export XDG_DATA_HOME=$W/data XDG_RUNTIME_DIR=$W/rt HOME=$W/home
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$HOME"
start_launched "$P/bin/tovrin"
data=$XDG_DATA_HOME/tovrin
[ "$(readlink "/proc/$APP/exe")" = "$P/libexec/tovrin/tovrin" ] ||
    fail "running $(readlink "/proc/$APP/exe"), not the installed program"
[ "$(readlink "/proc/$APP/cwd")" = "$data" ] || fail "running in $(readlink "/proc/$APP/cwd")"
cmp -s "$data/Base/default.lng" "$P/share/tovrin/default.lng" || fail "texts not seeded"
cmp -s "$data/Base/Help.chm" "$P/share/tovrin/Help.chm" || fail "help not seeded"
diff -r "$data/Base/help" "$P/share/tovrin/help" >/dev/null || fail "the help's pages not seeded"
[ -f "$data/Base/tovrin.ini" ] || fail "settings not made in the data folder"
stop_launched
ok "first start ran $P/libexec/tovrin/tovrin in $data, seeded from the installed files"

cp "$P/share/tovrin/english.lng" "$data/Base/default.lng"
start_launched "$P/bin/tovrin"
stop_launched
cmp -s "$data/Base/default.lng" "$P/share/tovrin/english.lng" || fail "the English texts were replaced"
title=$(cd "$data" && "$P/bin/tovrin-cli" lang About 1) || fail "tovrin-cli lang failed"
[ "$title" = "About Tovrin" ] || fail "tovrin-cli read '$title'"
ok "English texts kept across a start; tovrin-cli reads them: $title"

# 3. Starting at login: off until turned on, and off again.
AUTO=$P/bin/tovrin-autostart
auto_rc() { # auto_rc EXPECTED ARGS...: the output, failing on another exit status
    local want=$1 rc=0 out
    shift
    out=$("$AUTO" "$@" 2>&1) || rc=$?
    [ "$rc" -eq "$want" ] || fail "tovrin-autostart $* exited $rc, not $want: $out"
    printf '%s\n' "$out"
}
unset XDG_CONFIG_HOME
login=$HOME/.config/autostart/tovrin.desktop
[ "$(auto_rc 1 status)" = off ] || fail "autostart on by default"
[ ! -e "$HOME/.config" ] || fail "status wrote into the home folder"
auto_rc 0 on >/dev/null
[ "$(auto_rc 0 status)" = on ] || fail "status after on"
desktop-file-validate "$login" || fail "autostart entry not valid"
[ "$(grep '^Exec=' "$login")" = "$(grep '^Exec=' "$entry")" ] || fail "autostart runs another command"
grep -qxF "TryExec=$P/bin/tovrin" "$login" || fail "autostart entry does not check for the launcher"
[ -z "$(find "$HOME/.config/autostart" -name '.tovrin*')" ] || fail "a temporary file was left"
echo 'Hidden=true' >>"$login" # how a desktop's start-up settings switch an entry off
[ "$(auto_rc 1 status)" = off ] || fail "an entry the desktop switched off counts as on"
auto_rc 0 on >/dev/null
[ "$(auto_rc 0 status)" = on ] || fail "on did not replace the switched-off entry"
auto_rc 0 off >/dev/null
[ ! -e "$login" ] || fail "off left the entry"
[ "$(auto_rc 1 status)" = off ] || fail "status after off"
auto_rc 0 off >/dev/null
ok "autostart: off by default, on, switched off by the desktop, on again, off, off again"

XDG_CONFIG_HOME=$W/config auto_rc 0 on >/dev/null
[ -f "$W/config/autostart/tovrin.desktop" ] || fail "XDG_CONFIG_HOME not used"
(cd "$W" && XDG_CONFIG_HOME=relative auto_rc 0 on >/dev/null) # a relative one is ignored
[ ! -e "$W/relative" ] && [ -f "$login" ] || fail "a relative XDG_CONFIG_HOME was used"
auto_rc 0 off >/dev/null
for args in "" "start" "on off"; do
    # grep reads to the end: with -q it may leave early and fail the pipe with SIGPIPE.
    # shellcheck disable=SC2086
    usage=$(auto_rc 2 $args)
    # Matched apart from the pipe, so grep leaving early never fails the command that writes.
    grep -q '^usage:' <<<"$usage" || fail "no usage for '$args'"
done
ok "autostart: XDG_CONFIG_HOME honoured when absolute; usage for anything else"
echo "PASS"
