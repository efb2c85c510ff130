#pragma once
// The Maps page's list: one row per loaded map image with its corners.

#include <array>
#include <string>
#include <vector>

namespace trakomer::prefs {

inline constexpr std::array<const char*, 5> kMapColumns = {"Image", "Lon 1", "Lat 1", "Lon 2",
                                                           "Lat 2"};

// A loaded image: south-west corner (lat1, lon1), north-east (lat2, lon2).
struct MapRow {
    std::string path;
    double lon1 = 0, lat1 = 0, lon2 = 0, lat2 = 0;
};

// The row's five cells: the path and the corners with "%f".
std::array<std::string, 5> MapRowTexts(const MapRow& row);

}  // namespace trakomer::prefs
