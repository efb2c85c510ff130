#include "files/log_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/utc_time.h"
#include "files/whole_metres.h"
#include "files/written_points.h"
#include "platform/file_io.h"

namespace trakomer {
namespace {

// Degrees as NMEA degrees and minutes (dddmm.mmm), without the sign.
double DegreesMinutes(double degrees) {
    const double whole = std::trunc(degrees);
    return std::fabs(whole * 100 + (degrees - whole) * 60);
}

}  // namespace

std::string FormatLogPoint(const TrackPoint& point) {
    const UtcTime t = SecondsToUtc(point.time);
    // Two-digit year; years outside 2000-2099 wrap instead of printing a
    // sign or a third digit.
    const int year = ((t.year - 2000) % 100 + 100) % 100;
    char line[160];
    const int n = std::snprintf(
        line, sizeof line, "$PMGNTRK,%.3f,%c,%.3f,%c,%05d,%02d%02d%02d.00,A,track,%02d%02d%02d\n",
        DegreesMinutes(point.latitude), point.latitude > 0 ? 'N' : 'S',
        DegreesMinutes(point.longitude), point.longitude < 0 ? 'W' : 'E',
        WholeMetres(point.altitude), t.hour, t.minute, t.second, t.day, t.month, year);
    return std::string(line, static_cast<std::size_t>(std::clamp(n, 0, int{sizeof line} - 1)));
}

std::string FormatLog(const Track& track) {
    std::string text = std::string(kLogFormatLine) + "\n";
    const int count = WrittenPointCount(track);
    for (int i = 0; i < count; ++i) text += FormatLogPoint(track.points[i]);
    return text;
}

bool WriteLog(const Track& track, const std::string& path) {
    return WriteFileAtomically(path, FormatLog(track), DefaultFileMode());
}

}  // namespace trakomer
