// A recording stand-in for libGL: the GL 1.1 entry points the visuals use, each logged with its arguments.
#include "gl_recorder.h"

#include <cstdio>

std::vector<GlCall> glCalls;
GlState glState;
bool glRecording = true;
long glCallsSkipped = 0;
std::function<void(const GlCall&)> glOnCall;

void resetGlRecorder()
{
    glCalls.clear();
    glState = GlState();
    glOnCall = nullptr;
}

std::string describe(const GlCall& call)
{
    std::string text = call.name + "(";
    char number[40];
    for (size_t i = 0; i < call.args.size(); i++) {
        std::snprintf(number, sizeof number, "%.17g", call.args[i]);
        text += (i ? ", " : "") + std::string(number);
    }
    return text + ")";
}

namespace {

GlCall& record(const char* name, std::vector<double> args, bool singleArgs)
{
    GlCall call;
    call.name = name;
    call.args = std::move(args);
    call.singleArgs = singleArgs;
    call.state = glState;
    glCalls.push_back(std::move(call));
    return glCalls.back();
}

void notify()
{
    if (glOnCall)
        glOnCall(glCalls.back());
}

void setCapability(GLenum cap, bool on)
{
    if (cap == GL_BLEND)
        glState.blend = on;
    if (cap == GL_TEXTURE_2D)
        glState.texture2d = on;
}

}  // namespace

// With recording off every entry point only counts, standing in for a GL that costs nothing.
#define KU_SKIP_WHEN_OFF()     \
    if (!glRecording) {        \
        glCallsSkipped++;      \
        return;                \
    }

extern "C" {

void glClear(GLbitfield mask) { KU_SKIP_WHEN_OFF() record("glClear", {double(mask)}, false); notify(); }
void glMatrixMode(GLenum mode) { KU_SKIP_WHEN_OFF() record("glMatrixMode", {double(mode)}, false); glState.matrixMode = mode; notify(); }
void glLoadIdentity() { KU_SKIP_WHEN_OFF() record("glLoadIdentity", {}, false); notify(); }
void glFrustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    KU_SKIP_WHEN_OFF()
    record("glFrustum", {l, r, b, t, n, f}, false);
    notify();
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { KU_SKIP_WHEN_OFF() record("glTranslatef", {x, y, z}, true); notify(); }
void glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { KU_SKIP_WHEN_OFF() record("glRotatef", {a, x, y, z}, true); notify(); }
void glEnable(GLenum cap) { KU_SKIP_WHEN_OFF() record("glEnable", {double(cap)}, false); setCapability(cap, true); notify(); }
void glDisable(GLenum cap) { KU_SKIP_WHEN_OFF() record("glDisable", {double(cap)}, false); setCapability(cap, false); notify(); }
void glBlendFunc(GLenum s, GLenum d)
{
    KU_SKIP_WHEN_OFF()
    record("glBlendFunc", {double(s), double(d)}, false);
    glState.blendSrc = s;
    glState.blendDst = d;
    notify();
}
void glColor3f(GLfloat r, GLfloat g, GLfloat b)
{
    KU_SKIP_WHEN_OFF()
    record("glColor3f", {r, g, b}, true);
    glState.color[0] = r;
    glState.color[1] = g;
    glState.color[2] = b;
    notify();
}
void glLineWidth(GLfloat w) { KU_SKIP_WHEN_OFF() record("glLineWidth", {w}, true); glState.lineWidth = w; notify(); }
void glBegin(GLenum mode) { KU_SKIP_WHEN_OFF() record("glBegin", {double(mode)}, false); glState.primitive = mode; notify(); }
void glEnd() { KU_SKIP_WHEN_OFF() record("glEnd", {}, false); glState.primitive = 0; notify(); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { KU_SKIP_WHEN_OFF() record("glVertex3f", {x, y, z}, true); notify(); }
void glTexCoord2f(GLfloat s, GLfloat t) { KU_SKIP_WHEN_OFF() record("glTexCoord2f", {s, t}, true); notify(); }
void glBindTexture(GLenum target, GLuint name)
{
    KU_SKIP_WHEN_OFF()
    record("glBindTexture", {double(target), double(name)}, false);
    glState.boundTexture = name;
    notify();
}
void glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border, GLenum format,
                  GLenum type, const GLvoid* pixels)
{
    KU_SKIP_WHEN_OFF()
    record("glTexImage2D", {double(target), double(level), double(internal), double(w), double(h), double(border),
                            double(format), double(type)}, false)
        .pixels = pixels;
    notify();
}
void glTexParameteri(GLenum target, GLenum name, GLint value)
{
    KU_SKIP_WHEN_OFF()
    record("glTexParameteri", {double(target), double(name), double(value)}, false);
    notify();
}
void glPixelStorei(GLenum name, GLint value) { KU_SKIP_WHEN_OFF() record("glPixelStorei", {double(name), double(value)}, false); notify(); }
void glCopyTexSubImage2D(GLenum target, GLint level, GLint xo, GLint yo, GLint x, GLint y, GLsizei w, GLsizei h)
{
    KU_SKIP_WHEN_OFF()
    record("glCopyTexSubImage2D", {double(target), double(level), double(xo), double(yo), double(x), double(y),
                                   double(w), double(h)}, false);
    notify();
}

}  // extern "C"
