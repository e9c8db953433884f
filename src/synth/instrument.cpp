// The instrument renderer: one pre-rendered sample per instrument line, built before the audio runs.
#include "synth.h"

#include <cmath>

constexpr double pi = 3.141592653589793;

// Table index for a read position: truncation toward zero and a truncating remainder, as the
// sound is defined; positions the embedded songs never reach (below 0, beyond 32 bits, not a
// number) still land inside the table.
static int tableIndex(float position, int length)
{
    int idx;
    if (position > -2147483648.0f && position < 2147483648.0f)
        idx = int(position);
    else if (position == position)
        idx = int(std::fmod(double(position), double(length)));
    else
        idx = 0;
    idx %= length;
    return idx < 0 ? idx + length : idx;
}

void renderInstrument(int32_t attack, int32_t decay, int32_t sustain, int32_t release,
                      int32_t modulation, int32_t sweep, int32_t instrument, int32_t waveform)
{
    if (attack == 0)
        attack = 1;
    if (release == 0)
        release = 1;

    const float* table = synth.waveTables[waveform];
    const int length = waveform == 3 ? synth.sampleRate : synth.waveLength;
    const float ampStep = float(1.0 / attack);
    const float sweepStep = float((sweep * 0.001) / synth.waveLength);
    const float modStep = modulation == 0 ? 0.0f : float(((modulation * 0.01) * 2) * pi / synth.waveLength);

    float position = 0.0f, increment = 1.0f, amplitude = 0.0f, angle = 0.0f;
    float* out = synth.instrumentSamples[instrument];
    int k = 0;

    // One output sample; `change` is the phase's amplitude step after the sample.
    auto emit = [&](float change) {
        float v = amplitude * table[tableIndex(position, length)];
        if (modulation != 0)
            v = float(v * std::sin(double(angle)));
        out[k++] = v;
        position = position + increment;
        amplitude = amplitude + change;
        increment = increment + sweepStep;
        angle = angle + modStep;
    };

    for (int i = 0; i < attack; i++)
        emit(ampStep);
    for (int i = 0; i < decay; i++)
        emit(-ampStep);
    for (int i = 0; i < sustain; i++)
        emit(0.0f);
    const float relStep = amplitude / float(release);
    for (int i = 0; i < release; i++)
        emit(-relStep);
}
