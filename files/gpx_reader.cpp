#include "files/gpx_reader.h"

#include <expat.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <optional>

#include "core/geodesy.h"
#include "core/track_filters.h"
#include "files/gpx_time.h"

namespace trakomer {
namespace {

// Text of <ele>, <time> and <name> beyond this is ignored.
constexpr std::size_t kMaxElementText = 1024;
constexpr std::size_t kReadChunk = 64 * 1024;

enum class Element { Gpx, Trk, Trkseg, Trkpt, Rte, Rtept, Wpt, Ele, Time, Name, Other };

struct ElementName {
    std::string_view name;  // its length known without counting, for the comparisons below
    Element element;
};

constexpr ElementName kElements[] = {
    {"gpx", Element::Gpx},     {"trk", Element::Trk}, {"trkseg", Element::Trkseg},
    {"trkpt", Element::Trkpt}, {"rte", Element::Rte}, {"rtept", Element::Rtept},
    {"wpt", Element::Wpt},     {"ele", Element::Ele}, {"time", Element::Time},
    {"name", Element::Name},
};

// Names come from expat as "namespace|local" (or "local" without one).
// Only GPX's own elements count; those of extensions are skipped.
Element Classify(std::string_view qualified) {
    std::string_view local = qualified;
    const std::size_t bar = qualified.rfind('|');
    if (bar != std::string_view::npos) {
        const std::string_view space = qualified.substr(0, bar);
        if (space != "http://www.topografix.com/GPX/1/1" &&
            space != "http://www.topografix.com/GPX/1/0") {
            return Element::Other;
        }
        local = qualified.substr(bar + 1);
    }
    for (const ElementName& e : kElements) {
        if (local == e.name) return e.element;
    }
    return Element::Other;
}

template <typename T = double>
std::optional<T> Number(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '+')) text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    T value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// Points collected into a track-sized buffer; when it is full, the capacity
// rule of live recording makes room for the next point.
class PointSink {
public:
    void Add(const TrackPoint& point) {
        if (!points_) points_ = std::make_unique<Track>();
        if (count_ == kTrackCapacity) count_ = ThinForCapacity(*points_, count_);
        points_->points[static_cast<std::size_t>(count_++)] = point;
    }
    void MoveTo(std::unique_ptr<Track>& points, int& count) {
        points = std::move(points_);
        count = count_;
    }

private:
    std::unique_ptr<Track> points_;
    int count_ = 0;
};

// Time in hundredths of a second; 0 for a point without one.
int64_t Hundredths(const TrackPoint& p) {
    return p.time > 0 ? int64_t{p.time} * 100 + p.hundredths : 0;
}

void SetHundredths(TrackPoint& p, int64_t hundredths) {
    p.time = static_cast<int32_t>(hundredths / 100);
    p.hundredths = static_cast<uint8_t>(hundredths % 100);
}

// Gives points without a time one from the timed points around them (see
// GpxContent). Nothing changes when no point, or every point, has a time.
void FillMissingTimes(Track& track, int count) {
    auto& p = track.points;
    int before = -1;  // the last timed point so far
    for (int i = 0; i < count; ++i) {
        if (Hundredths(p[static_cast<std::size_t>(i)]) == 0) continue;
        const int64_t t1 = Hundredths(p[static_cast<std::size_t>(i)]);
        if (before < 0) {
            for (int j = 0; j < i; ++j) SetHundredths(p[static_cast<std::size_t>(j)], t1);
        } else if (i - before > 1) {
            // Shares of the distance from the timed point before.
            std::vector<double> along(static_cast<std::size_t>(i - before + 1), 0.0);
            for (int j = before + 1; j <= i; ++j) {
                const TrackPoint& a = p[static_cast<std::size_t>(j - 1)];
                const TrackPoint& b = p[static_cast<std::size_t>(j)];
                along[static_cast<std::size_t>(j - before)] =
                    along[static_cast<std::size_t>(j - before - 1)] +
                    GreatCircleDistance(a.latitude, a.longitude, b.latitude, b.longitude);
            }
            const int64_t t0 = Hundredths(p[static_cast<std::size_t>(before)]);
            const double total = along.back();
            for (int j = before + 1; j < i; ++j) {
                const double share = total > 0 ? along[static_cast<std::size_t>(j - before)] / total
                                               : double(j - before) / (i - before);
                SetHundredths(p[static_cast<std::size_t>(j)],
                              t0 + std::llround(share * static_cast<double>(t1 - t0)));
            }
        }
        before = i;
    }
    if (before < 0) return;
    const int64_t last = Hundredths(p[static_cast<std::size_t>(before)]);
    for (int j = before + 1; j < count; ++j) SetHundredths(p[static_cast<std::size_t>(j)], last);
}

class GpxParser {
public:
    GpxParser() : parser_(XML_ParserCreateNS(nullptr, '|')) {
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, &GpxParser::OnStart, &GpxParser::OnEnd);
        XML_SetCharacterDataHandler(parser_, &GpxParser::OnText);
        // Documents declaring entities are refused: GPX needs none, and
        // expanding them is how hostile files exhaust memory.
        XML_SetEntityDeclHandler(parser_, &GpxParser::OnEntityDecl);
    }
    ~GpxParser() { XML_ParserFree(parser_); }
    GpxParser(const GpxParser&) = delete;
    GpxParser& operator=(const GpxParser&) = delete;

    // False once the document is known to be unusable (see Error()).
    bool Feed(const char* data, std::size_t size, bool last) {
        if (!error_.empty()) return false;
        if (XML_Parse(parser_, data, static_cast<int>(size), last ? 1 : 0) == XML_STATUS_ERROR &&
            error_.empty()) {
            error_ = "not XML: " + std::string(XML_ErrorString(XML_GetErrorCode(parser_))) +
                     " at line " + std::to_string(XML_GetCurrentLineNumber(parser_));
        }
        if (last && error_.empty() && !sawRoot_) error_ = "not XML: the document is empty";
        return error_.empty();
    }

    const std::string& Error() const { return error_; }

    void Finish(GpxContent& content) {
        track_.MoveTo(content.trackPoints, content.trackCount);
        route_.MoveTo(content.routePoints, content.routeCount);
        if (content.trackPoints) FillMissingTimes(*content.trackPoints, content.trackCount);
        if (content.routePoints) FillMissingTimes(*content.routePoints, content.routeCount);
        content.waypoints = std::move(waypoints_);
        content.skippedPoints = skipped_;
        content.droppedWaypoints = droppedWaypoints_;
    }

private:
    static void OnStart(void* self, const XML_Char* name, const XML_Char** attributes) {
        static_cast<GpxParser*>(self)->Start(name, attributes);
    }
    static void OnEnd(void* self, const XML_Char*) { static_cast<GpxParser*>(self)->End(); }
    static void OnText(void* self, const XML_Char* text, int length) {
        auto* parser = static_cast<GpxParser*>(self);
        if (parser->collecting_ && parser->text_.size() < kMaxElementText) {
            parser->text_.append(text, static_cast<std::size_t>(length));
        }
    }
    static void OnEntityDecl(void* self, const XML_Char*, int, const XML_Char*, int,
                             const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) {
        static_cast<GpxParser*>(self)->Fail("not GPX: the document declares entities");
    }

    void Fail(const std::string& why) {
        if (error_.empty()) error_ = why;
        XML_StopParser(parser_, XML_FALSE);
    }

    std::string AtLine(const std::string& what) const {
        return what + " at line " + std::to_string(XML_GetCurrentLineNumber(parser_));
    }

    Element Parent() const { return stack_.empty() ? Element::Other : stack_.back(); }

    void Start(std::string_view name, const XML_Char** attributes) {
        Element element = Classify(name);
        if (!sawRoot_) {
            sawRoot_ = true;
            if (element != Element::Gpx) return Fail(RootRefusal(name));
        }
        element = InContext(element);
        // A point without a usable position is skipped with all it holds.
        if ((element == Element::Trkpt || element == Element::Rtept || element == Element::Wpt) &&
            !BeginPoint(attributes)) {
            ++skipped_;
            element = Element::Other;
        }
        stack_.push_back(element);
        collecting_ =
            element == Element::Ele || element == Element::Time || element == Element::Name;
        text_.clear();
    }

    // Why a root element is not GPX's: another name, or <gpx> of another
    // namespace.
    static std::string RootRefusal(std::string_view qualified) {
        const std::size_t bar = qualified.rfind('|');
        if (bar == std::string_view::npos) {
            return "not GPX: the root element is <" + std::string(qualified) + ">";
        }
        return "not GPX: the root element is <" + std::string(qualified.substr(bar + 1)) +
               "> in the namespace \"" + std::string(qualified.substr(0, bar)) + "\", not GPX's";
    }

    // An element counts only where GPX places it.
    Element InContext(Element element) const {
        const Element parent = Parent();
        const bool inPoint = inPoint_ && (parent == Element::Trkpt || parent == Element::Rtept ||
                                          parent == Element::Wpt);
        switch (element) {
            case Element::Gpx:
                return stack_.empty() ? element : Element::Other;
            case Element::Trk:
            case Element::Rte:
            case Element::Wpt:
                return parent == Element::Gpx ? element : Element::Other;
            case Element::Trkseg:
                return parent == Element::Trk ? element : Element::Other;
            case Element::Trkpt:
                return parent == Element::Trkseg ? element : Element::Other;
            case Element::Rtept:
                return parent == Element::Rte ? element : Element::Other;
            case Element::Ele:
            case Element::Time:
                return inPoint ? element : Element::Other;
            case Element::Name:
                return inPoint && parent == Element::Wpt ? element : Element::Other;
            case Element::Other:
                break;
        }
        return Element::Other;
    }

    bool BeginPoint(const XML_Char** attributes) {
        std::optional<double> latitude, longitude;
        for (int i = 0; attributes[i] != nullptr; i += 2) {
            const std::string_view key = attributes[i];
            if (key == "lat") latitude = Number(attributes[i + 1]);
            if (key == "lon") longitude = Number(attributes[i + 1]);
        }
        if (!latitude || !longitude || std::fabs(*latitude) > 90 || std::fabs(*longitude) > 180) {
            return false;
        }
        point_ = TrackPoint{};
        point_.latitude = *latitude;
        point_.longitude = *longitude;
        name_.clear();
        inPoint_ = true;
        return true;
    }

    void End() {
        if (stack_.empty()) return;
        const Element element = stack_.back();
        stack_.pop_back();
        collecting_ = false;
        switch (element) {
            case Element::Ele:
                if (const auto value = Number<float>(text_); value && std::fabs(*value) < 1e7f) {
                    point_.altitude = *value;
                }
                break;
            case Element::Time:
                SetTime();
                break;
            case Element::Name:
                name_ = text_;
                break;
            case Element::Trkpt:
                inPoint_ = false;
                track_.Add(point_);
                break;
            case Element::Rtept:
                inPoint_ = false;
                route_.Add(point_);
                break;
            case Element::Wpt:
                inPoint_ = false;
                if (waypoints_.size() < static_cast<std::size_t>(kMaxGpxWaypoints)) {
                    waypoints_.push_back(
                        {point_.latitude, point_.longitude, CutWaypointName(name_)});
                } else {
                    ++droppedWaypoints_;
                }
                break;
            default:
                break;
        }
    }

    // Times the track cannot hold (before 1970 or past 2038) count as absent.
    void SetTime() {
        const auto time = ParseGpxTime(text_);
        if (!time || time->seconds <= 0 || time->seconds > INT32_MAX) return;
        point_.time = static_cast<int32_t>(time->seconds);
        point_.hundredths = static_cast<uint8_t>(time->hundredths);
    }

    XML_Parser parser_;
    std::string error_;
    bool sawRoot_ = false;
    std::vector<Element> stack_;
    bool collecting_ = false;
    std::string text_;
    bool inPoint_ = false;
    TrackPoint point_;
    std::string name_;
    PointSink track_, route_;
    std::vector<Waypoint> waypoints_;
    int skipped_ = 0;
    int droppedWaypoints_ = 0;
};

void ReportNotGpx(Dialogs& dialogs, const std::string& why) {
    dialogs.ShowMessage("Corrupt GPX file: " + why, "Error", MessageIcon::Error);
}

void ReportSkipped(Dialogs& dialogs, int skipped) {
    if (skipped == 0) return;
    dialogs.ShowMessage(std::to_string(skipped) + (skipped == 1 ? " point" : " points") +
                            " without a valid latitude and longitude skipped.",
                        "GPX file", MessageIcon::Warning);
}

}  // namespace

std::string ParseGpx(std::string_view text, GpxContent& content) {
    GpxParser parser;
    // Fed in pieces so that sizes beyond int are no problem.
    std::size_t pos = 0;
    do {
        const std::size_t size = std::min(kReadChunk, text.size() - pos);
        if (!parser.Feed(text.data() + pos, size, pos + size == text.size())) break;
        pos += size;
    } while (pos < text.size());
    if (parser.Error().empty()) parser.Finish(content);
    return parser.Error();
}

std::string ParseGpxFile(const std::string& path, GpxContent& content, bool& opened) {
    std::ifstream in(path, std::ios::binary);
    opened = static_cast<bool>(in);
    if (!opened) return "cannot open the file";
    GpxParser parser;
    std::string chunk(kReadChunk, '\0');
    for (;;) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        const bool last = !in;
        if (in.bad()) return "cannot read the file";
        if (!parser.Feed(chunk.data(), got, last) || last) break;
    }
    if (parser.Error().empty()) parser.Finish(content);
    return parser.Error();
}

// Reads the whole file into `content`; a document that is not GPX is
// reported to the user.
static ReadStatus LoadGpx(const std::string& path, GpxContent& content, Dialogs& dialogs) {
    bool opened = false;
    const std::string error = ParseGpxFile(path, content, opened);
    if (!opened) return ReadStatus::CannotOpen;
    if (!error.empty()) {
        ReportNotGpx(dialogs, error);
        return ReadStatus::Corrupt;
    }
    return ReadStatus::Ok;
}

ReadStatus ReadTrackGpx(const std::string& path, Track& track, Dialogs& dialogs) {
    GpxContent content;
    if (const ReadStatus status = LoadGpx(path, content, dialogs); status != ReadStatus::Ok) {
        return status;
    }
    ReportSkipped(dialogs, content.skippedPoints);
    const bool useTrack = content.trackCount > 0;
    const Track* source = useTrack ? content.trackPoints.get() : content.routePoints.get();
    const int count = useTrack ? content.trackCount : content.routeCount;
    for (int i = 0; i < count; ++i) {
        track.points[static_cast<std::size_t>(i)] = source->points[static_cast<std::size_t>(i)];
    }
    track.loadedCount = count;
    return ReadStatus::Ok;
}

ReadStatus ReadWaypointsGpx(const std::string& path, WaypointTable& waypoints, Dialogs& dialogs) {
    GpxContent content;
    if (const ReadStatus status = LoadGpx(path, content, dialogs); status != ReadStatus::Ok) {
        return status;
    }
    ReportSkipped(dialogs, content.skippedPoints);
    if (content.droppedWaypoints > 0) {
        dialogs.ShowMessage(
            "The file holds " + std::to_string(kMaxGpxWaypoints + content.droppedWaypoints) +
                " waypoints; only the first " + std::to_string(kMaxGpxWaypoints) + " were read.",
            "GPX file", MessageIcon::Warning);
    }
    if (content.waypoints.empty()) return ReadStatus::Ok;
    for (std::size_t i = 0; i < content.waypoints.size(); ++i) {
        waypoints.entries[i] = content.waypoints[i];
    }
    waypoints.waypointCount = static_cast<int>(content.waypoints.size());
    return ReadStatus::Ok;
}

}  // namespace trakomer
