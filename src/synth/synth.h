// The music synthesizer's one record, its tables and its entry points, shared by the demo and the tools.
//
// THREADS. `synth` is built on the main thread (initSynth, parseSong) while the audio device is
// paused; from the unpausing on it belongs to the audio thread alone. Two values cross threads:
// `sampleCounter` and `audioLevel`, each one aligned 32-bit word with a single writer (the audio
// thread), so relaxed atomic stores and loads suffice: a reader may see a value one buffer old,
// never a torn one.
//
// MEMORY. Wave tables, instrument samples and echo lines come from a fixed pool inside this
// module, are zero when handed out and are kept for the life of the process (initSynth starts the
// pool afresh). The audio callback allocates nothing, locks nothing and calls nothing that blocks.
#pragma once

#include <atomic>
#include <cstdint>

constexpr int channelSlots = 30;   // per-number tables; entry 0 exists and is never played
constexpr int maxPlayedTracks = 28;
constexpr int trackSlots = 100;
constexpr int patternCount = 1000;
constexpr int patternSlots = 100;
constexpr int noteTableSize = 78;

// Slot values of tracks and patterns besides notes and pattern numbers.
constexpr int32_t endMarker = -2;
constexpr int32_t loopMarker = -3;
constexpr int32_t cmdEcho1 = -4;
constexpr int32_t cmdEcho0 = -5;
constexpr int32_t cmdStop = -6;
constexpr int32_t cmdVol = -7;
constexpr int32_t cmdSld = -8;

struct SynthState {
    float* waveTables[4];                          // 0 square, 1 sine, 2 saw (waveLength), 3 noise (sampleRate)
    float* instrumentSamples[channelSlots];        // pre-rendered instrument n, instrumentLengths[n] floats
    float chanPos[channelSlots];                   // position in the instrument sample; negative = silent
    float chanStep[channelSlots];                  // added to chanPos per frame (note Hz / 262)
    float* echoBuffers[channelSlots];              // circular echo line, echoLength floats
    float chanPan[channelSlots];                   // share sent left (0..1); right gets 1 - pan
    float filterState[channelSlots];               // previous output before volume and pan
    float filterCoef[channelSlots];                // smoothing weight; exactly 0.0 = off
    float chanVolume[channelSlots];                // output gain, 1.0 at start, set by vol
    float chanSlide[channelSlots];                 // added to chanStep after each sounding frame, set by sld
    int32_t sampleRate;                            // output rate in Hz
    int32_t waveLength;                            // entries of one square/sine/saw cycle (rate / 262)
    int32_t rowLength;                             // frames per pattern row, from the tempo line
    int32_t tracks[channelSlots][trackSlots];      // pattern numbers, loopMarker, ended by endMarker
    int32_t patterns[patternCount][patternSlots];  // notes (Hz), commands, arguments, 0 empty, endMarker
    int32_t trackPos[channelSlots];                // current track entry; -1 not started, -2 finished
    int32_t patternPos[channelSlots];              // current slot of the current pattern
    int32_t instrumentLengths[channelSlots];       // attack + decay + sustain + release + 1
    int32_t echoLength;                            // floats per echo line: 3 * rowLength
    int8_t echoOn[channelSlots];                   // nonzero: the voice feeds its echo line
};

// Names and values in one order: 72 notes c1..b6 (lowercase natural, uppercase the sharp above),
// then echo1, echo0, stop, vol, sld and the terminating "0". Only octave 6 is stored; initSynth
// halves it down to octave 1.
struct NoteTable {
    const char* names[noteTableSize];
    int32_t values[noteTableSize];
};

extern SynthState synth;
extern NoteTable noteTable;
extern std::atomic<int32_t> sampleCounter;  // frames mixed since the audio started
extern std::atomic<float> audioLevel;       // smoothed peak of the latest buffer, 0..1
extern char* songText;                      // the text last given to parseSong
extern char songError[160];                 // why parseSong last rejected a song ("line 7: ...")
extern char embeddedSong[];                 // data/song.txt, writable (kusolvanta_song library)

void initSynth(int32_t rate);
void renderInstrument(int32_t attack, int32_t decay, int32_t sustain, int32_t release,
                      int32_t modulation, int32_t sweep, int32_t instrument, int32_t waveform);
void stripBlanks(char* text);
int32_t parseSong(char* text);          // 0, or -1 with songError set when the song is outside the format
int32_t loadSongFile(const char* path); // -1 when unreadable (nothing changed), else parseSong's result
int32_t playedChannels();               // channels 1 .. n-1 are played
void mixFrames(uint8_t* out, int32_t frames);
void audioCallback(void* userdata, uint8_t* stream, int len);
void updateAudioLevel(const uint8_t* samples, int count);  // count 16-bit big-endian samples

// Memory of the synthesizer's fixed pool: `count` floats, all 0.0, or nullptr when the pool is spent.
float* allocSamples(int64_t count);
constexpr int64_t samplePoolFloats = int64_t(1) << 24;  // 64 MiB for waves, instruments and echoes
