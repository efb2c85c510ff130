// trakomer --render-preferences as a process: seven page images at the
// window's size, from the settings in --home, and exit 0.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Width and height from a PNG's header chunk.
std::pair<int, int> PngSize(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    unsigned char header[24] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    if (!in || header[1] != 'P' || header[2] != 'N' || header[3] != 'G') return {0, 0};
    const auto word = [&](int at) {
        return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3];
    };
    return {word(16), word(20)};
}

TEST(RenderPreferences, WritesSevenPagesAtTheWindowSize) {
    char pattern[] = "/tmp/trakomer-render-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path home = pattern;
    std::ofstream(home / "trakomer.ini") << "mUserName:Ann\nmUnits: 2\n";
    const fs::path out = home / "pictures";
    const std::string command =
        "QT_QPA_PLATFORM=offscreen " TRAKOMER_BINARY_DIR "/app/trakomer --home " + home.string() +
        " --render-preferences " + out.string() + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    for (const char* name : {"general.png", "nmea.png", "screens.png", "speech.png", "tracks.png",
                             "upload.png", "maps.png"}) {
        EXPECT_EQ(PngSize(out / name), std::make_pair(480, 640)) << name;
    }
    fs::remove_all(home);
}

}  // namespace
