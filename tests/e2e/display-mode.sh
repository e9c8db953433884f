#!/bin/bash
# End-to-end: full screen by default; windowed for a first argument of exactly "-w" or a program
# name ending in 'w'.  Usage: display-mode.sh DEMO ALIAS WORKDIR   (run under xvfb-run)
set -u
demo=$1 alias=$2 work=$3
. "$(dirname "$0")/lib.sh"
mkdir -p "$work"
export SDL_AUDIODRIVER=dummy

check() {
    local expected=$1
    shift
    startDemo "$work/display.err" "$@"
    sleep 0.5
    local mode
    mode=$(displayMode)
    endWithKey
    note "$(basename "$1") ${*:2}: $mode"
    [ "$mode" = "$expected" ] || fail "$*: $mode, expected $expected"
}
check "full screen" "$demo"
check "window" "$demo" -w
check "full screen" "$demo" -w2
check "full screen" "$demo" -W
check "full screen" "$demo" x -w
check "window" "$alias"
check "window" "$alias" -w
note "ok"
