#pragma once
// The one track the program works on: a fixed array of points with a
// cursor, the bounding box and the running statistics.

#include <array>
#include <cstdint>

namespace trakomer {

constexpr int kTrackCapacity = 8192;
// Sentinels of an empty bounding box.
constexpr double kEmptyBoxMin = 999999.0;
constexpr double kEmptyBoxMax = -999999.0;

struct TrackPoint {
    double latitude = 0;   // degrees, north positive
    double longitude = 0;  // degrees, east positive
    float altitude = 0;    // metres above mean sea level
    float speed = 0;       // knots, set when the point is processed
    int32_t time = 0;      // UTC seconds since 1970-01-01
    uint8_t hundredths = 0;
};

struct Track {
    std::array<TrackPoint, kTrackCapacity> points{};
    // Live: index of the newest point (-1 when empty). Review: playback position.
    int32_t lastIndex = -1;
    // Points of a track under review; 0 while live.
    int32_t loadedCount = 0;

    double minLatitude = kEmptyBoxMin, maxLatitude = kEmptyBoxMax;
    double minLongitude = kEmptyBoxMin, maxLongitude = kEmptyBoxMax;
    double minAltitude = kEmptyBoxMin, maxAltitude = kEmptyBoxMax;

    // Statistics: distances in nautical miles, speeds in knots, metres, kcal.
    double totalDistance = 0;
    double currentSpeed = 0;
    double averageSpeed = 0;
    double maxSpeed = 0;
    int32_t elapsedSeconds = 0;
    double ascent = 0;
    double descent = 0;
    double gradient = 0;
    double currentAltitude = 0;
    double pace = 0;
    double energy = 0;
    double viewHeading = 0;
    double markerCourse = 0;

    // The last processed point, for the next statistics step.
    double previousLatitudeRad = 0;
    double previousLongitudeRad = 0;
    int32_t previousTime = 0;

    bool InReview() const { return loadedCount != 0; }
};

// Steps 1-3 of "Reset all values": the newest point survives as point 0,
// statistics are zeroed, the cursor and the box are emptied. The recording
// state, timers, menus and views are reset by the recording engine's caller.
void ResetTrack(Track& track);

// Removes point p of a reviewed track (0 <= p < loadedCount), moving the
// later points down; resets the cursor and maxSpeed and rebuilds the box.
void DeletePoint(Track& track, int p);

// Widens the bounding box to include the point.
void UpdateBounds(Track& track, const TrackPoint& point);

// Empties the bounding box.
void ClearBounds(Track& track);

}  // namespace trakomer
