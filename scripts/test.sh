#!/bin/sh
# Sets up, builds and runs every test: unit tests, golden renders, the end-to-end runs under
# Xvfb, the unit tests again under AddressSanitizer + UndefinedBehaviorSanitizer, and the
# end-to-end run under ThreadSanitizer.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh test
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure)

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKU_SANITIZE=address,undefined -DKU_BUILD_BENCH=OFF
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -L unit)

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKU_SANITIZE=thread -DKU_BUILD_BENCH=OFF
cmake --build build-tsan -j"$jobs"
(cd build-tsan && ctest --output-on-failure -L e2e)
echo "all tests passed"
