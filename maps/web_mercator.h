#pragma once
// Web Mercator tile addressing ({z}/{x}/{y}, 256-pixel tiles, y downward
// from the north edge) and the latitude/longitude boxes maps are made for.

#include <compare>
#include <cstdint>

#include "maps/image_list.h"

namespace trakomer::maps {

constexpr int kTileSide = 256;
// Web Mercator stops short of the poles.
constexpr double kMercatorMaxLatitude = 85.0511287798066;

// A box of latitudes and longitudes, degrees: the south-west corner (lat1,
// lon1) and the north-east one (lat2, lon2), as map packages store them.
using LatLonBox = MapCorners;

struct TileKey {
    int z = 0;
    int x = 0;
    int y = 0;
    friend bool operator==(const TileKey&, const TileKey&) = default;
    friend auto operator<=>(const TileKey&, const TileKey&) = default;
};

// One number per tile, for hashing and sorting.
uint64_t TileId(const TileKey& key);

// Fractional tile coordinates at zoom z (multiply by kTileSide for pixels).
double TileX(double longitude, int z);
double TileY(double latitude, int z);

// Latitude of a fractional tile row at zoom z.
double TileLatitude(double tileY, int z);

// The tile rectangle covering a box at zoom z, inclusive; latitudes are
// clamped to the Mercator range.
struct TileRange {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    long long Count() const { return static_cast<long long>(x1 - x0 + 1) * (y1 - y0 + 1); }
};
TileRange TilesCovering(const LatLonBox& box, int z);

}  // namespace trakomer::maps
