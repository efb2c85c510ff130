#pragma once
// Tracks for the file tests.

#include <memory>

#include "core/track.h"

namespace trakomer::testing {

struct PointSpec {
    double latitude;
    double longitude;
    float altitude;
    int32_t time;
    uint8_t hundredths;
};

// A live track holding the points (lastIndex = count, so every given point
// is written and one more slot would be "in flux").
inline std::unique_ptr<Track> LiveTrack(std::initializer_list<PointSpec> points) {
    auto track = std::make_unique<Track>();
    int i = 0;
    for (const PointSpec& p : points) {
        track->points[i] = TrackPoint{p.latitude, p.longitude, p.altitude, 0, p.time, p.hundredths};
        ++i;
    }
    track->lastIndex = i;
    return track;
}

// A live track of n points walking north-east from 51.0/0.0, `stepDeg`
// degrees of latitude apart, one second apart.
inline std::unique_ptr<Track> WalkTrack(int n, double stepDeg = 0.0001) {
    auto track = std::make_unique<Track>();
    for (int i = 0; i < n; ++i) {
        track->points[i] = TrackPoint{51.0 + i * stepDeg, 0.5, 100.0f + static_cast<float>(i), 0,
                                      1232878272 + i, 0};
    }
    track->lastIndex = n;
    return track;
}

}  // namespace trakomer::testing
