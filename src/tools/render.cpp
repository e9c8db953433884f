// kusolvanta-render: plays a song through the demo's own audio callback into a WAV file or the raw device stream.
#include "synth.h"
#include "visuals.h"
#include "wav.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

constexpr int bufferBytes = 4096;       // what the demo's audio device asks for each time
constexpr int bufferFrames = bufferBytes / 4;
constexpr double maxSeconds = 12 * 3600.0; // the frame counter must stay below 2^31

const char* usage =
    "usage: kusolvanta-render [--song FILE] [--seconds S] [--raw] --output OUT\n"
    "\n"
    "Plays a song exactly as the demo's audio thread does (44100 Hz, stereo, 16-bit, buffers of\n"
    "1024 frames) and writes the result.\n"
    "\n"
    "  --song FILE    the song text to play (default: the song embedded in the demo)\n"
    "  --seconds S    length in seconds, rounded up to whole buffers\n"
    "                 (default: the demo's own length, 5627 buffers, about 130.66 s)\n"
    "  --raw          write the exact device byte stream (signed 16-bit, most significant\n"
    "                 byte first, left then right) instead of a WAV file\n"
    "  --output OUT   the file to write; '-' writes to standard output\n"
    "  --help         show this text\n"
    "\n"
    "A song outside the format is reported with its line and the exit status is 1; no output\n"
    "file is left behind then.\n";

int failUsage(const char* message)
{
    std::fprintf(stderr, "kusolvanta-render: %s\n(try --help)\n", message);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* songPath = nullptr;
    const char* outputPath = nullptr;
    double seconds = -1;
    bool raw = false;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            return 0;
        } else if (arg == "--raw") {
            raw = true;
        } else if (arg == "--song" && hasValue) {
            songPath = argv[++i];
        } else if (arg == "--output" && hasValue) {
            outputPath = argv[++i];
        } else if (arg == "--seconds" && hasValue) {
            char* end = nullptr;
            seconds = std::strtod(argv[++i], &end);
            if (*end || !(seconds > 0 && seconds <= maxSeconds))
                return failUsage("--seconds needs a number above 0 and at most 43200");
        } else {
            return failUsage(("unknown or incomplete option: " + arg).c_str());
        }
    }
    if (!outputPath)
        return failUsage("--output is required");

    initSynth(44100);
    int32_t status;
    if (songPath) {
        status = loadSongFile(songPath);
        if (status < 0 && !songError[0]) {
            std::fprintf(stderr, "kusolvanta-render: cannot read song file %s\n", songPath);
            return 1;
        }
    } else {
        status = parseSong(embeddedSong);
    }
    if (status < 0) {
        std::fprintf(stderr, "kusolvanta-render: %s: %s\n", songPath ? songPath : "embedded song", songError);
        return 1;
    }

    const int64_t frames = seconds > 0 ? int64_t(std::ceil(seconds * 44100)) : int64_t(timelineEndFrame);
    const int64_t buffers = (frames + bufferFrames - 1) / bufferFrames;
    const uint64_t dataBytes = uint64_t(buffers) * bufferBytes;
    if (!raw && dataBytes > 0xFFFFFFFFull - 36)
        return failUsage("a WAV file holds at most about 6.7 hours; use --raw for longer");

    // Written under a temporary name and renamed at the end, so a failed run leaves no output.
    const bool toStdout = std::strcmp(outputPath, "-") == 0;
    const std::string tempPath = std::string(outputPath) + ".part";
    FILE* out = toStdout ? stdout : std::fopen(tempPath.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "kusolvanta-render: cannot write %s: %s\n", outputPath, std::strerror(errno));
        return 1;
    }
    if (!raw) {
        uint8_t header[wavHeaderBytes];
        fillWavHeader(header, uint32_t(dataBytes));
        std::fwrite(header, 1, sizeof header, out);
    }

    const auto start = std::chrono::steady_clock::now();
    auto lastReport = start;
    bool reported = false;
    uint8_t buffer[bufferBytes];
    for (int64_t b = 0; b < buffers; b++) {
        audioCallback(nullptr, buffer, bufferBytes);
        if (!raw)
            for (int i = 0; i < bufferBytes; i += 2)
                std::swap(buffer[i], buffer[i + 1]);  // WAV samples are little-endian
        std::fwrite(buffer, 1, bufferBytes, out);
        const auto now = std::chrono::steady_clock::now();
        if (now - lastReport > std::chrono::seconds(1)) {
            std::fprintf(stderr, "\rkusolvanta-render: %.1f of %.1f s", double(b + 1) * bufferFrames / 44100,
                         double(buffers) * bufferFrames / 44100);
            lastReport = now;
            reported = true;
        }
    }
    if (reported)
        std::fputc('\n', stderr);

    const bool written = std::fflush(out) == 0 && !std::ferror(out) && (toStdout || std::fclose(out) == 0);
    if (!written || (!toStdout && std::rename(tempPath.c_str(), outputPath) != 0)) {
        std::fprintf(stderr, "kusolvanta-render: cannot write %s: %s\n", outputPath, std::strerror(errno));
        if (!toStdout)
            unlink(tempPath.c_str());
        return 1;
    }
    return 0;
}
