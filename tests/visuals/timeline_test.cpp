// Tests of renderFrame: the frame gate, scene choice, brightness recurrence, frame order and the end.
#include <cmath>

#include "visuals_fixture.h"

namespace {

// What a drawn frame shows of its scene row, read back from the recorded calls.
struct SceneSeen {
    int effects = 0;        // bits as in the table, from each effect's first call
    float sphereZ = NAN;    // ring sphere distance
    float brightness = NAN; // feedback colour red / 0.992
    float glowRed = NAN;    // glow colour red (intensity * 0.25)
    float glowStep = NAN;   // depth step of the glow layers
};

SceneSeen seenInLog()
{
    SceneSeen seen;
    for (size_t i = 0; i < glCalls.size(); i++) {
        const GlCall& call = glCalls[i];
        if (matches(call, {"glTranslatef", {0, 0.28, -2}}))
            seen.effects |= 1;
        if (matches(call, {"glLineWidth", {8}})) {
            seen.effects |= 2;
            seen.sphereZ = float(glCalls[i - 3].args[2]);
        }
        if (matches(call, {"glLineWidth", {2}}))
            seen.effects |= 4;
        if (matches(call, {"glTranslatef", {-0.15, 0, -0.01}}))
            seen.effects |= 8;
        if (matches(call, {"glBlendFunc", {GL_ONE_MINUS_DST_COLOR, GL_DST_COLOR}}))
            seen.brightness = float(glCalls[i + 1].args[0]);
        if (matches(call, {"glBlendFunc", {GL_ONE, GL_ONE}}))
            seen.glowRed = float(glCalls[i + 1].args[0]);
        if (call.name == "glTranslatef" && call.args[0] == 0 && call.args[1] == 0 && call.state.blendSrc == GL_ONE &&
            call.state.blendDst == GL_ONE && call.state.boundTexture == 2)
            seen.glowStep = float(call.args[2]);
    }
    return seen;
}

TEST_F(VisualsTest, FrameGateDrawsNineMillisecondsAfterTheLastDrawnFrame)
{
    // ms, expected result; each drawn call becomes the new reference.
    const struct { int ms; int drawn; } calls[] = {
        {0, 0}, {1, 0}, {8, 0}, {9, 1}, {10, 0}, {17, 0}, {18, 1}, {40, 1}, {48, 0}, {49, 1}, {49, 0}, {30, 0},
    };
    for (const auto& c : calls) {
        glCalls.clear();
        EXPECT_EQ(renderFrame(c.ms), c.drawn) << "ms " << c.ms;
        if (c.drawn) {
            EXPECT_EQ(lastFrameMs, c.ms);
            EXPECT_FALSE(glCalls.empty());
        } else {
            EXPECT_TRUE(glCalls.empty()) << "ms " << c.ms << " made " << glCalls.size() << " GL calls";
        }
    }
}

TEST_F(VisualsTest, SceneFollowsTheAudioPosition)
{
    // Values as the scene rows hold them; sphere distance 0.0625 * shapeParam - 4.
    const struct { int32_t counter; int row; int effects; int feedback; int glow; int step; float sphereZ; } cases[] = {
        {0, 0, 2, 95, 11, -2, -4.0f},
        {9387, 0, 2, 95, 11, -2, -4.0f},
        {framesForPosition(7) - 1, 0, 2, 95, 11, -2, -4.0f},
        {framesForPosition(7), 1, 2, 99, 11, -2, 1.0f},
        {framesForPosition(16), 2, 5, 65, 21, -15, NAN},
        {framesForPosition(24), 4, 9, 95, 11, 1, NAN},
        {framesForPosition(39), 6, 12, 95, 11, 1, NAN},
        {framesForPosition(64), 8, 8, 99, 10, -4, NAN},
        {framesForPosition(97), 10, 3, 45, 11, -2, -1.9375f},
        {framesForPosition(100), 12, 3, 90, 11, -4, 0.0625f},
        {framesForPosition(131), 19, 2, 95, 110, -5, -6.0f},
        {framesForPosition(132), 20, 0, 95, 110, -5, NAN},  // start 132 is stored as 0x84
        {framesForPosition(135), 20, 0, 95, 110, -5, NAN},
    };
    for (const auto& c : cases) {
        SetUp();
        sampleCounter.store(c.counter);
        audioLevel.store(1.0f);  // no stored row has a glow step the level may widen
        ASSERT_EQ(renderFrame(9), 1);
        const SceneSeen seen = seenInLog();
        SCOPED_TRACE("counter " + std::to_string(c.counter) + ", row " + std::to_string(c.row));
        EXPECT_EQ(seen.effects, c.effects);
        EXPECT_EQ(seen.brightness, float(float(c.feedback * 0.0001) * 0.992));
        EXPECT_EQ(seen.glowRed, float(float(c.glow * 0.1) * 0.25));
        EXPECT_EQ(seen.glowStep, float(c.step * 0.01));
        if (!std::isnan(c.sphereZ)) {
            EXPECT_EQ(seen.sphereZ, c.sphereZ);
        }
        EXPECT_EQ(quitRequested, 0);
    }
}

TEST_F(VisualsTest, BrightnessMovesOnEveryCallTowardTheRowsLevel)
{
    // Calls that draw nothing move the brightness too; row 0 pulls it toward 0.95.
    float expected = 0.0f;
    for (int i = 0; i < 2000; i++) {
        renderFrame(0);
        expected = float(std::fma(double(expected), 0.99, 95 * 0.0001));
        ASSERT_EQ(feedbackBrightness, expected) << "call " << i;
    }
    EXPECT_TRUE(glCalls.empty());
    // Single-precision steps stall once 1% of the distance is below half an ulp, about 3e-6 short.
    EXPECT_NEAR(feedbackBrightness, 0.95f, 4e-6);

    // Row 10 (target 0.45) from there: the drawn frame hands the value of its own call to the pass.
    sampleCounter.store(framesForPosition(96));
    ASSERT_EQ(renderFrame(9), 1);
    expected = float(std::fma(double(expected), 0.99, 45 * 0.0001));
    EXPECT_EQ(feedbackBrightness, expected);
    EXPECT_EQ(seenInLog().brightness, float(expected * 0.992));
}

TEST_F(VisualsTest, DrawnFrameRunsPrologueEffectsAndPassesInOrder)
{
    sampleCounter.store(framesForPosition(24));  // row 4: title ring and chain
    ASSERT_EQ(renderFrame(9), 1);
    const float brightness = float(95 * 0.0001);
    std::vector<Expect> head = {
        {"glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}},
        {"glMatrixMode", {GL_PROJECTION}},
        {"glLoadIdentity", {}},
        {"glFrustum", {-0.01, 0.01, -0.0075, 0.0075, 0.01, 1135.0}},
        {"glMatrixMode", {GL_MODELVIEW}},
        {"glLoadIdentity", {}},
        {"glBindTexture", {GL_TEXTURE_2D, 3}},
        {"glEnable", {GL_TEXTURE_2D}},
        {"glEnable", {GL_BLEND}},
        {"glLoadIdentity", {}},
        {"glTranslatef", {0, 0.28, -2}},
    };
    expectCallsAt(0, head);

    size_t disable = 0;
    while (disable < glCalls.size() && !matches(glCalls[disable], {"glDisable", {GL_BLEND}}))
        disable++;
    ASSERT_LT(disable, glCalls.size());
    size_t at = expectCallsAt(disable, {{"glDisable", {GL_BLEND}}, {"glDisable", {GL_TEXTURE_2D}},
                                        {"glColor3f", {0.08f, 0.06f, 0.05f}}, {"glLoadIdentity", {}}});
    size_t feedback = at;
    while (feedback < glCalls.size() && !matches(glCalls[feedback], {"glBindTexture", {GL_TEXTURE_2D, 1}}))
        feedback++;
    EXPECT_EQ(countCalls("glTranslatef", at, feedback), 60u);  // two chains of 30 steps

    std::vector<Expect> tail = {
        {"glBindTexture", {GL_TEXTURE_2D, 1}},
        {"glLoadIdentity", {}},
        {"glEnable", {GL_BLEND}},
        {"glEnable", {GL_TEXTURE_2D}},
        {"glBlendFunc", {GL_ONE_MINUS_DST_COLOR, GL_DST_COLOR}},
        {"glColor3f", {brightness * 0.992, brightness * 0.98, brightness * 0.94}},
    };
    append(tail, quadCalls(-1, -0.75f, 0.75f, -1, -1.02f));
    append(tail, {{"glCopyTexSubImage2D", {GL_TEXTURE_2D, 0, 0, 0, 0, 0, 640, 480}},
                  {"glBindTexture", {GL_TEXTURE_2D, 2}},
                  {"glCopyTexSubImage2D", {GL_TEXTURE_2D, 0, 0, 0, 0, 0, 640, 480}},
                  {"glBlendFunc", {GL_ONE, GL_ONE}},
                  {"glColor3f", {1.1f * 0.25, 1.1f * 0.2, 1.1f * 0.2}}});
    for (int layer = 0; layer < 20; layer++) {
        append(tail, quadCalls(-1, -0.75f, 0.75f, -1, -0.99f));
        tail.push_back({"glTranslatef", {0, 0, 0.01}});
    }
    EXPECT_EQ(expectCallsAt(feedback, tail), glCalls.size());
}

TEST_F(VisualsTest, TitleRingDrawsWithThePreviousFramesGlowColourAndBlend)
{
    sampleCounter.store(framesForPosition(2));  // row 0: no title; its glow is 1.1
    ASSERT_EQ(renderFrame(9), 1);
    sampleCounter.store(framesForPosition(16));  // row 2: title ring and spirals, glow 2.1
    audioLevel.store(0.5f);                      // two spiral figures
    for (int frame = 0; frame < 2; frame++) {
        glCalls.clear();
        ASSERT_EQ(renderFrame(18 + 9 * frame), 1);
        const float intensity = frame == 0 ? 1.1f : 2.1f;
        const float red = float(intensity * 0.25), greenBlue = float(intensity * 0.2);
        size_t titleVertices = 0;
        for (const GlCall& call : glCalls) {
            if (matches(call, {"glDisable", {GL_BLEND}}))
                break;
            EXPECT_NE(call.name, "glColor3f");
            EXPECT_NE(call.name, "glBlendFunc");
            if (call.name != "glVertex3f")
                continue;
            titleVertices++;
            EXPECT_EQ(call.state.color[0], red);
            EXPECT_EQ(call.state.color[1], greenBlue);
            EXPECT_EQ(call.state.color[2], greenBlue);
            EXPECT_EQ(call.state.blendSrc, GLenum(GL_ONE));
            EXPECT_EQ(call.state.blendDst, GLenum(GL_ONE));
            EXPECT_EQ(call.state.boundTexture, 3u);
            EXPECT_TRUE(call.state.blend && call.state.texture2d);
        }
        EXPECT_GT(titleVertices, 0u);
        // The other effects draw untextured and unblended.
        size_t lineVertices = 0;
        for (const GlCall& call : glCalls) {
            if (call.name == "glVertex3f" && call.state.primitive == GL_LINE_STRIP) {
                lineVertices++;
                EXPECT_FALSE(call.state.blend || call.state.texture2d);
            }
        }
        EXPECT_EQ(lineVertices, 200u);
    }
}

TEST_F(VisualsTest, TimelineEndsOnTheFirstDrawnFrameAfterPosition135)
{
    sampleCounter.store(framesForPosition(136) - 1);  // still position 135
    ASSERT_EQ(renderFrame(9), 1);
    EXPECT_EQ(quitRequested, 0);

    sampleCounter.store(framesForPosition(136));
    EXPECT_EQ(renderFrame(10), 0);  // gated: the end is only marked on a drawn frame
    EXPECT_EQ(quitRequested, 0);
    glCalls.clear();
    EXPECT_EQ(renderFrame(18), 1);
    EXPECT_EQ(quitRequested, 1);
    EXPECT_EQ(countCalls("glCopyTexSubImage2D"), 2u);  // the last frame is still complete
    EXPECT_EQ(glCalls.back().name, "glTranslatef");
    EXPECT_EQ(renderFrame(27), 1);
    EXPECT_EQ(quitRequested, 2);
}

}  // namespace
