// The sequencer and mixer: row timing, commands, echo, filter, pan and the output stage.
#include "fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// One channel with a hand-made instrument of constant value `level`, `length` samples long,
// playing pattern 1 from row 0; pan and everything else as given afterwards by the test.
void startConstantVoice(const std::string& pattern, float level, int length)
{
    ASSERT_EQ(startSong("bpm:125\ni1:saha,2,5,1,400,0\n" + pattern + "\nt1:p1\n"), 0) << songError;
    static std::vector<float> samples;
    samples.assign(size_t(length), level);
    synth.instrumentSamples[1] = samples.data();
    synth.instrumentLengths[1] = length;
    synth.chanPan[1] = 1.0f;  // everything in the left sample
}

// Songs that exercise every path of the mixer: commands, slide, filter, pan, finished tracks.
const char* const commandSong =
    "bpm:130\n"
    "i1:sini,2,16,1,4000,0,-60\n"
    "i2:saha,2,6,1,2000,0,0,100,50\n"
    "i3:kohina,2,10,1,5100,0,25,0\n"
    "i4:kantti,2,4,1,3000,500000,-5,30,95\n"
    "i5:saha,2,4,1,40,0,0\n"
    "p1:c3,00,vol,40,c4,sld,-3,c4,stop,00,a4,00,vol,100,sld,0,d4\n"
    "p2:echo1,c5,00,00,e5,echo0,g5,00,echo1,C6,stop,00,00,00\n"
    "p3:a6,b6,c1,c2\n"
    "p4:echo1,sld,200,c2,00,00,00,sld,-200,A3,00\n"
    "t1:p1,p1,loop\n"
    "t2:p2,p3\n"
    "t3:p3,p2,p3,loop,p1\n"
    "t4:p4,p2,loop\n"
    "t5:p3,p4,p3,loop\n";

}  // namespace

TEST(Mixer, MatchesTheFrameByFrameDefinition)
{
    const struct {
        std::string song;
        int frames;
    } cases[] = {
        {commandSong, 44100 * 6},
        {embeddedSongText(), 44100 * 20},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(startSong(c.song), 0) << songError;
        std::vector<uint8_t> expected(size_t(c.frames) * 4);
        referenceMixFrames(expected.data(), c.frames);
        static SynthState reference;
        reference = synth;
        std::vector<std::vector<float>> referenceEchoes;
        for (int j = 1; j <= 5; j++)
            referenceEchoes.emplace_back(synth.echoBuffers[j], synth.echoBuffers[j] + synth.echoLength);

        ASSERT_EQ(startSong(c.song), 0) << songError;
        std::vector<uint8_t> actual(expected.size());
        // Uneven calls, so that rows and runs begin anywhere inside a call.
        const int sizes[] = {1024, 1, 777, 3000, 5292, 64};
        int done = 0;
        for (int i = 0; done < c.frames; i++) {
            const int n = std::min(sizes[i % 6], c.frames - done);
            mixFrames(actual.data() + 4 * done, n);
            done += n;
        }
        EXPECT_EQ(sampleCounter.load(), c.frames);
        ASSERT_EQ(std::memcmp(expected.data(), actual.data(), expected.size()), 0) << "streams differ";
        EXPECT_EQ(std::memcmp(reference.chanPos, synth.chanPos, sizeof synth.chanPos), 0);
        EXPECT_EQ(std::memcmp(reference.filterState, synth.filterState, sizeof synth.filterState), 0);
        EXPECT_EQ(std::memcmp(reference.trackPos, synth.trackPos, sizeof synth.trackPos), 0);
        for (int j = 1; j <= 5; j++)
            EXPECT_EQ(referenceEchoes[size_t(j - 1)], std::vector<float>(synth.echoBuffers[j], synth.echoBuffers[j] + synth.echoLength)) << j;
    }
}

TEST(Mixer, RowsStartAtTheirExactFrame)
{
    // Row 1 of 5292 frames begins at frame 172 of the sixth 1024-frame buffer.
    startConstantVoice("p1:00,c3", 0.5f, 100000);
    const std::vector<uint8_t> out = renderBuffers(6);
    EXPECT_EQ(sampleAt(out, 5291, 0), 0);
    EXPECT_EQ(sampleAt(out, 5292, 0), 5461);
    EXPECT_EQ(sampleAt(out, 5292, 1), 0);
    EXPECT_EQ(synth.patternPos[1], 1);

    // Row 0's events act before frame 0 is mixed.
    startConstantVoice("p1:c3", 0.5f, 100000);
    EXPECT_EQ(sampleAt(renderBuffers(1), 0, 0), 5461);
}

TEST(Mixer, OutputStageClipsAndTruncates)
{
    const struct {
        float sum;
        int16_t sample;
    } cases[] = {
        {3.5f, 32766}, {-3.5f, -32766}, {3.0f, 32766}, {1.0f, 10922}, {0.5f, 5461}, {0.00005f, 0},
        {-0.0001f, -1}, {std::numeric_limits<float>::quiet_NaN(), -32766},
        {std::numeric_limits<float>::infinity(), 32766},
    };
    for (const auto& c : cases) {
        startConstantVoice("p1:c3", c.sum, 1000);
        const std::vector<uint8_t> out = renderBuffers(1);
        EXPECT_EQ(sampleAt(out, 0, 0), c.sample) << c.sum;
    }
}

TEST(Mixer, PanSplitsBetweenTheTwoSamples)
{
    const struct {
        float pan;
        int16_t left, right;
    } cases[] = {{1.0f, 10922, 0}, {0.0f, 0, 10922}, {0.5f, 5461, 5461}, {0.4f, 4368, 6553}};
    for (const auto& c : cases) {
        startConstantVoice("p1:c3", 1.0f, 1000);
        synth.chanPan[1] = c.pan;
        const std::vector<uint8_t> out = renderBuffers(1);
        EXPECT_EQ(sampleAt(out, 0, 0), c.left) << c.pan;
        EXPECT_EQ(sampleAt(out, 0, 1), c.right) << c.pan;
    }
}

TEST(Mixer, Commands)
{
    // vol, then a note: row 0 sets the volume, row 1 plays, row 2 moves on (to the loop).
    startConstantVoice("p1:vol,50,c3", 1.0f, 100000);
    std::vector<uint8_t> out = renderBuffers(6);
    EXPECT_EQ(synth.chanVolume[1], 0.5f);
    EXPECT_EQ(sampleAt(out, 5291, 0), 0);
    EXPECT_EQ(sampleAt(out, 5292, 0), 5461);

    // stop silences the voice from its row on.
    startConstantVoice("p1:c3,stop", 1.0f, 100000);
    out = renderBuffers(6);
    EXPECT_EQ(sampleAt(out, 5291, 0), 10922);
    EXPECT_EQ(sampleAt(out, 5292, 0), 0);

    // sld -3: the step falls by 0.00003 per sounding frame until the position runs back below 0.
    startConstantVoice("p1:sld,-3,c4", 1.0f, 100000);
    EXPECT_EQ(synth.chanSlide[1], 0.0f);
    renderBuffers(6);
    EXPECT_EQ(synth.chanSlide[1], float(-3 * 0.00001));
    EXPECT_GE(synth.chanPos[1], 0.0f);
    renderBuffers(80);
    EXPECT_LT(synth.chanStep[1], 0.0f);
    EXPECT_EQ(synth.chanPos[1], -1.0f);

    // A note whose first step reaches past the sample sounds for exactly one frame.
    startConstantVoice("p1:b6", 1.0f, 3);
    out = renderBuffers(1);
    EXPECT_EQ(sampleAt(out, 0, 0), 10922);
    EXPECT_EQ(sampleAt(out, 1, 0), 0);
}

TEST(Mixer, TracksFinishOrLoop)
{
    ASSERT_EQ(startSong("bpm:125\ni1:saha,2,5,1,400,0\ni2:saha,2,5,1,400,0\n"
                        "p1:c3,00\np2:d3\nt1:p1,p2\nt2:p2,p1,loop\n"),
              0)
        << songError;
    renderBuffers(4 * 5292 / 1024 + 1);  // rows 0 to 4
    EXPECT_EQ(synth.trackPos[1], -2);    // finished at row 3
    EXPECT_EQ(synth.patternPos[1], 0);
    EXPECT_EQ(synth.trackPos[2], 1);     // p2, p1 (2 rows), the loop to p2 at row 3, p1 at row 4
    EXPECT_EQ(synth.patternPos[2], 0);

    // No track at all: silence, and the counter still advances.
    std::srand(1);
    initSynth(44100);
    const std::vector<uint8_t> out = renderBuffers(2);
    EXPECT_EQ(sampleCounter.load(), 2048);
    for (uint8_t b : out)
        ASSERT_EQ(b, 0);
}

TEST(Mixer, EchoReturnsAndFeedsBack)
{
    // A one-frame blip into the echo line comes back after echoLength - 1 frames, then dies
    // away by 0.6 a pass once the voice is silent.
    startConstantVoice("p1:echo1,b6", 1.0f, 1);  // b6 steps past the one sample at once
    const int L = synth.echoLength;
    std::vector<uint8_t> out = renderBuffers((5292 + 3 * L) / 1024 + 1);
    const int blip = 5292;
    EXPECT_EQ(sampleAt(out, blip, 0), 10922);
    const float first = float(1.0f * 0.2);
    EXPECT_EQ(sampleAt(out, blip + L - 1, 0), int16_t(double(first) * 10922.0));
    const float second = float(first * 0.6);
    EXPECT_EQ(sampleAt(out, blip + 2 * (L - 1), 0), int16_t(double(second) * 10922.0));
    EXPECT_EQ(sampleAt(out, blip + L - 2, 0), 0);

    // Without the send nothing enters the line.
    startConstantVoice("p1:00,b6", 1.0f, 1);
    out = renderBuffers((5292 + L) / 1024 + 1);
    EXPECT_EQ(sampleAt(out, blip + L - 1, 0), 0);

    // While the send is on and the voice sounds, the return is fed back at 0.2 with the voice.
    startConstantVoice("p1:echo1,c3", 1.0f, 100000);
    out = renderBuffers((5292 + L) / 1024 + 1);
    EXPECT_EQ(sampleAt(out, blip + L - 1, 0), int16_t(double(1.0f + float(1.0f * 0.2)) * 10922.0));
}

TEST(Mixer, SmoothingFilter)
{
    // k = 0.5 on a constant 1.0: 0.5, 0.75, 0.875, ... (the filter starts from 0).
    startConstantVoice("p1:c3", 1.0f, 100000);
    synth.filterCoef[1] = 0.5f;
    const std::vector<uint8_t> out = renderBuffers(1);
    EXPECT_EQ(sampleAt(out, 0, 0), 5461);
    EXPECT_EQ(sampleAt(out, 1, 0), 8191);
    EXPECT_EQ(sampleAt(out, 2, 0), 9556);
    EXPECT_EQ(synth.filterState[1], 1.0f);  // converged
}

TEST(Mixer, NothingHappensForEmptyCalls)
{
    startConstantVoice("p1:c3", 1.0f, 100);
    uint8_t guard[4] = {7, 7, 7, 7};
    mixFrames(guard, 0);
    mixFrames(guard, -5);
    EXPECT_EQ(sampleCounter.load(), 0);
    EXPECT_EQ(guard[0], 7);
    EXPECT_EQ(synth.trackPos[1], -1);
}

TEST(Mixer, CounterWrapsToZeroInsteadOfOverflowing)
{
    // After about 13.5 hours the frame counter would pass 2^31 - 1; it starts again from 0
    // (a row tick), and every echo slot stays inside its line.
    startConstantVoice("p1:c3,d3", 0.5f, 100000);
    sampleCounter.store(2147483647 - 100);
    const std::vector<uint8_t> out = renderBuffers(1);
    EXPECT_EQ(sampleCounter.load(), 1024 - 101);
    EXPECT_EQ(synth.patternPos[1], 0);  // the tick at 0 started the track
    EXPECT_EQ(sampleAt(out, 100, 0), 0);
    EXPECT_EQ(sampleAt(out, 101, 0), 5461);
}
