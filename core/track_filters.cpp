#include "core/track_filters.h"

#include <algorithm>
#include <cmath>

#include "core/dialogs.h"
#include "core/geodesy.h"

namespace trakomer {
namespace {

// Past this tolerance every pair of valid coordinates is within it.
constexpr double kToleranceLimit = 8.0;

void RemoveAt(Track& track, int index, int count) {
    auto first = track.points.begin();
    std::move(first + index + 1, first + count, first + index);
}

bool WithinTolerance(const TrackPoint& a, const TrackPoint& b, double tolerance) {
    return std::fabs(a.longitude * kDegToRad - b.longitude * kDegToRad) < tolerance &&
           std::fabs(a.latitude * kDegToRad - b.latitude * kDegToRad) < tolerance;
}

int DuplicatePass(Track& track, int count, double tolerance) {
    for (int i = 0; i + 1 < count; ++i) {
        if (WithinTolerance(track.points[i], track.points[i + 1], tolerance)) {
            RemoveAt(track, i + 1, count);
            --count;
        }
    }
    return count;
}

}  // namespace

int RemoveDuplicates(Track& track, int count, bool untilRemoved) {
    count = std::clamp(count, 0, kTrackCapacity);
    if (count < 2) return count;
    double tolerance = kDuplicateTolerance;
    for (;;) {
        const int after = DuplicatePass(track, count, tolerance);
        tolerance *= 1.1;
        if (!untilRemoved || after < count) return after;
        // Coordinates that compare with nothing (not numbers) would keep
        // the loop going for ever: give up and drop the second point.
        if (tolerance > kToleranceLimit) {
            RemoveAt(track, 1, count);
            return count - 1;
        }
    }
}

int ResampleTenSeconds(Track& track, int count) {
    count = std::clamp(count, 0, kTrackCapacity);
    if (count < 2) return count;
    int32_t reference = track.points[0].time;
    int i = 1;
    while (i < count) {
        // Widened so that times far apart cannot overflow the difference.
        if (int64_t{track.points[i].time} - reference < 10) {
            RemoveAt(track, i, count);
            --count;
        } else {
            reference = track.points[i].time;
            ++i;
        }
    }
    return count;
}

int ThinForCapacity(Track& track, int count) { return RemoveDuplicates(track, count, true); }

bool OfferCleanup(Track& track, Dialogs& dialogs, std::string_view fileName) {
    if (fileName.find(".tr") == std::string_view::npos) return false;
    if (!dialogs.AskYesNo("Resample data at 10s intervals and remove duplicates",
                          "Resample data?")) {
        return false;
    }
    int count = RemoveDuplicates(track, track.loadedCount, false);
    count = ResampleTenSeconds(track, count);
    track.loadedCount = count;
    track.lastIndex = -1;
    return true;
}

}  // namespace trakomer
