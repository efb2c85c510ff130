// GPS Exchange documents, read as a track (or its route) and as waypoints.

#include <memory>

#include "files/gpx_reader.h"
#include "fuzz/quiet_dialogs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static trakomer::fuzz::InputFile file(".gpx");
    static auto track = std::make_unique<trakomer::Track>();
    static auto waypoints = std::make_unique<trakomer::WaypointTable>();
    trakomer::fuzz::QuietDialogs dialogs;
    const std::string& path = file.Write(data, size);
    track->loadedCount = 0;
    trakomer::ReadTrackGpx(path, *track, dialogs);
    waypoints->waypointCount = 0;
    trakomer::ReadWaypointsGpx(path, *waypoints, dialogs);
    return 0;
}
