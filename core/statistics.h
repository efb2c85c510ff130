#pragma once
// The statistics step run for every point placed in the track.

#include <functional>

#include "core/track.h"

namespace trakomer {

enum class UserProfile { Walk = 1, Run = 2, Bike = 3, Car = 4, Motorbike = 5, Blackbox = 6 };

constexpr double kDefaultBodyWeightKg = 87.0;
// A live point further than this from its predecessor is a receiver glitch.
constexpr double kMaxLiveSegmentNm = 10.0;

// Everything the step reads besides the track.
struct StatisticsInput {
    int upMode = 1;        // mUpMode: 1 north-up, 2 heading-up
    int userProfile = 1;   // mUserProfile
    bool live = true;      // recording live (false: review processing)
    double rmcSpeedKnots = 0;
    double distanceFactor = 1.852;
    double bodyWeightKg = kDefaultBodyWeightKg;
};

enum class StatisticsResult { Accepted, Rejected };

// Runs the statistics step for the point at `index`. `beforeCommit` runs
// after the current speed is known and before maxSpeed, the point's speed
// and the previous-point values are updated (auto start and stop use it).
// A live point more than 10 nautical miles from the previous one is
// rejected: lastIndex goes back by one and nothing else changes.
StatisticsResult UpdateStatistics(Track& track, int index, const StatisticsInput& input,
                                  const std::function<void()>& beforeCommit = {});

}  // namespace trakomer
