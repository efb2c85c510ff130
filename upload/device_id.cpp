#include "upload/device_id.h"

#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>

namespace trakomer::upload {

namespace {

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    return line;
}

std::string FileNameSafe(const std::string& text) {
    std::string safe;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') safe += c;
    }
    return safe;
}

}  // namespace

std::string HashedIdentifier(const std::string& machineId) {
    // FNV-1a, 32 bits.
    uint32_t hash = 2166136261u;
    for (unsigned char c : machineId) {
        hash ^= c;
        hash *= 16777619u;
    }
    char text[9];
    std::snprintf(text, sizeof text, "%08x", hash);
    return text;
}

std::string DeviceIdentifier(const std::string& machineIdPath) {
    const std::string machineId = FirstLine(machineIdPath);
    if (!machineId.empty()) return HashedIdentifier(machineId);
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0) {
        const std::string safe = FileNameSafe(host);
        if (!safe.empty()) return safe;
    }
    return "trakomer";
}

}  // namespace trakomer::upload
