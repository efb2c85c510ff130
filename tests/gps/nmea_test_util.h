#pragma once
// Helpers for building NMEA test input.

#include <cstdio>
#include <string>
#include <string_view>

#include "gps/gps_fix.h"
#include "gps/nmea_parser.h"

namespace trakomer::test {

// "$<body>*hh\r\n" with the correct checksum of body.
inline std::string WithChecksum(std::string_view body) {
    unsigned char sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + std::string(body) + tail;
}

inline GpsFix Parse(std::string_view bytes) {
    GpsFix fix;
    ProcessBytes(fix, bytes.data(), bytes.size());
    return fix;
}

}  // namespace trakomer::test
