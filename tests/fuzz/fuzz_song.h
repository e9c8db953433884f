// One fuzz input: parse it as a song and, when it is accepted, play a little of it.
#pragma once

#include <cstddef>
#include <cstdint>

void fuzzSong(const uint8_t* data, size_t size);
