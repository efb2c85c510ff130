#pragma once
// Stitching tiles into a package image: Web Mercator tiles resampled onto
// the plain latitude/longitude rectangle the map view assumes (image rows
// linear in latitude, columns linear in longitude).

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "maps/raster.h"
#include "maps/tile_plan.h"

namespace trakomer::maps {

// Decoded tiles, each kTileSide x kTileSide RGB.
class TileMosaic {
public:
    // Decodes a PNG or JPEG tile (other sizes are scaled to kTileSide).
    // Empty bytes leave the tile out (drawn blank). A message when the bytes
    // are not such a picture.
    std::string Add(const TileKey& key, const std::string& bytes);
    // Adds decoded pixels directly (for tests and benchmarks).
    void Put(const TileKey& key, std::vector<uint8_t> rgb);
    const uint8_t* Tile(const TileKey& key) const;
    size_t Size() const { return tiles_.size(); }

private:
    std::unordered_map<uint64_t, std::vector<uint8_t>> tiles_;
};

// Blank where a tile is missing.
constexpr uint8_t kBlankGrey = 0xE0;

// The package's picture: each pixel takes the tile pixel under its centre.
RgbImage RenderPackage(const TileMosaic& mosaic, int zoom, const PackagePlan& plan);

}  // namespace trakomer::maps
