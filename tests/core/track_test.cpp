// The track store: reset, delete and the bounding box.

#include <gtest/gtest.h>

#include "core/track.h"

namespace trakomer {
namespace {

TrackPoint Point(double lat, double lon, float alt, int32_t time) {
    TrackPoint p;
    p.latitude = lat;
    p.longitude = lon;
    p.altitude = alt;
    p.time = time;
    return p;
}

TEST(Track, StartsEmpty) {
    Track t;
    EXPECT_EQ(t.lastIndex, -1);
    EXPECT_EQ(t.loadedCount, 0);
    EXPECT_EQ(t.minLatitude, 999999.0);
    EXPECT_EQ(t.maxAltitude, -999999.0);
}

TEST(ResetTrack, KeepsTheNewestPointAsTheFirst) {
    Track t;
    for (int i = 0; i < 100; ++i) t.points[i] = Point(i, -i, static_cast<float>(i), 1000 + i);
    t.points[99].hundredths = 42;
    t.points[99].speed = 7;
    t.lastIndex = 99;
    t.totalDistance = 5;
    t.elapsedSeconds = 99;
    UpdateBounds(t, t.points[5]);
    ResetTrack(t);
    EXPECT_EQ(t.lastIndex, -1);
    EXPECT_EQ(t.points[0].latitude, 99);
    EXPECT_EQ(t.points[0].longitude, -99);
    EXPECT_EQ(t.points[0].time, 1099);
    EXPECT_EQ(t.points[0].hundredths, 42);
    EXPECT_EQ(t.totalDistance, 0);
    EXPECT_EQ(t.elapsedSeconds, 0);
    EXPECT_EQ(t.minLatitude, 999999.0);
}

TEST(ResetTrack, SinglePointTrackKeepsItsFirstPoint) {
    Track t;
    t.points[0] = Point(1, 2, 3, 4);
    t.lastIndex = 0;
    ResetTrack(t);
    EXPECT_EQ(t.points[0].latitude, 1);
}

class DeletePointTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 5; ++i) track.points[i] = Point(10 + i, 20 + i, 100.0f + i, i);
        track.loadedCount = 5;
        track.lastIndex = 3;
        track.maxSpeed = 9;
    }
    Track track;
};

TEST_F(DeletePointTest, MovesLaterPointsDownAndRebuildsTheBox) {
    DeletePoint(track, 0);
    EXPECT_EQ(track.loadedCount, 4);
    EXPECT_EQ(track.lastIndex, 0);
    EXPECT_EQ(track.maxSpeed, 0);
    EXPECT_EQ(track.points[0].latitude, 11);
    EXPECT_EQ(track.points[3].time, 4);
    EXPECT_EQ(track.minLatitude, 11);
    EXPECT_EQ(track.minAltitude, 101);
    EXPECT_EQ(track.maxLongitude, 24);
}

TEST_F(DeletePointTest, LastPointShortensTheTrack) {
    DeletePoint(track, 4);
    EXPECT_EQ(track.loadedCount, 4);
    EXPECT_EQ(track.points[3].latitude, 13);
    EXPECT_EQ(track.maxLatitude, 13);
}

TEST_F(DeletePointTest, OutOfRangeDoesNothing) {
    for (int p : {-1, 5, 100}) {
        DeletePoint(track, p);
        EXPECT_EQ(track.loadedCount, 5);
        EXPECT_EQ(track.lastIndex, 3);
    }
}

}  // namespace
}  // namespace trakomer
