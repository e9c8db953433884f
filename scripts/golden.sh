#!/bin/sh
# Regenerates tests/synth/golden/NAME.raw from NAME.txt with the current renderer.
# Only for an intended change of the sound: say so in the commit. Never to make a failing test pass.
set -eu
cd "$(dirname "$0")/.."
name=${1:?usage: scripts/golden.sh NAME}
cmake -S . -B build >/dev/null
cmake --build build -j2 --target kusolvanta-render >/dev/null
build/src/tools/kusolvanta-render --song "tests/synth/golden/$name.txt" --seconds 1 --raw \
    --output "tests/synth/golden/$name.raw"
echo "wrote tests/synth/golden/$name.raw"
