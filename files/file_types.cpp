#include "files/file_types.h"

#include <cstdio>
#include <utility>

#include "core/utc_time.h"

namespace trakomer {
namespace {

using TypeTable = std::vector<std::pair<const char*, TrackFileType>>;

const std::pair<const char*, TrackFileType> kGpx{".gpx", TrackFileType::Gpx};
// Appended to every dialog's list, so remembered filter indices keep their
// meaning.
constexpr FileFilter kGpxFilter{"GPS Exchange (*.gpx)", "*.gpx"};

TrackFileType Detect(const std::string& name, const TypeTable& table) {
    for (const auto& [extension, type] : table) {
        if (name.find(extension) != std::string::npos) return type;
    }
    return TrackFileType::None;
}

std::string DateTimeName(const Settings& settings, const Clock& clock) {
    const UtcTime t = SecondsToUtc(clock.UnixSeconds() + clock.LocalOffsetSeconds());
    const int yy = ((t.year - 2000) % 100 + 100) % 100;
    char name[64];
    switch (settings.mDefaultFileNameFormat) {
        case 0:
            std::snprintf(name, sizeof name, "%02d%02d%02d_%02d%02d%02d", t.day, t.month, yy,
                          t.hour, t.minute, t.second);
            break;
        case 1:
            std::snprintf(name, sizeof name, "%02d%02d%04d_%02d%02d%02d", t.day, t.month, t.year,
                          t.hour, t.minute, t.second);
            break;
        case 2:
            std::snprintf(name, sizeof name, "%02d%02d%02d_%02d%02d%02d", yy, t.month, t.day,
                          t.hour, t.minute, t.second);
            break;
        default:
            std::snprintf(name, sizeof name, "%04d%02d%02d_%02d%02d%02d", t.year, t.month, t.day,
                          t.hour, t.minute, t.second);
            break;
    }
    return name;
}

}  // namespace

TrackFileType OpenFileType(const std::string& name) {
    if (name.find(".tr") == std::string::npos) return Detect(name, {kGpx});
    return Detect(name, {{".trk", TrackFileType::Trk}, {".trz", TrackFileType::Trz}, kGpx});
}

TrackFileType SaveFileType(const std::string& name) {
    return Detect(name, {{".trk", TrackFileType::Trk},
                         {".kmz", TrackFileType::Kmz},
                         {".log", TrackFileType::Log},
                         {".trz", TrackFileType::Trz},
                         kGpx});
}

TrackFileType SaveWaypointsFileType(const std::string& name) {
    return Detect(name, {{".kmz", TrackFileType::Kmz}, kGpx});
}

TrackFileType PaceTrackFileType(const std::string& name) {
    return Detect(name, {{".trk", TrackFileType::Trk}, {".trz", TrackFileType::Trz}, kGpx});
}

TrackFileType DisplayTrackFileType(const std::string& name) {
    return Detect(name, {{".trk", TrackFileType::Trk},
                         {".trz", TrackFileType::Trz},
                         {".kml", TrackFileType::Kml},
                         kGpx});
}

TrackFileType WaypointFileType(const std::string& name) {
    return Detect(name, {{".kml", TrackFileType::Kml}, {".kmz", TrackFileType::Kmz}, kGpx});
}

FileDialogSetup DialogSetup(FileDialogKind kind, const Settings& settings, const Clock& clock) {
    switch (kind) {
        case FileDialogKind::Open:
            return {{{"Magellan Track (*.trk)", "*.trk"},
                     {"Magellan Track Zip (*.trz)", "*.trz"},
                     kGpxFilter},
                    settings.mOpenFilterIndex,
                    "",
                    &Settings::mOpenFilterIndex};
        case FileDialogKind::Save:
            return {{{"Magellan Track (*.trk)", "*.trk"},
                     {"Magellan Track Zip (*.trz)", "*.trz"},
                     {"Magellan Explorist (*.log)", "*.log"},
                     {"Google Earth (*.kmz)", "*.kmz"},
                     kGpxFilter},
                    settings.mSaveFilterIndex,
                    InitialSaveName(settings, clock),
                    &Settings::mSaveFilterIndex};
        case FileDialogKind::SaveWaypoints:
            break;
    }
    return {{{"Google Earth zipped(*.kmz)", "*.kmz"}, kGpxFilter}, 0, "My Waypoints", nullptr};
}

std::string WithFilterExtension(FileDialogKind kind, const std::string& name,
                                const FileFilter& filter) {
    const bool typed = kind == FileDialogKind::Open || name.empty() ||
                       (kind == FileDialogKind::Save ? SaveFileType(name)
                                                     : SaveWaypointsFileType(name)) !=
                           TrackFileType::None;
    const std::string pattern = filter.pattern;
    if (typed || pattern.rfind("*.", 0) != 0) return name;
    return name + pattern.substr(1);
}

void RememberFilterIndex(FileDialogKind kind, int filterIndex, Settings& settings) {
    if (kind == FileDialogKind::Open) settings.mOpenFilterIndex = filterIndex;
    if (kind == FileDialogKind::Save) settings.mSaveFilterIndex = filterIndex;
}

std::string AutoTrackName(const Settings& settings, const Clock& clock) {
    std::string folder = settings.mDefaultFilePath;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + DateTimeName(settings, clock) + ".trz";
}

std::string InitialSaveName(const Settings& settings, const Clock& clock) {
    return DateTimeName(settings, clock);
}

const std::vector<std::string>& FileNameFormatTexts() {
    static const std::vector<std::string> texts = {"DDMMYY-hhmmss", "DDMMYYYY-hhmmss",
                                                   "YYMMDD-hhmmss", "YYYYMMDD-hhmmss"};
    return texts;
}

}  // namespace trakomer
