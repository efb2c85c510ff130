#pragma once
// The reference tracks named in the settings (the pace track for relative
// feedback, the display track drawn on the maps) and the waypoint file,
// loaded at start-up.

#include <vector>

#include "core/dialogs.h"
#include "core/settings.h"
#include "core/track.h"
#include "files/waypoints.h"

namespace trakomer {

// A track of its own, kept beside the main one (speed is not kept).
struct ReferenceTrack {
    std::vector<TrackPoint> points;
    bool loaded = false;
    int Count() const { return static_cast<int>(points.size()); }
};

// When mBasePath is set and mUseBasePath is 1, reads the file (.trk, .trz or .gpx)
// through the main track, copies its points and resets the main track.
// Returns whether points were loaded (the flag of `pace`).
bool LoadPaceTrack(const Settings& settings, Track& track, ReferenceTrack& pace,
                   Dialogs& dialogs);

// The same with mRefPath / mUseRefPath; also reads .kml tracks.
bool LoadDisplayTrack(const Settings& settings, Track& track, ReferenceTrack& display,
                      Dialogs& dialogs);

// When mWayPointPath is set and mUseWayPointPath is 1, reads the file (.kml,
// .kmz or .gpx) into the table; sets waypointsShown when waypoints are present.
// Rebuilding the Fly To menu is the caller's.
bool LoadWaypointFile(const Settings& settings, WaypointTable& waypoints, Dialogs& dialogs);

}  // namespace trakomer
