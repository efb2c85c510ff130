// trakomer-cli mappack --tiles SOURCE (--around TRACK [--margin KM] |
// --bbox S,W,N,E) [--zoom Z] [--max-tiles N] [--attribution TEXT] OUT.tgz:
// map packages made from a tile server, an MBTiles file or a tile folder.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/record_session.h"
#include "core/track.h"
#include "files/file_types.h"
#include "files/track_io.h"
#include "maps/tile_map.h"

namespace trakomer::cli {
namespace {

struct TileOptions {
    std::string source, around, bbox, attribution, out;
    double marginKm = maps::kDefaultMarginKm;
    int zoom = -1;
    int maxTiles = maps::kDefaultMaxTiles;
};

// Keeps the track as read: no resampling question is answered Yes.
class QuietDialogs : public ConsoleDialogs {
public:
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

bool ParseNumber(const std::string& text, double& value) {
    char* stop = nullptr;
    value = std::strtod(text.c_str(), &stop);
    return !text.empty() && *stop == '\0' && std::isfinite(value);
}

bool ParseInt(const std::string& text, int low, int high, int& value) {
    double v = 0;
    if (!ParseNumber(text, v) || v != std::floor(v) || v < low || v > high) return false;
    value = static_cast<int>(v);
    return true;
}

// A usage message, or empty when the options are complete.
std::string ParseTileOptions(const Args& args, TileOptions& o) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--tiles" && hasValue) o.source = args[++i];
        else if (a == "--around" && hasValue) o.around = args[++i];
        else if (a == "--bbox" && hasValue) o.bbox = args[++i];
        else if (a == "--attribution" && hasValue) o.attribution = args[++i];
        else if (a == "--margin" && hasValue) {
            if (!ParseNumber(args[++i], o.marginKm) || o.marginKm < 0 || o.marginKm > 500) {
                return "--margin takes kilometres from 0 to 500";
            }
        } else if (a == "--zoom" && hasValue) {
            if (!ParseInt(args[++i], 0, maps::kMaxTileZoom, o.zoom)) return "--zoom takes 0 to 22";
        } else if (a == "--max-tiles" && hasValue) {
            if (!ParseInt(args[++i], 1, 100000, o.maxTiles)) return "--max-tiles takes 1 to 100000";
        } else if (a.rfind("--", 0) == 0) {
            return "unknown option " + a;
        } else if (o.out.empty()) {
            o.out = a;
        } else {
            return "too many arguments";
        }
    }
    if (o.source.empty() || o.out.empty() || o.around.empty() == o.bbox.empty()) {
        return "mappack --tiles needs SOURCE, one of --around TRACK or --bbox "
               "SOUTH,WEST,NORTH,EAST, and OUT.tgz";
    }
    return {};
}

// The areas to cover: the box, or a corridor around the track's points.
bool AreasOf(const TileOptions& o, std::vector<maps::LatLonBox>& boxes) {
    if (!o.bbox.empty()) {
        maps::LatLonBox box;
        if (!ParseCorners(o.bbox, box)) return false;
        boxes = {box};
        return true;
    }
    auto track = std::make_unique<Track>();
    QuietDialogs dialogs;
    if (ReadTrackFile(DisplayTrackFileType(o.around), o.around, *track, dialogs) !=
        ReadStatus::Ok) {
        return false;
    }
    std::vector<maps::LatLon2> points;
    const int last = std::max(track->lastIndex, track->loadedCount - 1);
    for (int i = 0; i <= last; ++i) {
        const TrackPoint& p = track->points[static_cast<size_t>(i)];
        points.push_back({p.latitude, p.longitude});
    }
    boxes = maps::CorridorBoxes(points, o.marginKm);
    return !boxes.empty();
}

void PrintResult(const maps::TileMapResult& result) {
    JsonWriter json;
    json.BeginObject().Key("packages").BeginArray();
    for (const maps::WrittenPackage& p : result.packages) {
        json.BeginObject()
            .Field("file", std::string_view(p.file))
            .Field("width", static_cast<int64_t>(p.width))
            .Field("height", static_cast<int64_t>(p.height))
            .Key("corners")
            .BeginArray()
            .Number(p.box.lat1)
            .Number(p.box.lon1)
            .Number(p.box.lat2)
            .Number(p.box.lon2)
            .EndArray()
            .EndObject();
    }
    json.EndArray()
        .Field("tiles", static_cast<int64_t>(result.tiles))
        .Field("fromCache", static_cast<int64_t>(result.fromCache))
        .Field("zoom", static_cast<int64_t>(result.zoom))
        .EndObject();
    std::printf("%s\n", json.Text().c_str());
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "trakomer-cli: mappack: %s\n", message.c_str());
    return kExitFailure;
}

}  // namespace

int RunMappackTiles(const Args& args) {
    TileOptions o;
    if (const std::string usage = ParseTileOptions(args, o); !usage.empty()) {
        return UsageError("mappack: " + usage);
    }
    maps::TileMapRequest request;
    if (!AreasOf(o, request.boxes)) {
        return o.bbox.empty() ? Fail("cannot read a track from " + o.around)
                              : UsageError("mappack: --bbox takes SOUTH,WEST,NORTH,EAST");
    }
    request.zoom = o.zoom;
    request.maxTiles = o.maxTiles;
    request.attribution = o.attribution;
    request.outPath = o.out;
    std::string error;
    const maps::SourceOptions sourceOptions{maps::DefaultTileCacheFolder(),
                                            maps::TrakomerUserAgent(), nullptr};
    const auto source = maps::OpenTileSource(o.source, sourceOptions, error);
    if (!source) return Fail(error);
    const std::atomic<bool> cancel{false};
    const auto result = maps::MakeTileMap(*source, request, nullptr, cancel, error);
    if (!result) return Fail(error);
    PrintResult(*result);
    return kExitOk;
}

}  // namespace trakomer::cli
