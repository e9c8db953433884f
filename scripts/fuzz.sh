#!/bin/sh
# Fuzzes the song parser and mixer with libFuzzer (clang 14, AddressSanitizer + UndefinedBehaviorSanitizer).
#   scripts/fuzz.sh [SECONDS]   (default 60)
# The working corpus lives in build-fuzz/corpus. An input that crashes is written as
# build-fuzz/crash-*: add it to tests/fuzz/corpus/ so that the unit tests replay it from then on.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
out=build-fuzz
mkdir -p "$out/corpus"
clang++-14 -std=c++17 -O1 -g -ffp-contract=off -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -Isrc/synth -Itests/fuzz src/synth/*.cpp data/notes.cpp tests/fuzz/fuzz_song.cpp tests/fuzz/fuzz_main.cpp \
    -o "$out/fuzz_song"
cp data/song.txt tests/synth/golden/*.txt tests/fuzz/corpus/* "$out/corpus/" 2>/dev/null || true
# Tokens of the format, so that mutations speak it.
{
    for t in bpm: i p t loop echo1 echo0 stop vol sld kantti sini saha kohina 00 , : '#' c1 C3 a4 b6 A6 -; do
        printf '"%s"\n' "$t"
    done
    printf '"\\x0a"\n"\\x0d"\n'
} > "$out/song.dict"
ASAN_OPTIONS=detect_leaks=0 "$out/fuzz_song" -max_total_time="$seconds" -max_len=8192 -timeout=30 \
    -rss_limit_mb=4096 -dict="$out/song.dict" -artifact_prefix="$out/" -print_final_stats=1 "$out/corpus"
