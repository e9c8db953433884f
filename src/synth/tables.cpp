// The music record, its memory pool, the wave tables and the channels' start state.
#include "synth.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

SynthState synth;
std::atomic<int32_t> sampleCounter{0};

constexpr double pi = 3.141592653589793;

// Every float buffer of the synthesizer lives here: a song cannot make the process allocate
// without bound, and a buffer that does not fit is a song outside the format, not a crash.
static float samplePool[samplePoolFloats];
static int64_t samplePoolUsed;

float* allocSamples(int64_t count)
{
    if (count < 0 || count > samplePoolFloats - samplePoolUsed)
        return nullptr;
    float* block = samplePool + samplePoolUsed;
    samplePoolUsed += count;
    std::memset(block, 0, size_t(count) * sizeof(float));  // the pool is reused when initSynth runs again
    return block;
}

void initSynth(int32_t rate)
{
    // A fresh record, so that tests and tools can start again; in the demo it is still all zero.
    std::memset(&synth, 0, sizeof synth);
    samplePoolUsed = 0;

    synth.waveLength = rate / 262;
    synth.sampleRate = rate;
    sampleCounter.store(0, std::memory_order_relaxed);

    for (int octave = 4; octave >= 0; octave--)
        for (int position = 0; position < 12; position++)
            noteTable.values[12 * octave + position] = noteTable.values[12 * (octave + 1) + position] / 2;

    const int n = synth.waveLength;
    float* square = synth.waveTables[0] = allocSamples(n);
    float* sine = synth.waveTables[1] = allocSamples(n);
    float* saw = synth.waveTables[2] = allocSamples(n);
    for (int i = 0; i < n; i++) {
        square[i] = i < n / 2 ? -1.0f : 1.0f;
        sine[i] = float(std::sin((2.0 * i * pi) / n));
        saw[i] = float(std::fmod(2.0 * i / n + 1.0, 2.0) - 1.0);
    }

    // Unseeded on purpose: the host's rand() sequence is part of the sound.
    float* noise = synth.waveTables[3] = allocSamples(rate);
    for (int i = 0; i < rate; i++)
        noise[i] = float(std::rand() % 2000 - 1000) * 0.001f;

    for (int n = 0; n < channelSlots; n++) {
        synth.tracks[n][0] = endMarker;
        synth.chanPos[n] = -1.0f;
        synth.chanStep[n] = 0.0f;
        synth.trackPos[n] = -1;
        synth.echoOn[n] = 0;
        synth.chanPan[n] = n % 2 ? 0.4f : 0.6f;
        synth.chanSlide[n] = 0.0f;
        synth.filterCoef[n] = 0.0f;
        synth.chanVolume[n] = 1.0f;
        synth.filterState[n] = 0.0f;
    }
}
