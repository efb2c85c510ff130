#include "core/statistics.h"

#include <algorithm>

#include "core/geodesy.h"
#include "core/time_span.h"

namespace trakomer {
namespace {

constexpr double kMinHeadingSegmentNm = 0.0005;

double EnergyConstant(int profile) {
    switch (static_cast<UserProfile>(profile)) {
        case UserProfile::Walk: return 0.02463352608;
        case UserProfile::Run: return 0.03173076048;
        case UserProfile::Bike: return 0.01209474528;
        default: return 0.0;
    }
}

bool IsMuscleProfile(int profile) {
    return profile == static_cast<int>(UserProfile::Walk) ||
           profile == static_cast<int>(UserProfile::Run) ||
           profile == static_cast<int>(UserProfile::Bike);
}

double PointDistance(const TrackPoint& a, const TrackPoint& b) {
    return GreatCircleDistance(a.latitude * kDegToRad, a.longitude * kDegToRad,
                               b.latitude * kDegToRad, b.longitude * kDegToRad);
}

void ZeroForFirstPoint(Track& track) {
    track.averageSpeed = 0;
    track.totalDistance = 0;
    track.viewHeading = 0;
    track.gradient = 0;
    track.ascent = 0;
    track.descent = 0;
    track.maxSpeed = 0;
    track.elapsedSeconds = 0;
    track.energy = 0;
}

void UpdateDirection(Track& track, double seg, double lat, double lon, int upMode) {
    const bool moved = seg > kMinHeadingSegmentNm;
    if (upMode == 2) {
        if (moved) {
            track.viewHeading =
                TrackAngle(track.previousLatitudeRad, track.previousLongitudeRad, lat, lon);
            track.markerCourse = 0;
        }
    } else {
        track.viewHeading = 0;
        if (moved) {
            track.markerCourse =
                TrackAngle(track.previousLatitudeRad, track.previousLongitudeRad, lat, lon);
        }
    }
}

void UpdateHeight(Track& track, int index, double seg) {
    const double dh = static_cast<double>(track.points[index].altitude) -
                      static_cast<double>(track.points[index - 1].altitude);
    if (dh > 0 && seg > 0) {
        track.ascent += dh;
        track.gradient = seg * kMetresPerNm / dh;
    } else if (dh < 0 && seg > 0) {
        track.descent += -dh;
        track.gradient = seg * kMetresPerNm / dh;
    } else {
        track.gradient = 0;
    }
}

void UpdateTimeFigures(Track& track, int index, const StatisticsInput& in) {
    const TrackPoint& p = track.points[index];
    track.elapsedSeconds = SecondsBetween(p.time, track.points[0].time);
    track.averageSpeed =
        track.elapsedSeconds != 0 ? track.totalDistance / (track.elapsedSeconds / 3600.0) : 0.0;

    if (IsMuscleProfile(in.userProfile) && track.totalDistance > 0) {
        const int wholeMinutes = track.elapsedSeconds / 60;
        track.pace = wholeMinutes / (in.distanceFactor * track.totalDistance);
    } else {
        track.pace = 0;
    }
    if (IsMuscleProfile(in.userProfile)) {
        track.energy = track.averageSpeed * EnergyConstant(in.userProfile) *
                       track.elapsedSeconds * in.bodyWeightKg / 60.0;
    }
}

double CurrentSpeed(const Track& track, int index, double seg, double dt,
                    const StatisticsInput& in) {
    double d = seg;
    double t = dt;
    if (in.userProfile == static_cast<int>(UserProfile::Run) && in.live && index > 2) {
        const auto& pts = track.points;
        d = PointDistance(pts[index - 3], pts[index - 2]) +
            PointDistance(pts[index - 2], pts[index - 1]) +
            PointDistance(pts[index - 1], pts[index]);
        t = SecondsBetween(pts[index].time, pts[index - 3].time);
    }
    const bool carLive = in.userProfile == static_cast<int>(UserProfile::Car) && in.live;
    if (d != 0 && t != 0 && !carLive) return d / (t / 3600.0);
    return in.rmcSpeedKnots;
}

}  // namespace

StatisticsResult UpdateStatistics(Track& track, int index, const StatisticsInput& input,
                                  const std::function<void()>& beforeCommit) {
    TrackPoint& p = track.points[index];
    const double lat = p.latitude * kDegToRad;
    const double lon = p.longitude * kDegToRad;
    track.currentAltitude = p.altitude;

    if (index == 0) {
        ZeroForFirstPoint(track);
        track.currentSpeed = input.rmcSpeedKnots;
    } else {
        const double seg =
            GreatCircleDistance(track.previousLatitudeRad, track.previousLongitudeRad, lat, lon);
        if (input.live && seg > kMaxLiveSegmentNm) {
            --track.lastIndex;
            return StatisticsResult::Rejected;
        }
        track.totalDistance += seg;
        const double dt = SecondsBetween(p.time, track.previousTime);
        UpdateDirection(track, seg, lat, lon, input.upMode);
        UpdateBounds(track, p);
        UpdateHeight(track, index, seg);
        UpdateTimeFigures(track, index, input);
        track.currentSpeed = CurrentSpeed(track, index, seg, dt, input);
    }

    if (beforeCommit) beforeCommit();

    track.maxSpeed = std::max(track.maxSpeed, track.currentSpeed);
    p.speed = static_cast<float>(track.currentSpeed);
    track.previousLatitudeRad = lat;
    track.previousLongitudeRad = lon;
    track.previousTime = p.time;
    return StatisticsResult::Accepted;
}

}  // namespace trakomer
