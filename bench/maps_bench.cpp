// Map packages from tiles: stitching and reprojecting 256 tiles (16 x 16 at
// zoom 12 near 48 degrees north) into one 4096 x 4096 package, and the
// whole tile-map run from a warm cache (decode, stitch, attribution, TGA,
// zip) without touching the network.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "maps/tile_cache.h"
#include "maps/tile_map.h"
#include "maps/tile_stitch.h"
#include "tests/maps/tile_fixture.h"

namespace {

using namespace trakomer::maps;

constexpr int kZoom = 12;
constexpr int kX0 = 2176;
constexpr int kY0 = 1400;
constexpr int kSide = 16;

LatLonBox TileBlock() {
    return {TileLatitude(kY0 + kSide, kZoom), kX0 * 360.0 / (1 << kZoom) - 180,
            TileLatitude(kY0, kZoom), (kX0 + kSide) * 360.0 / (1 << kZoom) - 180};
}

void BM_StitchAndReproject256Tiles(benchmark::State& state) {
    TileMosaic mosaic;
    for (int x = kX0; x < kX0 + kSide; ++x) {
        for (int y = kY0; y < kY0 + kSide; ++y) {
            mosaic.Put({kZoom, x, y}, std::vector<uint8_t>(256 * 256 * 3, static_cast<uint8_t>(x ^ y)));
        }
    }
    const PackagePlan plan{TileBlock(), 4096, 4096};
    for (auto _ : state) {
        RgbImage image = RenderPackage(mosaic, kZoom, plan);
        benchmark::DoNotOptimize(image.rgb.data());
    }
}
BENCHMARK(BM_StitchAndReproject256Tiles)->Unit(benchmark::kMillisecond);

void BM_TileMapFromWarmCache(benchmark::State& state) {
    const std::filesystem::path dir = trakomer::maps::testing::MakeTempDir();
    // Nothing listens on port 9: every tile must come from the cache.
    const std::string urlTemplate = "http://127.0.0.1:9/{z}/{x}/{y}.png";
    const TileCache cache((dir / "cache").string());
    for (int x = kX0; x < kX0 + kSide; ++x) {
        for (int y = kY0; y < kY0 + kSide; ++y) {
            cache.Store(ExpandTileUrl(urlTemplate, {kZoom, x, y}),
                        {trakomer::maps::testing::GridTilePng(kZoom, x, y), INT64_MAX / 2, ""});
        }
    }
    std::string error;
    auto source = OpenTileSource(urlTemplate, {(dir / "cache").string(), "bench", nullptr}, error);
    const std::atomic<bool> cancel{false};
    const LatLonBox box = TileBlock();
    // A hair inside the block, so that exactly its 256 tiles are taken.
    const LatLonBox inside{box.lat1 + 1e-6, box.lon1 + 1e-6, box.lat2 - 1e-6, box.lon2 - 1e-6};
    for (auto _ : state) {
        const auto result = MakeTileMap(*source, {{inside}, kZoom, 500, "", (dir / "m.tgz").string()},
                                        nullptr, cancel, error);
        if (!result || result->fromCache != kSide * kSide) state.SkipWithError(error.c_str());
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TileMapFromWarmCache)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
