#!/bin/bash
# End-to-end: SIGINT and SIGTERM end the demo like a key press (status 0), also right after start.
# Usage: signals.sh DEMO WORKDIR   (run under xvfb-run)
set -u
demo=$1 work=$2
. "$(dirname "$0")/lib.sh"
mkdir -p "$work"
export SDL_AUDIODRIVER=dummy

for signal in INT TERM; do
    note "SIG$signal while the demo runs"
    startDemo "$work/sig$signal.err" "$demo" -w
    sleep 1
    expectRunning "nothing (before SIG$signal)"
    kill -s "$signal" "$pid"
    waitExit 10
    [ "$status" -eq 0 ] || { cat "$work/sig$signal.err" >&2; fail "SIG$signal: exit status $status, expected 0"; }

    # Sent during start-up, before any frame: the demo must still come down by itself.
    note "SIG$signal during start-up"
    "$demo" -w 2>"$work/sig$signal-early.err" &
    pid=$!
    sleep 0.02
    kill -s "$signal" "$pid"
    waitExit 10
    if [ "$status" -eq 1 ] && grep -q "$videoModeError" "$work/sig$signal-early.err"; then
        note "this start got no GL context; the signal path was not reached, not counted"
    elif [ "$status" -ne 0 ]; then
        cat "$work/sig$signal-early.err" >&2
        fail "SIG$signal during start-up: exit status $status, expected 0"
    fi
done
note "ok"
