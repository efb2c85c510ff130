#include "maps/tile_map.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "maps/map_package.h"
#include "maps/raster.h"
#include "maps/tile_stitch.h"

namespace trakomer::maps {
namespace {

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<std::string> PackageNames(const std::string& out, size_t count) {
    if (count == 1) return {out};
    const std::string stem = out.substr(0, out.size() - 4);
    std::vector<std::string> names;
    for (size_t i = 1; i <= count; ++i) names.push_back(stem + "-" + std::to_string(i) + ".tgz");
    return names;
}

void RemoveAll(const std::vector<std::string>& paths) {
    for (const std::string& p : paths) std::remove(p.c_str());
}

}  // namespace

std::optional<TileMapResult> MakeTileMap(TileSource& source, const TileMapRequest& request,
                                         const TileProgress& progress,
                                         const std::atomic<bool>& cancel, std::string& error) {
    if (request.outPath.size() < 5 || !request.outPath.ends_with(".tgz")) {
        error = "the package's name must end in .tgz";
        return std::nullopt;
    }
    PlanRequest planRequest{request.boxes, request.zoom, source.MaxZoom(), request.maxTiles};
    const std::optional<TilePlan> plan = PlanTiles(planRequest, error);
    if (!plan) return std::nullopt;

    TileMapResult result;
    result.zoom = plan->zoom;
    result.tiles = static_cast<int>(plan->tiles.size());
    TileMosaic mosaic;
    int done = 0;
    std::string tileError;
    const std::string fetchError = source.Fetch(
        plan->tiles,
        [&](size_t index, FetchedTile&& tile) {
            tileError = mosaic.Add(plan->tiles[index], tile.bytes);
            result.fromCache += tile.fromCache ? 1 : 0;
            if (progress) progress(++done, result.tiles);
            return tileError.empty() && !cancel;
        },
        cancel);
    error = !fetchError.empty() ? fetchError : !tileError.empty() ? tileError : "";
    if (error.empty() && cancel) error = "cancelled";
    if (!error.empty()) return std::nullopt;

    std::string attribution = request.attribution;
    if (attribution.empty()) attribution = source.Attribution();
    if (attribution.empty()) attribution = kOsmAttribution;
    const std::vector<std::string> names = PackageNames(request.outPath, plan->packages.size());
    std::vector<std::string> staged;
    for (size_t i = 0; i < names.size(); ++i) {
        const PackagePlan& p = plan->packages[i];
        RgbImage image = RenderPackage(mosaic, plan->zoom, p);
        DrawAttribution(image, attribution);
        std::string stem = BaseName(names[i]);
        stem.resize(stem.size() - 4);
        staged.push_back(names[i] + ".part");
        errno = 0;
        if (cancel || !WriteMapPackage(staged.back(), stem + ".tga", EncodeTga(image),
                                       p.box)) {
            error = cancel ? "cancelled"
                           : "cannot write " + names[i] +
                                 (errno != 0 ? std::string(": ") + std::strerror(errno) : "");
            RemoveAll(staged);
            return std::nullopt;
        }
        result.packages.push_back({names[i], p.width, p.height, p.box});
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (std::rename(staged[i].c_str(), names[i].c_str()) != 0) {
            error = "cannot write " + names[i] + ": " + std::strerror(errno);
            RemoveAll(staged);
            RemoveAll({names.begin(), names.begin() + static_cast<long>(i)});
            return std::nullopt;
        }
    }
    return result;
}

}  // namespace trakomer::maps
