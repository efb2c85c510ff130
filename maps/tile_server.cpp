// Tiles from a tile server over HTTP(S) with libcurl: at most two
// connections, a User-Agent naming the program, certificate verification,
// and the disk cache (fresh tiles are not asked for; stale ones are
// revalidated with their ETag and a 304 reuses them).

#include <deque>
#include <memory>
#include <strings.h>

#include "maps/curl_library.h"
#include "maps/tile_cache.h"
#include "maps/tile_source.h"

namespace trakomer::maps {
namespace {

constexpr long kMaxConnections = 2;
constexpr curl_off_t kMaxTileBytes = curl_off_t{4} << 20;

struct Transfer {
    size_t index = 0;
    std::string url;
    std::optional<CachedTile> cached;
    std::string body;
    std::string cacheControl;
    std::string expires;
    std::string etag;
    curl_slist* headers = nullptr;
    CURL* easy = nullptr;
    const CurlLibrary* curl = nullptr;
    ~Transfer() {
        curl->slistFreeAll(headers);
        if (easy != nullptr) curl->easyCleanup(easy);
    }
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    if (t->body.size() + size * count > static_cast<size_t>(kMaxTileBytes)) return 0;
    t->body.append(data, size * count);
    return size * count;
}

std::string Trimmed(std::string_view v) {
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
    while (!v.empty() && (v.back() == '\r' || v.back() == '\n' || v.back() == ' ')) v.remove_suffix(1);
    return std::string(v);
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const std::string_view line(data, size * count);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return size * count;
    const std::string name(line.substr(0, colon));
    const std::string value = Trimmed(line.substr(colon + 1));
    if (strcasecmp(name.c_str(), "cache-control") == 0) t->cacheControl = value;
    if (strcasecmp(name.c_str(), "expires") == 0) t->expires = value;
    if (strcasecmp(name.c_str(), "etag") == 0) t->etag = value;
    return size * count;
}

class TileServer : public TileSource {
public:
    TileServer(std::string urlTemplate, SourceOptions options)
        : template_(std::move(urlTemplate)), options_(std::move(options)),
          cache_(options_.cacheFolder) {}

    std::string Fetch(const std::vector<TileKey>& keys, const TileSink& sink,
                      const std::atomic<bool>& cancel) override;
    std::string Attribution() const override {
        return template_ == kDefaultTileServer ? kOsmAttribution : "";
    }
    int MaxZoom() const override {
        return template_ == kDefaultTileServer ? kDefaultServerMaxZoom : kMaxTileZoom;
    }

private:
    int64_t Now() const { return options_.now ? options_.now() : static_cast<int64_t>(time(nullptr)); }
    std::unique_ptr<Transfer> Start(size_t index, const std::string& url,
                                    std::optional<CachedTile> cached) const;
    // The finished transfer's tile, or a message.
    std::string Finish(Transfer& t, CURLcode result, FetchedTile& tile) const;

    std::string template_;
    SourceOptions options_;
    TileCache cache_;
    CurlLibrary curl_;
};

std::unique_ptr<Transfer> TileServer::Start(size_t index, const std::string& url,
                                            std::optional<CachedTile> cached) const {
    auto t = std::make_unique<Transfer>();
    t->curl = &curl_;
    t->index = index;
    t->url = url;
    t->cached = std::move(cached);
    t->easy = curl_.easyInit();
    CURL* e = t->easy;
    curl_.easySetopt(e, CURLOPT_URL, url.c_str());
    curl_.easySetopt(e, CURLOPT_USERAGENT, options_.userAgent.c_str());
    curl_.easySetopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_.easySetopt(e, CURLOPT_MAXREDIRS, 5L);
    curl_.easySetopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_.easySetopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_.easySetopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_.easySetopt(e, CURLOPT_CONNECTTIMEOUT, 20L);
    curl_.easySetopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_.easySetopt(e, CURLOPT_LOW_SPEED_TIME, 30L);
    curl_.easySetopt(e, CURLOPT_MAXFILESIZE_LARGE, kMaxTileBytes);
    curl_.easySetopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_.easySetopt(e, CURLOPT_WRITEFUNCTION, OnBody);
    curl_.easySetopt(e, CURLOPT_WRITEDATA, t.get());
    curl_.easySetopt(e, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_.easySetopt(e, CURLOPT_HEADERDATA, t.get());
    curl_.easySetopt(e, CURLOPT_PRIVATE, t.get());
    if (t->cached && !t->cached->etag.empty()) {
        t->headers = curl_.slistAppend(nullptr, ("If-None-Match: " + t->cached->etag).c_str());
        curl_.easySetopt(e, CURLOPT_HTTPHEADER, t->headers);
    }
    return t;
}

std::string TileServer::Finish(Transfer& t, CURLcode result, FetchedTile& tile) const {
    if (result != CURLE_OK) {
        return "cannot fetch " + t.url + ": " + curl_.easyStrerror(result);
    }
    long code = 0;
    curl_.easyGetinfo(t.easy, CURLINFO_RESPONSE_CODE, &code);
    const int64_t now = Now();
    if (code == 304 && t.cached) {
        t.cached->expires = ExpiryFromHeaders(t.cacheControl, t.expires, now).value_or(now);
        if (!t.etag.empty()) t.cached->etag = t.etag;
        cache_.Store(t.url, *t.cached);
        tile = {std::move(t.cached->bytes), true};
        return {};
    }
    if (code != 200) {
        return "the tile server answered " + std::to_string(code) + " for " + t.url;
    }
    if (const auto expires = ExpiryFromHeaders(t.cacheControl, t.expires, now)) {
        cache_.Store(t.url, {t.body, *expires, t.etag});
    }
    tile = {std::move(t.body), false};
    return {};
}

std::string TileServer::Fetch(const std::vector<TileKey>& keys, const TileSink& sink,
                              const std::atomic<bool>& cancel) {
    std::deque<size_t> waiting;
    const int64_t now = Now();
    for (size_t i = 0; i < keys.size(); ++i) {
        if (auto cached = cache_.Load(ExpandTileUrl(template_, keys[i]));
            cached && cached->expires > now) {
            if (!sink(i, {std::move(cached->bytes), true})) return {};
        } else {
            waiting.push_back(i);
        }
    }
    if (waiting.empty()) return {};
    if (!curl_.Available()) return "cannot fetch tiles: libcurl cannot be loaded";

    CURLM* multi = curl_.multiInit();
    curl_.multiSetopt(multi, CURLMOPT_MAX_TOTAL_CONNECTIONS, kMaxConnections);
    curl_.multiSetopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, kMaxConnections);
    std::vector<std::unique_ptr<Transfer>> running;
    std::string error;
    bool stop = false;
    while (error.empty() && !stop && (!waiting.empty() || !running.empty())) {
        while (running.size() < static_cast<size_t>(kMaxConnections) && !waiting.empty()) {
            const size_t i = waiting.front();
            waiting.pop_front();
            const std::string url = ExpandTileUrl(template_, keys[i]);
            running.push_back(Start(i, url, cache_.Load(url)));
            curl_.multiAddHandle(multi, running.back()->easy);
        }
        int active = 0;
        curl_.multiPerform(multi, &active);
        int left = 0;
        while (CURLMsg* msg = curl_.multiInfoRead(multi, &left)) {
            if (msg->msg != CURLMSG_DONE) continue;
            Transfer* t = nullptr;
            curl_.easyGetinfo(msg->easy_handle, CURLINFO_PRIVATE, &t);
            const CURLcode result = msg->data.result;
            curl_.multiRemoveHandle(multi, t->easy);
            FetchedTile tile;
            if (error.empty()) error = Finish(*t, result, tile);
            if (error.empty() && !sink(t->index, std::move(tile))) stop = true;
            std::erase_if(running, [t](const auto& r) { return r.get() == t; });
        }
        if (cancel) error = "cancelled";
        if (error.empty() && !running.empty()) curl_.multiPoll(multi, nullptr, 0, 100, nullptr);
    }
    for (auto& t : running) curl_.multiRemoveHandle(multi, t->easy);
    running.clear();
    curl_.multiCleanup(multi);
    return error;
}

}  // namespace

std::unique_ptr<TileSource> OpenTileServer(const std::string& urlTemplate,
                                           const SourceOptions& options) {
    return std::make_unique<TileServer>(urlTemplate, options);
}

}  // namespace trakomer::maps
