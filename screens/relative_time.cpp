#include "screens/relative_time.h"

#include <algorithm>
#include <cmath>

#include "core/geodesy.h"
#include "core/time_span.h"
#include "screens/screen_text.h"

namespace trakomer {

namespace {

double DistanceNm(const TrackPoint& a, const TrackPoint& b) {
    return GreatCircleDistance(a.latitude * kDegToRad, a.longitude * kDegToRad,
                               b.latitude * kDegToRad, b.longitude * kDegToRad);
}

void AdvanceGhost(PaceComparison& pace, int64_t target) {
    const auto& ref = pace.reference;
    const int last = static_cast<int>(ref.size()) - 1;
    int g = std::min(std::max(pace.ghostIndex, 0), last);
    while (g < last && SecondsBetween(ref[static_cast<size_t>(g)].time, ref[0].time) < target) ++g;
    pace.ghostIndex = g;
}

}  // namespace

void UpdateRelativeTime(PaceComparison& pace, const Track& track, int index, int currentScreen) {
    const auto& ref = pace.reference;
    const int count = static_cast<int>(ref.size());
    if (!pace.active || count == 0 || index < 0 || index >= kTrackCapacity) return;

    if (index == 0) {
        pace.searchStart = 0;
        pace.ghostIndex = 0;
    }
    const TrackPoint& current = track.points[static_cast<size_t>(index)];
    const int elapsed = SecondsBetween(current.time, track.points[0].time);

    int match = pace.searchStart;
    bool matched = false;
    double smallest = 99999;
    double lastDistance = 0;
    for (int i = pace.searchStart; i < count; ++i) {
        const TrackPoint& candidate = ref[static_cast<size_t>(i)];
        lastDistance = DistanceNm(current, candidate);
        double d = std::abs(elapsed - double(SecondsBetween(candidate.time, ref[0].time)));
        if (lastDistance < kPaceMatchDistanceNm && d < smallest && (match != 0 || i <= count / 2)) {
            smallest = d;
            match = i;
            matched = true;
        }
    }
    pace.searchStart = match;

    if (matched && match >= 1) {
        pace.relativeSeconds =
            SecondsBetween(elapsed, SecondsBetween(ref[static_cast<size_t>(match)].time, ref[0].time));
        if (currentScreen == 0 || currentScreen == 1) {
            AdvanceGhost(pace, int64_t{pace.relativeSeconds} + elapsed);
        }
    } else if (lastDistance > kPaceMissDistanceNm) {
        ++pace.missCount;
        pace.relativeSeconds = kUnknownRelativeTime;
        if (pace.missCount >= kPaceMaxMisses) pace.active = false;
    }
}

}  // namespace trakomer
