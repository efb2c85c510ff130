#pragma once
// The Tracks page's texts: name formats, file filters and the file names
// the check boxes show.

#include <array>
#include <string>

namespace trakomer::prefs {

inline constexpr std::array<const char*, 4> kNameFormats = {"DDMMYY-hhmmss", "DDMMYYYY-hhmmss",
                                                            "YYMMDD-hhmmss", "YYYYMMDD-hhmmss"};

// File dialog filters, one "Label (*.ext)" per entry, separated by ";;".
// GPX comes last, after the Magellan and Google Earth entries.
inline constexpr const char* kPaceFilter =
    "Magellan Track (*.trk);;Magellan Track Zipped (*.trz);;GPS Exchange (*.gpx)";
inline constexpr const char* kDisplayFilter =
    "Magellan Track (*.trk);;Magellan Track Zipped (*.trz);;Google Earth (*.kml);;"
    "GPS Exchange (*.gpx)";
inline constexpr const char* kWaypointFilter =
    "Google Earth Zipped(*.kmz);;Google Earth (*.kml);;GPS Exchange (*.gpx)";

// The path's file name part (after the last slash or backslash); empty for
// an empty path.
std::string FileNamePart(const std::string& path);

// The path cut to what the settings keep (the path edit: 127 characters).
std::string LimitedPath(const std::string& path, size_t capacity);

}  // namespace trakomer::prefs
