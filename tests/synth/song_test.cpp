// The song parser: what it stores for each kind of line, and the songs it rejects.
#include "fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// A playable frame around the lines under test: tempo, instrument 1 and a track of pattern 1.
const std::string head = "bpm:125\ni1:saha,2,5,1,400,0\n";

std::vector<int32_t> slots(const int32_t* row)
{
    std::vector<int32_t> out;
    for (int k = 0; k < 100; k++) {
        out.push_back(row[k]);
        if (row[k] == -2)
            break;
    }
    return out;
}

}  // namespace

TEST(Song, PatternLines)
{
    const struct {
        const char* line;
        std::vector<int32_t> stored;
    } cases[] = {
        {"p5:0", {0, -2}},
        {"p5:c3,00,0,d3", {130, 0, 0, 146, -2}},
        {"p5: 00", {0, -2}},
        {"p5:c3,,d3", {130, 146, -2}},
        {"p5:c3,vol,50,d3", {130, -7, 50, 146, -2}},
        {"p5:vol,c3", {-7, 0, -2}},
        {"p5:sld,-3,stop,echo1,echo0", {-8, -3, -6, -4, -5, -2}},
        {"p5:c3,C3", {130, 138, -2}},
        {"p5:E3,B3,c7,C,x", {0, 0, 0, 0, 0, -2}},
        {"p5:c3:d3", {0, -2}},
        {"p5", {-2}},
        {"p5:", {-2}},
        {"p 5:a 4", {440, -2}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(startSong(head + "p1:c3\nt1:p1\n" + c.line + "\n"), 0) << c.line << ": " << songError;
        EXPECT_EQ(slots(synth.patterns[5]), c.stored) << c.line;
    }
}

TEST(Song, TrackLines)
{
    const struct {
        const char* line;
        std::vector<int32_t> stored;
    } cases[] = {
        {"t4:p2,p14,loop", {2, 14, -3, -2}},
        {"t4: p2, p14 ,loop", {2, 14, -3, -2}},
        {"t4:12", {2, -2}},
        {"t4:x12", {12, -2}},
        {"t4:Loop", {0, -2}},
        {"t4:p1,loop,p3", {1, -3, 3, -2}},
        {"t4:", {-2}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(startSong(head + "p1:c3\nt1:p1\n" + c.line + "\n"), 0) << c.line << ": " << songError;
        EXPECT_EQ(slots(synth.tracks[4]), c.stored) << c.line;
    }
}

TEST(Song, TempoSetsRowAndEchoLengths)
{
    const struct {
        const char* line;
        int rowLength;
    } cases[] = {
        {"bpm:125", 5292}, {"bpm:126", 5292}, {"bpm:127", 5292}, {"bpm:120", 5512}, {"bpm:130", 5088},
        {"bpm::125", 5292}, {"bpm:1 25", 5292}, {"bpm:125,3", 5292}, {"bpm:3", 264600},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(startSong(std::string(c.line) + "\n"), 0) << c.line << ": " << songError;
        EXPECT_EQ(synth.rowLength, c.rowLength) << c.line;
        EXPECT_EQ(synth.echoLength, 3 * c.rowLength) << c.line;
    }
    // Heads that merely look like the tempo are something else.
    ASSERT_EQ(startSong("bpm:125\nBPM:120\nbpm2:120\ntempo:p3\n"), 0) << songError;
    EXPECT_EQ(synth.rowLength, 5292);
    EXPECT_EQ(synth.tracks[0][0], 3);  // "tempo" is a track line for track 0
}

TEST(Song, InstrumentLines)
{
    ASSERT_EQ(startSong("bpm:125\n"
                        "i1:sini,2,16,1,4000,0,-60\n"
                        "i2:sinus,2,4,1,100,0\n"     // unknown wave: keeps the sine of the line before
                        "i3:saha,2,4,1,100,0,0,100\n"
                        "i4:saha,2,4,1,100,0,0,50,25\n"
                        "i5:kantti,2,4,1,100,0,0,-20,7,99\n"),
              0)
        << songError;
    EXPECT_EQ(synth.instrumentLengths[1], 4020);
    EXPECT_EQ(synth.instrumentLengths[2], 108);
    EXPECT_EQ(synth.instrumentSamples[2][2], synth.waveTables[1][2]);  // sine at amplitude 1.0
    EXPECT_EQ(synth.chanPan[2], 0.6f);                                    // no pan field
    EXPECT_EQ(synth.chanPan[3], 1.0f);
    EXPECT_EQ(synth.chanPan[4], 0.5f);
    EXPECT_EQ(synth.filterCoef[4], 0.25f);
    EXPECT_EQ(synth.chanPan[5], float(-20.0f * 0.01));
    EXPECT_EQ(synth.filterCoef[5], float(7.0f * 0.01));
    EXPECT_EQ(synth.instrumentSamples[5][2], -1.0f);  // square, first half of the cycle, amplitude 1
    ASSERT_NE(synth.echoBuffers[1], nullptr);
    for (int i = 0; i < synth.echoLength; i++)
        ASSERT_EQ(synth.echoBuffers[1][i], 0.0f);

    // The first line without a wave keyword renders a square.
    ASSERT_EQ(startSong("bpm:125\ni2:sinus,2,4,1,100,0\n"), 0) << songError;
    EXPECT_EQ(synth.instrumentSamples[2][2], -1.0f);
}

TEST(Song, TextFormsThatReadAlike)
{
    const std::string song = head + "p1:c3,d3,00\n#p1:e3\n  # comment\nx#\nt1:p1,loop\n";
    ASSERT_EQ(startSong(song), 0) << songError;
    const std::vector<int32_t> plain = slots(synth.patterns[1]);
    EXPECT_EQ(plain, (std::vector<int32_t>{130, 146, 0, -2}));

    std::string crlf;
    for (char c : song)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_EQ(startSong(crlf), 0) << songError;
    EXPECT_EQ(slots(synth.patterns[1]), plain);

    // A second line for pattern 1 replaces it from slot 0; the later end marker ends it.
    ASSERT_EQ(startSong(song + "p1:e3\n"), 0) << songError;
    EXPECT_EQ(synth.patterns[1][0], 164);
    EXPECT_EQ(synth.patterns[1][1], -2);
    EXPECT_EQ(synth.patterns[1][2], 0);  // old slot kept, never reached
}

TEST(Song, LinesAfterTheThousandthAreIgnored)
{
    std::string song = head + "p1:c3\nt1:p1\n";  // 4 lines
    for (int i = 0; i < 995; i++)
        song += "#\n";
    song += "\n\n\np2:d3\n";  // empty lines do not count: this is line 1000
    song += "p3:e3\nbpm:1\n";  // beyond: no effect, even broken
    ASSERT_EQ(startSong(song), 0) << songError;
    EXPECT_EQ(synth.patterns[2][0], 146);
    EXPECT_EQ(synth.patterns[3][0], 0);
}

TEST(Song, RejectedSongsNameTheLineAndTheLimit)
{
    const struct {
        std::string song;
        const char* message;
    } cases[] = {
        {"i1:saha,2,5,1,400,0\nbpm:125\n", "line 1: instrument 1 comes before the tempo line"},
        {"p1:c3\n", "the song has no tempo line"},
        {"", "the song has no tempo line"},
        {"bpm\n", "line 1: the tempo line has no tempo"},
        {"bpm:2\n", "line 1: tempo 2 is below 3"},
        {"bpm:-125\n", "line 1: tempo -125 is below 3"},
        {"bpm:1000000\n", "line 1: tempo 1000000 is too fast"},
        {"bpm:99999999999\n", "line 1: a number does not fit in 32 bits"},
        {head + "bpm:120\n", "line 3: a tempo line after the instrument lines must not change the row length"},
        {head + "i30:saha,2,5,1,400,0\n", "line 3: instrument number 30 is outside 0 to 29"},
        {head + "i-1:saha,2,5,1,400,0\n", "line 3: instrument number -1 is outside 0 to 29"},
        {head + "i2:saha,2,5,1,400\n", "line 3: instrument 2 needs a wave and attack, decay, sustain, release and modulation"},
        {head + "i2\n", "line 3: instrument 2 needs a wave"},
        {head + "i2:saha,2,-5,1,400,0\n", "line 3: instrument 2 has a negative envelope length"},
        {head + "i2:saha,0,5,1,0,0\n", "line 3: instrument 2 has attack and release both 0"},
        {head + "i2:saha,2147483647,2147483647,1,400,0\n", "line 3: instrument 2 does not fit"},
        {head + "i2:saha,2,5,1,400,0,99999999999\n", "line 3: a number does not fit in 32 bits"},
        {head + "p1000:c3\n", "line 3: pattern number 1000 is outside 0 to 999"},
        {head + "p1:c3,vol\n", "line 3: vol at the end of pattern 1 needs a number after it"},
        {head + "p1:sld\n", "line 3: sld at the end of pattern 1 needs a number after it"},
        {head + "t30:p1\n", "line 3: track number 30 is outside 0 to 29"},
        {head + "p1:c3\nt1:loop,p1\n", "line 4: track 1 starts with loop"},
        {head + "p1:c3\nt1:p1,p1000\n", "line 4: entry 2 of track 1 names no pattern from 0 to 999"},
        {head + "p1:c3\nt1:p1,p-2,p1\n", "line 4: entry 2 of track 1 names no pattern from 0 to 999"},
        {head + "p1:c3\nt1:p1,p2\n", "line 4: track 1 plays pattern 2, which is not defined"},
        {head + "p1:c3\np2:\nt1:p1,p2\n", "line 5: track 1 plays pattern 2, which has no rows"},
        {head + "p1:c3\nt1:p1\nt2:p1\n", "line 5: track 2 plays, but there is no instrument line i2"},
        {"bpm:125\n\n\n# comment\ni1:saha,2,5,1,400,0\nt1:p7\n", "line 6: track 1 plays pattern 7, which is not defined"},
    };
    for (const auto& c : cases) {
        EXPECT_LT(startSong(c.song), 0) << c.song;
        EXPECT_EQ(std::string(songError).rfind(c.message, 0), 0u) << "got: " << songError << "\nfor: " << c.song;
    }
}

TEST(Song, RejectsOverlongLinesAndTooManyTracks)
{
    std::string pattern = "p1:c3";
    for (int i = 1; i < 99; i++)
        pattern += ",00";
    ASSERT_EQ(startSong(head + pattern + "\nt1:p1\n"), 0) << songError;  // 99 slots fit
    EXPECT_EQ(synth.patterns[1][99], -2);
    EXPECT_LT(startSong(head + pattern + ",00\nt1:p1\n"), 0);
    EXPECT_STREQ(songError, "line 3: pattern 1 has more than 99 slots");
    EXPECT_LT(startSong(head + pattern.substr(0, pattern.size() - 3) + ",vol,5\nt1:p1\n"), 0);
    EXPECT_STREQ(songError, "line 3: pattern 1 has more than 99 slots");

    std::string track = "t1:p1";
    for (int i = 1; i < 99; i++)
        track += ",p1";
    ASSERT_EQ(startSong(head + "p1:c3\n" + track + "\n"), 0) << songError;
    EXPECT_LT(startSong(head + "p1:c3\n" + track + ",loop\n"), 0);
    EXPECT_STREQ(songError, "line 4: track 1 has more than 99 entries");

    std::string tracks;
    for (int n = 1; n <= 28; n++)
        tracks += "i" + std::to_string(n) + ":saha,2,5,1,400,0\nt" + std::to_string(n) + ":p1\n";
    ASSERT_EQ(startSong("bpm:125\np1:c3\n" + tracks), 0) << songError;
    EXPECT_EQ(playedChannels(), 29);
    EXPECT_LT(startSong("bpm:125\np1:c3\n" + tracks + "i29:saha,2,5,1,400,0\nt29:p1\n"), 0);
    EXPECT_STREQ(songError, "line 60: more than 28 tracks would play (tracks 1 to 29 are all present)");
}

TEST(Song, UnplayedTracksAreNotChecked)
{
    // A track above a gap, or after an empty track line, is stored but never played.
    ASSERT_EQ(startSong(head + "p1:c3\nt1:p1\nt3:loop,p5000\n"), 0) << songError;
    EXPECT_EQ(playedChannels(), 2);
    EXPECT_EQ(synth.tracks[3][1], 5000);
}

TEST(Song, LoadSongFile)
{
    initSynth(44100);
    const int32_t rowLength = synth.rowLength;
    char* before = songText;
    EXPECT_EQ(loadSongFile("/nonexistent/song.txt"), -1);
    EXPECT_EQ(loadSongFile("/"), -1);  // a directory cannot be read as a song
    EXPECT_EQ(synth.rowLength, rowLength);
    EXPECT_EQ(songText, before);

    // The embedded song loaded from its file gives the same record as the embedded text.
    ASSERT_EQ(startSong(embeddedSongText()), 0) << songError;
    static SynthState fromText;
    fromText = synth;
    std::srand(1);
    initSynth(44100);
    ASSERT_EQ(loadSongFile(KU_SOURCE_DIR "/data/song.txt"), 0) << songError;
    EXPECT_EQ(std::memcmp(fromText.tracks, synth.tracks, sizeof synth.tracks), 0);
    EXPECT_EQ(std::memcmp(fromText.patterns, synth.patterns, sizeof synth.patterns), 0);
    EXPECT_EQ(std::memcmp(fromText.instrumentLengths, synth.instrumentLengths, sizeof synth.instrumentLengths), 0);
    for (int n = 1; n <= 10; n++)
        EXPECT_EQ(std::memcmp(fromText.instrumentSamples[n], synth.instrumentSamples[n],
                              sizeof(float) * size_t(synth.instrumentLengths[n])), 0) << n;
}

TEST(Song, EmbeddedSongShape)
{
    ASSERT_EQ(startSong(embeddedSongText()), 0) << songError;
    EXPECT_EQ(synth.rowLength, 5292);
    EXPECT_EQ(synth.echoLength, 15876);
    const int lengths[] = {4020, 2010, 5114, 4009, 4008, 16008, 23009, 3008, 44111, 8109};
    for (int n = 1; n <= 10; n++)
        EXPECT_EQ(synth.instrumentLengths[n], lengths[n - 1]) << n;
    EXPECT_EQ(playedChannels(), 11);
    for (int n = 1; n <= 10; n++) {
        int k = 0;
        while (synth.tracks[n][k] != -2)
            k++;
        EXPECT_EQ(synth.tracks[n][k - 1], -3) << "track " << n << " ends in loop";
    }
}
