#pragma once
// Where map tiles come from: a tile server's URL template, an MBTiles file
// or a folder of z/x/y.png files. Every source hands over the tiles' bytes
// as stored (PNG or JPEG); failures are messages, never exceptions.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "maps/web_mercator.h"

namespace trakomer::maps {

constexpr const char* kDefaultTileServer = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
constexpr const char* kOsmAttribution = "\xC2\xA9 OpenStreetMap contributors";
// The default server's usage policy forbids taking significant areas at
// zoom 17 and above for offline use.
constexpr int kDefaultServerMaxZoom = 16;
constexpr int kMaxTileZoom = 22;

struct FetchedTile {
    std::string bytes;      // empty: the source has no such tile (drawn blank)
    bool fromCache = false;
};

// Called once per tile in any order with the tile's index in the request.
// Returning false stops the fetch (the consumer's own failure).
using TileSink = std::function<bool(size_t index, FetchedTile&& tile)>;

class TileSource {
public:
    virtual ~TileSource() = default;
    // Fetches every tile of `keys`. Empty on success, else the first
    // failure's message. Stops early when `cancel` becomes true ("cancelled").
    virtual std::string Fetch(const std::vector<TileKey>& keys, const TileSink& sink,
                              const std::atomic<bool>& cancel) = 0;
    // The data's attribution as plain text; empty when the source names none.
    virtual std::string Attribution() const = 0;
    virtual int MaxZoom() const = 0;
};

struct SourceOptions {
    std::string cacheFolder;  // the tile cache's root; empty: no cache
    std::string userAgent;
    std::function<int64_t()> now;  // seconds since 1970
};

// The tile cache's root: $XDG_CACHE_HOME/trakomer/tiles, else
// $HOME/.cache/trakomer/tiles.
std::string DefaultTileCacheFolder();

// "Trakomer/<version> (+<homepage>)".
std::string TrakomerUserAgent();

// Opens SOURCE: a folder of tiles, an .mbtiles file, or an http(s) URL
// template with {z}, {x}, {y} and optional {s}. Nothing, with `error` set,
// when it is none of these.
std::unique_ptr<TileSource> OpenTileSource(const std::string& where, const SourceOptions& options,
                                           std::string& error);

// The URL of one tile: {z}, {x}, {y} replaced, {s} by one of a, b and c.
std::string ExpandTileUrl(const std::string& urlTemplate, const TileKey& key);

// Implementations, for the factory above.
std::unique_ptr<TileSource> OpenTileFolder(const std::string& folder);
std::unique_ptr<TileSource> OpenMbtiles(const std::string& path, std::string& error);
std::unique_ptr<TileSource> OpenTileServer(const std::string& urlTemplate,
                                           const SourceOptions& options);

}  // namespace trakomer::maps
