#include "maps/map_package.h"

#include <sys/stat.h>
#include <unzip.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace trakomer::maps {
namespace {

std::string Hex(int code) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", static_cast<unsigned>(code));
    return buffer;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// Reads the current entry whole; a negative minizip code on failure, 1 when
// it is larger than `limit`.
int ReadCurrentEntry(unzFile zip, size_t limit, std::string& bytes) {
    bytes.clear();
    int status = unzOpenCurrentFile(zip);
    if (status != UNZ_OK) return status;
    char buffer[65536];
    int n = 0;
    while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) {
        if (bytes.size() + static_cast<size_t>(n) > limit) {
            unzCloseCurrentFile(zip);
            bytes.clear();
            return 1;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    // Closing after a whole read checks the entry's CRC.
    const int closed = unzCloseCurrentFile(zip);
    status = n < 0 ? n : closed;
    if (status != UNZ_OK) bytes.clear();
    return status;
}

void ReadEntry(unzFile zip, MapPackage& package, std::vector<std::string>& messages) {
    char nameBuffer[256] = {};
    unz_file_info64 info{};
    int status = unzGetCurrentFileInfo64(zip, &info, nameBuffer, sizeof nameBuffer - 1, nullptr, 0,
                                         nullptr, 0);
    const std::string name = nameBuffer;
    const bool image = Contains(name, ".tga");
    const bool text = !image && Contains(name, ".txt");
    std::string bytes;
    if (status == UNZ_OK && (image || text)) {
        status = ReadCurrentEntry(zip, image ? kMaxPackageImageBytes : kMaxPackageTextBytes, bytes);
    }
    if (status == 1) {
        messages.push_back("Unable to UnzipItem " + name + ": the entry is too large");
        return;
    }
    if (status != UNZ_OK) {
        messages.push_back("Unable to UnzipItem " + name + " Error code: " + Hex(status));
        return;
    }
    if (image && bytes.size() >= 18) {
        const int width = static_cast<uint8_t>(bytes[12]) | static_cast<uint8_t>(bytes[13]) << 8;
        const int height = static_cast<uint8_t>(bytes[14]) | static_cast<uint8_t>(bytes[15]) << 8;
        if (width > kMaxPackageImageSide || height > kMaxPackageImageSide) {
            messages.push_back("Unable to UnzipItem " + name + ": the image is " +
                               std::to_string(width) + " x " + std::to_string(height) +
                               " pixels, more than " + std::to_string(kMaxPackageImageSide) +
                               " a side");
            return;
        }
    }
    if (image) {
        package.imageName = name;
        package.imageBytes = std::move(bytes);
    } else if (text) {
        if (auto corners = ParseCalibration(bytes)) package.corners = *corners;
    }
}

}  // namespace

bool ReadMapPackage(const std::string& path, MapPackage& package,
                    std::vector<std::string>& messages) {
    package = MapPackage{};
    struct stat st {};
    unzFile zip = nullptr;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) zip = unzOpen64(path.c_str());
    if (zip == nullptr) {
        messages.push_back("Unable to OpenZip " + path);
        return false;
    }
    unz_global_info64 global{};
    const int status = unzGetGlobalInfo64(zip, &global);
    if (status != UNZ_OK) {
        messages.push_back("Unable to GetZipItem " + path + " Error code: " + Hex(status));
    } else if (global.number_entry != 2) {
        char count[64];
        std::snprintf(count, sizeof count, "Expected 2 zip entries but found %d: ",
                      static_cast<int>(std::min<ZPOS64_T>(global.number_entry, 0x7FFFFFFF)));
        messages.push_back(count + path);
    } else {
        int step = unzGoToFirstFile(zip);
        for (int i = 0; i < 2; ++i) {
            if (step != UNZ_OK) {
                messages.push_back("Unable to UnzipItem " + std::to_string(i) +
                                   " Error code: " + Hex(step));
                break;
            }
            ReadEntry(zip, package, messages);
            if (i == 0) step = unzGoToNextFile(zip);
        }
    }
    unzClose(zip);
    return !package.imageBytes.empty();
}

std::vector<std::string> FindMapPackages(const std::string& programFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(programFolder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 4 && name.ends_with(".tgz") && entry.is_regular_file(error)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool WriteMapPackage(const std::string& path, const std::string& imageName,
                     const std::string& imageBytes, const MapCorners& corners) {
    char line[160];
    std::snprintf(line, sizeof line, "%.8f %.8f %.8f %.8f\r\n", corners.lat1, corners.lon1,
                  corners.lat2, corners.lon2);
    const std::string calibration = line;
    const std::string textName = imageName.substr(0, imageName.rfind('.')) + ".txt";
    // Written under a temporary name and renamed: a reader never sees half
    // a package, and a failure leaves any older package in place.
    const std::string temp = path + ".tmp";
    zipFile zip = zipOpen64(temp.c_str(), APPEND_STATUS_CREATE);
    if (zip == nullptr) return false;
    zip_fileinfo info{};
    info.tmz_date = {0, 0, 0, 1, 0, 1980};
    bool ok = true;
    const std::string* entries[2][2] = {{&imageName, &imageBytes}, {&textName, &calibration}};
    for (const auto& entry : entries) {
        const std::string& name = *entry[0];
        const std::string& bytes = *entry[1];
        ok = ok && zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                       Z_DEFLATED, Z_BEST_COMPRESSION) == ZIP_OK;
        ok = ok &&
             zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK;
        ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
    }
    ok = zipClose(zip, nullptr) == ZIP_OK && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

}  // namespace trakomer::maps
