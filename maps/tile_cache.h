#pragma once
// The disk cache of downloaded tiles, keyed by URL: each tile's bytes with
// the time it stays fresh and its ETag, so that a later run takes fresh
// tiles from disk and asks the server only whether a stale one changed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trakomer::maps {

// Tiles whose answer names no lifetime stay fresh this long.
constexpr int64_t kDefaultTileLifetime = 7 * 24 * 3600;

struct CachedTile {
    std::string bytes;
    int64_t expires = 0;  // seconds since 1970
    std::string etag;
};

class TileCache {
public:
    explicit TileCache(std::string root) : root_(std::move(root)) {}
    bool Enabled() const { return !root_.empty(); }
    std::optional<CachedTile> Load(const std::string& url) const;
    // Written atomically; false when the disk refuses (the tile is then
    // simply not cached).
    bool Store(const std::string& url, const CachedTile& tile) const;

private:
    std::string PathOf(const std::string& url) const;
    std::string root_;
};

// The lifetime an answer's headers give it, from `now`: Cache-Control's
// max-age (no-cache: stale at once), else Expires, else the default. Nothing
// for Cache-Control: no-store (the answer must not be kept).
std::optional<int64_t> ExpiryFromHeaders(std::string_view cacheControl, std::string_view expires,
                                         int64_t now);

}  // namespace trakomer::maps
