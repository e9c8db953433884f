// The instrument renderer's envelope, sweep, modulation and buffer bounds.
#include "fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Renders into a fresh buffer one element longer than the instrument, with the square table
// replaced by ones so that the output is the envelope itself.
std::vector<float> renderEnvelope(int attack, int decay, int sustain, int release, int modulation = 0)
{
    initSynth(44100);
    static std::vector<float> ones;
    ones.assign(size_t(synth.waveLength), 1.0f);
    synth.waveTables[0] = ones.data();
    const int length = attack + decay + sustain + release + 1;
    std::vector<float> out(size_t(length) + 1, 123.0f);  // one guard element past the buffer
    for (int i = 0; i < length; i++)
        out[size_t(i)] = 0.0f;
    synth.instrumentSamples[5] = out.data();
    renderInstrument(attack, decay, sustain, release, modulation, 0, 5, 0);
    EXPECT_EQ(out.back(), 123.0f) << "wrote past the buffer";
    out.pop_back();
    return out;
}

}  // namespace

TEST(Instrument, EnvelopeShapes)
{
    const struct {
        int attack, decay, sustain, release;
        std::vector<float> expected;
    } cases[] = {
        {4, 0, 0, 4, {0.0f, 0.25f, 0.5f, 0.75f, 1.0f, 0.75f, 0.5f, 0.25f, 0.0f}},
        {2, 2, 1, 1, {0.0f, 0.5f, 1.0f, 0.5f, 0.0f, 0.0f, 0.0f}},        // decay = attack: silent after
        {0, 0, 1, 1, {0.0f, 1.0f, 1.0f}},                                 // attack 0 renders as 1, fills the buffer
        {2, 0, 1, 0, {0.0f, 0.5f, 1.0f, 1.0f}},                           // release 0: one sample at the sustain level
        {1, 3, 0, 2, {0.0f, 1.0f, 0.0f, -1.0f, -2.0f, -1.0f, 0.0f}},     // decay past 0 inverts the wave
    };
    for (const auto& c : cases) {
        const std::vector<float> out = renderEnvelope(c.attack, c.decay, c.sustain, c.release);
        EXPECT_EQ(out, c.expected) << c.attack << "," << c.decay << "," << c.sustain << "," << c.release;
    }
}

TEST(Instrument, KickOfTheEmbeddedSong)
{
    const std::vector<float> out = renderEnvelope(2, 16, 1, 4000);
    ASSERT_EQ(out.size(), 4020u);
    const float start[] = {0.0f, 0.5f, 1.0f, 0.5f, 0.0f, -0.5f};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(out[size_t(i)], start[i]);
    EXPECT_EQ(out[17], -6.5f);
    EXPECT_EQ(out[18], -7.0f);  // sustain
    EXPECT_EQ(out[19], -7.0f);  // first release sample
    EXPECT_EQ(out[20], -7.0f - -7.0f / 4000.0f);  // relStep -0.00175
    EXPECT_NEAR(out[4018], -0.0018f, 5e-5);  // level / release, with the rounding of 4000 single steps
    EXPECT_EQ(out[4019], 0.0f);  // the buffer's last element is never written
}

TEST(Instrument, SineSweepAndModulation)
{
    std::srand(1);
    initSynth(44100);
    std::vector<float> out(4021, 0.0f);
    synth.instrumentSamples[1] = out.data();
    renderInstrument(2, 16, 1, 4000, 0, -60, 1, 1);
    // The falling increment turns around near sample 2800: the wave then runs backwards,
    // so the output stays finite and bounded by the envelope.
    for (size_t i = 0; i < out.size(); i++)
        ASSERT_LE(std::fabs(out[i]), 7.0f) << i;
    EXPECT_EQ(out[2], synth.waveTables[1][1]);  // the sweep acts at once: sample 2 reads position 1.9996

    // Ring modulation: sample k is the enveloped wave times sin(k * modStep), angle in single steps.
    std::vector<float> ring(44112, 0.0f);
    synth.instrumentSamples[9] = ring.data();
    renderInstrument(2, 7, 1, 44100, 2, 0, 9, 1);
    const float modStep = float(((2 * 0.01) * 2) * 3.141592653589793 / 168);
    float angle = 0.0f, amplitude = 0.0f;
    for (int k = 0; k < 3; k++) {
        const float v = amplitude * synth.waveTables[1][k];
        EXPECT_EQ(ring[size_t(k)], float(v * std::sin(double(angle)))) << k;
        amplitude += 0.5f;
        angle += modStep;
    }
    EXPECT_NEAR(modStep * 44100 / (2 * 3.141592653589793), 5.25, 1e-3);  // Hz of the tremolo
}

TEST(Instrument, NoiseReadsTheNoiseTableInOrder)
{
    std::srand(1);
    initSynth(44100);
    std::vector<float> out(50002, 0.0f);
    synth.instrumentSamples[3] = out.data();
    renderInstrument(1, 0, 50000, 1, 0, 0, 3, 3);
    const float* noise = synth.waveTables[3];
    EXPECT_EQ(out[1], noise[1]);
    EXPECT_EQ(out[44099], noise[44099]);
    EXPECT_EQ(out[44100], noise[0]);  // the one-second table repeats
}

TEST(Instrument, PositionsOutsideTheTableStayInside)
{
    // A steep falling sweep drives the position far below 0 and a steep rising one beyond 32 bits;
    // both must keep reading the table (the guard element and sanitizers catch a stray index).
    for (int sweep : {-2000000000, 2000000000}) {
        std::srand(1);
        initSynth(44100);
        std::vector<float> out(20002, 0.0f);
        synth.instrumentSamples[2] = out.data();
        renderInstrument(1, 0, 20000, 1, 0, sweep, 2, 2);
        for (float v : out)
            ASSERT_LE(std::fabs(v), 1.0f);
    }
}
