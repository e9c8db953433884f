// A recording stand-in for libGL: the GL 1.1 entry points the visuals use, each logged with its arguments.
#pragma once

#include <GL/gl.h>

#include <functional>
#include <string>
#include <vector>

// The fixed-function state the visuals rely on carrying over between calls and frames.
struct GlState {
    float color[3] = {1.0f, 1.0f, 1.0f};
    GLenum blendSrc = GL_ONE;
    GLenum blendDst = GL_ZERO;
    GLuint boundTexture = 0;
    bool blend = false;
    bool texture2d = false;
    GLenum matrixMode = GL_MODELVIEW;
    float lineWidth = 1.0f;
    GLenum primitive = 0;  // inside glBegin/glEnd, else 0
};

struct GlCall {
    std::string name;            // "glVertex3f"
    std::vector<double> args;    // every argument widened to double (exact for floats)
    bool singleArgs = false;     // the entry point takes GLfloat
    const void* pixels = nullptr;
    GlState state;               // state when the call was made, before it took effect
};

extern std::vector<GlCall> glCalls;
extern GlState glState;
// Runs after each recorded call; lets a test change shared values in the middle of a frame.
extern std::function<void(const GlCall&)> glOnCall;

extern bool glRecording;     // false: calls are only counted (a GL that costs nothing)
extern long glCallsSkipped;  // calls made while recording was off

void resetGlRecorder();  // clears the log, the hook and the state back to GL's defaults
std::string describe(const GlCall& call);
