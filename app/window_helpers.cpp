#include "app/window_helpers.h"

#include "platform/power.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace trakomer {

int ReadBatteryPercent(const std::string& powerSupplyFolder) {
    return SysfsBatteryPercent(powerSupplyFolder.c_str());
}

ClockTime LocalClock(const Clock& clock) {
    long long local = clock.UnixSeconds() + clock.LocalOffsetSeconds();
    if (local < 0) return {};
    int secondOfDay = static_cast<int>(local % 86400);
    return {secondOfDay / 3600, secondOfDay % 3600 / 60, secondOfDay % 60};
}

double MapHalfWidthNm(double mapZoom) {
    // At zoom 1 the view spans about 1 nm either side.
    return mapZoom > 0 ? 1.0 / mapZoom : 0;
}

std::string FormatOneDecimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string TrackTitle(const std::string& fileName) {
    if (fileName.size() < 37) return fileName.substr(0, fileName.size() >= 4 ? fileName.size() - 4 : 0);
    return fileName.substr(0, 32);
}

}  // namespace trakomer
