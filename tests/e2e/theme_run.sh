#!/usr/bin/env bash
# The windows as users of a dark or a high-contrast desktop see them. The program starts three
# times on one store, each time with a due yearly reminder (so the current messages show at
# start), a once and a daily one (so the editor's list shows both clocks):
#  - light: no colour scheme, today's look, every window the same to the pixel as always;
#  - dark: the theme tool qt6ct (QT_QPA_PLATFORMTHEME=qt6ct) with its "darker" scheme;
#  - contrast: the same tool with a scheme of black windows, white text and yellow selection.
# Each time the current messages, the editor (pane, list, caption bars, the keyboard's focus frame)
# and the about page (the link) are photographed, and the ratio of what is drawn to what is behind
# it is measured; under the two schemes every one must read at 4.5:1 at least.
# Needs: Xvfb, trayer, xdotool, xwininfo, xprop, import, libfaketime, qt6ct.
# Environment: TOVRIN_BIN, MAKE_STORE, E2E_CONTRAST_PROBE, TOVRIN_SOURCE_DIR; E2E_ARTIFACTS for the
# screenshots (ratios.txt beside them lists every measure).
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/e2e_lib.sh"
MAKE_STORE=${MAKE_STORE:?}
PROBE=${E2E_CONTRAST_PROBE:?}
: "${TOVRIN_SOURCE_DIR:?}"
e2e_init
e2e_need_tools
: >"$ART/ratios.txt"
QT6CT_PLUGIN=$(find /usr/lib -path '*platformthemes/libqt6ct.so' 2>/dev/null | head -1)
if [ -z "$QT6CT_PLUGIN" ] || [ ! -e /usr/share/qt6ct/colors/darker.conf ]; then
    fail "missing qt6ct (scripts/setup test)"
fi

# The light run's windows as they have always looked with the fonts scripts/setup installs:
# checksums of the current messages, the editor and the about page (empty: not compared).
LIGHT_NOTIFY=${LIGHT_NOTIFY-50c6517b53d4701e}
LIGHT_EDITOR=${LIGHT_EDITOR-e571067dfccc7a31}
LIGHT_ABOUT=${LIGHT_ABOUT-16c3f45b3b133d64}

e2e_start_desktop
RUN=$W/run
mkdir -p "$RUN/Base"
e2e_language_file "$RUN/Base"
e2e_own_copy "$TOVRIN_BIN"
"$MAKE_STORE" "$RUN/Base/ztovrin.dat" \
    yearly 2020-12-08 09:00 "Mother's birthday: call and order flowers" \
    once 2026-12-08 18:15 "Dentist at a quarter past six" \
    daily 2026-12-01 08:00 "Take the morning pills"
cd "$RUN"

# A high-contrast scheme in the tool's format (roles: window text, button, light, midlight, dark,
# mid, text, bright text, button text, base, window, shadow, highlight, highlighted text, link,
# visited link, alternate base, none, tooltip base, tooltip text, placeholder text).
HC=$W/contrast.conf
row='#ffffffff, #ff000000, #ffffffff, #ff808080, #ff808080, #ff808080, #ffffffff, #ffffff00, #ffffffff, #ff000000, #ff000000, #ffffffff, #ffffff00, #ff000000, #ffffff00, #ff00ffff, #ff000000, #ffffffff, #ff000000, #ffffffff, #ffc0c0c0'
printf '[ColorScheme]\nactive_colors=%s\ndisabled_colors=%s\ninactive_colors=%s\n' "$row" "$row" "$row" >"$HC"

# scheme NAME: the environment a user of that scheme starts programs in.
scheme() {
    unset QT_QPA_PLATFORMTHEME XDG_CONFIG_HOME
    [ "$1" != light ] || return 0
    local file=/usr/share/qt6ct/colors/darker.conf
    [ "$1" != contrast ] || file=$HC
    export XDG_CONFIG_HOME=$W/config-$1 QT_QPA_PLATFORMTHEME=qt6ct
    mkdir -p "$XDG_CONFIG_HOME/qt6ct"
    printf '[Appearance]\ncolor_scheme_path=%s\ncustom_palette=true\nstyle=Fusion\nstandard_dialogs=default\n' \
        "$file" >"$XDG_CONFIG_HOME/qt6ct/qt6ct.conf"
}

# measure SCHEME KIND SHOT MODE X Y W H [BACK]: one ratio, logged and kept.
WORST=()
measure() {
    local v
    v=$("$PROBE" "$ART/$3.png" "$4" "$5" "$6" "$7" "$8" ${9:+"$9"}) || fail "cannot measure $3"
    printf '%-8s %-18s %s\n' "$1" "$2" "$v" >>"$ART/ratios.txt"
    ok "$1: $2 $v:1"
    [ "$1" = light ] || awk -v v="$v" 'BEGIN {exit !(v >= 4.5)}' || WORST+=("$1 $2 $v")
}
sum() { "$PROBE" "$ART/$1.png" sum "$2" "$3" "$4" "$5"; }
# A window's client area on the screen: X Y WIDTH HEIGHT, no window manager framing it.
rest_pointer() { xdotool mousemove --sync 5 5 && sleep 0.4; }

one_run() {
    local s=$1 nw ed n
    scheme "$s"
    e2e_start_faked "2026-12-08 10:00:00" "$W/app-$s.log" "$OWN_BIN"
    notify() { window_named "$APP" "$(lng Notify 2)"; }
    waitfor 15 notify || fail "$s: no current messages at start"
    waitfor 15 desktop_icon_id || fail "$s: no tray icon"
    nw=$(notify)
    sleep 0.5
    abs_geom "$nw"
    rest_pointer
    shot "$s-1-notify"
    n=$(sum "$s-1-notify" "$X" "$Y" "$WIDTH" "$HEIGHT")
    # The caption bar, 26 high; the list's rows, 32 high, from its top edge at 31 (its frame 1).
    measure "$s" bar-text "$s-1-notify" text $((X + 8)) "$Y" 300 26
    measure "$s" messages-heading "$s-1-notify" text $((X + 2)) $((Y + 32)) $((WIDTH - 10)) 32
    measure "$s" messages-text "$s-1-notify" text $((X + 2)) $((Y + 64)) $((WIDTH - 10)) 32
    close_window "$nw"

    menu_command 3 editor_shown || fail "$s: no editor from the tray menu"
    ed=$(editor_shown)
    sleep 0.5
    abs_geom "$ed"
    EX=$X EY=$Y
    # The keyboard brings its focus marks: Tab from the list to the pane.
    xdotool windowfocus --sync "$ed" 2>/dev/null || true
    press Tab
    rest_pointer
    shot "$s-2-editor"
    LAST_EDITOR=$(sum "$s-2-editor" "$EX" "$EY" "$WIDTH" "$HEIGHT")
    # The pane (2, 32), 125 x 259: its first header's name, its second item's caption, the left
    # side of the focus frame round that item, the list's two clocks (the daily reminder's in the
    # first row, the once one's in the third).
    measure "$s" pane-header "$s-2-editor" text $((EX + 5)) $((EY + 34)) 118 17
    measure "$s" pane-caption "$s-2-editor" text $((EX + 5)) $((EY + 157)) 118 15
    measure "$s" focus-frame "$s-2-editor" text $((EX + 41)) $((EY + 75)) 7 20
    measure "$s" bar-text "$s-2-editor" text $((EX + 8)) "$EY" 300 27
    LIST_BACK=$(convert "$ART/$s-2-editor.png" -format "%[hex:u.p{$((EX + 135)),$((EY + 53))}]" info: | cut -c1-6)
    measure "$s" clock-daily "$s-2-editor" outline $((EX + 135)) $((EY + 53)) 10 10 "$LIST_BACK"
    measure "$s" clock-once "$s-2-editor" outline $((EX + 135)) $((EY + 86)) 10 10 "$LIST_BACK"

    # The second folder's header at the pane's bottom, then its third item, About.
    click $((EX + 60)) $((EY + 32 + 259 - 10))
    sleep 0.3
    click $((EX + 60)) $((EY + 32 + 40 + 8 + 128 + 16))
    waitfor 10 about_shown || fail "$s: no about page"
    rest_pointer
    shot "$s-3-about"
    LAST_ABOUT=$(sum "$s-3-about" "$EX" "$EY" "$WIDTH" "$HEIGHT")
    measure "$s" link "$s-3-about" text $((EX + 136 + 43)) $((EY + 34 + 110)) 200 16
    [ "$s" != light ] || {
        LAST_NOTIFY=$n
        [ -z "$LIGHT_NOTIFY" ] || [ "$n" = "$LIGHT_NOTIFY" ] || fail "light: the current messages look different ($n)"
        [ -z "$LIGHT_EDITOR" ] || [ "$LAST_EDITOR" = "$LIGHT_EDITOR" ] || fail "light: the editor looks different ($LAST_EDITOR)"
        [ -z "$LIGHT_ABOUT" ] || [ "$LAST_ABOUT" = "$LIGHT_ABOUT" ] || fail "light: the about page looks different ($LAST_ABOUT)"
        ok "light: sums $LAST_NOTIFY $LAST_EDITOR $LAST_ABOUT"
    }
    kill "$APP"
    waitfor 10 gone "$APP" || fail "$s: the program did not end"
    reap "$APP" || true
}
editor_shown() { window_named "$APP" 'Tovrin'; }
about_shown() { shot probe-about && [ "$("$PROBE" "$ART/probe-about.png" text $((EX + 136 + 43)) $((EY + 34 + 110)) 200 16)" != 0.00 ]; }

for s in light dark contrast; do one_run "$s"; done
rm -f "$ART/probe-about.png"
[ ${#WORST[@]} -eq 0 ] || fail "below 4.5:1: ${WORST[*]}"
echo "PASS total $(el) ms"
