// The sequencer and mixer written out frame by frame, every division and remainder as defined:
// the optimised mixer must produce the same bytes.
#include "fixture.h"

#include <cmath>

static void referenceSequencerStep(int j)
{
    SynthState& s = synth;
    if (s.trackPos[j] == -2)
        return;
    s.patternPos[j] = s.patternPos[j] + 1;
    if (s.trackPos[j] == -1 || s.patterns[s.tracks[j][s.trackPos[j]]][s.patternPos[j]] == -2) {
        s.trackPos[j] = s.trackPos[j] + 1;
        if (s.tracks[j][s.trackPos[j]] == -3)
            s.trackPos[j] = 0;
        if (s.tracks[j][s.trackPos[j]] == -2)
            s.trackPos[j] = -2;
        s.patternPos[j] = 0;
    }
    if (s.trackPos[j] == -2)
        return;
    const int P = s.tracks[j][s.trackPos[j]];
    const int ev = s.patterns[P][s.patternPos[j]];
    if (ev == 0) {
    } else if (ev == -4) {
        s.echoOn[j] = 1;
    } else if (ev == -5) {
        s.echoOn[j] = 0;
    } else if (ev == -6) {
        s.chanPos[j] = -1.0f;
    } else if (ev == -7) {
        s.patternPos[j] = s.patternPos[j] + 1;
        const int a = s.patterns[P][s.patternPos[j]];
        s.chanVolume[j] = float(double(a) * 0.01);
    } else if (ev == -8) {
        s.patternPos[j] = s.patternPos[j] + 1;
        const int a = s.patterns[P][s.patternPos[j]];
        s.chanSlide[j] = float(double(a) * 0.00001);
    } else {
        const float K = float(1.0 / 262.0);
        s.chanPos[j] = 0.0f;
        s.chanStep[j] = float(ev) * K;
    }
}

void referenceMixFrames(uint8_t* out, int32_t frames)
{
    SynthState& s = synth;
    int channels = 1;
    while (s.tracks[channels][0] != -2)
        channels++;
    for (int i = 0; i < frames; i++) {
        const int S = sampleCounter.load();
        if (S % s.rowLength == 0)
            for (int j = 1; j < channels; j++)
                referenceSequencerStep(j);
        float left = 0.0f, right = 0.0f;
        const int L = s.echoLength;
        for (int j = 1; j < channels; j++) {
            float* E = s.echoBuffers[j];
            const float r = E[(S + 1) % L];
            E[S % L] = float(double(r) * 0.6);
            float x = r;
            if (!(s.chanPos[j] < 0.0f)) {
                x = r + s.instrumentSamples[j][int(s.chanPos[j])];
                if (s.echoOn[j] != 0)
                    E[S % L] = float(double(x) * 0.2);
                const float p = s.chanPos[j] + s.chanStep[j];
                s.chanPos[j] = p;
                s.chanStep[j] = s.chanStep[j] + s.chanSlide[j];
                if (!(p < float(s.instrumentLengths[j])) || p < 0.0f)
                    s.chanPos[j] = -1.0f;
            }
            if (s.filterCoef[j] != 0.0f) {
                const float k = s.filterCoef[j];
                const float oneMinusK = 1.0f - k;
                const float held = s.filterState[j] * k;
                x = std::fmaf(x, oneMinusK, held);
            }
            s.filterState[j] = x;
            const float v = x * s.chanVolume[j];
            const float panRight = 1.0f - s.chanPan[j];
            left = std::fmaf(s.chanPan[j], v, left);
            right = std::fmaf(panRight, v, right);
        }
        const float sums[2] = {left, right};
        for (int c = 0; c < 2; c++) {
            const double sum = sums[c];
            const double a = sum - (-3.0) >= 0 ? sum : -3.0;
            const double b = 3.0 - a >= 0 ? a : 3.0;
            const int n = int(b * 10922.0);
            out[4 * i + 2 * c] = uint8_t((n >> 8) & 0xff);
            out[4 * i + 2 * c + 1] = uint8_t(n & 0xff);
        }
        sampleCounter.store(S + 1);
    }
}
