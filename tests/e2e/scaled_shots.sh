#!/usr/bin/env bash
# Screenshots of Tovrin's windows at twice the scale, to look at: every window should keep its
# proportions and show its texts whole. Two ways to ask for the scale: Qt's (QT_SCALE_FACTOR=2)
# and the desktop's (Xft.dpi 192 in the X resources). Not a test.
#   tests/e2e/scaled_shots.sh BUILD_DIR OUTPUT_DIR
# Writes qt-*.png and dpi-*.png: the editor's list, new record, settings, about and delete
# question pages (from the editor gallery), and the program's current messages and journal.
set -uo pipefail
BUILD=$(cd "${1:?build dir}" && pwd)
OUT=${2:?output dir}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
export TOVRIN_SOURCE_DIR
TOVRIN_SOURCE_DIR=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/e2e_lib.sh"

shots() {
    local mode=$1 view
    E2E_ARTIFACTS=$OUT/.$mode
    e2e_init
    export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
    exec 5>"$W/dpy"
    # -noreset: the X resources must outlive the moment no client is connected.
    Xvfb -displayfd 5 -screen 0 2560x2048x24 -noreset -nolisten tcp >"$W/xvfb.log" 2>&1 &
    PIDS+=($!)
    exec 5>&-
    waitfor 10 test -s "$W/dpy" || fail "Xvfb did not start"
    DISPLAY=:$(cat "$W/dpy")
    export DISPLAY
    if [ "$mode" = dpi ]; then
        echo "Xft.dpi: 192" | xrdb -nocpp -merge
    else
        export QT_SCALE_FACTOR=2
    fi
    trayer --edge bottom --align right --widthtype request --height 48 --SetDockType true \
        --SetPartialStrut true --transparent false >"$W/trayer.log" 2>&1 &
    PIDS+=($!)
    waitfor 10 panel_id || fail "trayer did not start"
    # The gallery seeds a Base/ folder where it runs: a scratch one, not the caller's.
    mkdir -p "$W/gallery"
    cd "$W/gallery" || fail "no $W/gallery"
    for view in list new settings about delete; do
        "$BUILD/tests/ui/editor_gallery" "$view" >"$W/gallery.log" 2>&1 &
        local gallery=$!
        waitfor 10 xdotool search --onlyvisible --pid "$gallery" || fail "no gallery for $view"
        sleep 1.5
        import -window root "$OUT/$mode-$view.png"
        kill "$gallery"
        wait "$gallery" 2>/dev/null
    done
    RUN=$W/run
    mkdir -p "$RUN/Base"
    cp "$TOVRIN_SOURCE_DIR/res/Base/default.lng" "$RUN/Base/"
    "$BUILD/tests/e2e/tovrin_make_store" "$RUN/Base/ztovrin.dat" \
        once 2026-12-08 14:30 "Позвонить в поликлинику" \
        yearly 2000-12-08 09:00 "День рождения Анны" || fail "cannot write the store"
    e2e_own_copy "$BUILD/app/tovrin"
    cd "$RUN" || fail "no $RUN"
    e2e_start_faked '2026-12-08 14:29:57' "$W/app.log" "$OWN_BIN"
    waitfor 20 window_named "$APP" 'Журнал' || fail "no journal at 14:30"
    sleep 1
    import -window root "$OUT/$mode-program.png"
    echo "$mode: screenshots in $OUT"
}

(shots qt)
(shots dpi)
rm -rf "$OUT/.qt" "$OUT/.dpi"
