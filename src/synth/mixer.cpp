// The row sequencer and the mixer: the audio thread's real-time core.
//
// The sound is defined frame by frame: at a frame that begins a row every channel steps through
// its track and pattern, then every channel's voice, echo, filter, volume and pan are added into
// two sums, which are clipped and scaled to 16 bits. Here the frames between two row ticks are
// mixed as one run, channel after channel, adding into per-frame sums in channel order: every
// rounding is the same as frame by frame, the divisions and remainders become counters, and each
// channel's state stays in registers. Nothing here allocates, locks or calls out.
#include "synth.h"

#include <cmath>

// The CPU's fused multiply-add where it has one (same results, no library call). Not under the
// sanitizers: an ifunc resolver runs before their runtime is up.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__) && \
    !defined(__SANITIZE_ADDRESS__)
#define KU_MIXER_CLONES __attribute__((target_clones("default", "arch=x86-64-v3")))
#else
#define KU_MIXER_CLONES
#endif

constexpr int runFrames = 1024;  // longest run mixed into the stack sums at once
constexpr float noteStepScale = float(1.0 / 262);

int32_t playedChannels()
{
    int n = 1;
    while (n < channelSlots && synth.tracks[n][0] != endMarker)
        n++;
    return n;
}

static void sequencerStep(int j)
{
    int32_t& trackPos = synth.trackPos[j];
    int32_t& patternPos = synth.patternPos[j];
    if (trackPos == -2)
        return;
    patternPos++;
    if (trackPos == -1 || synth.patterns[synth.tracks[j][trackPos]][patternPos] == endMarker) {
        trackPos++;
        if (synth.tracks[j][trackPos] == loopMarker)
            trackPos = 0;
        if (synth.tracks[j][trackPos] == endMarker)
            trackPos = -2;
        patternPos = 0;
    }
    if (trackPos == -2)
        return;
    const int32_t* pattern = synth.patterns[synth.tracks[j][trackPos]];
    const int32_t ev = pattern[patternPos];
    switch (ev) {
    case 0:
        break;
    case cmdEcho1:
        synth.echoOn[j] = 1;
        break;
    case cmdEcho0:
        synth.echoOn[j] = 0;
        break;
    case cmdStop:
        synth.chanPos[j] = -1.0f;
        break;
    case cmdVol:
        synth.chanVolume[j] = float(pattern[++patternPos] * 0.01);
        break;
    case cmdSld:
        synth.chanSlide[j] = float(pattern[++patternPos] * 0.00001);
        break;
    default:
        synth.chanPos[j] = 0.0f;
        synth.chanStep[j] = float(ev) * noteStepScale;
        break;
    }
}

// Channel j over `frames` frames starting at echo slot `slot` (the frame counter mod echoLength).
__attribute__((always_inline)) static inline void mixChannel(int j, int slot, int frames, float* left, float* right)
{
    float* const echo = synth.echoBuffers[j];
    const float* const samples = synth.instrumentSamples[j];
    const int echoLength = synth.echoLength;
    const float sampleEnd = float(synth.instrumentLengths[j]);
    const float slide = synth.chanSlide[j], volume = synth.chanVolume[j];
    const float pan = synth.chanPan[j], panRight = 1.0f - pan;
    const float coef = synth.filterCoef[j], keep = 1.0f - coef;
    const bool echoSend = synth.echoOn[j] != 0;
    float pos = synth.chanPos[j], step = synth.chanStep[j], filter = synth.filterState[j];

    for (int i = 0; i < frames; i++) {
        const int next = slot + 1 == echoLength ? 0 : slot + 1;
        const float r = echo[next];
        echo[slot] = float(r * 0.6);
        float x = r;
        if (!(pos < 0.0f)) {
            x = r + samples[int(pos)];
            if (echoSend)
                echo[slot] = float(x * 0.2);
            const float p = pos + step;
            pos = p;
            step = step + slide;
            if (!(p < sampleEnd) || p < 0.0f)
                pos = -1.0f;
        }
        if (coef != 0.0f)
            x = std::fma(x, keep, filter * coef);
        filter = x;
        const float v = x * volume;
        left[i] = std::fma(pan, v, left[i]);
        right[i] = std::fma(panRight, v, right[i]);
        slot = next;
    }
    synth.chanPos[j] = pos;
    synth.chanStep[j] = step;
    synth.filterState[j] = filter;
}

__attribute__((always_inline)) static inline int16_t outputSample(float sum)
{
    const double s = sum;
    const double a = s - (-3.0) >= 0 ? s : -3.0;  // a sum that is not a number becomes -3
    const double b = 3.0 - a >= 0 ? a : 3.0;
    return int16_t(b * 10922.0);
}

KU_MIXER_CLONES
void mixFrames(uint8_t* out, int32_t frames)
{
    if (frames <= 0)
        return;
    const int channels = playedChannels();
    const int rowLength = synth.rowLength, echoLength = synth.echoLength;
    const bool playable = channels > 1 && rowLength > 0 && echoLength > 0;
    int32_t counter = sampleCounter.load(std::memory_order_relaxed);

    for (int done = 0; done < frames;) {
        int run = frames - done < runFrames ? frames - done : runFrames;
        float left[runFrames] = {}, right[runFrames] = {};
        if (playable) {
            const int phase = counter % rowLength;
            if (phase == 0)
                for (int j = 1; j < channels; j++)
                    sequencerStep(j);
            if (run > rowLength - phase)
                run = rowLength - phase;
            if (run > 2147483647 - counter)  // the counter wraps to 0 after 13.5 hours
                run = 2147483647 - counter + 1;
            const int slot = counter % echoLength;
            for (int j = 1; j < channels; j++)
                mixChannel(j, slot, run, left, right);
        }
        for (int i = 0; i < run; i++) {
            const int16_t l = outputSample(left[i]), r = outputSample(right[i]);
            uint8_t* frame = out + 4 * (done + i);
            frame[0] = uint8_t(uint16_t(l) >> 8), frame[1] = uint8_t(l);
            frame[2] = uint8_t(uint16_t(r) >> 8), frame[3] = uint8_t(r);
        }
        counter = run > 2147483647 - counter ? 0 : counter + run;
        done += run;
        sampleCounter.store(counter, std::memory_order_relaxed);
    }
}
