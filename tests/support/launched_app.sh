# Sourced by the launcher tests: start a launcher on the offscreen platform and wait until the
# program's event loop runs; end it with SIGTERM and expect a clean exit. Needs $W (a scratch
# folder) and fail(); sets and clears $APP.

# own_launcher LAUNCHER: prints the path of a copy of LAUNCHER, in $W, that runs a copy of its
# program file, also in $W. The single-instance check tells programs apart by their file, so runs
# side by side (or a copy a developer runs from the same build) never refuse each other.
own_launcher() {
    local program
    program=$(sed -n "s/^program='\(.*\)'$/\1/p" "$1")
    [ -x "$program" ] || fail "no program named in $1"
    cp "$program" "$W/tovrin-own"
    sed "s|^program='.*'$|program='$W/tovrin-own'|" "$1" >"$W/tovrin-launch-own"
    chmod +x "$W/tovrin-launch-own"
    echo "$W/tovrin-launch-own"
}

# start_launched LAUNCHER: runs it in the background until the program reports it is ready.
start_launched() {
    rm -f "$W/ready"
    env QT_QPA_PLATFORM=offscreen DISPLAY=:0 TOVRIN_READY_FD=3 "$1" 3>"$W/ready" \
        >"$W/app.log" 2>&1 &
    APP=$!
    for _ in $(seq 100); do
        grep -q ready "$W/ready" 2>/dev/null && return 0
        kill -0 "$APP" 2>/dev/null || fail "program ended: $(cat "$W/app.log")"
        sleep 0.1
    done
    fail "program not ready"
}

# stop_launched: SIGTERM, which the program answers by leaving as Exit does.
stop_launched() {
    kill -TERM "$APP"
    local rc=0
    wait "$APP" || rc=$?
    APP=
    [ "$rc" -eq 0 ] || fail "exit code $rc after SIGTERM"
}
