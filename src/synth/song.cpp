// The song text format: a tempo line and instrument, pattern and track lines, parsed into `synth`.
//
// This is the edge where songs are checked. A song that would make the mixer leave its tables
// (numbers outside them, over-long lines, a played track or pattern that cannot be played, missing
// fields, a tempo that changes after the echo lines are sized) is rejected with a message naming
// its line; every song inside the format parses exactly as it always has. The mixer can then trust
// the record without checks of its own.
#include "synth.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

char* songText;
char songError[160];

constexpr int maxLines = 1000;

// State of one parse. Line numbers count every line feed of the text, so that a message names
// the line as the musician's editor shows it; 0 means "not written by any line".
static char* lineStarts[maxLines];
static int lineNumbers[maxLines];
static int currentLine;
static int instrumentLine[channelSlots];
static int trackLine[channelSlots];
static int trackBadEntry[channelSlots];  // the first entry naming no pattern 0..999 (1-based), or 0
static int patternLine[patternCount];
static int currentWaveform;

static int32_t fail(const char* format, ...)
{
    int used = currentLine > 0 ? std::snprintf(songError, sizeof songError, "line %d: ", currentLine) : 0;
    va_list args;
    va_start(args, format);
    std::vsnprintf(songError + used, sizeof songError - size_t(used), format, args);
    va_end(args);
    return -1;
}

void stripBlanks(char* text)
{
    char* to = text;
    for (const char* from = text; *from; from++)
        if (*from != '\r' && *from != ' ')
            *to++ = *from;
    *to = '\0';
}

// A number as atoi reads it (leading white space, a sign, digits up to the first other
// character, none giving 0); false when it does not fit in 32 bits.
static bool readNumber(const char* text, int32_t* value)
{
    while (*text == '\t' || *text == '\n' || *text == '\v' || *text == '\f')
        text++;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        text++;
    int64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; text++) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > 2147483648LL)
            return false;
    }
    const int64_t v = negative ? -magnitude : magnitude;
    if (v > 2147483647LL)
        return false;
    *value = int32_t(v);
    return true;
}

static bool readChecked(const char* text, int32_t* value)
{
    if (readNumber(text, value))
        return true;
    fail("a number does not fit in 32 bits");
    return false;
}

// Cuts the text at line feeds as strtok would (empty lines are no lines), up to maxLines lines.
static int cutLines(char* text)
{
    int count = 0, number = 1;
    char* p = text;
    while (*p && count < maxLines) {
        if (*p == '\n') {
            p++, number++;
            continue;
        }
        lineStarts[count] = p;
        lineNumbers[count++] = number;
        while (*p && *p != '\n')
            p++;
        if (*p)
            *p++ = '\0', number++;
    }
    return count;
}

static int32_t lookupNote(const char* field)
{
    for (int i = 0; noteTable.names[i][0] != '0'; i++)
        if (std::strcmp(field, noteTable.names[i]) == 0)
            return noteTable.values[i];
    return 0;
}

static int32_t parseTempo()
{
    const char* field = std::strtok(nullptr, ":");
    int32_t bpm;
    if (!field)
        return fail("the tempo line has no tempo");
    if (!readChecked(field, &bpm))
        return -1;
    if (bpm < 3)
        return fail("tempo %d is below 3", bpm);
    const int64_t rowLength = int64_t(synth.sampleRate) * 6 / ((int64_t(bpm) * 10) / 25);
    if (rowLength < 1)
        return fail("tempo %d is too fast: a row would be shorter than one frame", bpm);
    bool instrumentsRead = false;
    for (int n = 0; n < channelSlots; n++)
        instrumentsRead |= instrumentLine[n] != 0;
    if (instrumentsRead && 3 * rowLength != synth.echoLength)
        return fail("a tempo line after the instrument lines must not change the row length");
    synth.rowLength = int32_t(rowLength);
    synth.echoLength = int32_t(3 * rowLength);
    return 0;
}

static int32_t parseInstrument(const char* head)
{
    int32_t n;
    if (!readChecked(head + 1, &n))
        return -1;
    if (n < 0 || n >= channelSlots)
        return fail("instrument number %d is outside 0 to %d", n, channelSlots - 1);
    if (synth.rowLength == 0)
        return fail("instrument %d comes before the tempo line (bpm:...)", n);

    const char* wave = std::strtok(nullptr, ",");
    int32_t envelope[5];  // attack, decay, sustain, release, modulation
    for (int32_t& value : envelope) {
        const char* field = std::strtok(nullptr, ",");
        if (!wave || !field)
            return fail("instrument %d needs a wave and attack, decay, sustain, release and modulation", n);
        if (!readChecked(field, &value))
            return -1;
    }
    int32_t optional[3] = {0, 0, 0};  // sweep, pan, smoothing
    bool present[3] = {false, false, false};
    for (int i = 0; i < 3; i++) {
        const char* field = std::strtok(nullptr, ",");
        if (!field)
            break;
        if (!readChecked(field, &optional[i]))
            return -1;
        present[i] = true;
    }
    const int32_t attack = envelope[0], decay = envelope[1], sustain = envelope[2], release = envelope[3];
    if (attack < 0 || decay < 0 || sustain < 0 || release < 0)
        return fail("instrument %d has a negative envelope length", n);
    if (attack == 0 && release == 0)
        return fail("instrument %d has attack and release both 0", n);

    static const char* const waveNames[4] = {"kantti", "sini", "saha", "kohina"};
    for (int w = 0; w < 4; w++)
        if (std::strcmp(wave, waveNames[w]) == 0)
            currentWaveform = w;

    const int64_t length = int64_t(attack) + decay + sustain + release + 1;
    float* echo = allocSamples(synth.echoLength);
    float* samples = length <= 2147483647LL ? allocSamples(length) : nullptr;
    if (!echo || !samples)
        return fail("instrument %d does not fit in the synthesizer's %d MiB of sample memory", n,
                    int(samplePoolFloats * sizeof(float) >> 20));
    synth.echoBuffers[n] = echo;
    synth.instrumentLengths[n] = int32_t(length);
    synth.instrumentSamples[n] = samples;
    if (present[1])
        synth.chanPan[n] = float(float(optional[1]) * 0.01);
    if (present[2])
        synth.filterCoef[n] = float(float(optional[2]) * 0.01);
    renderInstrument(attack, decay, sustain, release, envelope[4], optional[0], n, currentWaveform);
    instrumentLine[n] = currentLine;
    return 0;
}

static int32_t parsePattern(const char* head)
{
    int32_t n;
    if (!readChecked(head + 1, &n))
        return -1;
    if (n < 0 || n >= patternCount)
        return fail("pattern number %d is outside 0 to %d", n, patternCount - 1);
    int32_t* slots = synth.patterns[n];
    int k = 0;
    for (const char* field; (field = std::strtok(nullptr, ","));) {
        const int32_t value = lookupNote(field);
        const bool takesArgument = value == cmdVol || value == cmdSld;
        if (k + (takesArgument ? 2 : 1) > patternSlots - 1)
            return fail("pattern %d has more than %d slots", n, patternSlots - 1);
        slots[k++] = value;
        if (takesArgument) {
            const char* argument = std::strtok(nullptr, ",");
            if (!argument)
                return fail("%s at the end of pattern %d needs a number after it", value == cmdVol ? "vol" : "sld", n);
            if (!readChecked(argument, &slots[k++]))
                return -1;
        }
    }
    slots[k] = endMarker;
    patternLine[n] = currentLine;
    return 0;
}

static int32_t parseTrack(const char* head)
{
    int32_t n;
    if (!readChecked(head + 1, &n))
        return -1;
    if (n < 0 || n >= channelSlots)
        return fail("track number %d is outside 0 to %d", n, channelSlots - 1);
    int32_t* entries = synth.tracks[n];
    int k = 0;
    trackBadEntry[n] = 0;
    for (const char* field; (field = std::strtok(nullptr, ","));) {
        if (k >= trackSlots - 1)
            return fail("track %d has more than %d entries", n, trackSlots - 1);
        int32_t value = loopMarker;
        if (std::strcmp(field, "loop") != 0) {
            if (!readChecked(field + 1, &value))
                return -1;
            if ((value < 0 || value >= patternCount) && !trackBadEntry[n])
                trackBadEntry[n] = k + 1;
        }
        entries[k++] = value;
    }
    entries[k] = endMarker;
    trackLine[n] = currentLine;
    return 0;
}

// What the mixer needs of the tracks it will play: checked once the whole song is read.
static int32_t checkPlayedTracks()
{
    currentLine = 0;
    if (synth.rowLength == 0)
        return fail("the song has no tempo line (bpm:...)");
    const int played = playedChannels();
    if (played >= channelSlots) {
        currentLine = trackLine[channelSlots - 1];
        return fail("more than %d tracks would play (tracks 1 to %d are all present)", maxPlayedTracks, channelSlots - 1);
    }
    for (int j = 1; j < played; j++) {
        currentLine = trackLine[j];
        const int32_t* entries = synth.tracks[j];
        if (!synth.instrumentSamples[j])
            return fail("track %d plays, but there is no instrument line i%d", j, j);
        if (entries[0] == loopMarker)
            return fail("track %d starts with loop", j);
        if (trackBadEntry[j])
            return fail("entry %d of track %d names no pattern from 0 to %d", trackBadEntry[j], j, patternCount - 1);
        for (int k = 0; entries[k] != endMarker && entries[k] != loopMarker; k++) {
            const int32_t p = entries[k];
            if (!patternLine[p])
                return fail("track %d plays pattern %d, which is not defined", j, p);
            if (synth.patterns[p][0] == endMarker)
                return fail("track %d plays pattern %d, which has no rows", j, p);
        }
    }
    return 0;
}

int32_t parseSong(char* text)
{
    songText = text;
    stripBlanks(text);
    songError[0] = '\0';
    currentLine = 0;
    currentWaveform = 0;
    std::memset(instrumentLine, 0, sizeof instrumentLine);
    std::memset(trackLine, 0, sizeof trackLine);
    std::memset(trackBadEntry, 0, sizeof trackBadEntry);
    std::memset(patternLine, 0, sizeof patternLine);

    const int lines = cutLines(text);
    for (int i = 0; i < lines; i++) {
        currentLine = lineNumbers[i];
        char* line = lineStarts[i];
        if (line[0] == '#')
            continue;
        const char* head = std::strtok(line, ":");
        if (!head)
            continue;
        int32_t status = 0;
        if (std::strcmp(head, "bpm") == 0)
            status = parseTempo();
        else if (head[0] == 'i')
            status = parseInstrument(head);
        else if (head[0] == 'p')
            status = parsePattern(head);
        else if (head[0] == 't')
            status = parseTrack(head);
        if (status < 0)
            return status;
    }
    return checkPlayedTracks();
}

int32_t loadSongFile(const char* path)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return -1;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    // No song comes near this size; a directory or device can report any size at all.
    constexpr long maxSongBytes = 64L << 20;
    char* buffer = nullptr;
    if (size >= 0 && size <= maxSongBytes && std::fseek(file, 0, SEEK_SET) == 0)
        buffer = static_cast<char*>(std::malloc(size_t(size) + 1));
    // The extra read finds a file that is not readable as bytes at all, such as a directory.
    const bool complete = buffer && std::fread(buffer, 1, size_t(size), file) == size_t(size) &&
                          std::fgetc(file) == EOF && !std::ferror(file);
    std::fclose(file);
    if (!complete) {
        std::free(buffer);
        return -1;
    }
    buffer[size] = '\0';
    return parseSong(buffer);
}
