#pragma once
// Builds TGA files byte by byte for the tests.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <vector>

namespace trakomer::gl::testing {

struct TgaLayout {
    int type = 2;
    int width = 1;
    int height = 1;
    int depth = 24;
    int descriptor = 0;
    int idLength = 0;
    int colourMapType = 0;
    int colourMapLength = 0;
    int colourMapBits = 0;
};

inline std::vector<uint8_t> TgaHeader(const TgaLayout& layout) {
    return {static_cast<uint8_t>(layout.idLength),
            static_cast<uint8_t>(layout.colourMapType),
            static_cast<uint8_t>(layout.type),
            0,
            0,
            static_cast<uint8_t>(layout.colourMapLength & 0xFF),
            static_cast<uint8_t>(layout.colourMapLength >> 8),
            static_cast<uint8_t>(layout.colourMapBits),
            0,
            0,
            0,
            0,
            static_cast<uint8_t>(layout.width & 0xFF),
            static_cast<uint8_t>(layout.width >> 8),
            static_cast<uint8_t>(layout.height & 0xFF),
            static_cast<uint8_t>(layout.height >> 8),
            static_cast<uint8_t>(layout.depth),
            static_cast<uint8_t>(layout.descriptor)};
}

inline std::vector<uint8_t> Tga(const TgaLayout& layout, std::initializer_list<uint8_t> body) {
    std::vector<uint8_t> bytes = TgaHeader(layout);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/trakomer-gl-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace trakomer::gl::testing
