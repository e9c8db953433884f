// Shared fixture for the visuals tests: a clean recorder and timeline, and exact call-sequence checks.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl_recorder.h"
#include "synth.h"
#include "visuals.h"

// One expected call: arguments compare exactly, after rounding to float for GLfloat entry points.
struct Expect {
    std::string name;
    std::vector<double> args;
};

inline std::vector<Expect> quadCalls(float x0, float y0, float y1, float x1, float z)
{
    return {{"glBegin", {GL_POLYGON}},
            {"glTexCoord2f", {0, 0}},        {"glVertex3f", {x0, y0, z}},
            {"glTexCoord2f", {0.625, 0}},    {"glVertex3f", {-x0, y0, z}},
            {"glTexCoord2f", {0.625, 0.9355}}, {"glVertex3f", {-x0, y1, z}},
            {"glTexCoord2f", {0, 0.9355}},   {"glVertex3f", {x1, y1, z}},
            {"glEnd", {}}};
}

inline void append(std::vector<Expect>& to, const std::vector<Expect>& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

inline bool matches(const GlCall& call, const Expect& expect)
{
    if (call.name != expect.name || call.args.size() != expect.args.size())
        return false;
    for (size_t i = 0; i < call.args.size(); i++) {
        const double want = call.singleArgs ? double(float(expect.args[i])) : expect.args[i];
        if (call.args[i] != want)
            return false;
    }
    return true;
}

// Checks glCalls[from ...] against `expected`; returns the index after the last one checked.
inline size_t expectCallsAt(size_t from, const std::vector<Expect>& expected)
{
    for (size_t i = 0; i < expected.size(); i++) {
        if (from + i >= glCalls.size()) {
            ADD_FAILURE() << "log ends at " << glCalls.size() << ", expected " << expected[i].name << " next";
            return from + i;
        }
        const GlCall& call = glCalls[from + i];
        if (!matches(call, expected[i])) {
            GlCall want;
            want.name = expected[i].name;
            want.args = expected[i].args;
            want.singleArgs = call.singleArgs;
            ADD_FAILURE() << "call " << from + i << ": got " << describe(call) << ", expected " << describe(want);
            return from + i;
        }
    }
    return from + expected.size();
}

inline size_t countCalls(const std::string& name, size_t from = 0, size_t to = SIZE_MAX)
{
    size_t count = 0;
    for (size_t i = from; i < glCalls.size() && i < to; i++)
        count += glCalls[i].name == name;
    return count;
}

class VisualsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGlRecorder();
        sampleCounter.store(0);
        audioLevel.store(0.0f);
        lastFrameMs = 0;
        feedbackBrightness = 0.0f;
        quitRequested = 0;
    }
    void TearDown() override { glOnCall = nullptr; }
};

// The first audio frame at which the timeline shows song position `position`.
constexpr int32_t framesForPosition(int32_t position)
{
    return 4096 + position * 8 * 5292;
}
