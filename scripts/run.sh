#!/bin/sh
# Sets up, builds and runs the demo. Arguments go to the demo ("-w" for a window).
# Without a display it runs under Xvfb, and without a sound card on SDL's silent audio driver.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKU_BUILD_TESTS=OFF -DKU_BUILD_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target kusolvanta
if [ ! -e /dev/snd ] && [ -z "${SDL_AUDIODRIVER:-}" ]; then
    export SDL_AUDIODRIVER=dummy
fi
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" build/src/driver/kusolvanta "$@"
fi
exec build/src/driver/kusolvanta "$@"
