#pragma once
// How many points of the track the writers save.

#include "core/track.h"

namespace trakomer {

// While recording live the newest point (at lastIndex) is still in flux, so
// points 0 to lastIndex - 1 are written. A track under review has lastIndex
// as its playback position: points 0 to lastIndex are written, so saving at
// the end keeps every point and saving mid-playback keeps those played.
// The result is never above the track's capacity (and is <= 0 when there is
// nothing to write; the .trk header records it as it is).
int WrittenPointCount(const Track& track);

}  // namespace trakomer
