// The scene timeline and frame pacing: picks the scene from the audio position and opens each drawn frame.
#include "visuals.h"

#include <GL/gl.h>

#include <cmath>

#include "synth.h"

uint8_t quitRequested = 0;
int32_t lastFrameMs = 0;
float feedbackBrightness = 0.0f;

namespace {

constexpr uint8_t effectTitleRing = 1;
constexpr uint8_t effectRingSphere = 2;
constexpr uint8_t effectSpirals = 4;
constexpr uint8_t effectChain = 8;

}  // namespace

int renderFrame(int ms)
{
    int32_t songRow = (sampleCounter.load(std::memory_order_relaxed) - audioOffsetFrames) / rowFrames;
    if (songRow < 0)
        songRow = 0;
    const int32_t songPos = songRow / rowsPerPosition;

    const SceneEntry* entry = &sceneTable[0];
    for (int i = 0; i < sceneCount; i++)
        if (sceneTable[i].start <= songPos)
            entry = &sceneTable[i];

    // Updated on every call, drawn or not, so the brightness settles at the pace the driver calls.
    feedbackBrightness = static_cast<float>(
        std::fma(static_cast<double>(feedbackBrightness), 0.99, entry->feedbackLevel * 0.0001));
    const float glowIntensity = static_cast<float>(entry->glowLevel * 0.1);
    float glowStep = static_cast<float>(entry->glowStep * 0.01);

    // 64-bit sum: no overflow however long the demo has been running.
    if (static_cast<int64_t>(ms) < static_cast<int64_t>(lastFrameMs) + frameGateMs)
        return 0;
    lastFrameMs = ms;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.01, 0.01, -0.0075, 0.0075, 0.01, 1135.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // The title ring draws through the disc mask with the colour and additive blend function that
    // the previous frame's glow pass left behind.
    glBindTexture(GL_TEXTURE_2D, 3);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    const uint8_t effects = static_cast<uint8_t>(entry->effects);
    if (effects & effectTitleRing)
        drawTitleRing(ms, entry->shapeParam);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    if (effects & effectRingSphere)
        drawRingSphere(ms, entry->shapeParam);
    if (effects & effectSpirals)
        drawSpirals(ms);
    if (effects & effectChain)
        drawChain(ms, entry->shapeParam);

    feedbackPass(feedbackBrightness);
    if (!(static_cast<double>(glowStep) < 0.099))
        glowStep = static_cast<float>(glowStep + audioLevel.load(std::memory_order_relaxed) * 0.05);
    glowPass(glowIntensity, glowStep);

    if (songPos > lastPosition)
        quitRequested = static_cast<uint8_t>(quitRequested + 1);
    return 1;
}
