// The audio device's callback and the level meter that the visuals follow.
#include "synth.h"

#include <cmath>
#include <cstring>

std::atomic<float> audioLevel{0.0f};

void audioCallback(void* userdata, uint8_t* stream, int len)
{
    (void)userdata;
    if (len <= 0)
        return;
    const int frames = len / 4;
    mixFrames(stream, frames);
    std::memset(stream + 4 * frames, 0, size_t(len - 4 * frames));  // a partial frame plays silence
    updateAudioLevel(stream, len / 2);
}

void updateAudioLevel(const uint8_t* samples, int count)
{
    if (count <= 0)
        return;
    float peak = -10.0f;
    for (int i = 0; i < count; i++) {
        const int16_t s = int16_t(uint16_t(samples[2 * i] << 8 | samples[2 * i + 1]));
        const float x = std::fabs(float(s) * 0x1p-15f);
        if (x > peak)
            peak = x;
    }
    const double level = audioLevel.load(std::memory_order_relaxed);
    audioLevel.store(float(0.85 * level + 0.15 * double(peak)), std::memory_order_relaxed);
}
