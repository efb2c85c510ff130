#include "maps/tile_cache.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "maps/curl_library.h"

namespace trakomer::maps {
namespace {

namespace fs = std::filesystem;

uint64_t Fnv1a(std::string_view text) {
    uint64_t hash = 1469598103934665603ULL;
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ULL;
    return hash;
}

std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool WriteAtomically(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".part";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file.flush()) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::string TileCache::PathOf(const std::string& url) const {
    char name[40];
    const uint64_t hash = Fnv1a(url);
    std::snprintf(name, sizeof name, "%02x/%016llx", static_cast<unsigned>(hash & 0xFF),
                  static_cast<unsigned long long>(hash));
    return root_ + "/" + name;
}

std::optional<CachedTile> TileCache::Load(const std::string& url) const {
    if (!Enabled()) return std::nullopt;
    const std::string path = PathOf(url);
    auto meta = ReadWhole(path + ".meta");
    auto bytes = ReadWhole(path + ".tile");
    if (!meta || !bytes || bytes->empty()) return std::nullopt;
    CachedTile tile;
    std::istringstream lines(*meta);
    std::string storedUrl;
    // The URL guards against a hash collision; a mismatch is a miss.
    if (!std::getline(lines, storedUrl) || storedUrl != url || !(lines >> tile.expires)) {
        return std::nullopt;
    }
    lines >> std::ws;
    std::getline(lines, tile.etag);
    tile.bytes = std::move(*bytes);
    return tile;
}

bool TileCache::Store(const std::string& url, const CachedTile& tile) const {
    if (!Enabled()) return false;
    const std::string path = PathOf(url);
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    // The tile first: a meta file never points at a missing tile.
    return WriteAtomically(path + ".tile", tile.bytes) &&
           WriteAtomically(path + ".meta",
                           url + "\n" + std::to_string(tile.expires) + "\n" + tile.etag + "\n");
}

std::optional<int64_t> ExpiryFromHeaders(std::string_view cacheControl, std::string_view expires,
                                         int64_t now) {
    std::string lower(cacheControl);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.find("no-store") != std::string::npos) return std::nullopt;
    if (lower.find("no-cache") != std::string::npos) return now;
    if (const size_t at = lower.find("max-age="); at != std::string::npos) {
        return now + std::atoll(lower.c_str() + at + 8);
    }
    if (!expires.empty()) {
        const CurlLibrary curl;
        const time_t when =
            curl.Available() ? curl.getdate(std::string(expires).c_str(), nullptr) : -1;
        return when < 0 ? now : static_cast<int64_t>(when);
    }
    return now + kDefaultTileLifetime;
}

}  // namespace trakomer::maps
