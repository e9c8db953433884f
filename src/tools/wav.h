// The header of the tools' WAV files: 16-bit stereo PCM at 44100 Hz, as the demo plays.
#pragma once

#include <cstdint>
#include <cstring>

constexpr int wavHeaderBytes = 44;

// The 44 header bytes for `dataBytes` bytes of little-endian samples.
inline void fillWavHeader(uint8_t* h, uint32_t dataBytes)
{
    auto put = [](uint8_t* out, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; i++)
            out[i] = uint8_t(value >> (8 * i));
    };
    std::memcpy(h, "RIFF", 4);
    put(h + 4, 36 + dataBytes, 4);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put(h + 16, 16, 4);
    put(h + 20, 1, 2);          // PCM
    put(h + 22, 2, 2);          // stereo
    put(h + 24, 44100, 4);
    put(h + 28, 44100 * 4, 4);  // bytes per second
    put(h + 32, 4, 2);          // bytes per frame
    put(h + 34, 16, 2);         // bits per sample
    std::memcpy(h + 36, "data", 4);
    put(h + 40, dataBytes, 4);
}
