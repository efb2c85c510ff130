// Map packages from tiles: where a position lands, the tile cache, the
// failures and the planning of zoom and packages.
#include <gtest/gtest.h>

#include <cstdlib>

#include "maps/map_package.h"
#include "maps/tile_map.h"
#include "tests/gl/tga_builder.h"
#include "tests/maps/tile_fixture.h"

namespace trakomer::maps {
namespace {

namespace fs = std::filesystem;
using gl::testing::TempDir;

constexpr int kZoom = 14;

LatLonBox BoxAround(double lat, double lon) { return {lat - 0.01, lon - 0.015, lat + 0.01, lon + 0.015}; }

// Grid tiles for the box, one tile beyond it on every side.
void WriteTilesFor(const LatLonBox& box, const fs::path& folder, const std::string& mbtiles) {
    const TileRange r = TilesCovering(box, kZoom);
    testing::WriteTileFolder(folder, kZoom, r.x0 - 1, r.y0 - 1, r.x1 + 1, r.y1 + 1);
    if (!mbtiles.empty()) testing::WriteMbtiles(mbtiles, kZoom, r.x0 - 1, r.y0 - 1, r.x1 + 1, r.y1 + 1);
}

// Distance of two pixel coordinates modulo 4096.
double Apart(int a, double b) {
    const double d = std::fmod(std::abs(a - b), 4096);
    return std::min(d, 4096 - d);
}

std::optional<TileMapResult> Make(const std::string& where, const LatLonBox& box, const fs::path& out,
                                  const fs::path& cache, std::string& error, int zoom = kZoom,
                                  int maxTiles = kDefaultMaxTiles) {
    const SourceOptions options{cache.string(), TrakomerUserAgent(), nullptr};
    auto source = OpenTileSource(where, options, error);
    if (!source) return std::nullopt;
    const std::atomic<bool> cancel{false};
    return MakeTileMap(*source, {{box}, zoom, maxTiles, "", out.string()}, nullptr, cancel, error);
}

TEST(TileMap, PositionsLandWithinOnePackagePixelFromEverySource) {
    struct Case {
        double lat, lon;
        const char* source;
    };
    const Case cases[] = {{0.0, 10.0, "folder"}, {48.1, 11.5, "mbtiles"}, {70.0, 25.0, "http"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        TempDir dir;
        const LatLonBox box = BoxAround(c.lat, c.lon);
        const std::string mbtiles = (dir.path() / "grid.mbtiles").string();
        WriteTilesFor(box, dir.path() / "tiles", mbtiles);
        testing::TileHttpServer server(dir.path() / "tiles");
        const std::string where = std::string(c.source) == "folder"  ? (dir.path() / "tiles").string()
                                 : std::string(c.source) == "http" ? server.Template()
                                                                   : mbtiles;
        std::string error;
        const auto result = Make(where, box, dir.path() / "map.tgz", dir.path() / "cache", error);
        ASSERT_TRUE(result) << error;
        ASSERT_EQ(result->packages.size(), 1u);
        MapPackage package;
        std::vector<std::string> messages;
        ASSERT_TRUE(ReadMapPackage((dir.path() / "map.tgz").string(), package, messages));
        const auto* tga = reinterpret_cast<const unsigned char*>(package.imageBytes.data());
        const int w = tga[12] | tga[13] << 8, h = tga[14] | tga[15] << 8;
        EXPECT_EQ(w & (w - 1), 0);
        EXPECT_EQ(h & (h - 1), 0);
        const MapCorners k = package.corners;
        // One package pixel, in tile pixels.
        const double sx = (testing::MercatorPixelX(k.lon2, kZoom) - testing::MercatorPixelX(k.lon1, kZoom)) / w;
        const double sy = (testing::MercatorPixelY(k.lat1, kZoom) - testing::MercatorPixelY(k.lat2, kZoom)) / h;
        for (double fy : {0.3, 0.5, 0.9}) {
            for (double fx : {0.1, 0.5, 0.9}) {
                const double lat = k.lat1 + (k.lat2 - k.lat1) * fy;
                const double lon = k.lon1 + (k.lon2 - k.lon1) * fx;
                const int col = static_cast<int>((lon - k.lon1) / (k.lon2 - k.lon1) * w);
                const int row = static_cast<int>((lat - k.lat1) / (k.lat2 - k.lat1) * h);  // from the bottom
                const unsigned char* bgr = tga + 18 + (static_cast<size_t>(row) * w + col) * 3;
                const unsigned char rgb[3] = {bgr[2], bgr[1], bgr[0]};
                const auto [gx, gy] = testing::DecodeGrid(rgb);
                const double ex = std::fmod(testing::MercatorPixelX(lon, kZoom), 4096);
                const double ey = std::fmod(testing::MercatorPixelY(lat, kZoom), 4096);
                EXPECT_LE(Apart(gx, ex), sx + 1) << lat << "," << lon;
                EXPECT_LE(Apart(gy, ey), sy + 1) << lat << "," << lon;
            }
        }
        // The attribution's light box in the bottom-right corner.
        EXPECT_EQ(tga[18 + (static_cast<size_t>(w) - 1) * 3], 0xF0);
    }
}

TEST(TileMap, ASecondRunRevalidatesFromTheCacheWithItsETags) {
    TempDir dir;
    const LatLonBox box = BoxAround(48.1, 11.5);
    WriteTilesFor(box, dir.path() / "tiles", "");
    testing::TileHttpServer server(dir.path() / "tiles");
    ASSERT_GT(server.Port(), 0);
    std::string error;
    const auto first = Make(server.Template(), box, dir.path() / "a.tgz", dir.path() / "cache", error);
    ASSERT_TRUE(first) << error;
    EXPECT_EQ(first->fromCache, 0);
    const auto second = Make(server.Template(), box, dir.path() / "b.tgz", dir.path() / "cache", error);
    ASSERT_TRUE(second) << error;
    EXPECT_EQ(second->tiles, first->tiles);
    EXPECT_EQ(second->fromCache, second->tiles);
    const std::string log = server.Log();
    EXPECT_NE(log.find("Trakomer/"), std::string::npos) << log;
    EXPECT_NE(log.find("|\""), std::string::npos) << "no revalidation with an ETag: " << log;
}

TEST(TileMap, FailuresAreClearAndLeaveNoPackage) {
    TempDir dir;
    const LatLonBox box = BoxAround(48.1, 11.5);
    WriteTilesFor(box, dir.path() / "tiles", "");
    const TileRange r = TilesCovering(box, kZoom);
    const fs::path junk = dir.path() / "junk";
    fs::create_directories(junk / "14" / std::to_string(r.x0));
    std::ofstream(junk / "14" / std::to_string(r.x0) / (std::to_string(r.y0) + ".png")) << "<html>";
    std::ofstream(dir.path() / "not.mbtiles") << "not a database";
    testing::TileHttpServer server(dir.path() / "tiles");
    const std::string missing =
        "http://127.0.0.1:" + std::to_string(server.Port()) + "/gone/{z}/{x}/{y}.png";
    struct Case {
        std::string where;
        int maxTiles;
        std::string message;
    };
    const Case cases[] = {
        {missing, 500, "answered 404 for http://127.0.0.1:" + std::to_string(server.Port()) + "/gone/14/"},
        {"http://127.0.0.1:1/{z}/{x}/{y}.png", 500, "cannot fetch http://127.0.0.1:1/14/"},
        {junk.string(), 500, "is not a PNG or JPEG picture"},
        {(dir.path() / "not.mbtiles").string(), 500, "is not an MBTiles file"},
        {(dir.path() / "tiles").string(), 2,
         "the map needs " + std::to_string(r.Count()) + " tiles at zoom 14, more than the limit of 2"},
    };
    const fs::path out = dir.path() / "out";
    fs::create_directories(out);
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(Make(c.where, box, out / "map.tgz", dir.path() / "cache", error, kZoom, c.maxTiles));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_TRUE(fs::is_empty(out)) << c.where;
    }
}

TEST(TilePlan, ZoomPackagesAndCorridors) {
    std::string error;
    // The default server's highest zoom is never exceeded, asked or chosen.
    EXPECT_FALSE(PlanTiles({{BoxAround(48, 11)}, 17, kDefaultServerMaxZoom, 500}, error));
    EXPECT_NE(error.find("above this source's highest zoom 16"), std::string::npos);
    const auto chosen = PlanTiles({{BoxAround(48, 11)}, -1, kDefaultServerMaxZoom, 500}, error);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->zoom, 16);
    // 1.5 x 1 degrees at zoom 12: more than 4096 pixels both ways.
    const LatLonBox big{47.5, 11, 48.5, 12.5};
    const auto packages = PackagesForBox(big, 12);
    ASSERT_EQ(packages.size(), 4u);
    for (const PackagePlan& p : packages) {
        EXPECT_TRUE(p.width <= 4096 && (p.width & (p.width - 1)) == 0) << p.width;
        EXPECT_TRUE(p.height <= 4096 && (p.height & (p.height - 1)) == 0) << p.height;
    }
    EXPECT_DOUBLE_EQ(packages.front().box.lat2, 48.5);
    EXPECT_DOUBLE_EQ(packages.back().box.lat1, 47.5);
    EXPECT_DOUBLE_EQ(packages.back().box.lon2, 12.5);
    // An L-shaped route becomes a corridor covering each leg; a compact
    // one stays one box.
    std::vector<LatLon2> route;
    for (int i = 0; i <= 100; ++i) route.push_back({48.0, 11.0 + i * 0.01});
    for (int i = 0; i <= 100; ++i) route.push_back({48.0 + i * 0.01, 12.0});
    const auto corridor = CorridorBoxes(route, 1.0);
    EXPECT_GT(corridor.size(), 1u);
    for (const LatLon2& p : route) {
        EXPECT_TRUE(std::any_of(corridor.begin(), corridor.end(), [&](const LatLonBox& b) {
            return p.latitude > b.lat1 && p.latitude < b.lat2 && p.longitude > b.lon1 &&
                   p.longitude < b.lon2;
        }));
    }
    EXPECT_EQ(CorridorBoxes({{48, 11}, {48.01, 11.01}}, 1.0).size(), 1u);
}

}  // namespace
}  // namespace trakomer::maps
