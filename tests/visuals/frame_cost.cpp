// Measuring aid, not a test: the main-thread cost of drawn frames and of setupTextures outside GL.
// Links the recorder with recording off, so every GL call costs one counted function call.
#include <chrono>
#include <cstdio>

#include "gl_recorder.h"
#include "synth.h"
#include "visuals.h"

namespace {

double nowNs()
{
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int main()
{
    glRecording = false;
    const int repeats = 20;
    double best = 1e30;
    for (int i = 0; i < repeats; i++) {
        const double start = nowNs();
        setupTextures();
        best = std::min(best, nowNs() - start);
    }
    std::printf("setupTextures outside GL: %.1f us (best of %d)\n", best / 1000, repeats);

    const struct { int position; const char* scene; } scenes[] = {
        {0, "row 0: ring sphere"},
        {20, "row 3: title ring + spiral lines"},
        {40, "row 6: spiral lines + chain"},
        {90, "row 9: title ring + ring sphere"},
        {133, "row 20: passes only"},
    };
    const int frames = 5000;
    for (const auto& s : scenes) {
        sampleCounter.store(4096 + s.position * 8 * 5292);
        audioLevel.store(1.0f);  // the most spiral figures and chain links the level can ask for
        lastFrameMs = 0;
        int ms = 0;
        long drawn = 0;
        glCallsSkipped = 0;
        const double start = nowNs();
        for (int i = 0; i < frames; i++)
            drawn += renderFrame(ms += 9);
        const double perFrame = (nowNs() - start) / frames;
        std::printf("%-34s %7.2f us per drawn frame, %6ld GL calls per frame (%ld drawn)\n", s.scene,
                    perFrame / 1000, glCallsSkipped / frames, drawn);
    }
    // The path the driver spins on between frames: no GL call.
    lastFrameMs = 1 << 30;
    const long gated = 10000000;
    double start = nowNs();
    long drawn = 0;
    for (long i = 0; i < gated; i++)
        drawn += renderFrame(0);
    std::printf("gated call (nothing drawn): %.1f ns (%ld drawn)\n", (nowNs() - start) / gated, drawn);
    return 0;
}
