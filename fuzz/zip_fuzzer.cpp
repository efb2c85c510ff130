// Zip archives as .trz tracks and .kmz waypoint documents are read.

#include <memory>

#include "files/kml_reader.h"
#include "files/trk_file.h"
#include "fuzz/quiet_dialogs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static trakomer::fuzz::InputFile file(".trz");
    static auto track = std::make_unique<trakomer::Track>();
    static auto waypoints = std::make_unique<trakomer::WaypointTable>();
    trakomer::fuzz::QuietDialogs dialogs;
    const std::string& path = file.Write(data, size);
    track->loadedCount = 0;
    trakomer::ReadTrz(path, *track, dialogs);
    waypoints->waypointCount = 0;
    trakomer::ReadWaypointsKmz(path, *waypoints, dialogs);
    return 0;
}
