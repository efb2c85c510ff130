#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "gl/draw_compass.h"
#include "gl/draw_shapes.h"
#include "gl/draw_text.h"
#include "gl/pixel_matrix.h"
#include "tests/gl/gl_fixture.h"

namespace trakomer::gl {
namespace {

using testing::PixelSet;
using testing::Rgb;

class DrawTest : public testing::GlFixture {};

Rgb RampBytes(int index) {
    const ColourRamp ramp = MakeColourRamp();
    const RampColour& c = RampEntry(ramp, index);
    auto byte = [](float v) { return static_cast<uint8_t>(v * 255.0f + 0.5f); };
    return {byte(c.red), byte(c.green), byte(c.blue)};
}

TEST_F(DrawTest, RibbonIsATwoPixelBandInTheEndPointColour) {
    struct Case {
        ScreenPoint from, to;
        int minX, maxX, minY, maxY;  // lit pixels, inclusive
    };
    // The band from y 9 to 11 (or x 9 to 11) covers pixel rows (columns)
    // 9 and 10; its length runs from the start pixel up to the end.
    const Case cases[] = {
        {{10, 10, 0}, {20, 10, 0}, 10, 19, 9, 10},
        {{10, 10, 0}, {10, 20, 0}, 9, 10, 10, 19},
        {{20, 10, 0}, {10, 10, 0}, 10, 19, 9, 10},
    };
    for (const Case& c : cases) {
        Clear();
        const ScreenPoint points[] = {c.from, c.to};
        const int colours[] = {0, 5};
        DrawTrackRibbon(gl.draw, points, colours);
        const FrameImage& frame = Present();
        const PixelSet lit = Lit(frame);
        ASSERT_FALSE(lit.empty());
        for (const auto& [x, y] : lit) {
            EXPECT_TRUE(x >= c.minX && x <= c.maxX && y >= c.minY && y <= c.maxY)
                << "stray pixel " << x << "," << y;
            EXPECT_EQ(At(frame, x, y), RampBytes(5));
        }
        EXPECT_EQ(lit.size(), size_t((c.maxX - c.minX + 1) * (c.maxY - c.minY + 1)));
    }
}

TEST_F(DrawTest, RibbonWidensTheBoxWithSegmentStartsAndLeavesLastColour) {
    const ScreenPoint points[] = {{5, 50, 3}, {30, 40, -2}, {60, 10, 7}};
    const int colours[] = {0, 2, 19};
    DrawTrackRibbon(gl.draw, points, colours);
    const TrackBox& box = gl.draw.trackBox;
    EXPECT_EQ(box.minX, 5);
    EXPECT_EQ(box.maxX, 30);
    EXPECT_EQ(box.minY, 40);
    EXPECT_EQ(box.maxY, 50);
    EXPECT_EQ(box.minZ, -2);
    EXPECT_EQ(box.maxZ, 3);
    // The arrow takes the current colour: the last segment's.
    Clear();
    DrawPositionArrow(40, 40, 0, 0.0);
    const FrameImage& frame = Present();
    EXPECT_EQ(At(frame, 40, 33), RampBytes(19));
}

TEST_F(DrawTest, RibbonCoordinatesBeyondSixteenBitsDoNotWrap) {
    // 70000 would wrap to 4464 as a 16-bit value and cross the window.
    const ScreenPoint points[] = {{10, 10, 0}, {70000, 10, 0}};
    const int colours[] = {0, 3};
    DrawTrackRibbon(gl.draw, points, colours);
    const FrameImage& frame = Present();
    for (int x = 10; x < kWidth; ++x) EXPECT_EQ(At(frame, x, 10), RampBytes(3)) << x;
    EXPECT_EQ(At(frame, 5, 10), (Rgb{0, 0, 0}));
}

TEST_F(DrawTest, CircleSegmentsOutsideOneToSeventyDrawNothing) {
    for (int segments : {71, 100, 0, -5}) {
        Clear();
        glColor4f(1, 1, 1, 1);
        DrawCircle(40, 40, 0, 20, segments);
        EXPECT_TRUE(Lit(Present()).empty()) << segments;
    }
    Clear();
    DrawCircle(40, 40, 0, 20, 70);
    EXPECT_FALSE(Lit(Present()).empty());
}

TEST_F(DrawTest, OctagonCornersTruncateTowardsTheCentre) {
    // sin(90 x 0.01745329222) is just below 1: 20 x 0.99999... truncates to 19.
    glColor4f(1, 1, 1, 1);
    DrawCircle(40, 40, 0, 20, 8);
    const FrameImage& frame = Present();
    for (auto [x, y] : {std::pair{60, 40}, {54, 54}, {40, 59}, {21, 40}, {40, 21}, {54, 26}}) {
        EXPECT_EQ(At(frame, x, y), (Rgb{255, 255, 255})) << x << "," << y;
    }
    EXPECT_EQ(At(frame, 40, 40), (Rgb{0, 0, 0}));
}

TEST_F(DrawTest, LinesAndPointsLandOnTheirPixels) {
    const PixelPoint strip[] = {{5, 5}, {15, 5}};
    DrawLineStripFlat(gl.draw, strip, false);
    DrawBitmapText(gl.draw, 30, 30, ".");
    const PixelSet lit = Lit(Present());
    for (int x = 5; x < 15; ++x) EXPECT_TRUE(lit.count({x, 5})) << x;
    EXPECT_FALSE(lit.count({5, 4}));
    EXPECT_FALSE(lit.count({5, 6}));
}

PixelSet Shifted(const PixelSet& pixels, int dy) {
    PixelSet out;
    for (const auto& [x, y] : pixels) out.insert({x, y + dy});
    return out;
}

TEST_F(DrawTest, LineFeedPutsTheNextLineThirteenRowsLower) {
    glColor4f(1, 1, 1, 1);
    DrawBitmapText(gl.draw, 10, 40, "A");
    const PixelSet a = Lit(Present());
    Clear();
    DrawBitmapText(gl.draw, 10, 40, "B");
    const PixelSet b = Lit(Present());
    Clear();
    DrawBitmapText(gl.draw, 10, 40, "A\nB");
    PixelSet expected = a;
    for (const auto& p : Shifted(b, -13)) expected.insert(p);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(Lit(Present()), expected);
}

TEST_F(DrawTest, TextAdvancesEightPixelsAndBlanksStillAdvance) {
    glColor4f(1, 1, 1, 1);
    DrawBitmapText(gl.draw, 10, 40, "A");
    const PixelSet a = Lit(Present());
    Clear();
    DrawBitmapText(gl.draw, 2, 40, " A");
    EXPECT_EQ(Lit(Present()), a);
}

TEST_F(DrawTest, ExclusiveOrTextTwiceRestoresThePicture) {
    const ScreenPoint points[] = {{0, 42}, {kWidth, 42}};
    const int colours[] = {0, 12};
    DrawTrackRibbon(gl.draw, points, colours);
    std::vector<uint8_t> before = Present().rgba;
    for (int pass = 0; pass < 2; ++pass) {
        DrawTextXor(gl.draw, 4, 38, u"Trakomer 12:30");
        if (pass == 0) {
            EXPECT_NE(Present().rgba, before);
        }
    }
    EXPECT_EQ(Present().rgba, before);
    for (int pass = 0; pass < 2; ++pass) DrawTextXorColour(gl.draw, 4, 38, u"km/h", 9);
    EXPECT_EQ(Present().rgba, before);
}

TEST(ToLatin1, NarrowsAndCutsWideText) {
    EXPECT_EQ(ToLatin1(u"Gr\u00fc\u00dfe \u20ac"), "Gr\xfc\xdf" "e ?");
    EXPECT_EQ(ToLatin1(std::u16string(600, u'x')).size(), kXorTextMax);
}

// The mean position of the pure red pixels (the north half of the needle).
std::pair<double, double> RedCentre(const FrameImage& frame) {
    double sumX = 0, sumY = 0;
    int count = 0;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            if (testing::GlFixture::At(frame, x, y) == Rgb{255, 0, 0}) {
                sumX += x;
                sumY += y;
                ++count;
            }
        }
    }
    EXPECT_GT(count, 0);
    return {sumX / std::max(count, 1), sumY / std::max(count, 1)};
}

TEST_F(DrawTest, CompassNeedleTurnsWithTheViewHeading) {
    struct Case {
        double heading;
        double dx, dy;  // direction the north half points to
    };
    const Case cases[] = {{0, 0, 1}, {90, 1, 0}, {180, 0, -1}, {270, -1, 0}};
    for (const Case& c : cases) {
        Clear();
        DrawCompass(gl.draw, c.heading);
        const auto [x, y] = RedCentre(Present());
        EXPECT_GT((x - kCompassX) * c.dx + (y - kCompassY) * c.dy, 5.0) << c.heading;
    }
}

TEST_F(DrawTest, ExtremeInputsDrawNothingStray) {
    const double nan = std::nan("");
    glColor4f(1, 1, 1, 1);
    DrawPositionArrow(40000, -40000, 0, nan);
    DrawPositionArrow(50, 50, 0, 1e300);
    DrawCompass(gl.draw, nan);
    DrawBitmapText(gl.draw, 2000000000, 5, "far");
    const int colours[] = {-7, 400};
    const ScreenPoint points[] = {{1, 1, 0}, {5, 1, 0}};
    DrawTrackRibbon(gl.draw, points, colours);  // colour indices are clamped
    const FrameImage& frame = Present();
    EXPECT_EQ(At(frame, 3, 1), RampBytes(19));
    // An angle of 1e300 degrees is some whole angle modulo 360: the arrow
    // still stands around (50, 50).
    for (const auto& [x, y] : Lit(frame)) {
        const bool arrow = std::abs(x - 50) <= 13 && std::abs(y - 50) <= 13;
        const bool compass = x < 70 && y < 70;
        EXPECT_TRUE(arrow || compass) << x << "," << y;
    }
}

TEST(FixedDegrees, TruncatesModuloAFullTurn) {
    EXPECT_EQ(FixedDegrees(45.9), 45 * kFixedOne);
    EXPECT_EQ(FixedDegrees(-45.9), -45 * kFixedOne);
    EXPECT_EQ(FixedDegrees(725.5), 5 * kFixedOne);
    EXPECT_EQ(FixedDegrees(std::nan("")), 0);
    EXPECT_EQ(ToFixed(40000), 32767 * kFixedOne);
}

TEST_F(DrawTest, LegendBoxHeightsCountDownFromTheTop) {
    // H = 80 + 20 = 100: heights 30..40 from the top are rows 60..70.
    DrawLegendBox(gl.draw, kHeight, 80, 30, 90, 40, 19);
    const FrameImage& frame = Present();
    const PixelSet lit = Lit(frame);
    EXPECT_EQ(lit.size(), size_t(10 * 10));
    EXPECT_TRUE(lit.count({80, 60}));
    EXPECT_TRUE(lit.count({89, 69}));
    EXPECT_EQ(At(frame, 85, 65), RampBytes(19));
}

TEST_F(DrawTest, MarkerTriangleAndXorCircleStayAroundTheirPoint) {
    DrawMarkerTriangle(gl.draw, 20, 20, 9);
    DrawCircleXor(60, 60, 0);
    const FrameImage& frame = Present();
    for (const auto& [x, y] : Lit(frame)) {
        const bool nearMarker = std::abs(x - 20) <= 3 && std::abs(y - 20) <= 3;
        const bool nearCircle = std::abs(x - 60) <= 5 && std::abs(y - 60) <= 5;
        EXPECT_TRUE(nearMarker || nearCircle) << x << "," << y;
    }
    EXPECT_EQ(At(frame, 20, 19), RampBytes(9));
    EXPECT_EQ(At(frame, 65, 60), (Rgb{255, 255, 255}));
}

}  // namespace
}  // namespace trakomer::gl
