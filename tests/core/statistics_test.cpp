// Distance, direction and the statistics step.

#include <gtest/gtest.h>

#include <vector>

#include "core/geodesy.h"
#include "core/statistics.h"

namespace trakomer {
namespace {

constexpr double kNmPerDegree = 60.0;  // along a meridian or the equator, nearly

TEST(Geodesy, ThousandthOfADegreeAtTheEquator) {
    EXPECT_NEAR(GreatCircleDistance(0, 0, 0.001 * kDegToRad, 0), 0.06, 1e-4);
}

TEST(Geodesy, SamePointIsZero) {
    const double lat = 48.1 * kDegToRad, lon = 11.5 * kDegToRad;
    EXPECT_EQ(GreatCircleDistance(lat, lon, lat, lon), 0.0);
}

struct AngleCase {
    const char* name;
    double dLat, dLon;  // degrees from (10, 20)
    double angle;
};

class TrackAngleTest : public ::testing::TestWithParam<AngleCase> {};

TEST_P(TrackAngleTest, CounterClockwiseFromNorth) {
    const AngleCase& c = GetParam();
    const double lat = 10 * kDegToRad, lon = 20 * kDegToRad;
    EXPECT_NEAR(TrackAngle(lat, lon, lat + c.dLat * kDegToRad, lon + c.dLon * kDegToRad), c.angle,
                1e-6);
}

INSTANTIATE_TEST_SUITE_P(Directions, TrackAngleTest,
                         ::testing::Values(AngleCase{"north", 1, 0, 0}, AngleCase{"west", 0, -1, 90},
                                           AngleCase{"south", -1, 0, 180},
                                           AngleCase{"east", 0, 1, 270},
                                           AngleCase{"north_east", 1, 1, -45},
                                           AngleCase{"south_west", -1, -1, 135}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(UnitFactors, MetricAndImperial) {
    const UnitFactors m = UnitFactorsFor(1);
    EXPECT_EQ(m.distanceFactor, 1.852);
    EXPECT_EQ(m.energyFactor, 4.184);
    EXPECT_STREQ(m.speedLabel, "kph");
    const UnitFactors i = UnitFactorsFor(2);
    EXPECT_EQ(i.distanceFactor, 1.15077945);
    EXPECT_EQ(i.altitudeFactor, 3.2808399);
    EXPECT_STREQ(i.energyLabel, "Calories");
    EXPECT_STREQ(i.weightLabel, "lbs");
}

// Places points one by one as recording does and runs the step on each.
class StatisticsTest : public ::testing::Test {
protected:
    StatisticsResult Add(double lat, double lon, float alt, int32_t time) {
        TrackPoint& p = track.points[++track.lastIndex];
        p = TrackPoint{};
        p.latitude = lat;
        p.longitude = lon;
        p.altitude = alt;
        p.time = time;
        return UpdateStatistics(track, track.lastIndex, input);
    }
    Track track;
    StatisticsInput input;
};

TEST_F(StatisticsTest, AscentAndDescentCountEveryChange) {
    const float altitudes[] = {100, 102, 101, 105};
    for (int i = 0; i < 4; ++i) Add(0, i * 0.001, altitudes[i], i * 10);
    EXPECT_DOUBLE_EQ(track.ascent, 6.0);
    EXPECT_DOUBLE_EQ(track.descent, 1.0);
    EXPECT_NEAR(track.gradient, 0.06 * 1852 / 4, 0.5);
    EXPECT_EQ(track.currentAltitude, 105.0);
}

TEST_F(StatisticsTest, LevelOrStillGivesNoGradient) {
    Add(0, 0, 100, 0);
    Add(0, 0, 110, 10);  // climbing without moving
    EXPECT_EQ(track.gradient, 0);
    EXPECT_EQ(track.ascent, 0);
}

TEST_F(StatisticsTest, WalkEnergyForOneHourAt2Point7Knots) {
    input.userProfile = static_cast<int>(UserProfile::Walk);
    Add(0, 0, 0, 0);
    Add(0, 2.7 / kNmPerDegree / (kEarthRadiusNm * kDegToRad / 60.0), 0, 3600);
    EXPECT_NEAR(track.totalDistance, 2.7, 1e-6);
    EXPECT_NEAR(track.averageSpeed, 2.7, 1e-6);
    EXPECT_NEAR(track.energy, 347.2, 0.1);
    EXPECT_EQ(track.elapsedSeconds, 3600);
    // 60 whole minutes over 2.7 nm * 1.852 km.
    EXPECT_NEAR(track.pace, 60 / (1.852 * 2.7), 1e-6);
}

TEST_F(StatisticsTest, PaceUsesWholeMinutesAndOnlyMuscleProfiles) {
    input.userProfile = static_cast<int>(UserProfile::Run);
    Add(0, 0, 0, 0);
    Add(0, 0.01, 0, 119);  // 1 whole minute
    EXPECT_NEAR(track.pace, 1 / (1.852 * track.totalDistance), 1e-9);
    input.userProfile = static_cast<int>(UserProfile::Car);
    Add(0, 0.02, 0, 240);
    EXPECT_EQ(track.pace, 0);
}

TEST_F(StatisticsTest, FirstPointZeroesAndTakesReceiverSpeed) {
    track.totalDistance = 9;
    track.energy = 9;
    input.rmcSpeedKnots = 3.5;
    Add(1, 1, 0, 100);
    EXPECT_EQ(track.totalDistance, 0);
    EXPECT_EQ(track.energy, 0);
    EXPECT_EQ(track.currentSpeed, 3.5);
    EXPECT_EQ(track.maxSpeed, 3.5);
    EXPECT_EQ(track.points[0].speed, 3.5f);
    // The first point does not widen the box.
    EXPECT_EQ(track.minLatitude, kEmptyBoxMin);
}

TEST_F(StatisticsTest, AverageSpeedIsZeroWhileNoTimePassed) {
    Add(0, 0, 0, 50);
    Add(0, 0.01, 0, 50);
    EXPECT_EQ(track.averageSpeed, 0);
    EXPECT_GT(track.totalDistance, 0);
}

TEST_F(StatisticsTest, TimesTooFarApartForThirtyTwoBitsCountAsNoTimePassed) {
    input.rmcSpeedKnots = 2;
    const int32_t cases[][2] = {{1237100400, INT32_MIN}, {INT32_MIN, INT32_MAX}};
    for (const auto& times : cases) {
        track = Track{};
        Add(0, 0, 0, times[0]);
        Add(0, 0.01, 0, times[1]);
        EXPECT_EQ(track.elapsedSeconds, 0) << times[1];
        EXPECT_EQ(track.averageSpeed, 0) << times[1];
        EXPECT_EQ(track.currentSpeed, 2) << times[1];
    }
}

TEST_F(StatisticsTest, ElevenNauticalMilesIsRejectedLive) {
    Add(0, 0, 0, 0);
    Add(0, 0.01, 0, 10);
    const double distance = track.totalDistance;
    EXPECT_EQ(Add(0, 0.01 + 11.0 / 60.0, 0, 20), StatisticsResult::Rejected);
    EXPECT_EQ(track.lastIndex, 1);
    EXPECT_EQ(track.totalDistance, distance);
    // The next point is measured from the last accepted one.
    Add(0, 0.02, 0, 30);
    EXPECT_NEAR(track.totalDistance, 0.02 * 60, 1e-3);
}

TEST_F(StatisticsTest, ElevenNauticalMilesIsKeptInReview) {
    input.live = false;
    Add(0, 0, 0, 0);
    EXPECT_EQ(Add(0, 11.0 / 60.0, 0, 3600), StatisticsResult::Accepted);
    EXPECT_EQ(track.lastIndex, 1);
    EXPECT_NEAR(track.totalDistance, 11.0, 0.01);
}

struct SpeedCase {
    const char* name;
    int profile;
    bool live;
    double expected;  // knots; kReceiver marks the receiver's speed
};
constexpr double kReceiver = -1;

class CurrentSpeedTest : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(CurrentSpeedTest, ByProfile) {
    const SpeedCase& c = GetParam();
    Track track;
    StatisticsInput in;
    in.userProfile = c.profile;
    in.live = c.live;
    in.rmcSpeedKnots = 42;
    // Segments of 0.01, 0.01, 0.01, 0.04 degrees of longitude (0.6, 0.6, 0.6,
    // 2.4 nm) 60 s apart: the last segment alone is 144 knots, the last three
    // 72 knots.
    const double lons[] = {0, 0.01, 0.02, 0.03, 0.07};
    for (int i = 0; i < 5; ++i) {
        track.points[i].longitude = lons[i];
        track.points[i].time = i * 60;
        track.lastIndex = i;
        UpdateStatistics(track, i, in);
    }
    const double expected = c.expected == kReceiver ? 42.0 : c.expected;
    EXPECT_NEAR(track.currentSpeed, expected, 0.05);
    EXPECT_NEAR(track.points[4].speed, expected, 0.05);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, CurrentSpeedTest,
    ::testing::Values(SpeedCase{"walk_last_segment", 1, true, 144},
                      SpeedCase{"run_live_three_segments", 2, true, 72},
                      SpeedCase{"run_review_last_segment", 2, false, 144},
                      SpeedCase{"car_live_receiver", 4, true, kReceiver},
                      SpeedCase{"car_review_formula", 4, false, 144}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(StatisticsTest, StandingStillUsesTheReceiverSpeed) {
    input.rmcSpeedKnots = 0.4;
    Add(0, 0, 0, 0);
    Add(0, 0, 0, 5);
    EXPECT_EQ(track.currentSpeed, 0.4);
}

TEST_F(StatisticsTest, MaxSpeedIsTheLargestSoFar) {
    Add(0, 0, 0, 0);
    Add(0, 0.01, 0, 60);    // 36 knots
    Add(0, 0.015, 0, 120);  // 18 knots
    EXPECT_NEAR(track.maxSpeed, 36, 0.05);
    EXPECT_NEAR(track.currentSpeed, 18, 0.05);
}

TEST_F(StatisticsTest, NorthUpTurnsTheMarkerOnly) {
    input.upMode = 1;
    Add(0, 0, 0, 0);
    Add(0, 0.01, 0, 10);  // east
    EXPECT_EQ(track.viewHeading, 0);
    EXPECT_NEAR(track.markerCourse, 270, 1e-6);
    Add(0, 0.01, 0, 20);  // no movement: the course stays
    EXPECT_NEAR(track.markerCourse, 270, 1e-6);
}

TEST_F(StatisticsTest, HeadingUpTurnsTheView) {
    input.upMode = 2;
    Add(0, 0, 0, 0);
    Add(0, -0.01, 0, 10);  // west
    EXPECT_NEAR(track.viewHeading, 90, 1e-6);
    EXPECT_EQ(track.markerCourse, 0);
}

TEST_F(StatisticsTest, HookRunsBeforeTheCommit) {
    Add(0, 0, 0, 0);
    TrackPoint& p = track.points[++track.lastIndex];
    p.longitude = 0.01;
    p.time = 60;
    double speedSeen = -1;
    float pointSpeedSeen = -1;
    UpdateStatistics(track, track.lastIndex, input, [&] {
        speedSeen = track.currentSpeed;
        pointSpeedSeen = p.speed;
    });
    EXPECT_NEAR(speedSeen, 36, 0.05);
    EXPECT_EQ(pointSpeedSeen, 0.0f);
}

}  // namespace
}  // namespace trakomer
