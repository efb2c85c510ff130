#pragma once
// The image list "mapfiles.ini" and the calibration text of map packages:
// plain text parsing, no GL, no file access.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trakomer::maps {

constexpr const char* kImageListName = "mapfiles.ini";
// Longest line read from the list or a calibration text; the rest of a
// longer line is dropped.
constexpr size_t kMaxListLine = 511;

// South-west (lat1, lon1) and north-east (lat2, lon2) corners, degrees.
struct MapCorners {
    double lat1 = 0;
    double lon1 = 0;
    double lat2 = 0;
    double lon2 = 0;
};

struct ImageListEntry {
    std::string path;  // the slot's image path
    MapCorners corners;
};

// One line of the list: "image,lat1,lon1,lat2,lon2". Nothing for a comment
// ('#' first) or a line with fewer than five fields. An image name with a
// backslash or a slash is kept as it stands; a plain name is taken in the
// program folder. Numbers are read as leading decimals ("48.1x" is 48.1,
// "x" is 0) whatever the process locale.
std::optional<ImageListEntry> ParseImageListLine(std::string_view line,
                                                 const std::string& programFolder);

// Every loadable line of a list file's text, in order.
std::vector<ImageListEntry> ParseImageList(std::string_view text, const std::string& programFolder);

// A package's calibration text: four numbers separated by blanks or line
// ends on a line; of several such lines the last wins. Nothing when no line
// holds four numbers.
std::optional<MapCorners> ParseCalibration(std::string_view text);

// The file to open for a slot's image path: backslashes are folder
// separators, and a relative path with folders lies in the program folder.
std::string ImageFileFor(const std::string& slotPath, const std::string& programFolder);

// Leading decimal number of a field; 0 when there is none.
double LeadingNumber(std::string_view field);

}  // namespace trakomer::maps
