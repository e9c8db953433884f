# Shared helpers of the end-to-end scripts: running the demo with its retry rule, waiting, checking.
# Sourced, not run. Scripts set -u and call fail() on the first broken expectation.

videoModeError="cannot set the 640x480 OpenGL video mode"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

note() {
    echo "-- $*"
}

# runDemo ERRFILE TIMEOUT CMD...: runs to completion; sets `status`. Under Xvfb a start now and
# then gets no GL context; such a run (and only such a run) is retried, at most twice.
runDemo() {
    local errFile=$1 limit=$2
    shift 2
    local try
    for try in 1 2 3; do
        status=0
        timeout --kill-after=5 "$limit" "$@" 2>"$errFile" || status=$?
        if [ "$status" -eq 1 ] && grep -q "$videoModeError" "$errFile" && [ "$try" -lt 3 ]; then
            note "retrying (attempt $((try + 1)) of 3): the run got no GL context: $(head -n1 "$errFile")"
            continue
        fi
        return 0
    done
}

# startDemo ERRFILE CMD...: starts in the background and waits for its window; sets `pid` and
# `window`. A start that ends with the video-mode error is retried, at most twice.
startDemo() {
    local errFile=$1
    shift
    local try waited
    for try in 1 2 3; do
        "$@" 2>"$errFile" &
        pid=$!
        window=""
        for waited in $(seq 1 200); do
            window=$(xdotool search --name "^Ku Solvanta\$" 2>/dev/null | head -n1 || true)
            [ -n "$window" ] && return 0
            if ! kill -0 "$pid" 2>/dev/null; then
                break
            fi
            sleep 0.05
        done
        status=0
        wait "$pid" || status=$?
        if [ "$status" -eq 1 ] && grep -q "$videoModeError" "$errFile" && [ "$try" -lt 3 ]; then
            note "retrying (attempt $((try + 1)) of 3): the run got no GL context: $(head -n1 "$errFile")"
            continue
        fi
        cat "$errFile" >&2
        fail "no demo window appeared (status $status)"
    done
}

# waitExit SECONDS: waits for `pid` to end; sets `status`; fails if it is still running.
waitExit() {
    local limit=$1 i
    for i in $(seq 1 $((limit * 20))); do
        if ! kill -0 "$pid" 2>/dev/null; then
            status=0
            wait "$pid" || status=$?
            return 0
        fi
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    fail "the demo did not end within $limit s"
}

expectRunning() {
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; fail "the demo ended on $1 (status $?)"; }
}

# Offset of the first non-zero byte of a file, or -1 for an all-zero file.
firstNonZero() {
    python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
print(next((i for i, b in enumerate(data) if b), -1))' "$1"
}

# "full screen" or "window" for the running demo: in full screen SDL centres its 640x480 drawing
# window inside an unnamed window that covers the 1024x768 Xvfb screen.
displayMode() {
    if xwininfo -root -tree | grep -q '640x480+192+144'; then
        echo "full screen"
    else
        echo "window"
    fi
}

# endWithKey: presses a key inside the demo's window and expects status 0.
endWithKey() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 10)) $((Y + 10)) key Escape
    waitExit 10
    [ "$status" -eq 0 ] || fail "exit status $status after a key press"
}
