#!/usr/bin/env bash
# A seeded random walk through the real program, as an impatient user would drive it, on a
# virtual screen with a tray host and a wall clock running ten times fast (timed reminders fire
# every few seconds, and the date changes on the way): the tray menu's four commands, the
# journal's Clear all, clicks anywhere in any of its windows (pane items, list rows, page
# buttons, boxes), keys (Enter, Escape, Delete, Tab, arrows, letters), the title bar's close on
# any window, boxes answered or left open while other commands arrive, and SIGTERM. After Exit
# or SIGTERM the program starts again on the same folder, so one walk covers many lives.
#
# It fails on a crash or any other unclean end, a sanitizer report (a window deleted under its own
# open box is named as such), a program that does not answer an X event within 10 s, a key left
# held down, or a store that `tovrin-cli check` finds unsound when a life ends.
#
#   walk.sh [SEED]     or WALK_SEED=SEED; the seed is printed first either way. The same seed
#                      makes the same choices in the same situations; the program's own timing
#                      decides the situations, so a replay usually, not always, walks the same way.
# Environment: WALK_SECONDS (default WALK_DEFAULT_SECONDS, else 60) and WALK_STEPS (default
# 100000) bound the walk; TOVRIN_BIN, TOVRIN_CLI, MAKE_STORE, E2E_X_CLOSE, E2E_X_PROBE,
# TOVRIN_SOURCE_DIR as for the other runs; E2E_ARTIFACTS for the screenshot at a failure and the
# steps taken; E2E_DESKTOP (bare, openbox, ru, scaled; see e2e_lib.sh).
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
. "$(dirname "$0")/e2e_lib.sh"
BIN=${TOVRIN_BIN:?}
CLI=${TOVRIN_CLI:?}
MAKE_STORE=${MAKE_STORE:?}
SRC=${TOVRIN_SOURCE_DIR:?}
[ -x "${E2E_X_PROBE:-}" ] || {
    echo "E2E_X_PROBE does not name the probe helper" >&2
    exit 1
}
WALK_SECONDS=${WALK_SECONDS:-${WALK_DEFAULT_SECONDS:-60}}
WALK_STEPS=${WALK_STEPS:-100000}
SEED=${1:-${WALK_SEED:-$((($(date +%s%N) / 1000) % 1000000000))}}
[[ "$SEED" =~ ^[0-9]+$ ]] || {
    echo "the seed must be a number: $SEED" >&2
    exit 1
}
echo "seed $SEED (replay: WALK_SEED=$SEED $0)"
# Every choice comes from bash's own generator, seeded once and read only in this shell.
RANDOM=$SEED

e2e_init
e2e_need_tools
STEPS_LOG=$W/steps.log
: >"$STEPS_LOG"

# The last steps and the seed go with any failure, so it can be walked again.
walk_fail() {
    {
        echo "--- seed $SEED, life $LIFE, step $STEP; the last steps:"
        tail -25 "$STEPS_LOG"
        echo "--- the program's own frames in its report, if any:"
        grep -E '^ +#[0-9]+ .* \.\./(app|ui|controls|platform|core)/' "$(LOG)" | head -30
    } >&2
    cp "$STEPS_LOG" "$ART/" 2>/dev/null || true
    fail "$*"
}

# R: a number from 0 to $1 - 1.
rnd() { R=$((RANDOM % $1)); }
# The steps log: step, life, milliseconds since the start, what was done.
step() { printf '%5d %3d %7d  %s\n' "$STEP" "$LIFE" "$(el)" "$*" >>"$STEPS_LOG"; }

# Any desktop with trayer's panel (bare, openbox, ru, scaled): the walk pings the program through
# its own icon window, which a StatusNotifier host does not have.
[ "$DESKTOP" != sni ] || fail "the walk needs an XEmbed tray; E2E_DESKTOP=sni is not for it"
e2e_start_desktop
ok "Xvfb $DISPLAY ${SW}x${SH}, desktop $DESKTOP, tray panel $(panel_id)"

# The help and the web address go to a stand-in opener: no browser starts on the walk's screen.
mkdir -p "$W/bin"
printf '#!/bin/sh\necho "$@" >>"%s/opened.log"\n' "$W" >"$W/bin/xdg-open"
chmod +x "$W/bin/xdg-open"
export PATH=$W/bin:$PATH

# A program file of its own: a copy elsewhere is another program to the single-instance check, so
# runs side by side never meet.
cp "$BIN" "$W/tovrin"
RUN=$W/run
mkdir -p "$RUN/Base"
cp "$SRC/res/Base/default.lng" "$RUN/Base/"
# Reminders due around the start (23:56 on 8 December) and just after midnight: timed ones fire
# into the journal, dated ones fill the current messages on both days.
"$MAKE_STORE" "$RUN/Base/ztovrin.dat" \
    daily 2026-01-01 23:57 "Каждый день 23:57" \
    once 2026-12-08 23:58 "Один раз 23:58" \
    daily 2026-01-01 23:59 "Каждый день 23:59" \
    once 2026-12-09 00:00 "Полночь" \
    daily 2026-01-01 00:01 "Каждый день 00:01" \
    daily 2026-01-01 00:03 "Каждый день 00:03" \
    yearly 2000-12-08 09:00 "День рождения Анны" \
    yearly 2000-12-10 09:00 "Годовщина" \
    monthly 2026-01-09 00:00 "Оплатить интернет" \
    none 2026-12-11 00:00 "Сдать отчёт" || fail "cannot write the store"

LIFE=0
STEP=0
# Whether Exit was chosen in this life: a box may hold it back, and the program then ends once
# the box is answered.
EXIT_CHOSEN=
SIGTERM_SENT=

# A new life: the clock starts a little before 23:56 plus up to nine minutes, and runs ten times
# fast.
start_life() {
    LIFE=$((LIFE + 1))
    rnd 9
    local start="2026-12-08 23:$((55 + R)):50"
    [ "$R" -lt 5 ] || start="2026-12-09 00:0$((R - 5)):50"
    # `exec` keeps $! the program itself.
    (cd "$RUN" && exec env LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        FAKETIME="@$start x10" "$W/tovrin" >"$W/app-$LIFE.log" 2>&1) &
    APP=$!
    PIDS+=("$APP")
    EXIT_CHOSEN=
    step "start, clock $start x10, pid $APP"
    # A sanitizer build starts slowly, the more so on a busy machine.
    waitfor 60 icon_id || walk_fail "no tray icon at the start of life $LIFE"
}

# The program's visible windows, the icon and the tray menu left out.
windows() {
    local icon menu w
    icon=$(($(icon_id 2>/dev/null || echo 0)))
    menu=$(menu_id 2>/dev/null || echo 0)
    for w in $(xdotool search --onlyvisible --pid "$APP" 2>/dev/null); do
        [ "$w" != "$icon" ] && [ "$w" != "$menu" ] && echo "$w"
    done
}

# WIN: one of them at random; false when none is shown.
pick_window() {
    local list
    mapfile -t list < <(windows)
    [ "${#list[@]}" -gt 0 ] || return 1
    rnd "${#list[@]}"
    WIN=${list[$R]}
    geom "$WIN" 2>/dev/null
}

LOG() { echo "$W/app-$LIFE.log"; }
sanitizer_report() { grep -qE 'ERROR: AddressSanitizer|runtime error:|double free|SUMMARY: ' "$(LOG)"; }
# A window deleted while a box it owns, or a handler of it, still waits: named apart, as no road
# to it may be left open.
box_fault() {
    grep -qE 'free\(\): invalid pointer|double free or corruption|heap-use-after-free|attempting (double-)?free' "$(LOG)" &&
        { ! grep -q 'AddressSanitizer' "$(LOG)" || grep -qE '#[0-9]+ .* in (ShowBox|tovrin::MessageBox|tovrin::NestedLoop)' "$(LOG)"; }
}
fail_on_report() {
    box_fault && walk_fail "a window deleted under its open box ($1)"
    sanitizer_report && walk_fail "sanitizer report ($1)"
    return 0
}

# Tray menu items, by position: the commands are of one height and the two separators thin.
tray_command() {
    local names=(Journal Editor "Current messages" Exit) fractions=(1 3 5 7)
    icon_id >/dev/null 2>&1 || {
        step "tray: no icon"
        return 0
    }
    geom "$(icon_id)"
    click $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    if ! waitfor 5 menu_id "$APP"; then
        # A box of the program's own may hold the tray back; that is its choice, not a fault.
        step "tray: no menu"
        return 0
    fi
    geom "$(menu_id "$APP")"
    rnd 20
    if [ "$R" -lt 2 ]; then
        step "tray menu, Escape"
        xdotool key Escape
    elif [ "$R" -lt 3 ]; then
        step "tray menu, click elsewhere"
        click $((SW / 3)) $((SH / 3))
    else
        # Exit one time in ten, so each life has time to get somewhere.
        rnd 10
        local i=$R
        [ "$i" -lt 4 ] || {
            rnd 3
            i=$R
        }
        step "tray: ${names[$i]}"
        click $((X + WIDTH / 2)) $((Y + HEIGHT * fractions[i] / 8))
        if [ "$i" -eq 3 ]; then
            EXIT_CHOSEN=Exit
            # Exit ends the program whatever box is open: the box ends as Cancel (or OK), and the
            # editor saves on the way out.
            waitfor 15 gone "$APP" || walk_fail "Exit did not end the program within 15 s"
        fi
    fi
}

click_somewhere() {
    pick_window || {
        step "click: no window"
        return 0
    }
    rnd "$WIDTH"
    local x=$((X + R))
    rnd "$HEIGHT"
    local y=$((Y + R))
    rnd 8
    if [ "$R" -eq 0 ]; then
        step "double click $x,$y in $WIN"
        xdotool mousemove --sync "$x" "$y" click --repeat 2 --delay 80 1
    else
        step "click $x,$y in $WIN"
        click "$x" "$y"
    fi
}

KEYS=(Return Return Escape Escape Delete Delete Tab Tab shift+Tab Up Down Home End space
    a n x 1 BackSpace KP_Enter)
press_key() {
    rnd "${#KEYS[@]}"
    step "key ${KEYS[$R]}"
    # Plain XTEST: the key goes to the window that has the focus, down and up, wherever that is.
    xdotool key "${KEYS[$R]}"
}

close_one() {
    pick_window || {
        step "close: no window"
        return 0
    }
    step "close box of $WIN ($WIDTH x $HEIGHT)"
    close_window "$WIN" 2>/dev/null || true
}

clear_all() {
    local j
    j=$(window_named "$APP" 'Журнал') || {
        step "clear all: no journal"
        return 0
    }
    geom "$j"
    step "journal: Clear all"
    # The menu bar's only item, at its left end.
    click $((X + 20)) $((Y + 10))
}

pause() {
    rnd 10
    step "wait $((R * 100)) ms"
    sleep "0.$R"
}

terminate() {
    step "SIGTERM"
    SIGTERM_SENT=1
    kill -TERM "$APP"
    waitfor 15 gone "$APP" || walk_fail "no end within 15 s of SIGTERM"
}

# What must hold after every step, and the next life when this one has ended.
check() {
    if gone "$APP"; then
        reap "$APP"
        fail_on_report "exit code $RC"
        local ending=${SIGTERM_SENT:+SIGTERM}
        ending=${ending:-$EXIT_CHOSEN}
        [ -n "$ending" ] || walk_fail "the program ended by itself, exit code $RC"
        [ "$RC" -eq 0 ] || walk_fail "exit code $RC after $ending"
        local report
        report=$(cd "$RUN" && "$CLI" check 2>&1) || walk_fail "tovrin-cli check: $report"
        step "ended by $ending, store sound"
        SIGTERM_SENT=
        start_life
        return 0
    fi
    if sanitizer_report; then
        # The report comes before the end; give the program the moment it takes to end.
        waitfor 10 gone "$APP" || true
        gone "$APP" && {
            check
            return 0
        }
        fail_on_report "while running"
    fi
    local icon
    icon=$(icon_id 2>/dev/null) || walk_fail "the tray icon is gone, the program still runs"
    local rc=0
    "$E2E_X_PROBE" ping "$icon" 10000 || rc=$?
    # The icon may go between the look-up and the ping only when the program ends.
    if [ "$rc" -eq 3 ] && gone "$APP"; then
        check
        return 0
    fi
    [ "$rc" -eq 0 ] || walk_fail "no answer to an X event within 10 s (probe $rc)"
    local keys
    keys=$("$E2E_X_PROBE" keys) || walk_fail "keys left held down: $keys"
}

start_life
ok "life 1, pid $APP; walking for ${WALK_SECONDS} s or $WALK_STEPS steps"
declare -A COUNTS=()
END_MS=$(($(el) + WALK_SECONDS * 1000))
while [ "$STEP" -lt "$WALK_STEPS" ] && [ "$(el)" -lt "$END_MS" ]; do
    STEP=$((STEP + 1))
    rnd 100
    if [ "$R" -lt 25 ]; then
        what=tray
        tray_command
    elif [ "$R" -lt 53 ]; then
        what=click
        click_somewhere
    elif [ "$R" -lt 75 ]; then
        what=key
        press_key
    elif [ "$R" -lt 83 ]; then
        what=close
        close_one
    elif [ "$R" -lt 88 ]; then
        what=clear
        clear_all
    elif [ "$R" -lt 99 ]; then
        what="wait"
        pause
    else
        what=sigterm
        terminate
    fi
    COUNTS[$what]=$((${COUNTS[$what]:-0} + 1))
    check
done

# The last life ends as a user would end it, and the store it leaves is sound.
kill -TERM "$APP"
waitfor 15 gone "$APP" || walk_fail "no end within 15 s of the final SIGTERM"
check_final() {
    reap "$APP"
    fail_on_report "exit code $RC"
    [ "$RC" -eq 0 ] || walk_fail "exit code $RC after the final SIGTERM"
    local report
    report=$(cd "$RUN" && "$CLI" check 2>&1) || walk_fail "tovrin-cli check: $report"
}
check_final
cp "$STEPS_LOG" "$ART/"
summary=
for what in "${!COUNTS[@]}"; do summary+=" $what ${COUNTS[$what]}"; done
ok "seed $SEED: $STEP steps over $LIFE lives;$summary"
echo "PASS total $(el) ms"
