#pragma once
// Explorist track logs (.log): NMEA-style text, written only.

#include <string>

#include "core/track.h"

namespace trakomer {

constexpr const char* kLogFormatLine =
    "$PMGNFMT,%TRK,LAT,HEMI,LON,HEMI,ALT,UNIT,TIME,VALID,NAME,DATE,CHKSUM,%META,ASCII";

// One "$PMGNTRK" line (with its line feed) for the point.
std::string FormatLogPoint(const TrackPoint& point);

// The whole log: the format line, then one line per written point.
std::string FormatLog(const Track& track);

// Writes the log (replacing the file only once it is complete); false on
// failure.
bool WriteLog(const Track& track, const std::string& path);

}  // namespace trakomer
