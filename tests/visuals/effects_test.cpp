// Tests of the scene effects and drawQuad against the recording GL: geometry, colours and level readings.
#include <cmath>
#include <cstring>
#include <set>

#include "visuals_fixture.h"

namespace {

// Keeps the compiler from folding sin and cos of a constant at build time, which rounds differently
// from the run-time library the visuals call.
int atRunTime(int value)
{
    volatile int held = value;
    return held;
}

// Rounds to single precision through memory, so the rounding cannot be optimised away in the reference.
float single(double value)
{
    volatile float held = static_cast<float>(value);
    return held;
}

std::vector<size_t> indicesOf(const std::string& name)
{
    std::vector<size_t> found;
    for (size_t i = 0; i < glCalls.size(); i++)
        if (glCalls[i].name == name)
            found.push_back(i);
    return found;
}

TEST_F(VisualsTest, DrawQuadMirrorsX0AndTakesX1ForTheLastCorner)
{
    const struct { float x0, y0, y1, x1, z; } uses[] = {
        {-0.1f, -0.075f, 0.075f, -0.1f, 1.2f},  // title cell
        {0.0f, -0.1f, 0.0f, -0.1f, -0.59f},     // chain link: first two corners coincide
        {-1.0f, -0.75f, 0.75f, -1.0f, -1.02f},  // feedback
        {0.3f, 0.1f, 0.2f, 0.7f, 5.0f},         // no symmetry assumed
    };
    for (const auto& q : uses) {
        resetGlRecorder();
        drawQuad(q.x0, q.y0, q.y1, q.x1, q.z);
        EXPECT_EQ(expectCallsAt(0, {{"glBegin", {GL_POLYGON}},
                                    {"glTexCoord2f", {0, 0}}, {"glVertex3f", {q.x0, q.y0, q.z}},
                                    {"glTexCoord2f", {0.625, 0}}, {"glVertex3f", {-q.x0, q.y0, q.z}},
                                    {"glTexCoord2f", {0.625, 0.9355}}, {"glVertex3f", {-q.x0, q.y1, q.z}},
                                    {"glTexCoord2f", {0, 0.9355}}, {"glVertex3f", {q.x1, q.y1, q.z}},
                                    {"glEnd", {}}}),
                  glCalls.size());
    }
}

TEST(TitleGlyphs, SpellTheTitleWithOneGlyphPerDistinctLetter)
{
    const char title[] = "Ku Solvanta ";  // the twelfth position is blank
    const int glyphCount = int(std::strlen(glyphFont) / 20);
    ASSERT_EQ(std::strlen(glyphFont) % 20, 0u);
    for (size_t i = 0; glyphFont[i]; i++)
        EXPECT_TRUE(glyphFont[i] == '1' || glyphFont[i] == ' ') << "cell " << i;
    std::set<char> letters(title, title + 12);
    letters.erase(' ');
    EXPECT_EQ(glyphCount, int(letters.size()) + 1);
    for (int i = 0; i < 12; i++) {
        ASSERT_GE(titleGlyphs[i], 0);
        ASSERT_LT(titleGlyphs[i], glyphCount);
        const std::string cells(&glyphFont[20 * titleGlyphs[i]], 20);
        EXPECT_EQ(cells == std::string(20, ' '), title[i] == ' ') << "position " << i;
        for (int j = 0; j < 12; j++)  // same letter, same glyph; different letters, different glyphs
            EXPECT_EQ(titleGlyphs[i] == titleGlyphs[j], title[i] == title[j]) << i << " vs " << j;
    }
}

TEST_F(VisualsTest, TitleRingLaysOutTwelveGlyphsOfFourByFiveCells)
{
    drawTitleRing(1000, 0);
    std::vector<Expect> expected = {{"glLoadIdentity", {}},
                                    {"glTranslatef", {0, 0.28, -2}},
                                    {"glRotatef", {-30, 0, 1, 0}},
                                    {"glRotatef", {-50, 0, 1, 0}}};
    for (int position = 0; position < 12; position++) {
        const char* cell = &glyphFont[20 * titleGlyphs[position]];
        for (int row = 0; row < 5; row++) {
            for (int column = 0; column < 4; column++) {
                if (*cell++ != ' ')
                    append(expected, quadCalls(-0.1f, -0.075f, 0.075f, -0.1f, 1.2f));
                expected.push_back({"glTranslatef", {0.14, 0, 0}});
            }
            expected.push_back({"glTranslatef", {-0.56, -0.14, 0}});
        }
        expected.push_back({"glRotatef", {30, 0, 1, 0}});
        expected.push_back({"glTranslatef", {0, 0.7, 0}});
    }
    EXPECT_EQ(expectCallsAt(0, expected), glCalls.size());
    EXPECT_EQ(countCalls("glColor3f") + countCalls("glBlendFunc"), 0u);
}

TEST_F(VisualsTest, TitleRingTiltAxisTakesTheLowFourBits)
{
    const struct { int shapeParam; float y, z; } cases[] = {
        {0, 1, 0}, {1, 2, 1}, {33, 2, 1}, {65, 2, 1}, {15, 16, 15}, {-32, 1, 0}, {-1, 16, 15},
    };
    for (const auto& c : cases) {
        resetGlRecorder();
        drawTitleRing(0, c.shapeParam);
        EXPECT_TRUE(matches(glCalls[2], {"glRotatef", {-30, 0, c.y, c.z}}))
            << "shapeParam " << c.shapeParam << ": " << describe(glCalls[2]);
    }
}

TEST_F(VisualsTest, RingSphereFadesInAndSitsAtItsDistance)
{
    const struct { int ms, shapeParam; float r, g, b, z; } cases[] = {
        {0, 0, 0, 0, 0, -4},
        {1500, 80, 0.13f, 0.05f, 0.055f, 1},
        {2999, 33, float(float(2999 * 0.0003333333333333333) * 0.26), float(float(2999 * 0.0003333333333333333) * 0.1),
         float(float(2999 * 0.0003333333333333333) * 0.11), -1.9375f},
        {3000, 65, 0.26f, 0.1f, 0.11f, 0.0625f},
        {100000, -32, 0.26f, 0.1f, 0.11f, -6},
    };
    for (const auto& c : cases) {
        resetGlRecorder();
        drawRingSphere(c.ms, c.shapeParam);
        SCOPED_TRACE("ms " + std::to_string(c.ms));
        expectCallsAt(0, {{"glLoadIdentity", {}},
                          {"glTranslatef", {0, 0, c.z}},
                          {"glRotatef", {c.ms * 0.03333333333333333, 0, 0, 1}},
                          {"glRotatef", {c.ms * 0.012345679012345678, 1, 0.2, 0}},
                          {"glLineWidth", {8}},
                          {"glColor3f", {c.r, c.g, c.b}}});
    }
}

TEST_F(VisualsTest, RingSphereIsThirteenClosedRingsOnARadiusThreeSphere)
{
    const int ms = atRunTime(1234);
    drawRingSphere(ms, 0);
    const std::vector<size_t> begins = indicesOf("glBegin");
    ASSERT_EQ(begins.size(), 13u);
    float t = -2.9f;
    for (size_t ring = 0; ring < begins.size(); ring++) {
        ASSERT_TRUE(matches(glCalls[begins[ring]], {"glBegin", {GL_LINE_STRIP}}));
        // 9 - t^2 in single precision, the rest in double, rounded once.
        const float radius = single(std::sqrt(double(single(9.0f - t * t))) + 0.3 * std::sin(ms * 0.002 + t));
        EXPECT_LT(std::fabs(radius - std::sqrt(9.0 - double(t) * t)), 0.30001) << "ring " << ring;
        float theta = 0.0f;
        for (int point = 0; point < 65; point++) {
            const GlCall& vertex = glCalls[begins[ring] + 1 + point];
            ASSERT_TRUE(matches(vertex, {"glVertex3f", {std::sin(double(theta)) * radius, t,
                                                        std::cos(double(theta)) * radius}}))
                << "ring " << ring << " point " << point << ": " << describe(vertex);
            theta = single(theta + 0.1);
        }
        EXPECT_GT(theta, 6.4f);  // past 2 pi: the strip closes its circle
        EXPECT_EQ(glCalls[begins[ring] + 66].name, "glEnd");
        t = single(t + 0.485);
    }
    EXPECT_NEAR(glCalls[begins[12] + 1].args[1], 2.92, 1e-5);
    EXPECT_EQ(glCalls.size(), begins[12] + 67);
}

TEST_F(VisualsTest, SpiralFiguresNumberTheLevelInQuarters)
{
    const struct { float level; size_t figures; } cases[] = {
        {0.0f, 0}, {0.0001f, 1}, {0.25f, 1}, {0.26f, 2}, {0.5f, 2}, {0.75f, 3}, {0.76f, 4}, {1.0f, 4},
    };
    for (const auto& c : cases) {
        resetGlRecorder();
        audioLevel.store(c.level);
        drawSpirals(400);
        SCOPED_TRACE("level " + std::to_string(c.level));
        size_t at = expectCallsAt(0, {{"glLoadIdentity", {}},
                                      {"glTranslatef", {0, 0, -1.5}},
                                      {"glRotatef", {-40, 0, 0, 1}},
                                      {"glLineWidth", {2}}});
        const std::vector<size_t> begins = indicesOf("glBegin");
        ASSERT_EQ(begins.size(), c.figures);
        for (size_t j = 0; j < c.figures; j++) {
            at = expectCallsAt(at, {{"glColor3f", {0.5 + 0.05 * j, 0.4 + 0.05 * j, 0.4 + 0.05 * j}},
                                    {"glBegin", {GL_LINE_STRIP}}});
            EXPECT_EQ(countCalls("glVertex3f", at, at + 100), 100u);
            at = expectCallsAt(at + 100, {{"glEnd", {}}, {"glRotatef", {33, 1, 1, 1}}});
        }
        EXPECT_EQ(at, glCalls.size());
    }
}

TEST_F(VisualsTest, SpiralPointsReadTheLevelAfreshAndUseTheStatedConstants)
{
    const int ms = atRunTime(777);
    float level = 0.9f;
    audioLevel.store(level);
    // After every point (and figure) the audio thread "delivers" a new level.
    glOnCall = [&](const GlCall& call) {
        if (call.name == "glVertex3f" || call.name == "glEnd") {
            level = level * 0.995f;
            audioLevel.store(level);
        }
    };
    drawSpirals(ms);
    const std::vector<size_t> begins = indicesOf("glBegin");
    // The level falls while figures are drawn: the test before each figure reads the level of that moment.
    float check = 0.9f;
    size_t figures = 0;
    for (int j = 0; float(j) < check * 4.0f; j++) {
        figures++;
        for (int k = 0; k < 101; k++)
            check *= 0.995f;
    }
    ASSERT_EQ(begins.size(), figures);
    float l = 0.9f;
    for (size_t j = 0; j < figures; j++) {
        for (int k = 0; k < 100; k++) {
            const float x = single(k * std::sin(ms * 0.001 + 0.1 * k) * 0.16000000000000003);
            const float y = single(k * std::sin(ms * 0.003 + 0.1 * k) * 0.020000000000000004);
            const double phi = k * (10.0 * l + 1) * 0.0005;
            const GlCall& vertex = glCalls[begins[j] + 1 + k];
            const Expect want{"glVertex3f", {std::sin(phi) * x, std::cos(phi) * y,
                                             1.2 * std::sin(ms * 0.005 + (0.01 * k + l))}};
            ASSERT_TRUE(matches(vertex, want)) << "figure " << j << " point " << k << ": " << describe(vertex);
            l *= 0.995f;
        }
        l *= 0.995f;  // the glEnd
    }
}

TEST_F(VisualsTest, ChainsInSilenceRunStraightAndCurlBy40Degrees)
{
    drawChain(1000, 1);
    std::vector<Expect> expected = {{"glColor3f", {0.08, 0.06, 0.05}}};
    for (int j = 0; j < 2; j++) {
        append(expected, {{"glLoadIdentity", {}}, {"glRotatef", {100 + 180.0 * j, 0, 0, 1}}, {"glRotatef", {45, 1, 0, 0}}});
        for (int k = 0; k < 30; k++) {
            if (k)
                append(expected, quadCalls(0, -0.1f, 0, -0.1f, -0.59f));
            expected.push_back({"glRotatef", {40.0 * j, 0, 0, 1}});
            expected.push_back({"glTranslatef", {-0.15, 0, -0.01}});
        }
    }
    EXPECT_EQ(expectCallsAt(0, expected), glCalls.size());
}

TEST_F(VisualsTest, ChainReadsTheLevelOnceForColourAndTwicePerLink)
{
    // Each reading of the level sees a new value: the colour, then per link the depth and the turn.
    std::vector<float> levels;
    for (int i = 0; i < 200; i++)
        levels.push_back(float(i % 11) * 0.1f);
    size_t next = 0;
    audioLevel.store(levels[next++]);
    glOnCall = [&](const GlCall& call) {
        // The depth is read just before a link's glBegin, the turn just before its glRotatef.
        const bool aboutViewAxis =
            call.name == "glRotatef" && call.args[1] == 0 && call.args[2] == 0 && call.args[3] == 1;
        if (call.name == "glColor3f" || call.name == "glEnd" || aboutViewAxis)
            audioLevel.store(levels[next++]);
    };
    drawChain(0, 0);
    size_t read = 0;
    const double m = levels[read++];
    std::vector<Expect> expected = {{"glColor3f", {0.24 * m + 0.08, 0.26 * m + 0.06, 0.25 * m + 0.05}}};
    for (int j = 0; j < 2; j++) {
        append(expected, {{"glLoadIdentity", {}}, {"glRotatef", {180.0 * j, 0, 0, 1}}, {"glRotatef", {0, 1, 0, 0}}});
        read++;  // the chain's own turn about the view axis also moves the level on
        for (int k = 0; k < 30; k++) {
            if (k)
                append(expected, quadCalls(0, -0.1f, 0, -0.1f, float(levels[read++] * 0.5 - 0.59)));
            expected.push_back({"glRotatef", {levels[read++] * 550.0 + 40 * j, 0, 0, 1}});
            expected.push_back({"glTranslatef", {-0.15, 0, -0.01}});
        }
    }
    EXPECT_EQ(expectCallsAt(0, expected), glCalls.size());
}

}  // namespace
