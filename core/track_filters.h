#pragma once
// In-place filters that shrink a track: duplicate removal (also the
// capacity rule of live recording) and 10-second resampling. Both move
// whole points down and keep the order of the points they keep.

#include <string_view>

#include "core/track.h"

namespace trakomer {

class Dialogs;

// Tolerance of the first duplicate pass, radians (about 1.6 m).
constexpr double kDuplicateTolerance = 2.5e-7;

// Removes points lying within the tolerance of their predecessor in
// latitude and longitude, comparing each point with its current successor.
// With untilRemoved the pass repeats with a tolerance 10 % larger each time
// until at least one point goes. Returns the new count.
int RemoveDuplicates(Track& track, int count, bool untilRemoved);

// Keeps the first point and then only points at least 10 s after the last
// kept one. Returns the new count.
int ResampleTenSeconds(Track& track, int count);

// Makes room when a live track is full: thins points 0..count-1 until
// something is removed and returns the new count (always below count for
// count >= 2).
int ThinForCapacity(Track& track, int count);

// After a Magellan track file (a name containing ".tr") has been read into
// the track: asks whether to clean it up and on Yes removes duplicates
// (one pass) and resamples, updating loadedCount. Returns true when the
// track was cleaned up.
bool OfferCleanup(Track& track, Dialogs& dialogs, std::string_view fileName);

}  // namespace trakomer
