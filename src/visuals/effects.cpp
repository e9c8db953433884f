// The four scene effects and drawQuad, the textured polygon they share with the feedback and glow passes.
#include "visuals.h"

#include <GL/gl.h>

#include <cmath>

#include "synth.h"

namespace {

constexpr int glyphRows = 5;
constexpr int glyphColumns = 4;
constexpr int glyphCells = glyphRows * glyphColumns;
constexpr float cellPitch = 0.14f;

// Read afresh at each use: the audio thread may update it in the middle of a frame.
inline float level()
{
    return audioLevel.load(std::memory_order_relaxed);
}

inline float toGl(double value)
{
    return static_cast<float>(value);
}

}  // namespace

void drawQuad(float x0, float y0, float y1, float x1, float z)
{
    // 0.625 x 0.9355 of a 1024 x 512 texture: the 640 x 480 picture less about one texel row.
    glBegin(GL_POLYGON);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(x0, y0, z);
    glTexCoord2f(0.625f, 0.0f);
    glVertex3f(-x0, y0, z);
    glTexCoord2f(0.625f, 0.9355f);
    glVertex3f(-x0, y1, z);
    glTexCoord2f(0.0f, 0.9355f);
    glVertex3f(x1, y1, z);
    glEnd();
}

void drawTitleRing(int ms, int shapeParam)
{
    glLoadIdentity();
    glTranslatef(0.0f, 0.28f, -2.0f);
    const int axis = shapeParam & 15;
    glRotatef(-30.0f, 0.0f, static_cast<float>(axis + 1), static_cast<float>(axis));
    glRotatef(toGl(static_cast<double>(-ms) * 0.05), 0.0f, 1.0f, 0.0f);
    for (int8_t glyph : titleGlyphs) {
        const char* cell = &glyphFont[glyphCells * glyph];
        for (int row = 0; row < glyphRows; row++) {
            for (int column = 0; column < glyphColumns; column++) {
                if (*cell++ != ' ')
                    drawQuad(-0.1f, -0.075f, 0.075f, -0.1f, 1.2f);
                glTranslatef(cellPitch, 0.0f, 0.0f);
            }
            glTranslatef(-0.56f, -cellPitch, 0.0f);
        }
        // Turn at the foot of the glyph, then rise back to the height of its top row.
        glRotatef(30.0f, 0.0f, 1.0f, 0.0f);
        glTranslatef(0.0f, 0.7f, 0.0f);
    }
}

void drawRingSphere(int ms, int shapeParam)
{
    const double t0 = ms;
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, toGl(shapeParam * 0.0625 - 4.0));
    glRotatef(toGl(t0 * 0.03333333333333333), 0.0f, 0.0f, 1.0f);
    glRotatef(toGl(t0 * 0.012345679012345678), 1.0f, 0.2f, 0.0f);
    glLineWidth(8.0f);

    // Fades in from black over the first three seconds.
    float fade = toGl(t0 * 0.0003333333333333333);
    if (1.0f - fade < 0.0f)
        fade = 1.0f;
    glColor3f(toGl(fade * 0.26), toGl(fade * 0.1), toGl(fade * 0.11));

    float t = -2.9f;
    do {
        glBegin(GL_LINE_STRIP);
        const float radius = toGl(std::sqrt(static_cast<double>(9.0f - t * t)) + 0.3 * std::sin(t0 * 0.002 + t));
        // 2 pi + 0.2: each strip closes its circle and overlaps its start a little.
        float theta = 0.0f;
        do {
            glVertex3f(toGl(std::sin(static_cast<double>(theta)) * radius), t,
                       toGl(std::cos(static_cast<double>(theta)) * radius));
            theta = toGl(theta + 0.1);
        } while (theta < 6.483185307179586);
        glEnd();
        t = toGl(t + 0.485);
    } while (t < 3.1);
}

void drawSpirals(int ms)
{
    const double t0 = ms;
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.5f);
    glRotatef(toGl(static_cast<double>(-ms) * 0.1), 0.0f, 0.0f, 1.0f);
    glLineWidth(2.0f);
    // One figure per quarter of the level, rounded up: none in silence, four at full level.
    for (int j = 0; static_cast<float>(j) < level() * 4.0f; j++) {
        glColor3f(toGl(0.5 + 0.05 * j), toGl(0.4 + 0.05 * j), toGl(0.4 + 0.05 * j));
        glBegin(GL_LINE_STRIP);
        for (int k = 0; k < 100; k++) {
            const double l = level();
            const float x = toGl(k * std::sin(t0 * 0.001 + 0.1 * k) * 0.16000000000000003);
            const float y = toGl(k * std::sin(t0 * 0.003 + 0.1 * k) * 0.020000000000000004);
            const double phi = k * (10.0 * l + 1.0) * 0.0005;
            glVertex3f(toGl(std::sin(phi) * x), toGl(std::cos(phi) * y),
                       toGl(1.2 * std::sin(t0 * 0.005 + (0.01 * k + l))));
        }
        glEnd();
        glRotatef(33.0f, 1.0f, 1.0f, 1.0f);
    }
}

void drawChain(int ms, int shapeParam)
{
    const double m = level();
    glColor3f(toGl(0.24 * m + 0.08), toGl(0.26 * m + 0.06), toGl(0.25 * m + 0.05));
    for (int j = 0; j < 2; j++) {
        glLoadIdentity();
        glRotatef(toGl(ms * 0.1 + 180 * j), 0.0f, 0.0f, 1.0f);
        glRotatef(static_cast<float>(shapeParam * 45), 1.0f, 0.0f, 0.0f);
        // The first pass only turns and moves; with x0 = 0 each quad is a right triangle.
        for (int k = 0; k < 30; k++) {
            if (k != 0)
                drawQuad(0.0f, -0.1f, 0.0f, -0.1f, toGl(level() * 0.5 - 0.59));
            glRotatef(toGl(level() * 550.0 + 40 * j), 0.0f, 0.0f, 1.0f);
            glTranslatef(-0.15f, 0.0f, -0.01f);
        }
    }
}
