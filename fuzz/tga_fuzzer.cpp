// TGA images, as every texture is read.

#include <span>
#include <string>

#include "gl/tga_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    trakomer::gl::DecodeTga(std::span<const uint8_t>(data, size), "fuzz.tga", error);
    return 0;
}
