// MBTiles files: an SQLite database with a `tiles` table in TMS row order
// (row 0 is the southernmost) and a `metadata` table of name/value pairs.

#include <sqlite3.h>

#include <cstdlib>
#include <string>

#include "maps/tile_source.h"

namespace trakomer::maps {
namespace {

// HTML attribution as plain text: tags dropped, the usual entities decoded.
std::string PlainText(std::string html) {
    std::string out;
    bool inTag = false;
    for (char c : html) {
        if (c == '<') inTag = true;
        else if (c == '>') inTag = false;
        else if (!inTag) out += c;
    }
    for (const auto& [entity, text] : {std::pair{"&copy;", "\xC2\xA9"}, std::pair{"&amp;", "&"},
                                       std::pair{"&lt;", "<"}, std::pair{"&gt;", ">"}}) {
        for (size_t at = out.find(entity); at != std::string::npos; at = out.find(entity)) {
            out.replace(at, std::string_view(entity).size(), text);
        }
    }
    return out;
}

class Mbtiles : public TileSource {
public:
    Mbtiles(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
    ~Mbtiles() override {
        sqlite3_finalize(query_);
        sqlite3_close(db_);
    }

    // Reads the metadata and prepares the tile query; false when the file
    // is not an MBTiles database.
    bool Open() {
        if (sqlite3_prepare_v2(db_,
                               "SELECT tile_data FROM tiles WHERE zoom_level=? AND "
                               "tile_column=? AND tile_row=?",
                               -1, &query_, nullptr) != SQLITE_OK) {
            return false;
        }
        sqlite3_stmt* meta = nullptr;
        if (sqlite3_prepare_v2(db_, "SELECT name, value FROM metadata", -1, &meta, nullptr) ==
            SQLITE_OK) {
            while (sqlite3_step(meta) == SQLITE_ROW) {
                const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(meta, 0));
                const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(meta, 1));
                if (name == nullptr || value == nullptr) continue;
                const std::string key = name;
                if (key == "attribution") attribution_ = PlainText(value);
                if (key == "maxzoom") maxZoom_ = std::atoi(value);
                if (key == "format") format_ = value;
            }
        }
        sqlite3_finalize(meta);
        if (maxZoom_ <= 0 || maxZoom_ > kMaxTileZoom) maxZoom_ = kMaxTileZoom;
        return true;
    }

    std::string Fetch(const std::vector<TileKey>& keys, const TileSink& sink,
                      const std::atomic<bool>& cancel) override {
        if (format_ == "pbf") return path_ + " holds vector tiles, not pictures";
        for (size_t i = 0; i < keys.size(); ++i) {
            if (cancel) return "cancelled";
            const TileKey& k = keys[i];
            sqlite3_reset(query_);
            sqlite3_bind_int(query_, 1, k.z);
            sqlite3_bind_int(query_, 2, k.x);
            sqlite3_bind_int(query_, 3, (1 << k.z) - 1 - k.y);
            FetchedTile tile;
            const int step = sqlite3_step(query_);
            if (step == SQLITE_ROW) {
                const auto* data = static_cast<const char*>(sqlite3_column_blob(query_, 0));
                tile.bytes.assign(data != nullptr ? data : "",
                                  static_cast<size_t>(sqlite3_column_bytes(query_, 0)));
            } else if (step != SQLITE_DONE) {
                return "cannot read " + path_ + ": " + sqlite3_errmsg(db_);
            }
            if (!sink(i, std::move(tile))) return {};
        }
        return {};
    }
    std::string Attribution() const override { return attribution_; }
    int MaxZoom() const override { return maxZoom_; }

private:
    sqlite3* db_;
    std::string path_;
    sqlite3_stmt* query_ = nullptr;
    std::string attribution_;
    std::string format_;
    int maxZoom_ = 0;
};

}  // namespace

std::unique_ptr<TileSource> OpenMbtiles(const std::string& path, std::string& error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        error = path + " is not an MBTiles file";
        return nullptr;
    }
    auto source = std::make_unique<Mbtiles>(db, path);
    if (!source->Open()) {
        error = path + " is not an MBTiles file";
        return nullptr;
    }
    return source;
}

}  // namespace trakomer::maps
