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
    # Sent as soon as the handlers are in place (they come before SDL_Init): a signal that beats
    # them to it, while the loader or a sanitizer runtime is still starting, only meets the default.
    "$demo" -w 2>"$work/sig$signal-early.err" &
    pid=$!
    number=$(kill -l "$signal")
    for _ in $(seq 1000); do
        caught=$(awk '/^SigCgt:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
        [ -n "$caught" ] && (( (16#$caught >> (number - 1)) & 1 )) && break
        sleep 0.005
    done
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
