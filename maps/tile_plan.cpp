#include "maps/tile_plan.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

namespace trakomer::maps {
namespace {

constexpr int kMinPackageSide = 256;
constexpr double kKmPerDegree = 111.32;

// The power of two nearest to n (ties go up), within the package limits.
int PackageSide(double n) {
    int power = 1;
    while (power * 2 <= n && power < kMaxPackageSide) power *= 2;
    if (power < kMaxPackageSide && n - power > power * 2 - n) power *= 2;
    return std::max(power, kMinPackageSide);
}

LatLonBox ClampToMercator(LatLonBox b) {
    b.lat1 = std::max(b.lat1, -kMercatorMaxLatitude);
    b.lat2 = std::min(b.lat2, kMercatorMaxLatitude);
    b.lon1 = std::max(b.lon1, -180.0);
    b.lon2 = std::min(b.lon2, 180.0);
    return b;
}

// Sum of the boxes' tile counts: an upper bound of the tiles they share.
long long TileCountBound(const std::vector<LatLonBox>& boxes, int z) {
    long long total = 0;
    for (const LatLonBox& b : boxes) total += TilesCovering(ClampToMercator(b), z).Count();
    return total;
}

std::vector<TileKey> UniqueTiles(const std::vector<LatLonBox>& boxes, int z) {
    std::set<TileKey> tiles;
    for (const LatLonBox& b : boxes) {
        const TileRange r = TilesCovering(ClampToMercator(b), z);
        for (int y = r.y0; y <= r.y1; ++y) {
            for (int x = r.x0; x <= r.x1; ++x) tiles.insert({z, x, y});
        }
    }
    return {tiles.begin(), tiles.end()};
}

LatLonBox Grown(LatLonBox b, double marginKm) {
    const double dLat = marginKm / kKmPerDegree;
    const double midLat = std::clamp((b.lat1 + b.lat2) / 2, -80.0, 80.0);
    const double dLon = dLat / std::cos(midLat * std::numbers::pi / 180);
    return {std::max(b.lat1 - dLat, -90.0), std::max(b.lon1 - dLon, -180.0),
            std::min(b.lat2 + dLat, 90.0), std::min(b.lon2 + dLon, 180.0)};
}

// Columns and rows of packages a box takes at zoom z.
std::pair<double, double> PackageGrid(const LatLonBox& box, int z) {
    const double srcW = (TileX(box.lon2, z) - TileX(box.lon1, z)) * kTileSide;
    const double srcH = (TileY(box.lat1, z) - TileY(box.lat2, z)) * kTileSide;
    return {std::max(1.0, std::ceil(srcW / kMaxPackageSide)),
            std::max(1.0, std::ceil(srcH / kMaxPackageSide))};
}

double Area(const LatLonBox& b) { return (b.lat2 - b.lat1) * (b.lon2 - b.lon1); }

}  // namespace

std::vector<PackagePlan> PackagesForBox(const LatLonBox& area, int z) {
    const LatLonBox box = ClampToMercator(area);
    const double scale = kTileSide;
    const double srcW = (TileX(box.lon2, z) - TileX(box.lon1, z)) * scale;
    const double top = TileY(box.lat2, z);
    const double srcH = (TileY(box.lat1, z) - top) * scale;
    const auto [columns, rowCount] = PackageGrid(box, z);
    const int cols = static_cast<int>(columns);
    const int rows = static_cast<int>(rowCount);
    std::vector<PackagePlan> plans;
    for (int row = 0; row < rows; ++row) {
        // Rows of equal Mercator height, so that each has about the same pixels.
        const double north = TileLatitude(top + srcH / scale * row / rows, z);
        const double south = TileLatitude(top + srcH / scale * (row + 1) / rows, z);
        for (int col = 0; col < cols; ++col) {
            PackagePlan p;
            p.box = {row + 1 == rows ? box.lat1 : south,
                     box.lon1 + (box.lon2 - box.lon1) * col / cols,
                     row == 0 ? box.lat2 : north,
                     box.lon1 + (box.lon2 - box.lon1) * (col + 1) / cols};
            p.width = PackageSide(srcW / cols);
            p.height = PackageSide(srcH / rows);
            plans.push_back(p);
        }
    }
    return plans;
}

std::optional<TilePlan> PlanTiles(const PlanRequest& request, std::string& error) {
    if (request.boxes.empty()) {
        error = "there is no area to make a map of";
        return std::nullopt;
    }
    if (request.zoom > request.maxZoom) {
        error = "zoom " + std::to_string(request.zoom) + " is above this source's highest zoom " +
                std::to_string(request.maxZoom);
        return std::nullopt;
    }
    const int first = request.zoom >= 0 ? request.zoom : request.maxZoom;
    const int last = request.zoom >= 0 ? request.zoom : 0;
    for (int z = first; z >= last; --z) {
        const long long bound = TileCountBound(request.boxes, z);
        const bool countable = bound <= 4LL * request.maxTiles + 100000;
        const std::vector<TileKey> tiles =
            countable ? UniqueTiles(request.boxes, z) : std::vector<TileKey>{};
        double packages = 0;
        for (const LatLonBox& b : request.boxes) {
            const auto [cols, rows] = PackageGrid(ClampToMercator(b), z);
            packages += cols * rows;
        }
        const long long needed = countable ? static_cast<long long>(tiles.size()) : bound;
        if (needed <= request.maxTiles && packages <= kMaxPackagesPerMap) {
            TilePlan plan{z, {}, tiles};
            for (const LatLonBox& b : request.boxes) {
                for (const PackagePlan& p : PackagesForBox(b, z)) plan.packages.push_back(p);
            }
            return plan;
        }
        if (z == last) {
            error = needed > request.maxTiles
                        ? "the map needs " + std::to_string(needed) + " tiles at zoom " +
                              std::to_string(z) + ", more than the limit of " +
                              std::to_string(request.maxTiles) + " tiles"
                        : "the map needs " + std::to_string(static_cast<long long>(packages)) +
                              " packages at zoom " + std::to_string(z) + ", more than the " +
                              std::to_string(kMaxPackagesPerMap) + " the recorder loads";
        }
    }
    return std::nullopt;
}

std::vector<LatLonBox> CorridorBoxes(const std::vector<LatLon2>& points, double marginKm) {
    if (points.empty()) return {};
    LatLonBox whole{points[0].latitude, points[0].longitude, points[0].latitude,
                    points[0].longitude};
    auto extend = [](LatLonBox& b, const LatLon2& p) {
        b.lat1 = std::min(b.lat1, p.latitude);
        b.lat2 = std::max(b.lat2, p.latitude);
        b.lon1 = std::min(b.lon1, p.longitude);
        b.lon2 = std::max(b.lon2, p.longitude);
    };
    for (const LatLon2& p : points) extend(whole, p);
    // Pieces of the route no longer than a third of its longer span.
    const double limit = std::max(whole.lat2 - whole.lat1, whole.lon2 - whole.lon1) / 3;
    std::vector<LatLonBox> pieces;
    LatLonBox piece{points[0].latitude, points[0].longitude, points[0].latitude,
                    points[0].longitude};
    for (size_t i = 1; i < points.size(); ++i) {
        LatLonBox grown = piece;
        extend(grown, points[i]);
        if (grown.lat2 - grown.lat1 > limit || grown.lon2 - grown.lon1 > limit) {
            pieces.push_back(Grown(piece, marginKm));
            // The next piece starts at the last point so the corridor has no gap.
            piece = {points[i - 1].latitude, points[i - 1].longitude, points[i - 1].latitude,
                     points[i - 1].longitude};
            extend(piece, points[i]);
        } else {
            piece = grown;
        }
    }
    pieces.push_back(Grown(piece, marginKm));
    const LatLonBox all = Grown(whole, marginKm);
    double corridor = 0;
    for (const LatLonBox& b : pieces) corridor += Area(b);
    if (pieces.size() == 1 || corridor > 0.6 * Area(all)) return {all};
    return pieces;
}

}  // namespace trakomer::maps
