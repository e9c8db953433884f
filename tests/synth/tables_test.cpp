// Wave tables, note values and the channels' start state after initSynth.
#include "fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

static int noteValue(const char* name)
{
    for (int i = 0; i < noteTableSize; i++)
        if (std::strcmp(noteTable.names[i], name) == 0)
            return noteTable.values[i];
    ADD_FAILURE() << "no note " << name;
    return 0;
}

TEST(Tables, WaveTablesAt44100)
{
    std::srand(1);
    initSynth(44100);
    ASSERT_EQ(synth.waveLength, 168);
    ASSERT_EQ(synth.sampleRate, 44100);
    const float* square = synth.waveTables[0];
    const float* sine = synth.waveTables[1];
    const float* saw = synth.waveTables[2];
    EXPECT_EQ(square[0], -1.0f);
    EXPECT_EQ(square[83], -1.0f);
    EXPECT_EQ(square[84], 1.0f);
    EXPECT_EQ(square[167], 1.0f);
    EXPECT_EQ(sine[0], 0.0f);
    EXPECT_EQ(sine[42], 1.0f);
    EXPECT_EQ(sine[126], -1.0f);
    EXPECT_EQ(saw[0], 0.0f);
    EXPECT_NEAR(saw[83], 0.98809522f, 1e-7);
    EXPECT_EQ(saw[84], -1.0f);
    EXPECT_NEAR(saw[167], -0.01190476f, 1e-7);
}

TEST(Tables, NoiseFollowsTheHostGenerator)
{
    std::srand(1);
    initSynth(44100);
    std::srand(1);
    const float* noise = synth.waveTables[3];
    for (int i = 0; i < 44100; i++) {
        const float expected = float(std::rand() % 2000 - 1000) * 0.001f;
        ASSERT_EQ(noise[i], expected) << i;
        ASSERT_GE(noise[i], -1.0f);
        ASSERT_LT(noise[i], 1.0f);
    }
}

TEST(Tables, NoteValuesAreHalvedDownFromOctaveSix)
{
    initSynth(44100);
    const struct { const char* name; int hz; } cases[] = {
        {"a4", 440}, {"c1", 32}, {"A1", 58}, {"A6", 1864}, {"c5", 523}, {"b6", 1976}, {"C3", 138}, {"d3", 146},
    };
    for (const auto& c : cases)
        EXPECT_EQ(noteValue(c.name), c.hz) << c.name;
    const struct { const char* name; int value; } commands[] = {
        {"echo1", -4}, {"echo0", -5}, {"stop", -6}, {"vol", -7}, {"sld", -8},
    };
    for (const auto& c : commands)
        EXPECT_EQ(noteValue(c.name), c.value) << c.name;
    EXPECT_STREQ(noteTable.names[77], "0");
}

TEST(Tables, ChannelsStartSilentAndUnplayed)
{
    initSynth(44100);
    EXPECT_EQ(sampleCounter.load(), 0);
    for (int n = 0; n < channelSlots; n++) {
        EXPECT_EQ(synth.tracks[n][0], -2);
        EXPECT_EQ(synth.chanPos[n], -1.0f);
        EXPECT_EQ(synth.trackPos[n], -1);
        EXPECT_EQ(synth.patternPos[n], 0);
        EXPECT_EQ(synth.chanVolume[n], 1.0f);
        EXPECT_EQ(synth.chanPan[n], n % 2 ? 0.4f : 0.6f);
        EXPECT_EQ(synth.filterCoef[n], 0.0f);
    }
    EXPECT_EQ(playedChannels(), 1);  // no channel at all
}

TEST(Tables, SmallestRateGivesOneEntryCycles)
{
    initSynth(262);
    ASSERT_EQ(synth.waveLength, 1);
    EXPECT_EQ(synth.waveTables[0][0], 1.0f);
    EXPECT_EQ(synth.waveTables[1][0], 0.0f);
    EXPECT_EQ(synth.waveTables[2][0], 0.0f);
}
