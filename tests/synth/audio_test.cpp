// The audio callback and the level meter.
#include "fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A 4096-byte buffer of 2048 big-endian samples, all `fill` but for one sample at `at`.
std::vector<uint8_t> buffer(int16_t fill, int at = -1, int16_t value = 0)
{
    std::vector<uint8_t> b(4096);
    for (int i = 0; i < 2048; i++) {
        const uint16_t s = uint16_t(i == at ? value : fill);
        b[size_t(2 * i)] = uint8_t(s >> 8);
        b[size_t(2 * i + 1)] = uint8_t(s);
    }
    return b;
}

float levelAfter(const std::vector<uint8_t>& b, float start = 0.0f)
{
    audioLevel.store(start);
    updateAudioLevel(b.data(), 2048);
    return audioLevel.load();
}

}  // namespace

TEST(Meter, PeakOfTheBuffer)
{
    const struct {
        std::vector<uint8_t> samples;
        float peak;
    } cases[] = {
        {buffer(0), 0.0f},
        {buffer(0, 100, 16384), 0.5f},
        {buffer(0, 100, -16384), 0.5f},
        {buffer(0, 0, -32768), 1.0f},
        {buffer(0, 2047, 32766), 32766.0f / 32768.0f},  // last sample, a right one
        {buffer(0, 1, 32766), 32766.0f / 32768.0f},     // a right sample measures like a left one
        {buffer(0, 0, 32766), 32766.0f / 32768.0f},
        {buffer(-3, 5, 2), 3.0f / 32768.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(levelAfter(c.samples), float(0.15 * double(c.peak)));
}

TEST(Meter, SmoothsTowardThePeak)
{
    // Silence decays the level by 0.85 a buffer.
    EXPECT_EQ(levelAfter(buffer(0), 0.5f), float(0.85 * 0.5));

    // From 0, buffers of peak p give p * (1 - 0.85^n), up to single rounding.
    audioLevel.store(0.0f);
    const std::vector<uint8_t> half = buffer(0, 7, 16384);
    for (int n = 1; n <= 30; n++) {
        updateAudioLevel(half.data(), 2048);
        EXPECT_NEAR(audioLevel.load(), 0.5 * (1 - std::pow(0.85, n)), 1e-6) << n;
    }
}

TEST(AudioCallback, MixesTheBufferThenMeasuresIt)
{
    ASSERT_EQ(startSong("bpm:125\ni1:saha,0,0,20000,1,0\np1:a4\nt1:p1\n"), 0) << songError;
    std::vector<uint8_t> out(4096, 0xAA);
    audioCallback(nullptr, out.data(), 4096);
    EXPECT_EQ(sampleCounter.load(), 1024);
    float peak = 0.0f;
    for (int i = 0; i < 2048; i++)
        peak = std::max(peak, std::fabs(float(sampleAt(out, i / 2, i % 2)) / 32768.0f));
    EXPECT_GT(peak, 0.1f);
    EXPECT_EQ(audioLevel.load(), float(0.15 * double(peak)));

    // A buffer of another size is mixed and measured without reading past its end; the bytes of
    // a partial frame are silence.
    std::vector<uint8_t> odd(4095 + 16, 0xAA);
    audioCallback(nullptr, odd.data(), 4095);
    EXPECT_EQ(sampleCounter.load(), 1024 + 1023);
    EXPECT_EQ(odd[4092], 0);
    EXPECT_EQ(odd[4094], 0);
    EXPECT_EQ(odd[4095], 0xAA);
}
