#include "files/gpx_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "files/gpx_time.h"
#include "files/written_points.h"
#include "platform/file_io.h"

#ifndef TRAKOMER_VERSION
#define TRAKOMER_VERSION "unknown"
#endif

namespace trakomer {
namespace {

std::string EscapeXml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                // Control characters are not allowed in XML 1.0 text.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
        }
    }
    return out;
}

std::string Header() {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<gpx version=\"1.1\" creator=\"") +
           EscapeXml(GpxCreator()) + "\" xmlns=\"" + kGpxNamespace +
           "\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
           " xsi:schemaLocation=\"" +
           kGpxNamespace + " " + kGpxNamespace + "/gpx.xsd\">\n";
}

// Appends the shortest decimal that reads back as the same value, without
// an exponent (xsd:decimal allows none), so positions and altitudes survive
// a round trip exactly.
template <typename T>
void AppendDecimal(std::string& out, T value) {
    char text[400];
    if (!std::isfinite(value)) {
        out += '0';
        return;
    }
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    if (result.ec == std::errc()) {
        out.append(text, result.ptr);
    } else {
        out += '0';
    }
}

// lat and lon attributes. GPX keeps longitudes below 180: that meridian is
// written as -180.
void AppendPosition(std::string& out, double latitude, double longitude) {
    if (longitude >= 180) longitude -= 360;
    out += "lat=\"";
    AppendDecimal(out, latitude);
    out += "\" lon=\"";
    AppendDecimal(out, longitude);
    out += '"';
}

std::string BaseNameWithoutExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

}  // namespace

std::string GpxCreator() {
    return std::string("Trakomer ") + TRAKOMER_VERSION;
}

std::string ComposeTrackGpx(const Track& track, const std::string& trackName) {
    std::string out = Header();
    out += " <trk>\n  <name>" + EscapeXml(trackName) + "</name>\n  <trkseg>\n";
    const int count = WrittenPointCount(track);
    out.reserve(out.size() + static_cast<std::size_t>(std::max(count, 0)) * 112 + 64);
    for (int i = 0; i < count; ++i) {
        const TrackPoint& p = track.points[static_cast<std::size_t>(i)];
        out += "   <trkpt ";
        AppendPosition(out, p.latitude, p.longitude);
        out += "><ele>";
        AppendDecimal(out, p.altitude);
        out += "</ele>";
        if (p.time != 0) {
            out += "<time>";
            AppendGpxTime(out, p.time, p.hundredths);
            out += "</time>";
        }
        out += "</trkpt>\n";
    }
    out += "  </trkseg>\n </trk>\n</gpx>\n";
    return out;
}

std::string ComposeWaypointsGpx(const WaypointTable& waypoints) {
    std::string out = Header();
    for (int i = 0; i < waypoints.waypointCount && i < kWaypointCapacity; ++i) {
        const Waypoint& w = waypoints.entries[static_cast<std::size_t>(i)];
        out += " <wpt ";
        AppendPosition(out, w.latitude, w.longitude);
        out += "><name>" + EscapeXml(w.name) + "</name></wpt>\n";
    }
    out += "</gpx>\n";
    return out;
}

bool WriteTrackGpx(const Track& track, const std::string& path) {
    return WriteFileAtomically(path, ComposeTrackGpx(track, BaseNameWithoutExtension(path)),
                               DefaultFileMode());
}

int64_t WriteWaypointsGpx(const WaypointTable& waypoints, const std::string& path) {
    if (waypoints.waypointCount <= 0) return 0;
    if (!WriteFileAtomically(path, ComposeWaypointsGpx(waypoints), DefaultFileMode())) return -1;
    return FileSize(path);
}

}  // namespace trakomer
