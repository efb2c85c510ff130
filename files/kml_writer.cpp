#include "files/kml_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "core/geodesy.h"
#include "core/time_span.h"
#include "core/utc_time.h"
#include "files/kml_text.h"
#include "files/whole_metres.h"
#include "files/written_points.h"
#include "files/zip_archive.h"
#include "platform/file_io.h"

namespace trakomer {
namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kMarkerSpacing = 0.5;  // km or miles between distance markers
constexpr int kMaxTimeMarkers = 100;

template <typename... A>
std::string Format(const char* format, A... args) {
    char buffer[512];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    return std::string(buffer, static_cast<std::size_t>(std::clamp(n, 0, int{sizeof buffer} - 1)));
}

// Appends the value as printf's "%.*f" writes it (to_chars is specified to
// give the same text, without the C library's slower formatting).
void AppendFixed(std::string& out, double value, int decimals) {
    char text[400];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    out.append(text, result.ptr);
}

// "lon,lat,alt" as "%f,%f,%.0f" writes them.
void AppendCoordinates(std::string& out, const TrackPoint& p) {
    AppendFixed(out, p.longitude, 6);
    out += ',';
    AppendFixed(out, p.latitude, 6);
    out += ',';
    AppendFixed(out, static_cast<double>(p.altitude), 0);
}

std::string Coordinates(const TrackPoint& p) {
    std::string out;
    AppendCoordinates(out, p);
    return out;
}

std::string ActivityWord(const Track& track, const Settings& settings) {
    if (!track.InReview() && settings.mUserProfile == 1) return "walk";
    if (!track.InReview() && settings.mUserProfile == 2) return "run";
    return "route";
}

std::string Description(const Track& track, const Settings& settings) {
    const std::string activity = ActivityWord(track, settings);
    if (settings.mUserName.empty()) return "A " + activity + " recorded by Trakomer";
    return "A " + activity + " by " + EscapeKmlText(settings.mUserName) + ", recorded with Trakomer";
}

std::string LookAt(double longitude, double latitude) {
    return "  <LookAt>\n" + Format("    <longitude>%f</longitude>\n", longitude) +
           Format("    <latitude>%f</latitude>\n", latitude) +
           "    <range>10000.0</range>\n    <tilt>45</tilt>\n    <heading>0.0</heading>\n"
           "  </LookAt>\n";
}

// From the XML declaration to the style line; the LookAt block only when
// given.
std::string Header(const std::string& name, const std::string& description,
                   const std::string& lookAt) {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"") +
           kKmlNamespace + "\">\n<Folder>\n<name>" + EscapeKmlText(name) + "</name>\n" +
           "<description>" + description + "</description>\n" + lookAt + "  <styleUrl>" +
           kDefaultStyleUrl + "</styleUrl>\n";
}

std::string TimePlacemark(const Track& track, int i) {
    const TrackPoint& p = track.points[i];
    const int elapsed = SecondsBetween(p.time, track.points[0].time);
    const UtcTime t = SecondsToUtc(p.time);
    return "<Placemark>\n" +
           Format("\t<name>%02d:%02d:%02d</name>\n", elapsed / 3600, (elapsed / 60) % 60,
                  elapsed % 60) +
           "\t<TimeStamp>\n" +
           Format("\t\t<when>%4d-%02d-%02dT%02d:%02d:%02dZ</when>\n", t.year, t.month, t.day,
                  t.hour, t.minute, t.second) +
           "\t</TimeStamp>\n\t<Style>\n\t\t<IconStyle>\n\t\t\t<Icon>\n"
           "\t\t\t\t<href>run.png</href>\n\t\t\t</Icon>\n\t\t</IconStyle>\n\t</Style>\n"
           "\t<Point>\n\t\t<coordinates>" + Coordinates(p) + "</coordinates>\n\t</Point>\n"
           "</Placemark>\n";
}

std::string TimeMarkers(const Track& track, int count) {
    const int step = count <= kMaxTimeMarkers ? 1 : count / kMaxTimeMarkers;
    std::string out;
    for (int i = 0; i < count; i += step) out += TimePlacemark(track, i);
    return out;
}

std::string DistanceMarkers(const Track& track, const Settings& settings, int count) {
    const char* unit = settings.mUnits == 1 ? "km" : "miles";
    const double factor = UnitFactorsFor(settings.mUnits).distanceFactor;
    double totalNm = 0;
    double threshold = kMarkerSpacing;
    std::string out;
    for (int i = 1; i < count; ++i) {
        const TrackPoint& a = track.points[i - 1];
        const TrackPoint& b = track.points[i];
        totalNm += GreatCircleDistance(a.latitude * kRadiansPerDegree,
                                       a.longitude * kRadiansPerDegree,
                                       b.latitude * kRadiansPerDegree,
                                       b.longitude * kRadiansPerDegree);
        const double shown = totalNm * factor;
        if (shown >= threshold || i == count - 1) {
            out += "<Placemark>\n" + Format("\t<name>%.2f %s</name>\n", shown, unit) +
                   "\t<Point>\n\t\t<coordinates>" + Coordinates(b) +
                   "</coordinates>\n\t</Point>\n</Placemark>\n";
            threshold += kMarkerSpacing;
        }
    }
    return out;
}

std::string TrackLine(const Track& track, int count) {
    std::string out =
        "<Placemark>\n  <name>Track</name>\n  <tessellate>1</tessellate>\n"
        "  <altitudeMode>absolute</altitudeMode>\n<Style>\n\t<LineStyle>\n"
        "\t\t<color>ff0000ff</color>\n\t\t<width>2</width>\n\t</LineStyle>\n</Style>\n"
        "  <LineString>\n  <coordinates>\n";
    out.reserve(out.size() + static_cast<std::size_t>(count) * 32 + 64);
    for (int i = 0; i < count; ++i) {
        AppendCoordinates(out, track.points[i]);
        out += ' ';
    }
    out += "\n  </coordinates>\n  </LineString>\n</Placemark>\n";
    return out;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int64_t NewestTime(const Track& track) {
    const int count = WrittenPointCount(track);
    return count > 0 ? track.points[count - 1].time : 0;
}

int64_t WriteKmz(const std::string& path, const std::string& document,
                 const std::string& dataFolder, bool withIcon, int64_t entryTime) {
    std::vector<ZipEntry> entries = {{KmlEntryName(path), document}};
    std::string icon;
    // Without its icon file the archive is still worth having.
    if (withIcon && ReadFileBytes(dataFolder + "/" + kIconFileName, 1 << 20, icon)) {
        entries.push_back({kIconFileName, icon});
    }
    if (!WriteZip(path, entries, entryTime)) return -1;
    return FileSize(path);
}

}  // namespace

std::string KmlEntryName(const std::string& path) {
    std::string name = BaseName(path);
    if (name.empty()) return "doc.kml";
    name.back() = 'l';
    return name;
}

std::string ComposeTrackKml(const Track& track, const Settings& settings,
                            const std::string& documentName) {
    const int count = WrittenPointCount(track);
    const TrackPoint& first = track.points[0];
    std::string out = Header(documentName,
                             Description(track, settings) + ", " + kProgramWebAddress,
                             LookAt(first.longitude, first.latitude));
    out += "<Folder>\n<name>Time</name>\n";
    out += TimeMarkers(track, count);
    out += "</Folder>\n<Folder>\n<name>Distance</name>\n";
    out += DistanceMarkers(track, settings, count);
    out += "</Folder>\n<Folder>\n<name>Track</name>\n";
    out += TrackLine(track, count);
    out += "</Folder>\n</Folder>\n</kml>\n";
    return out;
}

std::string ComposeLocationKml(const Track& track, const Settings& settings,
                               const std::string& documentName) {
    std::string out = Header(documentName, Description(track, settings), "");
    out += "<Folder>\n<name>Time</name>\n";
    // The newest point, which exists once the track has one.
    if (track.lastIndex >= 0 && track.lastIndex < kTrackCapacity) {
        out += TimePlacemark(track, track.lastIndex);
    }
    out += "</Folder>\n</Folder>\n</kml>\n";
    return out;
}

std::string ComposeWaypointsKml(const WaypointTable& waypoints, const std::string& documentName) {
    const Waypoint& first = waypoints.entries[0];
    std::string out = Header(documentName, "Waypoints recorded with Trakomer",
                             LookAt(first.longitude, first.latitude));
    const int count = std::clamp(waypoints.waypointCount, 0, kWaypointCapacity);
    for (int i = 0; i < count; ++i) {
        const Waypoint& w = waypoints.entries[i];
        out += "<Placemark>\n\t<name>" + EscapeKmlText(w.name) + "</name>\n" +
               "\t<Style>\n\t\t<IconStyle>\n\t\t\t<Icon>\n\t\t\t\t<href>" + kPushPinIconUrl +
               "</href>\n\t\t\t</Icon>\n\t\t</IconStyle>\n\t</Style>\n\t<Point>\n" +
               Format("\t\t<coordinates>%f,%f,0.0</coordinates>\n", w.longitude, w.latitude) +
               "\t</Point>\n</Placemark>\n";
    }
    out += "</Folder>\n</kml>\n";
    return out;
}

std::string ComposeChanges(const Track& track, int fromIndex) {
    const int count = WrittenPointCount(track);
    std::string out;
    for (int i = std::max(fromIndex, 0); i < count; ++i) {
        const TrackPoint& p = track.points[i];
        out += Format("%d,%d,%f,%f\n", p.time, WholeMetres(p.altitude), p.latitude, p.longitude);
    }
    return out;
}

int64_t WriteTrackKmz(const Track& track, const Settings& settings, const std::string& path,
                      const std::string& dataFolder) {
    return WriteKmz(path, ComposeTrackKml(track, settings, BaseName(path)), dataFolder, true,
                    NewestTime(track));
}

int64_t WriteLocationKmz(const Track& track, const Settings& settings, const std::string& path,
                         const std::string& dataFolder) {
    const int64_t newest =
        track.lastIndex >= 0 && track.lastIndex < kTrackCapacity ? track.points[track.lastIndex].time : 0;
    return WriteKmz(path, ComposeLocationKml(track, settings, BaseName(path)), dataFolder, true,
                    newest);
}

int64_t WriteWaypointsKmz(const WaypointTable& waypoints, const std::string& path) {
    if (waypoints.waypointCount <= 0) return 0;
    return WriteKmz(path, ComposeWaypointsKml(waypoints, BaseName(path)), "", false, 0);
}

int64_t WriteChangesZip(const Track& track, const std::string& path, int fromIndex) {
    const std::string text = ComposeChanges(track, fromIndex);
    if (!WriteZip(path, {{kChangesEntryName, text}}, NewestTime(track))) return -1;
    return static_cast<int64_t>(text.size());
}

}  // namespace trakomer
