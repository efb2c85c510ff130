// Map packages "*.tgz" as the image loader reads them: the zip archive,
// its calibration text, then the TGA image it holds.

#include <span>
#include <string>
#include <vector>

#include "fuzz/quiet_dialogs.h"
#include "maps/map_package.h"
#include "gl/tga_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static trakomer::fuzz::InputFile file(".tgz");
    trakomer::maps::MapPackage package;
    std::vector<std::string> messages;
    if (trakomer::maps::ReadMapPackage(file.Write(data, size), package, messages)) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(package.imageBytes.data());
        std::string error;
        trakomer::gl::DecodeTga(std::span(bytes, package.imageBytes.size()), package.imageName,
                                error);
    }
    return 0;
}
