#pragma once
// Planning a map from tiles: which zoom, which packages (each a plain
// latitude/longitude rectangle with power-of-two sides) and which tiles.

#include <optional>
#include <string>
#include <vector>

#include "maps/web_mercator.h"

namespace trakomer::maps {

constexpr int kMaxPackageSide = 4096;
constexpr int kDefaultMaxTiles = 500;
// The image table has 32 slots; the list's earth, eye, start-up and
// start-button images take four of them.
constexpr int kMaxPackagesPerMap = 28;
constexpr double kDefaultMarginKm = 1.0;

struct PackagePlan {
    LatLonBox box;
    int width = 0;
    int height = 0;
};

struct TilePlan {
    int zoom = 0;
    std::vector<PackagePlan> packages;
    std::vector<TileKey> tiles;  // every tile the packages need, once
};

struct PlanRequest {
    std::vector<LatLonBox> boxes;  // the areas to cover
    int zoom = -1;                 // -1: the highest that fits the limits
    int maxZoom = 22;              // the source's
    int maxTiles = kDefaultMaxTiles;
};

// The plan, or nothing with `error` naming what is too much (for a given
// zoom: the number of tiles it would need).
std::optional<TilePlan> PlanTiles(const PlanRequest& request, std::string& error);

// The packages covering one box at zoom z: one, or a grid of them where
// the box's tiles span more than kMaxPackageSide pixels.
std::vector<PackagePlan> PackagesForBox(const LatLonBox& box, int z);

// The areas to cover around a track, `marginKm` on every side: one box, or
// for a long route a corridor of boxes along its way when that covers
// clearly less area.
struct LatLon2 {
    double latitude = 0;
    double longitude = 0;
};
std::vector<LatLonBox> CorridorBoxes(const std::vector<LatLon2>& points, double marginKm);

}  // namespace trakomer::maps
