# shellcheck shell=bash
# Wine as the Windows build's tests use it, for scripts/test-windows and the end-to-end runs under
# Wine (tests/e2e/wine_lib.sh):
#   wine_env PREFIX        exports what every program under Wine needs, the prefix PREFIX
#   wine_prepare_prefix    makes the prefix when it is missing (about 25 s), and gives it the
#                          faces Windows programs expect
#   wine_start_services    starts Wine's own services for this prefix, on $DISPLAY when set
#   wine_stop              ends every Wine program of the prefix, and its server
# Debian keeps wine64 and wineserver in /usr/lib/wine (the "wine" package adds the wrappers).

wine_env() {
    export PATH=$PATH:/usr/lib/wine
    # No debug chatter, and no offer to install Wine's .NET and HTML engines.
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$1
}

wine_prepare_prefix() {
    if [ ! -d "$WINEPREFIX/drive_c" ]; then
        echo "wine: preparing the prefix $WINEPREFIX"
        wine64 wineboot --init >/dev/null 2>&1 </dev/null || true
        wineserver -w
    fi
    # The dialog face Windows names for menus and boxes (MS Shell Dlg) is Tahoma. Wine ships one
    # (fonts-wine) but leaves it out of a new prefix, and Qt's menus and boxes would fall back to
    # whatever serif face the machine has.
    local face
    for face in tahoma.ttf tahomabd.ttf; do
        if [ -e "/usr/share/wine/fonts/$face" ] && [ ! -e "$WINEPREFIX/drive_c/windows/Fonts/$face" ]; then
            cp "/usr/share/wine/fonts/$face" "$WINEPREFIX/drive_c/windows/Fonts/"
        fi
    done
}

# Started here, outside any test: started by a program under test, the services would inherit its
# output, and whoever waits for that output (ctest) would wait on them long after the program
# ended. The desktop process that holds the notification area comes up on this run's screen.
wine_start_services() {
    wineserver -p 2>/dev/null || true # one may run already
    wine64 wineboot >/dev/null 2>&1 </dev/null || true
}

wine_stop() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
