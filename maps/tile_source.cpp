#include "maps/tile_source.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace trakomer::maps {
namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxTileBytes = size_t{4} << 20;

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// A folder of z/x/y.png (or .jpg) files, as tile tools export them.
class TileFolder : public TileSource {
public:
    explicit TileFolder(std::string folder) : folder_(std::move(folder)) {}

    std::string Fetch(const std::vector<TileKey>& keys, const TileSink& sink,
                      const std::atomic<bool>& cancel) override {
        for (size_t i = 0; i < keys.size(); ++i) {
            if (cancel) return "cancelled";
            const TileKey& k = keys[i];
            const std::string stem = folder_ + "/" + std::to_string(k.z) + "/" +
                                     std::to_string(k.x) + "/" + std::to_string(k.y);
            FetchedTile tile;
            for (const char* ext : {".png", ".jpg", ".jpeg"}) {
                std::ifstream file(stem + ext, std::ios::binary);
                if (!file) continue;
                tile.bytes.assign(std::istreambuf_iterator<char>(file), {});
                if (tile.bytes.size() > kMaxTileBytes) return "the tile " + stem + ext + " is too large";
                break;
            }
            if (!sink(i, std::move(tile))) return {};
        }
        return {};
    }
    std::string Attribution() const override { return {}; }
    int MaxZoom() const override { return kMaxTileZoom; }

private:
    std::string folder_;
};

}  // namespace

std::string DefaultTileCacheFolder() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/trakomer/tiles";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "/tmp") + "/.cache/trakomer/tiles";
}

std::string TrakomerUserAgent() {
    return std::string("Trakomer/") + TRAKOMER_VERSION + " (+https://trakomer.example.org/)";
}

std::string ExpandTileUrl(const std::string& urlTemplate, const TileKey& key) {
    std::string url = urlTemplate;
    ReplaceAll(url, "{z}", std::to_string(key.z));
    ReplaceAll(url, "{x}", std::to_string(key.x));
    ReplaceAll(url, "{y}", std::to_string(key.y));
    ReplaceAll(url, "{s}", std::string(1, static_cast<char>('a' + (key.x + key.y) % 3)));
    return url;
}

std::unique_ptr<TileSource> OpenTileFolder(const std::string& folder) {
    return std::make_unique<TileFolder>(folder);
}

std::unique_ptr<TileSource> OpenTileSource(const std::string& where, const SourceOptions& options,
                                           std::string& error) {
    std::error_code ec;
    if (where.starts_with("http://") || where.starts_with("https://")) {
        if (where.find("{z}") == std::string::npos || where.find("{x}") == std::string::npos ||
            where.find("{y}") == std::string::npos) {
            error = "the tile URL " + where + " needs {z}, {x} and {y}";
            return nullptr;
        }
        return OpenTileServer(where, options);
    }
    if (fs::is_directory(where, ec)) return OpenTileFolder(where);
    if (fs::is_regular_file(where, ec)) return OpenMbtiles(where, error);
    error = "no tile source at " + where +
            " (a folder of z/x/y.png files, an .mbtiles file or an http(s) URL template)";
    return nullptr;
}

}  // namespace trakomer::maps
