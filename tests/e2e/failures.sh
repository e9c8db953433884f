#!/bin/bash
# End-to-end: no display, no audio device, no GL video mode: one clear line on stderr and status 1.
# Usage: failures.sh DEMO WORKDIR   (no X server needed)
set -u
demo=$1 work=$2
. "$(dirname "$0")/lib.sh"
mkdir -p "$work"

# expectFailure NAME PATTERN ENV...: the run must exit 1 with exactly one stderr line matching PATTERN.
expectFailure() {
    local name=$1 pattern=$2
    shift 2
    local err=$work/$name.err status=0
    # stdout too: a console video driver may draw into the terminal before the mode fails.
    env "$@" timeout --kill-after=5 30 "$demo" -w >"$work/$name.out" 2>"$err" || status=$?
    note "$name: status $status: $(cat "$err")"
    [ "$status" -eq 1 ] || fail "$name: exit status $status, expected 1"
    [ "$(grep -c . "$err")" -eq 1 ] || fail "$name: expected one line on stderr"
    grep -q -- "$pattern" "$err" || fail "$name: stderr does not say '$pattern'"
}

# No DISPLAY: SDL finds no usable video driver, or falls back to one (fbcon) without OpenGL.
expectFailure no-display "kusolvanta: cannot .*video" -u DISPLAY SDL_AUDIODRIVER=dummy
# The framebuffer console driver without a framebuffer: SDL's video does not come up at all.
expectFailure no-framebuffer "kusolvanta: cannot initialise SDL video" -u DISPLAY SDL_VIDEODRIVER=fbcon \
    SDL_AUDIODRIVER=dummy
# A video driver that exists but has no OpenGL: the mode cannot be set.
expectFailure no-gl-mode "$videoModeError" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
# No audio driver at all.
expectFailure no-audio-driver "SDL_AUDIODRIVER=dummy" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=none-such
# An audio driver that starts but whose device cannot be opened.
expectFailure no-audio-device "cannot open the audio device.*SDL_AUDIODRIVER=dummy" SDL_VIDEODRIVER=dummy \
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/no-such-dir/out.raw"
note "ok"
