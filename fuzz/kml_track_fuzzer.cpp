// The coordinates of a KML track document.

#include <memory>
#include <string>

#include "files/kml_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto track = std::make_unique<trakomer::Track>();
    track->loadedCount = 0;
    trakomer::ParseTrackKml(std::string(reinterpret_cast<const char*>(data), size), *track);
    return 0;
}
