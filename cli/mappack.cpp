// trakomer-cli mappack IMAGE --corners LAT1,LON1,LAT2,LON2 OUT.tgz: turns a
// PNG or JPEG picture of a map and its south-west and north-east corners
// into a map package the recorder loads from its program folder.

#include <stb_image.h>
#include <stb_image_resize.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "maps/image_list.h"
#include "maps/map_package.h"
#include "maps/raster.h"

namespace trakomer::cli {
namespace {

constexpr int kMaxSide = 2048;
constexpr size_t kMaxInputBytes = size_t{256} << 20;

// The power of two nearest to n (ties go up), at most kMaxSide.
int NearestPowerOfTwo(int n) {
    int power = 1;
    while (power * 2 <= n && power * 2 <= kMaxSide) power *= 2;
    if (power < kMaxSide && n - power > power * 2 - n) power *= 2;
    return power;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool ParseCorners(const std::string& text, maps::MapCorners& corners) {
    double v[4];
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t end = i < 3 ? text.find(',', start) : text.size();
        if (end == std::string::npos) return false;
        const std::string field = text.substr(start, end - start);
        char* stop = nullptr;
        v[i] = std::strtod(field.c_str(), &stop);
        if (field.empty() || *stop != '\0' || !std::isfinite(v[i])) return false;
        start = end + 1;
    }
    corners = {v[0], v[1], v[2], v[3]};
    return corners.lat1 >= -90 && corners.lat2 <= 90 && corners.lon1 >= -180 &&
           corners.lon2 <= 180 && corners.lat1 < corners.lat2 && corners.lon1 < corners.lon2;
}

int RunMappack(const Args& args) {
    for (const std::string& arg : args) {
        if (arg == "--tiles") return RunMappackTiles(args);
    }
    std::string image, out, cornersText;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--corners" && i + 1 < args.size()) {
            cornersText = args[++i];
        } else if (args[i].rfind("--", 0) == 0) {
            return UsageError("mappack: unknown option " + args[i]);
        } else if (image.empty()) {
            image = args[i];
        } else if (out.empty()) {
            out = args[i];
        } else {
            return UsageError("mappack: too many arguments");
        }
    }
    if (image.empty() || out.empty() || cornersText.empty()) {
        return UsageError("mappack needs IMAGE --corners LAT1,LON1,LAT2,LON2 OUT.tgz");
    }
    maps::MapCorners corners;
    if (!ParseCorners(cornersText, corners)) {
        return UsageError(
            "mappack: --corners takes LAT1,LON1,LAT2,LON2, the south-west corner "
            "before the north-east one");
    }
    if (out.size() < 5 || out.compare(out.size() - 4, 4, ".tgz") != 0) {
        return UsageError("mappack: the package's name must end in .tgz");
    }

    std::ifstream file(image, std::ios::binary);
    std::string bytes;
    if (file) {
        bytes.assign(std::istreambuf_iterator<char>(file), {});
    }
    if (!file || bytes.empty() || bytes.size() > kMaxInputBytes) {
        std::fprintf(stderr, "trakomer-cli: mappack: cannot read %s\n", image.c_str());
        return kExitFailure;
    }
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels(
        stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                              static_cast<int>(bytes.size()), &width, &height, &channels, 3),
        stbi_image_free);
    if (!pixels) {
        std::fprintf(stderr, "trakomer-cli: mappack: %s is not a picture I can read (%s)\n",
                     image.c_str(), stbi_failure_reason());
        return kExitFailure;
    }
    const int w = NearestPowerOfTwo(width);
    const int h = NearestPowerOfTwo(height);
    maps::RgbImage resized{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h * 3)};
    if (!stbir_resize_uint8(pixels.get(), width, height, 0, resized.rgb.data(), w, h, 0, 3)) {
        std::fprintf(stderr, "trakomer-cli: mappack: cannot resize %s\n", image.c_str());
        return kExitFailure;
    }
    std::string stem = BaseName(out);
    stem.resize(stem.size() - 4);
    if (!maps::WriteMapPackage(out, stem + ".tga", maps::EncodeTga(resized), corners)) {
        std::fprintf(stderr, "trakomer-cli: mappack: cannot write %s\n", out.c_str());
        return kExitFailure;
    }
    JsonWriter json;
    json.BeginObject()
        .Field("package", std::string_view(out))
        .Field("width", static_cast<int64_t>(w))
        .Field("height", static_cast<int64_t>(h))
        .Key("corners")
        .BeginArray()
        .Number(corners.lat1)
        .Number(corners.lon1)
        .Number(corners.lat2)
        .Number(corners.lon2)
        .EndArray()
        .EndObject();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}

}  // namespace trakomer::cli
