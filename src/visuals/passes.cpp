// The feedback and glow passes over each drawn frame, and the three textures they and the title ring use.
#include "visuals.h"

#include <GL/gl.h>

namespace {

// Fixed texture names, never generated: the demo owns the whole GL context.
constexpr GLuint feedbackTexture = 1;
constexpr GLuint glowTexture = 2;
constexpr GLuint maskTexture = 3;

// Power-of-two storage for the 640 x 480 picture, as GL 1.1 requires.
constexpr int textureWidth = 1024;
constexpr int textureHeight = 512;
constexpr int viewWidth = 640;
constexpr int viewHeight = 480;
constexpr int discRadiusSquared = 220 * 220;
constexpr int glowLayers = 20;

// RGB, bottom row first; only the lower-left 640 x 480 is written, the rest stays black.
uint8_t maskImage[textureHeight][textureWidth][3];

}  // namespace

void setupTextures()
{
    for (GLuint name = feedbackTexture; name <= maskTexture; name++) {
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureWidth, textureHeight, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     nullptr);
    }
    // A white disc of radius 220 on black, centred in the view: the shape of every title dot.
    for (int row = 0; row < viewHeight; row++) {
        const int y = row - viewHeight / 2;
        for (int column = 0; column < viewWidth; column++) {
            const int x = column - viewWidth / 2;
            const uint8_t value = x * x + y * y <= discRadiusSquared ? 255 : 0;
            maskImage[row][column][0] = value;
            maskImage[row][column][1] = value;
            maskImage[row][column][2] = value;
        }
    }
    // The mask texture is still bound from the last pass of the loop.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureWidth, textureHeight, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 maskImage);
}

void feedbackPass(float brightness)
{
    glBindTexture(GL_TEXTURE_2D, feedbackTexture);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    // source * (1 - destination) + destination^2: black scene shows the old picture, white stays white.
    glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_DST_COLOR);
    glColor3f(static_cast<float>(brightness * 0.992), static_cast<float>(brightness * 0.98),
              static_cast<float>(brightness * 0.94));
    // At depth 1.02 the old picture comes back about 2% smaller: trails shrink toward the centre.
    drawQuad(-1.0f, -0.75f, 0.75f, -1.0f, -1.02f);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, viewWidth, viewHeight);
}

void glowPass(float intensity, float step)
{
    // Copied before any layer is added, so the glow never feeds back into the next frame's trails.
    glBindTexture(GL_TEXTURE_2D, glowTexture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, viewWidth, viewHeight);
    glBlendFunc(GL_ONE, GL_ONE);
    const float greenBlue = static_cast<float>(intensity * 0.2);
    glColor3f(static_cast<float>(intensity * 0.25), greenBlue, greenBlue);
    // Translations accumulate: layer n lies at depth 0.99 - n * step.
    for (int layer = 0; layer < glowLayers; layer++) {
        drawQuad(-1.0f, -0.75f, 0.75f, -1.0f, -0.99f);
        glTranslatef(0.0f, 0.0f, step);
    }
}
