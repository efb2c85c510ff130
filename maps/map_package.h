#pragma once
// Map packages "*.tgz": zip archives of exactly two entries, a TGA image
// and its calibration text. Both entries are read into memory; their names
// are never used as paths. No GL.

#include <optional>
#include <string>
#include <vector>

#include "maps/image_list.h"

namespace trakomer::maps {

// A package's image may declare no larger sides: a few bytes of run-length
// data must not make the reader fill hundreds of megabytes.
constexpr int kMaxPackageImageSide = 4096;
// Entries larger than these are refused rather than read. The image limit
// fits the largest allowed picture stored uncompressed at 32 bits a pixel
// with the TGA header, the longest image ID and the TGA 2.0 footer.
constexpr size_t kTgaHeaderBytes = 18;
constexpr size_t kMaxPackageImageBytes =
    size_t{kMaxPackageImageSide} * kMaxPackageImageSide * 4 + kTgaHeaderBytes + 255 + 26;
constexpr size_t kMaxPackageTextBytes = size_t{64} << 10;

struct MapPackage {
    std::string imageName;   // the entry whose name contains ".tga"
    std::string imageBytes;  // its contents
    // From the entry whose name contains ".txt"; zero corners without one.
    MapCorners corners;
};

// Reads the package at `path`. Every problem appends its message ("Unable
// to OpenZip ", "Unable to GetZipItem ", "Expected 2 zip entries but found
// %d: ", "Unable to UnzipItem "). True when an image entry was read.
bool ReadMapPackage(const std::string& path, MapPackage& package,
                    std::vector<std::string>& messages);

// The package's file names in the program folder ("*.tgz", regular files),
// sorted so that the slot order does not depend on the file system.
std::vector<std::string> FindMapPackages(const std::string& programFolder);

// Writes a package of an image and its corners (the calibration line
// "lat1 lon1 lat2 lon2"), atomically. False on any failure, which leaves
// nothing behind.
bool WriteMapPackage(const std::string& path, const std::string& imageName,
                     const std::string& imageBytes, const MapCorners& corners);

}  // namespace trakomer::maps
