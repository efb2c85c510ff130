#include "maps/tile_stitch.h"

#include <stb_image.h>
#include <stb_image_resize.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace trakomer::maps {
namespace {

bool IsPngOrJpeg(const std::string& bytes) {
    return bytes.starts_with("\x89PNG\r\n\x1A\n") || bytes.starts_with("\xFF\xD8\xFF");
}

}  // namespace

std::string TileMosaic::Add(const TileKey& key, const std::string& bytes) {
    if (bytes.empty()) return {};
    const std::string name =
        std::to_string(key.z) + "/" + std::to_string(key.x) + "/" + std::to_string(key.y);
    if (!IsPngOrJpeg(bytes)) return "the tile " + name + " is not a PNG or JPEG picture";
    int w = 0, h = 0, channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels(
        stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                              static_cast<int>(bytes.size()), &w, &h, &channels, 3),
        stbi_image_free);
    if (!pixels || w <= 0 || h <= 0) {
        return "the tile " + name + " is a damaged picture (" + stbi_failure_reason() + ")";
    }
    std::vector<uint8_t> rgb(size_t{kTileSide} * kTileSide * 3);
    if (w == kTileSide && h == kTileSide) {
        std::copy_n(pixels.get(), rgb.size(), rgb.begin());
    } else if (!stbir_resize_uint8(pixels.get(), w, h, 0, rgb.data(), kTileSide, kTileSide, 0, 3)) {
        return "the tile " + name + " cannot be scaled";
    }
    Put(key, std::move(rgb));
    return {};
}

void TileMosaic::Put(const TileKey& key, std::vector<uint8_t> rgb) {
    tiles_[TileId(key)] = std::move(rgb);
}

const uint8_t* TileMosaic::Tile(const TileKey& key) const {
    const auto it = tiles_.find(TileId(key));
    return it == tiles_.end() ? nullptr : it->second.data();
}

RgbImage RenderPackage(const TileMosaic& mosaic, int zoom, const PackagePlan& plan) {
    RgbImage image{plan.width, plan.height, {}};
    image.rgb.assign(static_cast<size_t>(plan.width) * plan.height * 3, kBlankGrey);
    const long long worldPixels = (1LL << zoom) * kTileSide;
    auto pixelOf = [worldPixels](double tile) {
        return std::clamp(static_cast<long long>(std::floor(tile * kTileSide)), 0LL,
                          worldPixels - 1);
    };
    const LatLonBox& b = plan.box;
    std::vector<long long> columns(static_cast<size_t>(plan.width));
    for (int i = 0; i < plan.width; ++i) {
        columns[static_cast<size_t>(i)] =
            pixelOf(TileX(b.lon1 + (b.lon2 - b.lon1) * (i + 0.5) / plan.width, zoom));
    }
    for (int r = 0; r < plan.height; ++r) {
        const double latitude = b.lat2 - (b.lat2 - b.lat1) * (r + 0.5) / plan.height;
        const long long gy = pixelOf(TileY(latitude, zoom));
        const int ty = static_cast<int>(gy / kTileSide);
        const size_t rowOffset = static_cast<size_t>(gy % kTileSide) * kTileSide * 3;
        uint8_t* out = image.At(0, r);
        int lastTx = -1;
        const uint8_t* tile = nullptr;
        for (int i = 0; i < plan.width; ++i, out += 3) {
            const long long gx = columns[static_cast<size_t>(i)];
            const int tx = static_cast<int>(gx / kTileSide);
            if (tx != lastTx) {
                tile = mosaic.Tile({zoom, tx, ty});
                lastTx = tx;
            }
            if (tile == nullptr) continue;
            const uint8_t* p = tile + rowOffset + static_cast<size_t>(gx % kTileSide) * 3;
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        }
    }
    return image;
}

}  // namespace trakomer::maps
