// The visuals: timeline, scene effects and the feedback and glow passes, all on the main thread's GL context.
#pragma once

#include <cstdint>

// One row of the scene timeline (6 bytes). Bytes 0..4 signed, byte 5 unsigned.
struct SceneEntry {
    int8_t feedbackLevel;  // brightness target in hundredths
    int8_t glowLevel;      // glow intensity in tenths
    int8_t glowStep;       // depth step between glow layers in hundredths
    int8_t shapeParam;     // title ring tilt, ring sphere distance, chain tilt
    int8_t effects;        // bits: 1 title ring, 2 ring sphere, 4 spiral lines, 8 chain
    uint8_t start;         // first song position at which the row is current
};

// The timeline holds the embedded song's row length itself rather than reading the synthesizer's,
// and trails the sequencer by one device buffer (4096 frames) so a scene changes as its row is heard.
constexpr int32_t audioOffsetFrames = 4096;
constexpr int32_t rowFrames = 5292;
constexpr int32_t rowsPerPosition = 8;
constexpr int32_t frameGateMs = 9;
constexpr int32_t lastPosition = 135;
// The first audio frame at which a drawn frame ends the demo (5,761,792, about 130.65 s).
constexpr int32_t timelineEndFrame = audioOffsetFrames + (lastPosition + 1) * rowsPerPosition * rowFrames;

constexpr int sceneCount = 21;
extern const SceneEntry sceneTable[sceneCount];
extern const int8_t titleGlyphs[12];
extern const char glyphFont[];

extern uint8_t quitRequested;      // nonzero ends the main loop; the timeline adds 1 at its end
extern int32_t lastFrameMs;        // ms of the last drawn frame
extern float feedbackBrightness;   // smoothed brightness handed to the feedback pass

int renderFrame(int ms);           // 1 when a frame was drawn (swap buffers), else 0

void drawQuad(float x0, float y0, float y1, float x1, float z);
void drawTitleRing(int ms, int shapeParam);
void drawRingSphere(int ms, int shapeParam);
void drawSpirals(int ms);
void drawChain(int ms, int shapeParam);

void setupTextures();
void feedbackPass(float brightness);
void glowPass(float intensity, float step);
