#include "maps/web_mercator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trakomer::maps {

uint64_t TileId(const TileKey& key) {
    return static_cast<uint64_t>(key.z) << 58 | static_cast<uint64_t>(key.x) << 29 |
           static_cast<uint64_t>(key.y);
}

double TileX(double longitude, int z) {
    return (longitude + 180.0) / 360.0 * std::ldexp(1.0, z);
}

double TileY(double latitude, int z) {
    const double lat =
        std::clamp(latitude, -kMercatorMaxLatitude, kMercatorMaxLatitude) * std::numbers::pi / 180;
    return (1.0 - std::asinh(std::tan(lat)) / std::numbers::pi) / 2.0 * std::ldexp(1.0, z);
}

double TileLatitude(double tileY, int z) {
    const double n = std::numbers::pi * (1.0 - 2.0 * tileY / std::ldexp(1.0, z));
    return std::atan(std::sinh(n)) * 180.0 / std::numbers::pi;
}

TileRange TilesCovering(const LatLonBox& box, int z) {
    const int last = (1 << z) - 1;
    auto clampTile = [last](double t) { return std::clamp(static_cast<int>(std::floor(t)), 0, last); };
    // An edge exactly on a tile border does not take the next tile in.
    const double eps = 1e-9;
    return {clampTile(TileX(box.lon1, z)), clampTile(TileY(box.lat2, z)),
            clampTile(TileX(box.lon2, z) - eps), clampTile(TileY(box.lat1, z) - eps)};
}

}  // namespace trakomer::maps
