// kusolvanta-capture: runs the demo's own timeline and synthesizer on a virtual clock into a video file.
#include "capture.h"

#include <GL/gl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "synth.h"
#include "visuals.h"

namespace {

constexpr int bufferBytes = 4096;          // what the demo's audio device asks for each time
constexpr int bufferFrames = bufferBytes / 4;

const char* usage =
    "usage: kusolvanta-capture [options] --output FILE.mp4|FILE.mkv\n"
    "       kusolvanta-capture [options] --png-sequence DIR\n"
    "\n"
    "Runs the demo's own timeline, effects and synthesizer on a virtual clock and records it\n"
    "frame by frame: video frame f is the demo at f * 1000 / FPS ms (to the nearest ms), drawn\n"
    "after the audio callback has mixed exactly as far as an audio device in time would have.\n"
    "The capture ends where the demo ends. The same build on the same machine gives the same\n"
    "pictures and sound every time.\n"
    "\n"
    "  --output FILE       .mp4: H.264 (yuv420p) with AAC sound; .mkv: H.264 with lossless\n"
    "                      FLAC sound (bit-exact with the demo's audio stream)\n"
    "  --png-sequence DIR  a new (or empty) directory of frame-000000.png ... with the\n"
    "                      soundtrack as soundtrack.wav, instead of a video file\n"
    "  --fps F             frames per second, 1 to 240 (default 60)\n"
    "  --height H          picture height, a multiple of 6 from 120 to 4320 (default 480);\n"
    "                      the width keeps 4:3 (--height 1440 gives 1920x1440). Multiples of\n"
    "                      480 keep sharp pixels, other sizes are scaled smoothly\n"
    "  --seconds S         capture only the first S seconds (default: the whole demo)\n"
    "  --preset P          x264 preset, ultrafast ... veryslow (default ultrafast; slower\n"
    "                      presets make smaller files but slow the capture down)\n"
    "  --crf N             x264 quality, 0 (lossless) to 51 (default 18)\n"
    "  --xvfb              draw on a private Xvfb even when DISPLAY is set\n"
    "  --ffmpeg PROGRAM    the ffmpeg to run (default: ffmpeg from PATH)\n"
    "  --quiet             no progress on stderr\n"
    "  --help              show this text\n"
    "\n"
    "Display: the demo draws into a 640x480 OpenGL window through SDL. With DISPLAY set it\n"
    "opens there (the window shows nothing; the pictures are read back); without DISPLAY, or\n"
    "with --xvfb, it starts its own Xvfb (Debian package xvfb) on a free display number and\n"
    "stops it at the end, so it runs on machines without a screen. No audio device is opened.\n"
    "Without a GPU, Mesa draws in software (llvmpipe), which takes most of the time;\n"
    "LP_NUM_THREADS sets its threads (default: one per processor). The last lines on stderr\n"
    "say where the time went: rendering, read-back, audio, waiting for ffmpeg, muxing.\n"
    "\n"
    "Needs ffmpeg (Debian package ffmpeg). The output is written under a hidden temporary name\n"
    "beside it and renamed at the end: a failed or interrupted capture leaves nothing under\n"
    "the output name. Progress (frames, frames per second, time left) goes to stderr. Exit\n"
    "status 0 on success, 1 on any error, with one line on stderr saying why.\n";

volatile sig_atomic_t stopSignal = 0;

void onStopSignal(int sig)
{
    stopSignal = sig;
}

std::string interruptedMessage()
{
    return std::string("interrupted by ") + (stopSignal == SIGINT ? "SIGINT" : "SIGTERM") + "; nothing written";
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "kusolvanta-capture: %s\n", message.c_str());
    return 1;
}

bool parseInt(const char* text, int low, int high, int& value)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno || end == text || *end || v < low || v > high)
        return false;
    value = int(v);
    return true;
}

bool endsWith(const std::string& text, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

// Returns "" when the command line is good, else the one line to report.
std::string parseOptions(int argc, char** argv, CaptureOptions& options, bool& help)
{
    bool haveOutput = false, havePng = false;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needsValue = [&](const char* what) { return arg + " needs " + what; };
        if (arg == "--help" || arg == "-h") {
            help = true;
            return "";
        } else if (arg == "--xvfb") {
            options.forceXvfb = true;
        } else if (arg == "--quiet") {
            options.progress = false;
        } else if (arg == "--output" || arg == "--png-sequence") {
            if (!value || !*value)
                return needsValue(arg == "--output" ? "a file name" : "a directory name");
            (arg == "--output" ? haveOutput : havePng) = true;
            options.outputPath = argv[++i];
        } else if (arg == "--fps") {
            if (!value || !parseInt(value, 1, 240, options.fps))
                return needsValue("a whole number from 1 to 240");
            i++;
        } else if (arg == "--height") {
            if (!value || !parseInt(value, 120, 4320, options.height) || options.height % 6 != 0)
                return needsValue("a multiple of 6 from 120 to 4320");
            i++;
        } else if (arg == "--crf") {
            if (!value || !parseInt(value, 0, 51, options.crf))
                return needsValue("a whole number from 0 to 51");
            i++;
        } else if (arg == "--seconds") {
            char* end = nullptr;
            options.seconds = value ? std::strtod(value, &end) : 0;
            if (!value || *end || !(options.seconds > 0 && options.seconds <= 3600))
                return needsValue("a number above 0 and at most 3600");
            i++;
        } else if (arg == "--preset") {
            static const char* presets[] = {"ultrafast", "superfast", "veryfast", "faster", "fast",
                                            "medium", "slow", "slower", "veryslow"};
            bool known = false;
            for (const char* p : presets)
                known = known || (value && std::strcmp(value, p) == 0);
            if (!known)
                return needsValue("an x264 preset: ultrafast, superfast, veryfast, faster, fast, "
                                  "medium, slow, slower or veryslow");
            options.preset = argv[++i];
        } else if (arg == "--ffmpeg") {
            if (!value || !*value)
                return needsValue("a program");
            options.ffmpeg = argv[++i];
        } else {
            return "unknown option: " + arg;
        }
    }
    if (haveOutput == havePng)
        return "give exactly one of --output FILE and --png-sequence DIR";
    options.pngSequence = havePng;
    if (haveOutput) {
        if (endsWith(options.outputPath, ".mkv"))
            options.losslessAudio = true;
        else if (!endsWith(options.outputPath, ".mp4"))
            return "--output must end in .mp4 (AAC sound) or .mkv (FLAC sound): " + options.outputPath;
    }
    return "";
}

int64_t frameMs(int64_t frame, int fps)
{
    return (frame * 2000 + fps) / (2 * fps);  // nearest millisecond, halves up
}

// How many frames the whole demo takes at this rate: the loop below ends on the first drawn
// frame whose audio has reached timelineEndFrame. Only the progress display uses it.
int64_t demoFrameCount(int fps)
{
    int64_t lastDrawn = 0;
    for (int64_t frame = 0;; frame++) {
        const int64_t ms = frameMs(frame, fps);
        const int64_t buffers = (ms * 441 + 10 * bufferFrames - 1) / (10 * bufferFrames);
        if (ms < lastDrawn + frameGateMs)
            continue;
        lastDrawn = ms;
        if (buffers * bufferFrames >= int64_t(timelineEndFrame))
            return frame + 1;
    }
}

std::string clockText(double seconds)
{
    const int s = int(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", s / 60, s % 60);
    return text;
}

struct Timings {
    double audio = 0, render = 0, readBack = 0;  // GL thread, seconds
    double waitEncoder = 0;                      // GL thread blocked because every slot was queued
    double pipeWrites = 0;                       // writer thread inside writev (ffmpeg not reading)
    double encodeEnd = 0;                        // from the start until ffmpeg finished encoding
    double mux = 0;                              // adding the soundtrack
};

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string ffmpegFailure(const char* step, int status, int log)
{
    const std::string why = lastLogLine(log);
    return std::string("ffmpeg failed while ") + step + " (status " + std::to_string(status) + ")" +
           (why.empty() ? std::string() : ": " + why);
}

}  // namespace

int main(int argc, char** argv)
{
    CaptureOptions options;
    bool help = false;
    const std::string problem = parseOptions(argc, argv, options, help);
    if (help) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (!problem.empty())
        return fail(problem + " (see --help)");

    const std::string ffmpegPath = findProgram(options.ffmpeg);
    if (ffmpegPath.empty())
        return fail("cannot find " + options.ffmpeg + ": install Debian's ffmpeg package or name one with --ffmpeg");
    options.ffmpeg = ffmpegPath;

    // Before SDL_Init, so that SDL keeps them: Ctrl+C stops the capture and removes its files.
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    OutputFiles files;
    std::string error;
    if (!files.create(options.outputPath, options.pngSequence, error))
        return fail(error);
    WavWriter soundtrack;
    if (!soundtrack.open(files.audioTemp()))
        return fail("cannot write " + options.outputPath + ": " + std::strerror(errno));

    initSynth(44100);
    if (parseSong(embeddedSong) < 0)
        return fail(std::string("the embedded song is rejected: ") + songError);

    std::string where;
    if (!openDisplay(options.forceXvfb, error, where))
        return fail(stopSignal ? interruptedMessage() : error);
    setupTextures();
    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));

    const int encodeLog = openLogFile();
    ChildProcess encoder;
    const std::string encodeTarget = options.pngSequence ? files.finalTemp() : files.videoTemp();
    if (!startProcess(encodeCommand(options, encodeTarget), true, encodeLog, {}, encoder)) {
        closeDisplay();
        return fail("cannot start " + options.ffmpeg + ": " + std::strerror(errno));
    }

    const int64_t demoFrames = demoFrameCount(options.fps);
    const int64_t wantedFrames = options.seconds > 0 ? int64_t(std::ceil(options.seconds * options.fps - 1e-9)) : 0;
    const int64_t totalFrames = wantedFrames > 0 && wantedFrames < demoFrames ? wantedFrames : demoFrames;

    Timings time;
    const auto start = std::chrono::steady_clock::now();
    auto lastReport = start;
    const bool interactive = isatty(STDERR_FILENO);
    uint8_t buffer[bufferBytes];
    bool audioOk = true, pipeOk = true, anyDrawn = false;
    int64_t frames = 0;
    {
        FrameQueue queue(encoder.stdinFd);
        for (; wantedFrames == 0 || frames < wantedFrames; frames++) {
            if (stopSignal)
                break;
            const int64_t ms = frameMs(frames, options.fps);
            auto t = std::chrono::steady_clock::now();
            // An audio device in time has played ms * 44.1 frames by now.
            while (int64_t(sampleCounter.load(std::memory_order_relaxed)) * 10 < ms * 441) {
                audioCallback(nullptr, buffer, bufferBytes);
                audioOk = soundtrack.append(buffer, bufferBytes) && audioOk;
            }
            time.audio += secondsSince(t);

            uint8_t* slot = queue.acquire(time.waitEncoder);
            t = std::chrono::steady_clock::now();
            const bool drawn = renderFrame(int(ms)) != 0;
            if (drawn) {
                glFinish();
                time.render += secondsSince(t);
                t = std::chrono::steady_clock::now();
                glReadPixels(0, 0, viewWidth, viewHeight, GL_RGB, GL_UNSIGNED_BYTE, slot);
                time.readBack += secondsSince(t);
            } else if (!anyDrawn) {
                std::memset(slot, 0, FrameQueue::frameBytes);  // before the first picture the screen is black
            }
            // An undrawn frame shows the last picture again, as a display would.
            pipeOk = queue.submit(!drawn && anyDrawn);
            anyDrawn = anyDrawn || drawn;
            if (!pipeOk)
                break;
            if (drawn && quitRequested) {
                frames++;
                break;
            }

            const auto now = std::chrono::steady_clock::now();
            if (options.progress && now - lastReport > std::chrono::milliseconds(interactive ? 250 : 10000)) {
                lastReport = now;
                const double fps = double(frames + 1) / secondsSince(start);
                const int64_t left = totalFrames > frames + 1 ? totalFrames - frames - 1 : 0;
                std::fprintf(stderr, "%skusolvanta-capture: frame %lld of %lld, %.1f fps, %s left%s",
                             interactive ? "\r" : "", (long long)(frames + 1), (long long)totalFrames, fps,
                             clockText(double(left) / fps).c_str(), interactive ? "  " : "\n");
            }
        }
        pipeOk = queue.close() && pipeOk;
        time.pipeWrites = queue.writeSeconds();
        if (options.progress && interactive)
            std::fputc('\n', stderr);
    }
    const int encodeStatus = finishProcess(encoder);
    time.encodeEnd = secondsSince(start);

    // The soundtrack is as long as the video: frames / fps seconds, to the nearest audio frame.
    const int64_t audioFrames = (frames * 44100 * 2 + options.fps) / (2 * options.fps);
    while (int64_t(sampleCounter.load(std::memory_order_relaxed)) < audioFrames) {
        audioCallback(nullptr, buffer, bufferBytes);
        audioOk = soundtrack.append(buffer, bufferBytes) && audioOk;
    }
    closeDisplay();

    if (stopSignal)
        return fail(interruptedMessage());
    if (encodeStatus != 0 || !pipeOk)
        return fail(ffmpegFailure("encoding the pictures", encodeStatus, encodeLog));
    if (!audioOk || !soundtrack.finish(audioFrames))
        return fail("cannot write the soundtrack beside " + options.outputPath + ": " + std::strerror(errno));

    if (!options.pngSequence) {
        const auto t = std::chrono::steady_clock::now();
        const int muxLog = openLogFile();
        ChildProcess muxer;
        if (!startProcess(muxCommand(options, files.videoTemp(), files.audioTemp(), files.finalTemp()), false,
                          muxLog, {}, muxer))
            return fail("cannot start " + options.ffmpeg + ": " + std::strerror(errno));
        const int muxStatus = finishProcess(muxer);
        if (muxStatus != 0)
            return fail(ffmpegFailure("adding the soundtrack", muxStatus, muxLog));
        time.mux = secondsSince(t);
    }
    if (stopSignal)
        return fail(interruptedMessage());
    if (!files.publish(error))
        return fail(error);

    if (options.progress) {
        const double total = secondsSince(start);
        const double videoSeconds = double(frames) / options.fps;
        std::fprintf(stderr,
                     "kusolvanta-capture: %lld frames (%.2f s of demo) in %.1f s, %.2fx real time, on %s (%s)\n"
                     "kusolvanta-capture: rendering %.1f s, read-back %.1f s, audio %.1f s, waiting for ffmpeg "
                     "%.1f s; pipe writes %.1f s; encoding done at %.1f s; soundtrack mux %.1f s\n",
                     (long long)frames, videoSeconds, total, videoSeconds / total, where.c_str(), renderer.c_str(),
                     time.render, time.readBack, time.audio, time.waitEncoder, time.pipeWrites, time.encodeEnd,
                     time.mux);
    }
    return 0;
}
