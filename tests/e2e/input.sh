#!/bin/bash
# End-to-end: a key press and a mouse click each end the demo with status 0; mouse motion, key release
# and a window-close request do not; a mid-run screenshot shows the ring sphere.
# Usage: input.sh DEMO_WINDOWED CLOSE_REQUEST WORKDIR   (run under xvfb-run)
set -u
demo=$1 closeRequest=$2 work=$3
. "$(dirname "$0")/lib.sh"
mkdir -p "$work"
export SDL_AUDIODRIVER=dummy  # real time, silent: the timeline advances as it would with sound

# Keys and clicks go where the pointer is (no window manager here).
pointIntoWindow() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 320)) $((Y + 240))
}

note "run 1: motion, key release and close request are ignored; a key press ends it"
startDemo "$work/input1.err" "$demo"
started=$SECONDS
pointIntoWindow
xdotool mousemove_relative 40 30 mousemove_relative -- -80 -60
sleep 0.3
expectRunning "mouse motion"
xdotool keyup a
sleep 0.3
expectRunning "a key release"
"$closeRequest" "$window" || fail "could not send the close request"
sleep 1
expectRunning "a window-close request"

# The ring sphere alone is on screen for the first 6.7 s and fully faded in after 3 s.
while [ $((SECONDS - started)) -lt 4 ]; do sleep 0.2; done
expectRunning "nothing (before the screenshot)"
import -window root "$work/ring-sphere.png" || fail "screenshot failed"
eval "$(xdotool getwindowgeometry --shell "$window")"
read -r red green blue lit <<<"$(convert "$work/ring-sphere.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
    -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b] ' info: \
    && convert "$work/ring-sphere.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -colorspace gray \
    -threshold 8% -format '%[fx:mean]' info:)"
note "screenshot: mean red $red, green $green, blue $blue; share of lit pixels $lit"
python3 - "$red" "$green" "$blue" "$lit" <<'PY' || fail "the screenshot does not show the ring sphere"
import sys
red, green, blue, lit = map(float, sys.argv[1:])
# The sphere's rings are drawn in (0.26, 0.1, 0.11) and glow red: a red picture over much of the view.
sys.exit(0 if lit > 0.10 and red > 0.05 and red > 1.5 * green and red > 1.5 * blue else 1)
PY

pointIntoWindow
xdotool key space
waitExit 10
[ "$status" -eq 0 ] || { cat "$work/input1.err" >&2; fail "key press: exit status $status, expected 0"; }

note "run 2: a mouse click ends it"
startDemo "$work/input2.err" "$demo"
pointIntoWindow
sleep 0.5
xdotool click 1
waitExit 10
[ "$status" -eq 0 ] || { cat "$work/input2.err" >&2; fail "click: exit status $status, expected 0"; }
note "ok"
