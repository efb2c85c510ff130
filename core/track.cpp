#include "core/track.h"

#include <algorithm>

namespace trakomer {

void ClearBounds(Track& track) {
    track.minLatitude = track.minLongitude = track.minAltitude = kEmptyBoxMin;
    track.maxLatitude = track.maxLongitude = track.maxAltitude = kEmptyBoxMax;
}

void ResetTrack(Track& track) {
    if (track.lastIndex > 0) {
        const TrackPoint& newest = track.points[track.lastIndex];
        TrackPoint& first = track.points[0];
        first.latitude = newest.latitude;
        first.longitude = newest.longitude;
        first.altitude = newest.altitude;
        first.time = newest.time;
        first.hundredths = newest.hundredths;
    }
    track.totalDistance = 0;
    track.averageSpeed = 0;
    track.maxSpeed = 0;
    track.ascent = 0;
    track.descent = 0;
    track.gradient = 0;
    track.energy = 0;
    track.elapsedSeconds = 0;
    track.lastIndex = -1;
    track.loadedCount = 0;
    ClearBounds(track);
}

void UpdateBounds(Track& track, const TrackPoint& point) {
    track.minLatitude = std::min(track.minLatitude, point.latitude);
    track.maxLatitude = std::max(track.maxLatitude, point.latitude);
    track.minLongitude = std::min(track.minLongitude, point.longitude);
    track.maxLongitude = std::max(track.maxLongitude, point.longitude);
    track.minAltitude = std::min(track.minAltitude, static_cast<double>(point.altitude));
    track.maxAltitude = std::max(track.maxAltitude, static_cast<double>(point.altitude));
}

void DeletePoint(Track& track, int p) {
    if (p < 0 || p >= track.loadedCount) return;
    auto first = track.points.begin();
    std::move(first + p + 1, first + track.loadedCount, first + p);
    --track.loadedCount;
    track.lastIndex = 0;
    track.maxSpeed = 0;
    ClearBounds(track);
    for (int i = 0; i < track.loadedCount; ++i) UpdateBounds(track, track.points[i]);
}

}  // namespace trakomer
