#pragma once
// Time relative to a pace track: how far behind (positive) or ahead
// (negative) of the reference the current point is.

#include <vector>

#include "core/track.h"

namespace trakomer {

// A reference point is a match only this close to the current point (20 m).
constexpr double kPaceMatchDistanceNm = 0.01079913606;
// Further than this from the pace track counts as a miss.
constexpr double kPaceMissDistanceNm = 10.0;
// After this many misses the pace track is switched off.
constexpr int kPaceMaxMisses = 11;

struct PaceComparison {
    std::vector<TrackPoint> reference;  // the pace track's points
    bool active = false;                // a pace track is loaded and in use
    int searchStart = 0;
    int ghostIndex = 0;                 // the pace track's current point
    int missCount = 0;                  // never reset
    int relativeSeconds = 999999;       // 999999 = unknown
};

// Compares point `index` of the track with the pace track and updates the
// relative time, the search start and (on the track screens) the ghost.
void UpdateRelativeTime(PaceComparison& pace, const Track& track, int index, int currentScreen);

}  // namespace trakomer
