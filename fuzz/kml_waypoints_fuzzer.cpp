// The placemarks of a KML waypoint file.

#include <memory>
#include <string>

#include "files/kml_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto waypoints = std::make_unique<trakomer::WaypointTable>();
    waypoints->waypointCount = 0;
    trakomer::ParseWaypointsKml(std::string(reinterpret_cast<const char*>(data), size), *waypoints);
    return 0;
}
