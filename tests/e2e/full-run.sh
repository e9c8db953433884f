#!/bin/bash
# End-to-end: the demo runs on disk audio to its own end, exits 0 and plays exactly the engine's stream.
# Usage: full-run.sh DEMO RENDER WORKDIR   (run under xvfb-run)
set -u
demo=$1 render=$2 work=$3
. "$(dirname "$0")/lib.sh"
mkdir -p "$work"
stream=$work/demo.raw
rm -f "$stream"

note "running $demo to its end on SDL's disk audio"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$stream SDL_DISKAUDIODELAY=0 runDemo "$work/full-run.err" 600 "$demo"
[ "$status" -eq 0 ] || { cat "$work/full-run.err" >&2; fail "exit status $status, expected 0"; }
if grep -q "ThreadSanitizer" "$work/full-run.err"; then
    cat "$work/full-run.err" >&2
    fail "ThreadSanitizer reported"
fi

"$render" --raw --output "$work/render.raw" || fail "kusolvanta-render failed"
python3 - "$stream" "$work/render.raw" <<'PY' || fail "the demo's audio differs from kusolvanta-render's"
import sys
demo = open(sys.argv[1], "rb").read()
ref = open(sys.argv[2], "rb").read()
# The disk driver writes silent buffers while the device is still paused: compare from the
# first non-zero byte of each, which must lie at the same place within a 4096-byte buffer.
d = next((i for i, b in enumerate(demo) if b), None)
r = next((i for i, b in enumerate(ref) if b), None)
if d is None or r is None:
    sys.exit("a stream is all silence")
if (d - r) % 4096:
    sys.exit(f"the music starts at byte {d} of the demo's stream, {r} of the render: not buffer-aligned")
# The timeline ends once 5,761,792 frames are mixed, so the demo has written at least that much
# music (the render's offset r is silence at the start of the song itself). Everything the render
# also covers must be identical.
end = 4096 + 136 * 8 * 5292
music = len(demo) - (d - r)
if music < end * 4:
    sys.exit(f"the demo wrote only {music} bytes of music, it cannot have reached its end")
n = min(len(demo) - d, len(ref) - r)
if demo[d:d + n] != ref[r:r + n]:
    first = next(i for i in range(n) if demo[d + i] != ref[r + i])
    sys.exit(f"first difference at byte {first} of the music")
print(f"-- {n} bytes of music identical (demo offset {d}, render offset {r})")
PY
note "ok"
