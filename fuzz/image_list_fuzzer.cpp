// The image list "mapfiles.ini" and the calibration text of a map package.

#include <string>
#include <string_view>

#include "maps/image_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string folder = "/usr/share/trakomer";
    for (const auto& entry : trakomer::maps::ParseImageList(text, folder)) {
        trakomer::maps::ImageFileFor(entry.path, folder);
    }
    trakomer::maps::ParseCalibration(text);
    return 0;
}
