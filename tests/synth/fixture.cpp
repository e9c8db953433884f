// Helpers for the synthesizer tests.
#include "fixture.h"

#include <cstdlib>
#include <cstring>

int32_t startSong(const std::string& text)
{
    static std::vector<char> storage[64];  // parsed texts are kept, as the engine expects
    static int used;
    std::vector<char>& buffer = storage[used++ % 64];
    buffer.assign(text.begin(), text.end());
    buffer.push_back('\0');
    std::srand(1);
    initSynth(44100);
    audioLevel.store(0.0f);
    return parseSong(buffer.data());
}

std::string embeddedSongText()
{
    static const std::string text = embeddedSong;  // copied before any test parses it in place
    return text;
}

std::vector<uint8_t> renderBuffers(int buffers, int bufferBytes)
{
    std::vector<uint8_t> out(size_t(buffers) * size_t(bufferBytes));
    for (int b = 0; b < buffers; b++)
        audioCallback(nullptr, out.data() + size_t(b) * size_t(bufferBytes), bufferBytes);
    return out;
}

int16_t sampleAt(const std::vector<uint8_t>& stream, int frame, int c)
{
    const size_t at = size_t(frame) * 4 + size_t(c) * 2;
    return int16_t(uint16_t(stream[at] << 8 | stream[at + 1]));
}
