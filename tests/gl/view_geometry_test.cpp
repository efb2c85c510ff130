#include "gl/view_geometry.h"

#include <gtest/gtest.h>

namespace trakomer::gl {
namespace {

TEST(ViewSquare, CoversTheWindowForEveryUpMode) {
    struct Case {
        WindowRect window;
        int upMode;
        ViewSquare expected;
    };
    const Case cases[] = {
        {{0, 0, 240, 320}, 1, {0, 0, 240, 320}},
        {{0, 0, 240, 320}, 2, {-80, -40, 320, 360}},
        {{0, 0, 240, 320}, 0, {-80, -40, 320, 360}},
        {{0, 0, 320, 240}, 2, {-40, -80, 360, 320}},
        // Odd sizes: integer halves, then the square from the half diagonal.
        {{0, 0, 241, 321}, 2, {-80, -40, 320, 360}},
        {{0, 0, 480, 640}, 2, {-160, -80, 640, 720}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComputeViewSquare(c.window, c.upMode), c.expected)
            << c.window.right << "x" << c.window.bottom << " mode " << c.upMode;
    }
}

TEST(Orientation, LandscapeOnlyWhenWiderThanHigh) {
    EXPECT_EQ(OrientationOf(320, 240), Orientation::Landscape);
    EXPECT_EQ(OrientationOf(240, 320), Orientation::Portrait);
    EXPECT_EQ(OrientationOf(300, 300), Orientation::Portrait);
}

}  // namespace
}  // namespace trakomer::gl
