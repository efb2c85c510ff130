#include "screens/graph_model.h"

#include <gtest/gtest.h>

#include <memory>

namespace trakomer {
namespace {

constexpr double kNmDeg = 1.0 / 60.0;  // one nautical mile of latitude

std::vector<TrackPoint> StraightLine(int n, double nmPerPoint, int secondsPerPoint) {
    std::vector<TrackPoint> points(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        points[static_cast<size_t>(i)].latitude = 10.0 + i * nmPerPoint * kNmDeg;
        points[static_cast<size_t>(i)].time = 1000 + i * secondsPerPoint;
    }
    return points;
}

TEST(GraphLayout, LandscapeSquareAndPortraitFullWidth) {
    struct Case {
        GraphRect client;
        int plotLeft, axisEnd, bottomLine, plotHeight, plotWidth;
    } cases[] = {
        {{0, 0, 320, 240}, 60, 279, 235, 225, 219},
        {{0, 0, 240, 320}, 15, 234, 235, 225, 219},
    };
    for (const Case& c : cases) {
        GraphLayout layout = ComputeGraphLayout(c.client);
        EXPECT_EQ(layout.plotLeft, c.plotLeft);
        EXPECT_EQ(layout.axisEnd, c.axisEnd);
        EXPECT_EQ(layout.bottomLine, c.bottomLine);
        EXPECT_EQ(layout.plotHeight, c.plotHeight);
        EXPECT_EQ(layout.plotWidth, c.plotWidth);
        ASSERT_EQ(layout.axes.size(), 3u);
        EXPECT_EQ(layout.axes[1].y, c.bottomLine);
    }
}

TEST(GraphLine, DecimatesToAtMost256Points) {
    GraphLayout layout = ComputeGraphLayout({0, 0, 240, 320});
    struct Case {
        int n;
        size_t plotted;
    } cases[] = {{1, 1}, {255, 255}, {256, 128}, {300, 150}, {8192, 249}};
    for (const Case& c : cases) {
        auto points = StraightLine(c.n, 0.01, 1);
        auto line = BuildGraphLine(points.data(), c.n, 10000, 100, layout);
        EXPECT_EQ(line.size(), c.plotted) << c.n;
    }
}

TEST(GraphLine, SpansThePlotAndSkipsZeroScales) {
    GraphLayout layout = ComputeGraphLayout({0, 0, 240, 320});
    auto points = StraightLine(11, 0.1, 10);
    double distance = PathDistance(points.data(), 11);
    EXPECT_NEAR(distance, 1.0, 1e-3);
    auto line = BuildGraphLine(points.data(), 11, 100, distance, layout);
    ASSERT_EQ(line.size(), 11u);
    EXPECT_EQ(line.front().x, layout.plotLeft);
    EXPECT_EQ(line.front().y, layout.bottomLine);
    EXPECT_NEAR(line.back().x, layout.axisEnd, 1);
    EXPECT_NEAR(line.back().y, layout.plotTop, 1);

    EXPECT_TRUE(BuildGraphLine(points.data(), 11, 0, distance, layout).empty());
    EXPECT_TRUE(BuildGraphLine(points.data(), 11, 100, 0, layout).empty());
}

class GraphModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        track = std::make_unique<Track>();
        in.track = track.get();
        in.client = {0, 0, 240, 320};
    }
    void Record(const std::vector<TrackPoint>& points, int elapsed) {
        std::copy(points.begin(), points.end(), track->points.begin());
        track->lastIndex = static_cast<int>(points.size()) - 1;
        track->elapsedSeconds = elapsed;
    }
    std::unique_ptr<Track> track;
    GraphInputs in;
    GraphModel model;
};

TEST_F(GraphModelTest, EmptyTrackDrawsNoCurrentLine) {
    UpdateGraphModel(model, in, false);
    EXPECT_TRUE(model.laidOut);
    EXPECT_TRUE(model.current.empty());
    EXPECT_TRUE(model.reference.empty());
}

TEST_F(GraphModelTest, CurrentLineFollowsGrowthOnly) {
    Record(StraightLine(21, 0.1, 10), 200);
    UpdateGraphModel(model, in, false);
    EXPECT_EQ(model.computedFor, 20);
    EXPECT_EQ(model.current.size(), 20u);  // points 0..N-1

    track->points[5].latitude += 1.0;  // not seen until the track grows
    UpdateGraphModel(model, in, false);
    EXPECT_NEAR(model.currentDistance, 1.9, 1e-3);
    UpdateGraphModel(model, in, true);
    EXPECT_GT(model.currentDistance, 100.0);
}

TEST_F(GraphModelTest, FartherThanPaceTrackReachesTheTop) {
    auto pace = StraightLine(11, 0.1, 10);  // 1 nm in 100 s
    in.paceTrack = &pace;
    in.paceActive = true;
    in.distanceFactor = 1.852;
    Record(StraightLine(31, 0.1, 5), 150);  // 3 nm in 150 s
    UpdateGraphModel(model, in, false);
    EXPECT_EQ(model.referenceTimeLabel, "Time 00:01:40");
    EXPECT_EQ(model.referenceDistanceLabel, "1.9");
    ASSERT_FALSE(model.reference.empty());
    EXPECT_NEAR(model.reference.back().y, model.layout.plotTop, 1);
    ASSERT_FALSE(model.current.empty());
    EXPECT_NEAR(model.current.back().y, model.layout.plotTop, 2);
    // Time scale is the longer elapsed time; the reference ends at 100 s.
    EXPECT_NEAR(model.reference.back().x, model.layout.plotLeft + model.layout.plotWidth,
                1);
}

}  // namespace
}  // namespace trakomer
