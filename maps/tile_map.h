#pragma once
// Making map packages from a tile source: plan, fetch, stitch, draw the
// attribution in and write every package, all or nothing.

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "maps/tile_plan.h"
#include "maps/tile_source.h"

namespace trakomer::maps {

struct TileMapRequest {
    std::vector<LatLonBox> boxes;
    int zoom = -1;  // -1: chosen from the area and the limits
    int maxTiles = kDefaultMaxTiles;
    std::string attribution;  // empty: the source's, else OpenStreetMap's
    // NAME.tgz; several packages are named NAME-1.tgz, NAME-2.tgz, ...
    std::string outPath;
};

struct WrittenPackage {
    std::string file;
    int width = 0;
    int height = 0;
    LatLonBox box;
};

struct TileMapResult {
    std::vector<WrittenPackage> packages;
    int tiles = 0;
    int fromCache = 0;
    int zoom = 0;
};

// Tiles fetched so far of all.
using TileProgress = std::function<void(int done, int total)>;

// Nothing, with `error` set, on any failure (a cancel reports "cancelled");
// no package file is then left behind.
std::optional<TileMapResult> MakeTileMap(TileSource& source, const TileMapRequest& request,
                                         const TileProgress& progress,
                                         const std::atomic<bool>& cancel, std::string& error);

}  // namespace trakomer::maps
