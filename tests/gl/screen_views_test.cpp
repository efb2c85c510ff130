#include <gtest/gtest.h>

#include <GLES/gl.h>

#include <memory>

#include "gl/screen_views.h"
#include "tests/gl/gl_fixture.h"

namespace trakomer::gl {
namespace {

using testing::Rgb;

constexpr int kWidth = 240;
constexpr int kHeight = 320;

Rgb Ramp(int index) {
    const ColourRamp ramp = MakeColourRamp();
    const RampColour& c = RampEntry(ramp, index);
    auto byte = [](float v) { return static_cast<uint8_t>(v * 255.0f + 0.5f); };
    return {byte(c.red), byte(c.green), byte(c.blue)};
}

bool IsRampColour(const Rgb& rgb) {
    for (int i = 0; i < kRampSize; ++i) {
        if (rgb == Ramp(i)) return true;
    }
    return false;
}

class ScreenViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        gl.windowRect = {0, 0, kWidth, kHeight};
        gl.views = &views;
        ASSERT_TRUE(InitGl(gl)) << "no EGL/GLES 1 context";
        ResizeGl(gl, 1);
        // Eleven points eastward along the equator, 9.6 pixels apart at
        // zoom 1, climbing 10 m a point.
        for (int i = 0; i <= 10; ++i) {
            TrackPoint& p = track->points[static_cast<size_t>(i)];
            p.longitude = i * 0.0001;
            p.altitude = static_cast<float>(i * 10);
            p.speed = static_cast<float>(10 - i);
        }
        track->lastIndex = 10;
        track->minAltitude = 0;
        track->maxAltitude = 100;
        track->maxSpeed = 10;
        views.inputs.track = track.get();
        views.inputs.recordingState = 2;
    }
    void TearDown() override { ShutdownGl(gl); }

    const FrameImage& Draw() {
        views.DrawFrame(gl);
        return gl.frame;
    }

    // Leftmost ramp-coloured pixel in a row.
    static int LeftmostRamp(const FrameImage& frame, int y) {
        for (int x = 0; x < frame.width; ++x) {
            if (IsRampColour(testing::GlFixture::At(frame, x, y))) return x;
        }
        return -1;
    }

    GlContext gl;
    ScreenViews views;
    std::unique_ptr<Track> track = std::make_unique<Track>();
};

Rgb At(const FrameImage& frame, int x, int y) { return testing::GlFixture::At(frame, x, y); }

TEST_F(ScreenViewsTest, RibbonInRampColoursEndingAtTheArrow) {
    struct Case {
        int screen;
        Rgb nearEnd;    // segment 9-10 at x 115
        Rgb beforeEnd;  // segment 8-9 at x 105
    };
    // Altitude 100 and 90 of 0..100: colours 19 (clamped) and 18; speed 0
    // and 1 of a maximum of 10: colours 0 and 2.
    for (const Case& c : {Case{0, Ramp(19), Ramp(18)}, Case{1, Ramp(0), Ramp(2)}}) {
        views.inputs.screen = c.screen;
        const FrameImage& frame = Draw();
        ASSERT_EQ(frame.width, kWidth);
        EXPECT_EQ(At(frame, 115, 160), c.nearEnd) << c.screen;
        EXPECT_EQ(At(frame, 105, 160), c.beforeEnd) << c.screen;
        EXPECT_EQ(At(frame, 115, 165), (Rgb{0, 0, 0})) << "band is two pixels";
        // The arrow's tip stands on the newest point, pointing north, in
        // the last segment's colour.
        EXPECT_EQ(At(frame, 120, 152), c.nearEnd) << c.screen;
        EXPECT_EQ(At(frame, 120, 168), (Rgb{0, 0, 0}));
    }
}

TEST_F(ScreenViewsTest, ZoomHalvesTheTrackAndHeadingUpTurnsIt) {
    const int full = 120 - LeftmostRamp(Draw(), 160);
    views.map.zoom = 0.5;
    const int half = 120 - LeftmostRamp(Draw(), 160);
    EXPECT_GT(full, 90);
    EXPECT_NEAR(half, full / 2, 2);

    // Heading up, travelling east: the map turns so the track comes from
    // below... the east-bound track's past lies west, which turns to the
    // bottom of the screen.
    views.map.zoom = 1.0;
    track->viewHeading = 270;  // counter-clockwise from north: east
    ResizeGl(gl, 2);
    const FrameImage& turned = Draw();
    EXPECT_TRUE(IsRampColour(At(turned, 120, 150)) || IsRampColour(At(turned, 119, 150)));
    EXPECT_FALSE(IsRampColour(At(turned, 110, 160)));
}

TEST_F(ScreenViewsTest, ArrowTurnsWithTheMarkerCourse) {
    track->markerCourse = 180;
    const FrameImage& frame = Draw();
    EXPECT_TRUE(IsRampColour(At(frame, 120, 168)));
    EXPECT_FALSE(IsRampColour(At(frame, 120, 152)));
}

TEST_F(ScreenViewsTest, LegendRunsFromTheLowToTheHighColour) {
    const FrameImage& frame = Draw();
    EXPECT_EQ(At(frame, 233, 80), Ramp(0));
    EXPECT_EQ(At(frame, 233, 290), Ramp(19));
}

TEST_F(ScreenViewsTest, EmptyTrackShowsOnlyTheHint) {
    track->lastIndex = -1;
    views.inputs.recordingState = 1;
    const FrameImage& frame = Draw();
    int hintPixels = 0, elsewhere = 0;
    for (const auto& [x, y] : testing::GlFixture::Lit(frame)) {
        if (IsRampColour(At(frame, x, y))) continue;  // the legend
        (y < 45 ? hintPixels : elsewhere) += 1;
    }
    EXPECT_GT(hintPixels, 100);
    EXPECT_EQ(elsewhere, 0);
}

TEST_F(ScreenViewsTest, GlobeScreenShowsSatellitesInFixModeColours) {
    GpsFix fix;
    fix.gsaFixMode = 3;
    fix.gsvSatellitesInView = 2;
    fix.gsvSatellites[0] = {7, 40, 0, 0, 90};  // overhead
    fix.gsvSatellites[1] = {9, 0, 0, 90, 45};  // no signal: not drawn
    views.inputs.fix = &fix;
    views.inputs.screen = kScreenGlobe;
    const FrameImage& frame = Draw();
    EXPECT_EQ(At(frame, 120, 160), (Rgb{0, 255, 0}));
    EXPECT_DOUBLE_EQ(views.globe.zoom, 0.4);
    EXPECT_EQ(views.globe.trail.points.size(), 1u);
    fix.gsaFixMode = 2;
    const FrameImage& again = Draw();
    EXPECT_EQ(At(again, 120, 160), (Rgb{255, 255, 0}));
    EXPECT_DOUBLE_EQ(views.globe.zoom, 0.4);  // reduced once only
}

TEST_F(ScreenViewsTest, TextScreensOnlySampleTheSkyWithAValidFix) {
    GpsFix fix;
    fix.gsvSatellitesInView = 1;
    fix.gsvSatellites[0] = {7, 40, 0, 30, 40};
    views.inputs.fix = &fix;
    views.inputs.screen = 2;
    fix.rmcStatus = 'V';
    Draw();
    EXPECT_TRUE(views.globe.trail.points.empty());
    fix.rmcStatus = 'A';
    Draw();
    EXPECT_EQ(views.globe.trail.points.size(), 1u);
}

}  // namespace
}  // namespace trakomer::gl
