// Replays the fuzzer's regression corpus (inputs that once found faults) and the golden songs.
#include "fuzz_song.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

TEST(FuzzCorpus, EveryInputParsesOrIsRejectedSafely)
{
    int inputs = 0;
    for (const char* dir : {KU_SOURCE_DIR "/tests/fuzz/corpus", KU_SOURCE_DIR "/tests/synth/golden"}) {
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.path().extension() == ".raw")
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            SCOPED_TRACE(entry.path().string());
            fuzzSong(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            inputs++;
        }
    }
    EXPECT_GT(inputs, 0);
}
