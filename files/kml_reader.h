#pragma once
// Reading waypoints and a track's coordinates back from KML documents.

#include <string>

#include "core/dialogs.h"
#include "core/track.h"
#include "files/read_status.h"
#include "files/waypoints.h"

namespace trakomer {

// At most this many placemarks are read from a waypoint file.
constexpr int kMaxWaypointsRead = kWaypointCapacity - 1;

// Line-oriented reading of placemarks: each placemark's name and the first
// two numbers after its <coordinates> tag (longitude, latitude). The table
// changes only when at least one complete placemark was read; returns the
// number read. Names are unescaped and cut to 31 characters.
int ParseWaypointsKml(const std::string& text, WaypointTable& waypoints);

// Word-oriented reading of the first <coordinates> element of the first
// <LineString> (of the document when it has none): every word that starts
// with "longitude,latitude,altitude" becomes the next point (at most 8192;
// words with fewer numbers or impossible coordinates add none). Returns
// false, changing nothing, when the text has no <coordinates> tag;
// otherwise sets loadedCount to the points taken.
bool ParseTrackKml(const std::string& text, Track& track);

ReadStatus ReadWaypointsKml(const std::string& path, WaypointTable& waypoints);
// An archive of exactly one entry, read in memory; "Corrupt file" otherwise.
ReadStatus ReadWaypointsKmz(const std::string& path, WaypointTable& waypoints, Dialogs& dialogs);
ReadStatus ReadTrackKml(const std::string& path, Track& track);

}  // namespace trakomer
