#pragma once
// GPS Exchange (GPX 1.1) documents: the track as one <trk> of one <trkseg>,
// the waypoints as <wpt> elements.

#include <cstdint>
#include <string>

#include "core/track.h"
#include "files/waypoints.h"

namespace trakomer {

constexpr const char* kGpxNamespace = "http://www.topografix.com/GPX/1/1";

// The creator attribute: "Trakomer" and the program's version.
std::string GpxCreator();

// The written points of the track (as every other writer saves them) with
// their altitude and, when known (not 0), their UTC time.
std::string ComposeTrackGpx(const Track& track, const std::string& trackName);
std::string ComposeWaypointsGpx(const WaypointTable& waypoints);

// The track is named after the file's base name without its extension. The
// file is replaced only once the new one is complete; false on failure.
bool WriteTrackGpx(const Track& track, const std::string& path);

// Returns the size of the written file, 0 (writing nothing) when the table
// is empty, -1 on failure.
int64_t WriteWaypointsGpx(const WaypointTable& waypoints, const std::string& path);

}  // namespace trakomer
