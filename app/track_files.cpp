#include "app/track_files.h"

#include <cstdio>
#include <ctime>

namespace trakomer {

std::string AutomaticTrackName(const Settings& settings, long long localSeconds) {
    std::time_t t = static_cast<std::time_t>(localSeconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    const int year = tm.tm_year + 1900, yy = (year - 2000) % 100, month = tm.tm_mon + 1;
    char name[64];
    switch (settings.mDefaultFileNameFormat) {
        case 0:
            std::snprintf(name, sizeof name, "%02d%02d%02d_%02d%02d%02d.trz", tm.tm_mday, month, yy,
                          tm.tm_hour, tm.tm_min, tm.tm_sec);
            break;
        case 1:
            std::snprintf(name, sizeof name, "%02d%02d%04d_%02d%02d%02d.trz", tm.tm_mday, month,
                          year, tm.tm_hour, tm.tm_min, tm.tm_sec);
            break;
        case 2:
            std::snprintf(name, sizeof name, "%02d%02d%02d_%02d%02d%02d.trz", yy, month, tm.tm_mday,
                          tm.tm_hour, tm.tm_min, tm.tm_sec);
            break;
        default:
            std::snprintf(name, sizeof name, "%04d%02d%02d_%02d%02d%02d.trz", year, month,
                          tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
            break;
    }
    return settings.mDefaultFilePath + "/" + name;
}

std::string PendingTrackFiles::AutoTrackName() {
    return AutomaticTrackName(settings_, static_cast<long long>(std::time(nullptr)) + offset_);
}

}  // namespace trakomer
