// libFuzzer entry point for the song parser and mixer.
#include "fuzz_song.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzSong(data, size);
    return 0;
}
