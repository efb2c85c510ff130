#include "files/reference_tracks.h"

#include "files/file_types.h"
#include "files/gpx_reader.h"
#include "files/kml_reader.h"
#include "files/track_io.h"

namespace trakomer {
namespace {

bool LoadReference(const std::string& path, int use, TrackFileType type, Track& track,
                   ReferenceTrack& reference, Dialogs& dialogs) {
    if (path.empty() || use == 0) return false;
    reference.points.clear();
    reference.loaded = false;
    // Start from an unloaded track so only this file's points count.
    track.loadedCount = 0;
    ReadTrackFile(type, path, track, dialogs);
    const int count = std::clamp(track.loadedCount, 0, kTrackCapacity);
    if (count == 0) return false;
    reference.points.assign(track.points.begin(), track.points.begin() + count);
    for (TrackPoint& p : reference.points) p.speed = 0;
    reference.loaded = true;
    ResetTrack(track);
    return true;
}

}  // namespace

bool LoadPaceTrack(const Settings& settings, Track& track, ReferenceTrack& pace,
                   Dialogs& dialogs) {
    return LoadReference(settings.mBasePath, settings.mUseBasePath,
                         PaceTrackFileType(settings.mBasePath), track, pace, dialogs);
}

bool LoadDisplayTrack(const Settings& settings, Track& track, ReferenceTrack& display,
                      Dialogs& dialogs) {
    return LoadReference(settings.mRefPath, settings.mUseRefPath,
                         DisplayTrackFileType(settings.mRefPath), track, display, dialogs);
}

bool LoadWaypointFile(const Settings& settings, WaypointTable& waypoints, Dialogs& dialogs) {
    const std::string& path = settings.mWayPointPath;
    if (path.empty() || settings.mUseWayPointPath != 1) return false;
    switch (WaypointFileType(path)) {
        case TrackFileType::Kml: ReadWaypointsKml(path, waypoints); break;
        case TrackFileType::Kmz: ReadWaypointsKmz(path, waypoints, dialogs); break;
        case TrackFileType::Gpx: ReadWaypointsGpx(path, waypoints, dialogs); break;
        default: return false;
    }
    if (waypoints.waypointCount > 0) waypoints.waypointsShown = true;
    return waypoints.waypointCount > 0;
}

}  // namespace trakomer
