#pragma once
// Named positions shown on the maps and offered by Fly To.

#include <array>
#include <string>

namespace trakomer {

constexpr int kWaypointCapacity = 512;
constexpr int kWaypointNameLength = 31;  // characters

struct Waypoint {
    double latitude = 0;   // degrees, north positive
    double longitude = 0;  // degrees, east positive
    std::string name;      // UTF-8, at most kWaypointNameLength characters
};

struct WaypointTable {
    std::array<Waypoint, kWaypointCapacity> entries{};
    int waypointCount = 0;        // entries in use
    bool waypointsShown = false;  // the map views draw the waypoints
};

// The name cut to kWaypointNameLength characters (a multi-byte UTF-8
// character is never split).
std::string CutWaypointName(const std::string& name);

}  // namespace trakomer
