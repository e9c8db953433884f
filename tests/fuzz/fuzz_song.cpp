// One fuzz input: parse it as a song and, when it is accepted, play a little of it.
#include "fuzz_song.h"

#include "synth.h"

#include <cstdlib>
#include <cstring>
#include <vector>

void fuzzSong(const uint8_t* data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    std::srand(1);
    initSynth(44100);
    audioLevel.store(0.0f);
    if (parseSong(text.data()) < 0) {
        if (!songError[0])
            std::abort();  // a rejection always says why
        return;
    }
    // Two seconds, enough for several rows and echo passes at the common tempos.
    static uint8_t buffer[4096];
    for (int b = 0; b < 86; b++) {
        audioCallback(nullptr, buffer, sizeof buffer);
        for (size_t i = 0; i < sizeof buffer; i += 2) {
            const int s = int16_t(uint16_t(buffer[i] << 8 | buffer[i + 1]));
            if (s > 32766 || s < -32766)
                std::abort();  // the output stage never leaves +-32766
        }
    }
}
