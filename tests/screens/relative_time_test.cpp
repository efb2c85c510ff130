#include "screens/relative_time.h"

#include <gtest/gtest.h>

#include <memory>

#include "screens/screen_text.h"

namespace trakomer {
namespace {

// Reference points 30 m apart going north, one every 10 s.
constexpr double kStepDeg = 30.0 / 1852.0 / 60.0;

TrackPoint At(int step, int time, double latOffset = 0) {
    TrackPoint p;
    p.latitude = 48.0 + step * kStepDeg + latOffset;
    p.longitude = 11.0;
    p.time = time;
    return p;
}

class RelativeTime : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 20; ++i) pace.reference.push_back(At(i, 1000 + 10 * i));
        pace.active = true;
        track = std::make_unique<Track>();
        track->points[0] = At(0, 5000);
    }

    // The current point 1 lies at reference step `step`, `elapsed` s in.
    void Compare(int step, int elapsed, int screen = 2, double latOffset = 0) {
        track->points[1] = At(step, 5000 + elapsed, latOffset);
        track->lastIndex = 1;
        UpdateRelativeTime(pace, *track, 1, screen);
    }

    PaceComparison pace;
    std::unique_ptr<Track> track;
};

TEST_F(RelativeTime, BehindAndAheadOfTheReference) {
    struct Case {
        int step, elapsed, expected;
    } cases[] = {{5, 60, 10}, {5, 40, -10}, {8, 80, 0}};
    for (const Case& c : cases) {
        pace.searchStart = 0;
        Compare(c.step, c.elapsed);
        EXPECT_EQ(pace.relativeSeconds, c.expected) << c.step << " " << c.elapsed;
        EXPECT_EQ(pace.searchStart, c.step);
    }
}

TEST_F(RelativeTime, FarAwayCountsMissesAndSwitchesOff) {
    for (int i = 1; i <= kPaceMaxMisses; ++i) {
        EXPECT_TRUE(pace.active);
        Compare(5, 60, 2, 1.0);  // 60 nm north of the reference
        EXPECT_EQ(pace.relativeSeconds, kUnknownRelativeTime);
        EXPECT_EQ(pace.missCount, i);
    }
    EXPECT_FALSE(pace.active);
}

TEST_F(RelativeTime, NearbyWithoutMatchKeepsLastValue) {
    Compare(5, 60);
    ASSERT_EQ(pace.relativeSeconds, 10);
    Compare(5, 70, 2, 0.01);  // about 0.6 nm off the path
    EXPECT_EQ(pace.relativeSeconds, 10);
    EXPECT_EQ(pace.missCount, 0);
}

TEST_F(RelativeTime, GhostAdvancesOnTrackScreensOnly) {
    Compare(5, 60, 2);
    EXPECT_EQ(pace.ghostIndex, 0);
    pace.searchStart = 0;
    Compare(5, 60, 0);
    // Reference time reaches r + e = 70 s at point 7.
    EXPECT_EQ(pace.ghostIndex, 7);
}

TEST_F(RelativeTime, FirstMatchMustLieInTheFirstHalf) {
    Compare(15, 150);
    EXPECT_EQ(pace.relativeSeconds, kUnknownRelativeTime);
    EXPECT_EQ(pace.searchStart, 0);
}

}  // namespace
}  // namespace trakomer
