#pragma once
// Test tiles and a real tile server for them. Every tile pixel encodes its
// global Web Mercator pixel: red and green the low bytes of x and y, blue
// their next four bits each, so a package pixel tells where it came from.

#include <poll.h>
#include <signal.h>
#include <sqlite3.h>
#include <stb_image_write.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace trakomer::maps::testing {

// Independent of the code under test: the Web Mercator formulas.
inline double MercatorPixelX(double lon, int z) { return (lon + 180) / 360 * 256 * (1 << z); }
inline double MercatorPixelY(double lat, int z) {
    const double phi = lat * std::numbers::pi / 180;
    return (1 - std::log(std::tan(phi) + 1 / std::cos(phi)) / std::numbers::pi) / 2 * 256 *
           (1 << z);
}

inline std::string GridTilePng(int z, int tx, int ty) {
    (void)z;
    std::vector<unsigned char> rgb(256 * 256 * 3);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const int gx = tx * 256 + x, gy = ty * 256 + y;
            unsigned char* p = &rgb[(y * 256 + x) * 3];
            p[0] = static_cast<unsigned char>(gx & 0xFF);
            p[1] = static_cast<unsigned char>(gy & 0xFF);
            p[2] = static_cast<unsigned char>(((gx >> 8) & 0xF) | ((gy >> 8) & 0xF) << 4);
        }
    }
    std::string png;
    stbi_write_png_to_func(
        [](void* out, void* data, int size) {
            static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
        },
        &png, 256, 256, 3, rgb.data(), 256 * 3);
    return png;
}

// The global pixel a package pixel's colour encodes (x and y modulo 4096).
inline std::pair<int, int> DecodeGrid(const unsigned char* rgb) {
    return {rgb[0] | (rgb[2] & 0xF) << 8, rgb[1] | (rgb[2] >> 4) << 8};
}

inline std::filesystem::path MakeTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trakomer-tiles-XXXXXX").string();
    return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

// Writes z/x/y.png grid tiles for the tile rectangle [x0,x1] x [y0,y1].
inline void WriteTileFolder(const std::filesystem::path& root, int z, int x0, int y0, int x1,
                            int y1) {
    for (int x = x0; x <= x1; ++x) {
        std::filesystem::create_directories(root / std::to_string(z) / std::to_string(x));
        for (int y = y0; y <= y1; ++y) {
            std::ofstream(root / std::to_string(z) / std::to_string(x) / (std::to_string(y) + ".png"),
                          std::ios::binary)
                << GridTilePng(z, x, y);
        }
    }
}

// The same tiles as an MBTiles file (TMS rows, z its highest zoom) with an
// HTML attribution.
inline bool WriteMbtiles(const std::string& path, int z, int x0, int y0, int x1, int y1) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return false;
    const std::string schema =
        "CREATE TABLE metadata (name text, value text);"
        "CREATE TABLE tiles (zoom_level integer, tile_column integer, tile_row integer, "
        "tile_data blob);"
        "INSERT INTO metadata VALUES ('format','png'),('maxzoom','" + std::to_string(z) + "'),"
        "('attribution','<a href=\"x\">&copy; Test data</a>');";
    sqlite3_exec(db, schema.c_str(), nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO tiles VALUES (?,?,?,?)", -1, &insert, nullptr);
    for (int x = x0; x <= x1; ++x) {
        for (int y = y0; y <= y1; ++y) {
            const std::string png = GridTilePng(z, x, y);
            sqlite3_reset(insert);
            sqlite3_bind_int(insert, 1, z);
            sqlite3_bind_int(insert, 2, x);
            sqlite3_bind_int(insert, 3, (1 << z) - 1 - y);
            sqlite3_bind_blob(insert, 4, png.data(), static_cast<int>(png.size()), SQLITE_TRANSIENT);
            sqlite3_step(insert);
        }
    }
    sqlite3_finalize(insert);
    return sqlite3_close(db) == SQLITE_OK;
}

// A tile server on a free loopback port serving a folder, answering with
// "Cache-Control: no-cache" and an ETag (so a second run revalidates and
// gets 304s), and logging each request's User-Agent to requests.log.
class TileHttpServer {
public:
    explicit TileHttpServer(const std::filesystem::path& folder) : folder_(folder) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::close(fds[0]);
            ::close(fds[1]);
            ::execl("/usr/bin/python3", "python3", "-c", kScript, folder.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string text;
        char byte = 0;
        pollfd entry{fds[0], POLLIN, 0};
        while (pid_ > 0 && ::poll(&entry, 1, 10000) > 0 && ::read(fds[0], &byte, 1) == 1 &&
               byte != '\n') {
            text += byte;
        }
        ::close(fds[0]);
        port_ = std::atoi(text.c_str());
    }
    ~TileHttpServer() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    TileHttpServer(const TileHttpServer&) = delete;
    TileHttpServer& operator=(const TileHttpServer&) = delete;

    int Port() const { return port_; }
    std::string Template() const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/{z}/{x}/{y}.png";
    }
    std::string Log() const {
        std::ifstream in(folder_ / "requests.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    static constexpr const char* kScript = R"PY(
import hashlib, http.server, os, sys
os.chdir(sys.argv[1])
class Tiles(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args): pass
    def do_GET(self):
        with open('requests.log', 'a') as log:
            log.write('%s|%s\n' % (self.headers.get('User-Agent'), self.headers.get('If-None-Match')))
        path = self.path.lstrip('/')
        if not os.path.isfile(path):
            self.send_error(404); return
        data = open(path, 'rb').read()
        etag = '"%s"' % hashlib.md5(data).hexdigest()
        if self.headers.get('If-None-Match') == etag:
            self.send_response(304); self.send_header('ETag', etag); self.end_headers(); return
        self.send_response(200)
        self.send_header('Cache-Control', 'no-cache')
        self.send_header('ETag', etag)
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        self.wfile.write(data)
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Tiles)
print(server.server_address[1], flush=True)
server.serve_forever()
)PY";
    std::filesystem::path folder_;
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace trakomer::maps::testing
