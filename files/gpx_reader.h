#pragma once
// Reading GPS Exchange documents (GPX 1.1 and 1.0) with the expat parser.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/dialogs.h"
#include "core/track.h"
#include "files/read_status.h"
#include "files/waypoints.h"

namespace trakomer {

// What a GPX document holds. Track points are those of every <trkseg> of
// every <trk>, in document order; route points those of every <rte>. More
// points than the track holds are thinned as a full live track is, so the
// whole way stays covered. A missing <ele> gives 0. Points without a usable
// lat and lon are skipped and counted. Times: a document with no time at
// all stays untimed (0); where only some points have one, each point
// without takes a time interpolated by distance between the timed points
// around it, and those before the first or after the last timed point take
// its time, so no point counts as 1970.
struct GpxContent {
    std::unique_ptr<Track> trackPoints;  // points 0..trackCount-1; null when none
    int trackCount = 0;
    std::unique_ptr<Track> routePoints;
    int routeCount = 0;
    std::vector<Waypoint> waypoints;  // at most kMaxGpxWaypoints
    int skippedPoints = 0;            // points (of any kind) without a usable position
    int droppedWaypoints = 0;         // waypoints beyond kMaxGpxWaypoints
};

constexpr int kMaxGpxWaypoints = kWaypointCapacity - 1;

// Parses a whole document in one piece. Returns "" on success, otherwise
// why the text is not a usable GPX document ("not XML: ...", "not GPX: ...").
std::string ParseGpx(std::string_view text, GpxContent& content);

// The same for a file, read in pieces; `opened` is false when it cannot be
// read at all.
std::string ParseGpxFile(const std::string& path, GpxContent& content, bool& opened);

// Fills points 0..n-1 with the track's points, or the route's when the
// document has no track, and sets loadedCount = n. A file that is not GPX
// shows "Corrupt GPX file: <reason>" and leaves the track as it was; skipped
// points are reported as a warning.
ReadStatus ReadTrackGpx(const std::string& path, Track& track, Dialogs& dialogs);

// Replaces the table's waypoints with the document's <wpt> elements when it
// has at least one; otherwise the table stays as it was. Skipped points and
// waypoints beyond the table are reported as a warning.
ReadStatus ReadWaypointsGpx(const std::string& path, WaypointTable& waypoints, Dialogs& dialogs);

}  // namespace trakomer
