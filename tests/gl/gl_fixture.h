#pragma once
// A headless GL context (Mesa's surfaceless platform) for pixel tests.

#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "gl/gl_context.h"
#include "gl/pixel_matrix.h"

namespace trakomer::gl::testing {

using Rgb = std::array<uint8_t, 3>;
using PixelSet = std::set<std::pair<int, int>>;

class GlFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 96;
    static constexpr int kHeight = 80;

    void SetUp() override {
        gl.windowRect = {0, 0, kWidth, kHeight};
        ASSERT_TRUE(InitGl(gl)) << "no EGL/GLES 1 context";
        Clear();
    }
    void TearDown() override { ShutdownGl(gl); }

    void Clear() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        LoadPixelIdentity();
    }

    const FrameImage& Present() {
        EXPECT_TRUE(PresentFrame(gl));
        return gl.frame;
    }

public:
    static Rgb At(const FrameImage& frame, int x, int y) {
        const uint8_t* p = frame.PixelAt(x, y);
        return {p[0], p[1], p[2]};
    }

    // Every pixel that is not black.
    static PixelSet Lit(const FrameImage& frame) {
        PixelSet lit;
        for (int y = 0; y < frame.height; ++y) {
            for (int x = 0; x < frame.width; ++x) {
                if (At(frame, x, y) != Rgb{0, 0, 0}) lit.insert({x, y});
            }
        }
        return lit;
    }

protected:
    GlContext gl;
};

}  // namespace trakomer::gl::testing
