// Renders the embedded song's full demo length through audioCallback and reports the real-time factor.
// The samples themselves are pinned by the tests (the mixer against its frame-by-frame definition).
#include "synth.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

static const std::string songCopy = embeddedSong;  // taken before anything parses the text in place

static void startEmbeddedSong(std::string& text)
{
    text = songCopy;
    std::srand(1);
    initSynth(44100);
    if (parseSong(text.data()) < 0)
        std::abort();
}

static void BM_EmbeddedSongFullLength(benchmark::State& state)
{
    constexpr int buffers = 5627;  // the demo's length: the first whole buffer past frame 5,761,792
    static uint8_t buffer[4096];
    std::string text;
    for (auto _ : state) {
        state.PauseTiming();
        startEmbeddedSong(text);
        state.ResumeTiming();
        for (int b = 0; b < buffers; b++) {
            audioCallback(nullptr, buffer, sizeof buffer);
            benchmark::DoNotOptimize(buffer);
        }
    }
    const double audioSeconds = buffers * 1024.0 / 44100.0;
    state.counters["realtime_x"] = benchmark::Counter(audioSeconds * double(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}
// Rates are per second of CPU time, so a busy machine does not change the figure much.
BENCHMARK(BM_EmbeddedSongFullLength)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

static void BM_ParseEmbeddedSong(benchmark::State& state)
{
    std::string text;
    for (auto _ : state)
        startEmbeddedSong(text);
}
BENCHMARK(BM_ParseEmbeddedSong)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
