// Tests of setupTextures, the disc mask, and the feedback and glow passes against the recording GL.
#include <cstdint>

#include "visuals_fixture.h"

namespace {

constexpr int maskWidth = 1024, maskHeight = 512;

std::vector<Expect> textureSetup(GLuint name)
{
    return {{"glBindTexture", {GL_TEXTURE_2D, double(name)}},
            {"glPixelStorei", {GL_UNPACK_ALIGNMENT, 1}},
            {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT}},
            {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT}},
            {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}},
            {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST}},
            {"glTexImage2D", {GL_TEXTURE_2D, 0, GL_RGBA, maskWidth, maskHeight, 0, GL_RGB, GL_UNSIGNED_BYTE}}};
}

class PassesTest : public VisualsTest {
protected:
    void SetUp() override
    {
        VisualsTest::SetUp();
        setupTextures();
        ASSERT_FALSE(glCalls.empty());
        mask = static_cast<const uint8_t*>(glCalls.back().pixels);
        ASSERT_NE(mask, nullptr);
    }
    // Red byte of a mask pixel; row 0 is the bottom row.
    int maskAt(int row, int column) const { return mask[(row * maskWidth + column) * 3]; }
    const uint8_t* mask = nullptr;
};

TEST_F(PassesTest, SetupCreatesTexturesOneTwoThreeAndLoadsTheMaskIntoThree)
{
    std::vector<Expect> expected;
    for (GLuint name = 1; name <= 3; name++)
        append(expected, textureSetup(name));
    expected.push_back({"glTexImage2D", {GL_TEXTURE_2D, 0, GL_RGBA, maskWidth, maskHeight, 0, GL_RGB, GL_UNSIGNED_BYTE}});
    EXPECT_EQ(expectCallsAt(0, expected), glCalls.size());
    for (size_t i = 0; i + 1 < glCalls.size(); i++) {
        if (glCalls[i].name == "glTexImage2D") {
            EXPECT_EQ(glCalls[i].pixels, nullptr) << "call " << i << " should allocate storage only";
        }
    }
    EXPECT_EQ(glCalls.back().state.boundTexture, 3u);
}

TEST_F(PassesTest, MaskIsAWhiteDiscOfRadius220EdgeIncluded)
{
    const struct { int row, column, white; } pixels[] = {
        {240, 320, 255}, {240, 100, 255}, {240, 540, 255}, {240, 99, 0},  {240, 541, 0},
        {20, 320, 255},  {460, 320, 255}, {20, 319, 0},    {20, 321, 0},  {460, 321, 0},
        {19, 320, 0},    {461, 320, 0},   {0, 0, 0},       {479, 639, 0}, {240, 700, 0},
        {500, 320, 0},   {511, 1023, 0},  {85, 165, 255},  {84, 164, 0},  // 155^2 * 2 = 48050; 156^2 * 2 = 48672
    };
    for (const auto& p : pixels)
        EXPECT_EQ(maskAt(p.row, p.column), p.white) << "row " << p.row << " column " << p.column;

    // Greys never occur, the three bytes agree, and nothing outside the disc's square is lit.
    long white = 0;
    for (int row = 0; row < maskHeight; row++) {
        for (int column = 0; column < maskWidth; column++) {
            const uint8_t* rgb = &mask[(row * maskWidth + column) * 3];
            ASSERT_TRUE(rgb[0] == 0 || rgb[0] == 255);
            ASSERT_TRUE(rgb[1] == rgb[0] && rgb[2] == rgb[0]);
            if (rgb[0]) {
                white++;
                ASSERT_TRUE(row >= 20 && row <= 460 && column >= 100 && column <= 540) << row << "," << column;
                // Symmetric about the centre pixel.
                ASSERT_EQ(maskAt(480 - row, column), 255);
                ASSERT_EQ(maskAt(row, 640 - column), 255);
            }
        }
    }
    EXPECT_NEAR(double(white), 3.14159265 * 48400, 1500);
}

TEST_F(PassesTest, FeedbackPassBlendsThePreviousPictureSmallerThenKeepsTheFrame)
{
    for (const float brightness : {0.0f, 0.95f, 0.4499f}) {
        resetGlRecorder();
        feedbackPass(brightness);
        std::vector<Expect> expected = {
            {"glBindTexture", {GL_TEXTURE_2D, 1}},
            {"glLoadIdentity", {}},
            {"glEnable", {GL_BLEND}},
            {"glEnable", {GL_TEXTURE_2D}},
            {"glBlendFunc", {GL_ONE_MINUS_DST_COLOR, GL_DST_COLOR}},
            {"glColor3f", {brightness * 0.992, brightness * 0.98, brightness * 0.94}},
        };
        append(expected, quadCalls(-1, -0.75f, 0.75f, -1, -1.02f));
        expected.push_back({"glCopyTexSubImage2D", {GL_TEXTURE_2D, 0, 0, 0, 0, 0, 640, 480}});
        EXPECT_EQ(expectCallsAt(0, expected), glCalls.size()) << "brightness " << brightness;
    }
}

TEST_F(PassesTest, GlowPassAddsTwentyLayersAtAccumulatingDepths)
{
    const struct { float intensity, step, red, greenBlue; } cases[] = {
        {1.1f, -0.02f, float(1.1f * 0.25), float(1.1f * 0.2)},
        {11.0f, -0.05f, 2.75f, 2.2f},  // not limited here: GL clamps it
        {2.1f, -0.15f, float(2.1f * 0.25), float(2.1f * 0.2)},
        {1.1f, 0.0f, float(1.1f * 0.25), float(1.1f * 0.2)},
        {0.0f, 0.01f, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        resetGlRecorder();
        glowPass(c.intensity, c.step);
        std::vector<Expect> expected = {{"glBindTexture", {GL_TEXTURE_2D, 2}},
                                        {"glCopyTexSubImage2D", {GL_TEXTURE_2D, 0, 0, 0, 0, 0, 640, 480}},
                                        {"glBlendFunc", {GL_ONE, GL_ONE}},
                                        {"glColor3f", {c.red, c.greenBlue, c.greenBlue}}};
        for (int layer = 0; layer < 20; layer++) {
            append(expected, quadCalls(-1, -0.75f, 0.75f, -1, -0.99f));
            expected.push_back({"glTranslatef", {0, 0, c.step}});
        }
        EXPECT_EQ(expectCallsAt(0, expected), glCalls.size()) << "intensity " << c.intensity;
    }
}

}  // namespace
