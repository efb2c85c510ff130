#pragma once
// Google Earth documents: the full track, the current location and the
// waypoints, each packed into a .kmz; and the zipped text of new points for
// a server.

#include <cstdint>
#include <string>

#include "core/settings.h"
#include "core/track.h"
#include "files/waypoints.h"

namespace trakomer {

constexpr const char* kKmlNamespace = "http://earth.google.com/kml/2.0";
constexpr const char* kDefaultStyleUrl = "root://styleMaps#default+nicon=0x307+hicon=0x317";
constexpr const char* kPushPinIconUrl =
    "http://maps.google.com/mapfiles/kml/pushpin/ylw-pushpin.png";
constexpr const char* kProgramWebAddress = "https://trakomer.example.org/";
constexpr const char* kIconFileName = "run.png";
constexpr const char* kChangesEntryName = "LastLoc.txt";

// The documents themselves; `documentName` is the target file's base name.
std::string ComposeTrackKml(const Track& track, const Settings& settings,
                            const std::string& documentName);
std::string ComposeLocationKml(const Track& track, const Settings& settings,
                               const std::string& documentName);
std::string ComposeWaypointsKml(const WaypointTable& waypoints, const std::string& documentName);
// Lines "time,altitude,latitude,longitude" of points fromIndex to the newest
// written one.
std::string ComposeChanges(const Track& track, int fromIndex);

// The archive entry of a document saved as `path`: its base name with the
// last character replaced by "l" (x.kmz holds x.kml).
std::string KmlEntryName(const std::string& path);

// The writers return the size in bytes of the archive written at `path`,
// or -1 when it could not be written (an older file there is then left as
// it was). Track documents pack "run.png" from `dataFolder` beside the
// document.
int64_t WriteTrackKmz(const Track& track, const Settings& settings, const std::string& path,
                      const std::string& dataFolder);
int64_t WriteLocationKmz(const Track& track, const Settings& settings, const std::string& path,
                         const std::string& dataFolder);
// Writes nothing and returns 0 when the table is empty.
int64_t WriteWaypointsKmz(const WaypointTable& waypoints, const std::string& path);
// Returns the number of characters in "LastLoc.txt", -1 if the archive
// could not be written.
int64_t WriteChangesZip(const Track& track, const std::string& path, int fromIndex);

}  // namespace trakomer
